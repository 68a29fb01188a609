#include "core/exchange/tracker_import.h"

#include <algorithm>
#include <set>

#include "core/base/journal_names.h"
#include "core/cycles/dates.h"
#include "core/exchange/tracker_flows.h"

namespace lunaret {
namespace {

struct PeriodDay {
  Flow flow = Flow::kNone;
  bool counts = false;
  bool startsPeriod = false;
};

void AddProblem(TrackerImport* out, const std::string& where, TrackerProblemKind kind,
                const std::string& text) {
  if (out->problems.size() < kTrackerProblemsKept)
    out->problems.push_back({where, kind, text});
  ++out->problemCount;
}

// The day a date text names, or a problem at where; false then.
bool ReadDay(const std::string& text, const std::string& where, TrackerImport* out,
             DayNumber* day) {
  CalendarDate date;
  switch (ReadDateText(text, &date)) {
    case DateTextKind::kStoredDay:
      *day = DayNumberOf(date.year, date.month, date.day);
      return true;
    case DateTextKind::kNotADate:
      AddProblem(out, where, TrackerProblemKind::kNotADate, text);
      break;
    case DateTextKind::kOutOfRange:
      AddProblem(out, where, TrackerProblemKind::kOutOfRange, text);
      break;
  }
  return false;
}

// 01:01:01 local time on the day, as a picked date.
TimeValue PickedTime(DayNumber day) {
  const StoredDay civil = CivilDayOf(day);
  return MakeTimeValue(MakeDate(civil.year, civil.month, civil.day), 1, 1, 1);
}

DayNumber DayOfTime(TimeValue t) {
  CalendarDate date;
  return LocalDateOf(t, &date) ? DayNumberOf(date.year, date.month, date.day) : 0;
}

void AddSymptom(const std::string& name, JournalDay* day, TrackerImport* out) {
  if (Symptom symptom; SymptomFromName(name, &symptom)) {
    day->symptoms |= SymptomBit(symptom);
  } else if (!IsOwnSymptomName(name)) {
    ++out->leftOut["symptoms Lunaret cannot name"];
  } else if (std::find(day->ownSymptoms.begin(), day->ownSymptoms.end(), name) ==
             day->ownSymptoms.end()) {
    if (day->ownSymptoms.size() < kMaxOwnSymptomsPerDay)
      day->ownSymptoms.push_back(name);
    else
      ++out->leftOut["symptoms beyond 50 of one day"];
  }
}

// The records of the runs of period days that count, in date order.
std::vector<StatisticsRecord> Runs(const std::map<DayNumber, PeriodDay>& days) {
  std::vector<StatisticsRecord> records;
  bool any = false;
  DayNumber previous = 0;
  for (const auto& [day, period] : days) {
    if (!period.counts)
      continue;
    if (!any || day - previous > 2 || period.startsPeriod)
      records.push_back({PickedTime(day), 0});
    any = true;
    previous = day;
  }
  return records;
}

// Gives each ovulation to the record whose cycle holds it: the latest start on or before it,
// of the file's records or her own.
void PlaceOvulations(const std::set<DayNumber>& ovulations,
                     const std::vector<StatisticsRecord>& existing, TrackerImport* out) {
  std::map<DayNumber, std::size_t> starts;  // day -> index in out->records, or npos
  for (std::size_t i = 0; i < out->records.size(); ++i)
    starts[DayOfTime(out->records[i].mensesDate)] = i;
  for (const StatisticsRecord& record : existing)
    starts.emplace(DayOfTime(record.mensesDate), std::string::npos);
  for (DayNumber ovulation : ovulations) {
    auto holder = starts.upper_bound(ovulation);
    if (holder == starts.begin()) {
      ++out->leftOut["ovulations before the first period"];
      continue;
    }
    --holder;
    if (holder->second == std::string::npos) {
      holder->second = out->records.size();
      out->records.push_back({PickedTime(holder->first), 0});
    }
    StatisticsRecord& record = out->records[holder->second];
    if (record.ovulationDate != 0) {
      ++out->leftOut["second ovulations of a cycle"];
      continue;
    }
    record.ovulationDate = PickedTime(ovulation);
    ++out->ovulations;
  }
  std::sort(out->records.begin(), out->records.end(),
            [](const StatisticsRecord& a, const StatisticsRecord& b) {
              return a.mensesDate < b.mensesDate;
            });
}

}  // namespace

TrackerImport ConvertTrackerData(const TrackerData& data,
                                 const std::vector<StatisticsRecord>& existing) {
  TrackerImport out;
  out.source = data.source;
  out.leftOut = data.leftOut;
  out.problems = data.problems;
  out.problemCount = data.problemCount;

  std::map<DayNumber, PeriodDay> periodDays;
  for (const TrackerPeriodDay& entry : data.periodDays) {
    DayNumber day = 0;
    Flow flow = Flow::kNone;
    if (!entry.flow.empty() && !TrackerFlow(data.source, entry.flow, &flow)) {
      AddProblem(&out, entry.where, TrackerProblemKind::kUnknownFlow, entry.flow);
      continue;
    }
    if (!ReadDay(entry.date, entry.where, &out, &day))
      continue;
    PeriodDay& period = periodDays[day];
    period.flow = std::max(period.flow, flow);
    period.counts = period.counts || entry.counts;
    period.startsPeriod = period.startsPeriod || entry.startsPeriod;
  }
  // A bad start is a problem of its period day already.
  for (const TrackerPeriodEnd& span : data.periodEnds) {
    CalendarDate start;
    DayNumber last = 0;
    if (ReadDay(span.end, span.where, &out, &last) &&
        ReadDateText(span.start, &start) == DateTextKind::kStoredDay &&
        last < DayNumberOf(start.year, start.month, start.day))
      AddProblem(&out, span.where, TrackerProblemKind::kWrongShape, "the end is before the start");
  }
  std::set<DayNumber> ovulations;
  for (const TrackerDate& entry : data.ovulations) {
    if (DayNumber day = 0; ReadDay(entry.date, entry.where, &out, &day))
      ovulations.insert(day);
  }
  for (const TrackerDayText& note : data.notes) {
    DayNumber day = 0;
    if (!ReadDay(note.date, note.where, &out, &day) || note.text.empty())
      continue;
    std::string& text = out.days[day].note;
    const std::string joined = text.empty() ? note.text : text + "\n" + note.text;
    if (IsNoteText(joined))
      text = joined;
    else
      ++out.leftOut["notes longer than 2000 characters"];
  }
  for (const TrackerDayText& symptom : data.symptoms) {
    if (DayNumber day = 0; ReadDay(symptom.date, symptom.where, &out, &day))
      AddSymptom(symptom.text, &out.days[day], &out);
  }
  if (!out.ok())
    return out;

  for (const auto& [day, period] : periodDays) {
    if (period.flow != Flow::kNone)
      out.days[day].flow = period.flow;
  }
  std::erase_if(out.days, [](const auto& entry) { return entry.second.empty(); });
  out.records = Runs(periodDays);
  PlaceOvulations(ovulations, existing, &out);
  return out;
}

}  // namespace lunaret
