#ifndef LUNARET_PAGES_DAY_MARKS_H
#define LUNARET_PAGES_DAY_MARKS_H

#include <QDate>
#include <QString>

namespace lunaret {

// What the month view shows on one day. Shapes and patterns carry the meaning; colour only adds
// to it.
struct DayMarks {
  int flow = 0;                // logged flow: 0 none, 1 spotting, 2 light, 3 medium, 4 heavy
  bool periodStart = false;    // a recorded first day of a period
  bool ovulation = false;      // a recorded ovulation
  bool expectedStart = false;  // the forecast first day of a period
  bool expectedRange = false;  // within the forecast's range around such a day
  bool fertile = false;        // an estimated fertile window
  bool logged = false;         // symptoms, a mood or a note logged
  bool today = false;

  bool operator==(const DayMarks&) const = default;
};

// The words for a day and its marks, for its tooltip and screen readers: "Thursday 14 March
// 2024: period started; heavy flow; ...".
QString DescribeDay(const QDate& date, const DayMarks& marks);

}  // namespace lunaret

#endif  // LUNARET_PAGES_DAY_MARKS_H
