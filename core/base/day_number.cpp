#include "core/base/day_number.h"

#include <chrono>
#include <cstdio>

namespace lunaret {

namespace chrono = std::chrono;

DayNumber DayNumberOf(int year, int month, int day) {
  const chrono::year_month_day civil{chrono::year{year},
                                     chrono::month{static_cast<unsigned>(month)},
                                     chrono::day{static_cast<unsigned>(day)}};
  return static_cast<DayNumber>(chrono::sys_days{civil}.time_since_epoch().count());
}

StoredDay CivilDayOf(DayNumber number) {
  const chrono::year_month_day civil{chrono::sys_days{chrono::days{number}}};
  return {static_cast<int>(civil.year()), static_cast<int>(static_cast<unsigned>(civil.month())),
          static_cast<int>(static_cast<unsigned>(civil.day()))};
}

bool IsStoredDayNumber(DayNumber number) {
  static const DayNumber first = DayNumberOf(kFirstStoredDay);
  static const DayNumber last = DayNumberOf(kLastStoredDay);
  return number >= first && number <= last;
}

std::string DayNumberText(DayNumber number) {
  const StoredDay day = CivilDayOf(number);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", day.year, day.month, day.day);
  return buffer;
}

bool ReadDayText(std::string_view text, StoredDay* day) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-')
    return false;
  int fields[3] = {0, 0, 0};
  const std::size_t starts[3] = {0, 5, 8};
  const std::size_t lengths[3] = {4, 2, 2};
  for (int f = 0; f < 3; ++f) {
    for (std::size_t i = starts[f]; i < starts[f] + lengths[f]; ++i) {
      if (text[i] < '0' || text[i] > '9')
        return false;
      fields[f] = fields[f] * 10 + (text[i] - '0');
    }
  }
  const chrono::year_month_day civil{chrono::year{fields[0]},
                                     chrono::month{static_cast<unsigned>(fields[1])},
                                     chrono::day{static_cast<unsigned>(fields[2])}};
  if (!civil.ok())
    return false;
  *day = StoredDay{fields[0], fields[1], fields[2]};
  return true;
}

bool ReadStoredDayNumber(std::string_view text, DayNumber* number) {
  StoredDay day{};
  if (!ReadDayText(text, &day) || !IsStoredDayNumber(DayNumberOf(day)))
    return false;
  *number = DayNumberOf(day);
  return true;
}

}  // namespace lunaret
