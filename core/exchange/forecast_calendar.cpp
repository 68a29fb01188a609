#include "core/exchange/forecast_calendar.h"

#include <libical/ical.h>

#include <cstdint>
#include <cstdio>
#include <memory>

#include "core/base/text.h"

namespace lunaret {
namespace {

struct ComponentFree {
  void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

icaltimetype DateValue(const CalendarDate& date, int addDays = 0) {
  icaltimetype value = icaltime_null_date();
  value.year = date.year;
  value.month = date.month;
  value.day = date.day;
  icaltime_adjust(&value, addDays, 0, 0, 0);
  return value;
}

std::string IsoDate(const CalendarDate& date, int addDays = 0) {
  const icaltimetype value = DateValue(date, addDays);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", value.year, value.month, value.day);
  return buffer;
}

// An all-day event from first over days days.
void AddEvent(icalcomponent* calendar, const std::string& uid, const char* summary,
              const std::string& description, const CalendarDate& first, int days,
              const icaltimetype& stamp, int sequence) {
  icalcomponent* event = icalcomponent_new_vevent();
  icalcomponent_add_property(event, icalproperty_new_uid(uid.c_str()));
  icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
  icalcomponent_add_property(event, icalproperty_new_lastmodified(stamp));
  icalcomponent_add_property(event, icalproperty_new_sequence(sequence));
  icalcomponent_add_property(event, icalproperty_new_dtstart(DateValue(first)));
  icalcomponent_add_property(event, icalproperty_new_dtend(DateValue(first, days)));
  icalcomponent_add_property(event, icalproperty_new_summary(summary));
  if (!description.empty())
    icalcomponent_add_property(event, icalproperty_new_description(description.c_str()));
  // A forecast does not make anyone busy.
  icalcomponent_add_property(event, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
  icalcomponent_add_component(calendar, event);
}

}  // namespace

std::string ForecastEventUid(const std::string& user, const char* kind, int place) {
  // FNV-1a of the folded name: stable on every machine and in every release.
  std::uint64_t hash = 0xCBF29CE484222325u;
  for (const char c : UpperCase(user)) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001B3u;
  }
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%s-%d-%016llx@lunaret", kind, place,
                static_cast<unsigned long long>(hash));
  return buffer;
}

std::string WriteForecastCalendar(const std::string& user, const ForecastSchedule& schedule,
                                  std::time_t now) {
  Component calendar(icalcomponent_new_vcalendar());
  icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
  icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Lunaret//Forecast//EN"));
  icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
  icalcomponent_add_property(calendar.get(), icalproperty_new_method(ICAL_METHOD_PUBLISH));
  icalproperty* name = icalproperty_new_x(("Lunaret: " + user).c_str());
  icalproperty_set_x_name(name, "X-WR-CALNAME");
  icalcomponent_add_property(calendar.get(), name);

  const icaltimetype stamp = icaltime_from_timet_with_zone(now, 0, icaltimezone_get_utc_timezone());
  // Minutes since 2020: a later export always carries a higher revision.
  const auto sequence = static_cast<int>(now > 1577836800 ? (now - 1577836800) / 60 : 0);
  int place = 0;
  for (const ExpectedPeriod& period : schedule.periods) {
    std::string description = period.description;
    if (period.earlyDays > 0 || period.lateDays > 0) {
      description += (description.empty() ? "" : " ") + std::string("Expected between ") +
                     IsoDate(period.start, -period.earlyDays) + " and " +
                     IsoDate(period.start, period.lateDays) + ".";
    }
    AddEvent(calendar.get(), ForecastEventUid(user, "period", ++place), "Period expected",
             description, period.start, 1, stamp, sequence);
  }
  place = 0;
  for (const FertileWindow& window : schedule.fertileWindows) {
    const int days = static_cast<int>(DaysSince(window.first, window.last)) + 1;
    AddEvent(calendar.get(), ForecastEventUid(user, "fertile", ++place), "Fertile window",
             "Estimated from your history; not a method of contraception.", window.first,
             days < 1 ? 1 : days, stamp, sequence);
  }

  char* text = icalcomponent_as_ical_string_r(calendar.get());
  std::string out = text != nullptr ? text : "";
  icalmemory_free_buffer(text);
  return out;
}

}  // namespace lunaret
