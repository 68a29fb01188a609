// The forecast as an iCalendar file, read back with libical: all-day events on the forecast
// days, and UIDs that stay the same when the forecast moves.
#include "core/forecast_calendar.h"

#include <libical/ical.h>

#include <gtest/gtest.h>

namespace lunaret {
namespace {

struct Event {
  std::string uid, summary, description;
  int sequence = 0;
  icaltimetype start{}, end{};
};

std::vector<Event> Events(const std::string& text) {
  std::vector<Event> events;
  icalcomponent* calendar = icalparser_parse_string(text.c_str());
  EXPECT_NE(calendar, nullptr);
  if (calendar == nullptr)
    return events;
  for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
       e != nullptr; e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
    const char* description = icalcomponent_get_description(e);
    events.push_back({icalcomponent_get_uid(e), icalcomponent_get_summary(e),
                      description != nullptr ? description : "", icalcomponent_get_sequence(e),
                      icalcomponent_get_dtstart(e), icalcomponent_get_dtend(e)});
  }
  icalcomponent_free(calendar);
  return events;
}

std::string Iso(const icaltimetype& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d%s", t.year, t.month, t.day,
                t.is_date ? "" : " (not all-day)");
  return text;
}

TEST(ForecastCalendarTest, AllDayEventsReadBackWithUidsKeptAcrossExports) {
  // Started on 10 Jan, 28 days: from 12 Jan on the next periods are 7 Feb, 6 Mar, ...
  ForecastSchedule january = ScheduleFromDuration(MakeDate(2024, 1, 10), 28, MakeDate(2024, 1, 12));
  january.periods[0].earlyDays = 2;
  january.periods[0].lateDays = 3;
  january.fertileWindows = {{MakeDate(2024, 1, 24), MakeDate(2024, 1, 29)}};
  const std::vector<Event> first = Events(WriteForecastCalendar("Anna", january, 1705000000));
  ASSERT_EQ(first.size(), 7u);
  const char* days[] = {"2024-02-07", "2024-03-06", "2024-04-03",
                        "2024-05-01", "2024-05-29", "2024-06-26"};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(first[i].summary, "Period expected");
    EXPECT_EQ(Iso(first[i].start), days[i]);
    EXPECT_EQ(icaltime_compare(first[i].end,
                               icaltime_add(first[i].start, icaldurationtype_from_int(86400))),
              0);
  }
  EXPECT_NE(first[0].description.find("Expected between 2024-02-05 and 2024-02-10."),
            std::string::npos);
  EXPECT_EQ(first[6].summary, "Fertile window");
  EXPECT_EQ(Iso(first[6].start) + " " + Iso(first[6].end), "2024-01-24 2024-01-30");

  // A month on, a new first day and another length: the same six events, moved.
  const ForecastSchedule february =
      ScheduleFromDuration(MakeDate(2024, 2, 9), 30, MakeDate(2024, 3, 20));
  const std::vector<Event> second = Events(WriteForecastCalendar("ANNA", february, 1708000000));
  ASSERT_EQ(second.size(), 6u);
  EXPECT_EQ(Iso(second[0].start), "2024-04-09");  // 10 Mar lies before the 20th
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(second[i].uid, first[i].uid);
    EXPECT_GT(second[i].sequence, first[i].sequence);
    for (int j = 0; j < i; ++j)
      EXPECT_NE(first[i].uid, first[j].uid);
  }
  EXPECT_NE(first[6].uid, first[0].uid);
  EXPECT_NE(ForecastEventUid("Bea", "period", 1), first[0].uid);
}

}  // namespace
}  // namespace lunaret
