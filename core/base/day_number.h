#ifndef LUNARET_CORE_BASE_DAY_NUMBER_H
#define LUNARET_CORE_BASE_DAY_NUMBER_H

#include <cstdint>
#include <string>
#include <string_view>

#include "core/base/stored_dates.h"

namespace lunaret {

// A calendar day as a number: days from 1970-01-01 in the Gregorian calendar, without time of
// day or time zone. The journal keys its days by it; the difference of two is their distance in
// calendar days.
using DayNumber = std::int32_t;

DayNumber DayNumberOf(int year, int month, int day);
inline DayNumber DayNumberOf(const StoredDay& day) {
  return DayNumberOf(day.year, day.month, day.day);
}
StoredDay CivilDayOf(DayNumber number);

// True from kFirstStoredDay to kLastStoredDay, both included.
bool IsStoredDayNumber(DayNumber number);

// "YYYY-MM-DD".
std::string DayNumberText(DayNumber number);
// Reads exactly "YYYY-MM-DD" naming a real day of the Gregorian calendar, in or out of the
// stored range.
bool ReadDayText(std::string_view text, StoredDay* day);
// The same, within the stored range.
bool ReadStoredDayNumber(std::string_view text, DayNumber* number);

}  // namespace lunaret

#endif  // LUNARET_CORE_BASE_DAY_NUMBER_H
