#ifndef LUNARET_CORE_CYCLES_CYCLE_INSIGHTS_TEXT_H
#define LUNARET_CORE_CYCLES_CYCLE_INSIGHTS_TEXT_H

#include <cstddef>
#include <string>
#include <vector>

namespace lunaret {

struct CycleHistory;
struct CycleInsights;
struct ForecastAccuracy;
struct HistoryForecast;

// The English texts of the Insights tab. Dates are long date texts (FormatDate).

// Shown instead of everything else while the history has fewer than two starts.
std::string EmptyInsightsText();

// One line of the figures table.
struct FigureRow {
  std::string label;
  std::string value;

  bool operator==(const FigureRow&) const = default;
};
// Completed cycles, cycle length, ovulation day, luteal length and the spread of the last
// cycles, each with a text where the figure cannot be given.
std::vector<FigureRow> FigureRows(const CycleInsights& insights);

// Why there is no history forecast, for cyclesUsed cycles of at most 90 days.
std::string ForecastUnavailableText(int cyclesUsed);
// The history forecast, or why there is none and that the forecast duration stands.
std::string ForecastText(const HistoryForecast& forecast, long forecastDuration);
// "Over your last 9 cycles the forecast from your history was off by 1.6 days on average, a
// fixed 29-day cycle by 3.2 days; 7 of 9 periods began within the range given.", or why it
// cannot be told yet.
std::string AccuracyText(const ForecastAccuracy& accuracy);
// What was left out of the history; empty when nothing was.
std::string HistoryNotesText(const CycleHistory& history);
// For screen readers: what the chart of the cycles from index firstShown on shows, its mean
// and band those of the cycles shown (LengthFiguresFrom).
std::string ChartDescription(const CycleInsights& insights, std::size_t firstShown);

}  // namespace lunaret

#endif  // LUNARET_CORE_CYCLES_CYCLE_INSIGHTS_TEXT_H
