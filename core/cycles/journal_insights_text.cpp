#include "core/cycles/journal_insights_text.h"

#include <cmath>
#include <cstdio>

#include "core/cycles/journal_insights.h"

namespace lunaret {
namespace {

// A mean with one decimal, without a trailing ".0".
std::string Number(double value) {
  char buffer[32];
  const double rounded = std::round(value * 10) / 10;
  if (rounded == std::floor(rounded))
    std::snprintf(buffer, sizeof buffer, "%.0f", rounded);
  else
    std::snprintf(buffer, sizeof buffer, "%.1f", rounded);
  return buffer;
}

std::string Days(long count) {
  return std::to_string(count) + (count == 1 ? " day" : " days");
}

}  // namespace

std::string PeriodLengthText(const DayFigures& periodLength) {
  if (periodLength.count == 0)
    return "Log the flow of each day of your period to learn how long your periods last.";
  if (periodLength.count == 1)
    return "Your period lasted " + Days(periodLength.shortest) +
           ", the one period with its flow logged.";
  return "Your period lasted " + Number(periodLength.mean) + " days on average over " +
         std::to_string(periodLength.count) + " periods (shortest " +
         std::to_string(periodLength.shortest) + ", longest " + Days(periodLength.longest) + ").";
}

std::string SymptomPatternText(const SymptomPattern& pattern) {
  std::string text = pattern.name + ": ";
  text += pattern.times == 1 ? "once" : std::to_string(pattern.times) + " times";
  if (pattern.onCycleDays == 0)
    return text + ", before the first recorded period";
  if (pattern.lastCycleDay - pattern.firstCycleDay + 1 > kLongestSymptomSpan)
    return text + ", spread over the cycle";
  text += pattern.times == 1 ? ", on day " : ", mostly on day";
  if (pattern.times != 1)
    text += pattern.firstCycleDay == pattern.lastCycleDay ? " " : "s ";
  text += std::to_string(pattern.firstCycleDay);
  if (pattern.lastCycleDay != pattern.firstCycleDay) {
    text += '-';
    text += std::to_string(pattern.lastCycleDay);
  }
  return text;
}

std::vector<std::string> SymptomLines(const JournalInsights& insights) {
  std::vector<std::string> lines;
  for (const SymptomPattern& pattern : insights.topSymptoms)
    lines.push_back(SymptomPatternText(pattern));
  if (lines.empty())
    lines.emplace_back("No symptoms logged yet.");
  return lines;
}

}  // namespace lunaret
