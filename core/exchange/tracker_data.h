#ifndef LUNARET_CORE_EXCHANGE_TRACKER_DATA_H
#define LUNARET_CORE_EXCHANGE_TRACKER_DATA_H

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace lunaret {

// What another tracker's export holds that Lunaret has a place for, as its reader found it and
// before any of it is checked: dates are the texts of the file (YYYY-MM-DD expected), each with
// where the file holds it ("line 4", "[3].date") for a refusal to name.

struct TrackerPeriodDay {
  std::string date;
  std::string where;
  std::string flow;           // the source's own value (tracker_flows.h); empty: not written
  bool counts = true;         // false: she excluded the day from her cycles
  bool startsPeriod = false;  // the source marks it as a period's first day
};

struct TrackerDate {
  std::string date;
  std::string where;
};

// A period's last day, which Lunaret checks but does not keep: a real day on or after its first.
struct TrackerPeriodEnd {
  std::string start;
  std::string end;
  std::string where;
};

// A note, or a symptom by its name in the source, on one day.
struct TrackerDayText {
  std::string date;
  std::string where;
  std::string text;
};

enum class TrackerProblemKind {
  kNotADate,     // text is the date
  kOutOfRange,   // text is the date, a real day outside the stored range
  kUnknownFlow,  // text is the value
  kWrongShape,   // text says what is wrong there ("not an array")
};

struct TrackerProblem {
  std::string where;
  TrackerProblemKind kind = TrackerProblemKind::kWrongShape;
  std::string text;

  bool operator==(const TrackerProblem&) const = default;
};

// How many problems are kept, in file order, for a refusal to name; the rest are counted.
inline constexpr std::size_t kTrackerProblemsKept = 5;

struct TrackerData {
  std::string source;  // "Clue", "Flo", "drip", "Periodical", "Mensinator", "spreadsheet"
  std::vector<TrackerPeriodDay> periodDays;
  std::vector<TrackerPeriodEnd> periodEnds;
  std::vector<TrackerDate> ovulations;
  std::vector<TrackerDayText> notes;
  std::vector<TrackerDayText> symptoms;
  // What the file holds that Lunaret has no place for, by kind in plural and how many: the first
  // word ending in "s" is the one that takes the singular ("temperature readings"); a tracker's
  // own names are quoted ("\"sleep\" entries").
  std::map<std::string, std::size_t> leftOut;
  std::vector<TrackerProblem> problems;  // the first kTrackerProblemsKept
  std::size_t problemCount = 0;          // all of them

  void AddProblem(std::string where, TrackerProblemKind kind, std::string text) {
    if (problems.size() < kTrackerProblemsKept)
      problems.push_back({std::move(where), kind, std::move(text)});
    ++problemCount;
  }
  void LeaveOut(const std::string& kind, std::size_t n = 1) {
    if (n > 0)
      leftOut[kind] += n;
  }
};

}  // namespace lunaret

#endif  // LUNARET_CORE_EXCHANGE_TRACKER_DATA_H
