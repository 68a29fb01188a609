#ifndef LUNARET_CORE_EXCHANGE_FORECAST_CALENDAR_H
#define LUNARET_CORE_EXCHANGE_FORECAST_CALENDAR_H

#include <ctime>
#include <string>

#include "core/cycles/forecast_source.h"

namespace lunaret {

// The schedule as an iCalendar file (RFC 5545): one all-day event "Period expected" per period
// and one all-day event "Fertile window" per window. Each event's UID is made of the user, its
// kind and its place in the schedule (the first expected period, the second, ...), not of its
// date: when the forecast moves, a calendar program that reads the file again moves the events
// it already has instead of adding new ones. now stamps the events and orders the revisions.
std::string WriteForecastCalendar(const std::string& user, const ForecastSchedule& schedule,
                                  std::time_t now);

// The UID of the event of that kind ("period" or "fertile") and place (1, 2, ...) for a user;
// the same for every spelling of the name that names the same user.
std::string ForecastEventUid(const std::string& user, const char* kind, int place);

}  // namespace lunaret

#endif  // LUNARET_CORE_EXCHANGE_FORECAST_CALENDAR_H
