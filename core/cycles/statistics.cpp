#include "core/cycles/statistics.h"

#include <algorithm>
#include <cstdio>

#include "core/cycles/dates.h"

namespace lunaret {
namespace {

std::string Format(const char* format, int value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string FormatWithDate(const char* format, const std::string& date, int value) {
  char buffer[320];
  std::snprintf(buffer, sizeof buffer, format, date.c_str(), value);
  return buffer;
}

}  // namespace

long DurationDays(const StatisticsRecord* previous, const StatisticsRecord* next) {
  if (previous == nullptr || next == nullptr)
    return -1;
  return DayDifference(next->mensesDate, previous->mensesDate);
}

long OvulationOffsetDays(const StatisticsRecord& record) {
  return DayDifference(record.ovulationDate, record.mensesDate);
}

std::string IdText(int index) {
  return Format("%d.", index + 1);
}

std::string MensesText(const StatisticsRecord& record) {
  return FormatDateOfTime(record.mensesDate);
}

std::string OvulationTextLoaded(const StatisticsRecord& record) {
  if (record.ovulationDate <= 0)
    return {};
  return FormatWithDate("%s (%d days)", FormatDateOfTime(record.ovulationDate),
                        static_cast<int>(OvulationOffsetDays(record)));
}

std::string OvulationTextPicked(const StatisticsRecord& record) {
  if (record.ovulationDate <= 0)
    return {};
  return FormatWithDate("%s (day %d)", FormatDateOfTime(record.ovulationDate),
                        static_cast<int>(OvulationOffsetDays(record)));
}

std::string DurationTextLoaded(long days) {
  return Format("%d days", static_cast<int>(days));
}

std::string DurationTextRecomputed(long days) {
  if (days <= 0)
    return {};
  return Format("%d days", static_cast<int>(days));
}

}  // namespace lunaret
