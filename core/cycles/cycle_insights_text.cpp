#include "core/cycles/cycle_insights_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/cycles/cycle_insights.h"

namespace lunaret {
namespace {

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

// One decimal: "29.3".
std::string Decimal(double value) {
  return Format("%.1f", value);
}

// A median: whole days without decimals, a half with one.
std::string MedianText(double value) {
  return value == std::floor(value) ? Format("%.0f", value) : Decimal(value);
}

std::string Plural(long count, const char* one, const char* many) {
  return Format("%ld %s", count, count == 1 ? one : many);
}

// "26 to 33 days", or "28 days" when all are alike.
std::string SpanText(const DayFigures& figures, const char* prefix, const char* suffix) {
  if (figures.shortest == figures.longest)
    return Format("%s%ld%s", prefix, figures.shortest, suffix);
  return Format("%s%ld to %ld%s", prefix, figures.shortest, figures.longest, suffix);
}

// "mean 29.3, median 29, 26 to 33 days, SD 2.1", or the one value.
std::string FiguresText(const DayFigures& figures, const char* prefix, const char* suffix) {
  if (figures.count == 1)
    return Format("%s%ld%s (one cycle)", prefix, figures.shortest, suffix);
  return Format("mean %s%s, median %s, %s, SD %s", prefix, Decimal(figures.mean).c_str(),
                MedianText(figures.median).c_str(), SpanText(figures, prefix, suffix).c_str(),
                Decimal(figures.deviation).c_str());
}

// "7 of 9 periods began within the range given", for the one period "the period began ...".
std::string WithinRangeText(const ForecastAccuracy& accuracy) {
  if (accuracy.cycles == 1)
    return accuracy.withinRange == 1 ? "the period began within the range given"
                                     : "the period began outside the range given";
  if (accuracy.withinRange == 0)
    return Format("none of the %d periods began within the range given", accuracy.cycles);
  return Format("%d of %d periods began within the range given", accuracy.withinRange,
                accuracy.cycles);
}

// The same for figures of only some cycles: "(4 cycles)" after them.
std::string FiguresOfSomeText(const DayFigures& figures, const char* prefix, const char* suffix) {
  if (figures.count == 1)
    return FiguresText(figures, prefix, suffix);
  return FiguresText(figures, prefix, suffix) + " (" + Plural(figures.count, "cycle", "cycles") +
         ")";
}

}  // namespace

std::string EmptyInsightsText() {
  return "Enter the first days of your past periods on the Statistics page: the insights start "
         "with the first complete cycle.";
}

std::vector<FigureRow> FigureRows(const CycleInsights& insights) {
  std::vector<FigureRow> rows;
  rows.push_back({"Completed cycles", Format("%d", insights.cycleLength.count)});
  rows.push_back({"Cycle length", insights.cycleLength.count == 0
                                      ? "No completed cycle yet"
                                      : FiguresText(insights.cycleLength, "", " days")});
  rows.push_back({"Ovulation day", insights.ovulationDay.count == 0
                                       ? "No ovulation recorded inside a cycle"
                                       : FiguresOfSomeText(insights.ovulationDay, "day ", "")});
  rows.push_back({"Luteal length", insights.lutealLength.count == 0
                                       ? "Needs an ovulation recorded inside a cycle"
                                       : FiguresOfSomeText(insights.lutealLength, "", " days")});
  const DayFigures& recent = insights.recent;
  if (recent.count < 2) {
    rows.push_back({"Spread", "Needs at least 2 cycles"});
  } else {
    const long spread = recent.longest - recent.shortest;
    rows.push_back(
        {Format("Spread of the last %d cycles", recent.count),
         Plural(spread, "day", "days") + (spread <= kRegularSpread ? ": regular" : ": irregular")});
  }
  return rows;
}

std::string ForecastUnavailableText(int cyclesUsed) {
  return Format(
      "A forecast from your history needs at least %d completed cycles of up to %ld days; you "
      "have %d.",
      kFewestForecastCycles, kLongestForecastCycle, cyclesUsed);
}

std::string ForecastText(const HistoryForecast& forecast, long forecastDuration) {
  if (!forecast.available) {
    if (forecastDuration < 1)
      return forecast.reason;
    return forecast.reason +
           Format(" Your forecast duration of %ld days stands.", forecastDuration);
  }
  return Format(
      "Next period from your history: %s, give or take %s (median of your last %d cycles: %s "
      "days). Estimated ovulation: %s; fertile window %s to %s. These are estimates, not a "
      "method of contraception.",
      FormatDate(forecast.nextStart).c_str(), Plural(forecast.range, "day", "days").c_str(),
      forecast.cyclesUsed, MedianText(forecast.median).c_str(),
      FormatDate(forecast.ovulation).c_str(), FormatDate(forecast.fertileStart).c_str(),
      FormatDate(forecast.fertileEnd).c_str());
}

std::string AccuracyText(const ForecastAccuracy& accuracy) {
  if (accuracy.cycles == 0) {
    return Format(
        "How good the forecast from your history has been shows once a cycle has %d cycles of "
        "up to %ld days before it.",
        kFewestForecastCycles, kLongestForecastCycle);
  }
  const bool one = accuracy.cycles == 1;
  std::string text = (one ? std::string("Over your last cycle")
                          : Format("Over your last %d cycles", accuracy.cycles)) +
                     " the forecast from your history was off by " +
                     Decimal(accuracy.historyError) + (one ? " days" : " days on average");
  if (accuracy.fixedLength >= 1)
    text += Format(", a fixed %ld-day cycle by %s days", accuracy.fixedLength,
                   Decimal(accuracy.fixedError).c_str());
  return text + "; " + WithinRangeText(accuracy) + ".";
}

std::string HistoryNotesText(const CycleHistory& history) {
  std::string notes;
  const auto add = [&notes](const std::string& note) {
    notes += (notes.empty() ? "" : " ") + note;
  };
  if (history.pairsLeftOut == 1)
    add("1 pair of neighbouring dates is out of order or on the same day and counts as no "
        "cycle.");
  else if (history.pairsLeftOut > 1)
    add(
        Format("%d pairs of neighbouring dates are out of order or on the same day and count as "
               "no cycle.",
               history.pairsLeftOut));
  if (history.ovulationsOutside == 1)
    add("1 ovulation date lies outside its cycle and is left out.");
  else if (history.ovulationsOutside > 1)
    add(Format("%d ovulation dates lie outside their cycles and are left out.",
               history.ovulationsOutside));
  if (!history.firstDayAdded)
    add("The first day on the General page is not after your last recorded period, so it ends "
        "no cycle.");
  return notes;
}

std::string ChartDescription(const CycleInsights& insights, std::size_t firstShown) {
  const std::vector<Cycle>& cycles = insights.history.cycles;
  if (firstShown >= cycles.size())
    return "No completed cycle to show.";
  const DayFigures shown = LengthFiguresFrom(cycles, firstShown);
  std::string text;
  if (shown.count == 1) {
    text = Format("Bar chart of cycle length in days: 1 cycle, from %s, %s.",
                  FormatDateOfTime(cycles[firstShown].start).c_str(),
                  Plural(shown.shortest, "day", "days").c_str());
    text += " Solid line: its length.";
  } else {
    const std::string lengths =
        shown.shortest == shown.longest
            ? Format("each %ld days", shown.shortest)
            : Format("shortest %ld, longest %ld days", shown.shortest, shown.longest);
    text = Format("Bar chart of cycle length in days per cycle, %d cycles from %s to %s, %s.",
                  shown.count, FormatDateOfTime(cycles[firstShown].start).c_str(),
                  FormatDateOfTime(cycles.back().start).c_str(), lengths.c_str());
    text += Format(" Solid line: the mean of these cycles, %s days.", Decimal(shown.mean).c_str());
    text += Format(" Shaded band: one standard deviation either side, %s days.",
                   Decimal(shown.deviation).c_str());
  }
  if (insights.forecastDuration > 0)
    text += Format(" Dashed line: your forecast duration, %ld days.", insights.forecastDuration);
  return text;
}

}  // namespace lunaret
