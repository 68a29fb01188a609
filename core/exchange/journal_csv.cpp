#include "core/exchange/journal_csv.h"

#include <algorithm>
#include <array>
#include <set>

#include "core/base/journal_names.h"
#include "core/cycles/dates.h"
#include "core/exchange/csv_reader.h"
#include "core/exchange/history_csv.h"

namespace lunaret {
namespace {

constexpr std::string_view kHeader = "date,flow,symptoms,mood,note\r\n";
constexpr std::array<std::string_view, 5> kColumns = {"date", "flow", "symptoms", "mood", "note"};
enum Column { kDate, kFlow, kSymptoms, kMood, kNote };

void AppendField(std::string* out, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    out->append(field);
    return;
  }
  out->push_back('"');
  for (const char c : field) {
    if (c == '"')
      out->push_back('"');
    out->push_back(c);
  }
  out->push_back('"');
}

std::string SymptomsText(const JournalDay& day) {
  std::string text;
  const auto add = [&text](std::string_view name) {
    if (!text.empty())
      text += ';';
    text += name;
  };
  for (int s = 0; s < kSymptomCount; ++s) {
    if (day.Has(static_cast<Symptom>(s)))
      add(SymptomName(static_cast<Symptom>(s)));
  }
  for (const std::string& name : day.ownSymptoms)
    add(name);
  return text;
}

// Reads the symptoms field into day; false with the symptom at fault in *bad.
bool ReadSymptoms(std::string_view field, JournalDay* day, std::string* bad) {
  while (!field.empty()) {
    const std::size_t end = std::min(field.find(';'), field.size());
    const std::string name(TrimField(field.substr(0, end)));
    field.remove_prefix(std::min(end + 1, field.size()));
    Symptom symptom = Symptom::kCramps;
    if (name.empty())
      continue;
    if (SymptomFromName(name, &symptom)) {
      day->symptoms |= SymptomBit(symptom);
      continue;
    }
    if (!IsOwnSymptomName(name) || day->ownSymptoms.size() >= kMaxOwnSymptomsPerDay) {
      *bad = name;
      return false;
    }
    if (std::find(day->ownSymptoms.begin(), day->ownSymptoms.end(), name) == day->ownSymptoms.end())
      day->ownSymptoms.push_back(name);
  }
  return true;
}

}  // namespace

std::string WriteJournalCsv(const Journal& journal) {
  std::string out(kHeader);
  for (const auto& [date, day] : journal) {
    out += DayNumberText(date);
    out += ',';
    if (day.flow != Flow::kNone)
      out += FlowName(day.flow);
    out += ',';
    AppendField(&out, SymptomsText(day));
    out += ',';
    if (day.mood != Mood::kNone)
      out += MoodName(day.mood);
    out += ',';
    AppendField(&out, day.note);
    out += "\r\n";
  }
  return out;
}

JournalFile ReadJournalCsv(std::string_view bytes) {
  JournalFile file;
  switch (CheckCsvText(&bytes, kMaxJournalFileBytes)) {
    case CsvText::kEmpty:
      file.error = JournalFileError::kEmpty;
      return file;
    case CsvText::kTooLarge:
      file.error = JournalFileError::kTooLarge;
      return file;
    case CsvText::kNotText:
      file.error = JournalFileError::kNotText;
      return file;
    case CsvText::kOk:
      break;
  }

  CsvReader reader(bytes);
  int line = 0;
  bool unterminated = false;
  constexpr std::size_t kNone = std::string::npos;
  std::array<std::size_t, kColumns.size()> columns;
  columns.fill(kNone);
  reader.Next(
      [&](std::size_t column, std::string_view text) {
        for (std::size_t c = 0; c < kColumns.size(); ++c) {
          if (columns[c] == kNone && IsColumnName(text, kColumns[c])) {
            columns[c] = column;
            break;
          }
        }
      },
      &line, &unterminated);
  if (columns[kDate] == kNone ||
      std::all_of(columns.begin() + 1, columns.end(), [](std::size_t c) { return c == kNone; })) {
    file.error = JournalFileError::kNotAJournal;
    return file;
  }

  const auto addBad = [&file, &line](JournalRowProblem problem, std::string_view text) {
    if (file.badRows.size() < kBadRowsKept)
      file.badRows.push_back({line, problem, std::string(text)});
    ++file.badRowCount;
  };
  // The fields read, copied: a quoted field's text lasts only while it is handed over.
  std::array<std::string, kColumns.size()> fields;
  bool blank = true;
  const auto onField = [&](std::size_t column, std::string_view text) {
    blank = blank && TrimField(text).empty();
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
      if (column == columns[c])
        fields[c].assign(c == kNote ? text : TrimField(text));
    }
  };
  std::set<DayNumber> seen;
  while (true) {
    for (std::string& field : fields)
      field.clear();
    blank = true;
    if (!reader.Next(onField, &line, &unterminated))
      break;
    if (unterminated) {
      addBad(JournalRowProblem::kUnterminatedQuote, {});
      break;
    }
    if (blank)
      continue;
    CalendarDate date;
    JournalDay day;
    std::string badSymptom;
    if (fields[kDate].empty()) {
      addBad(JournalRowProblem::kMissingDate, {});
      continue;
    }
    const DateTextKind kind = ReadDateText(fields[kDate], &date);
    if (kind != DateTextKind::kStoredDay) {
      addBad(kind == DateTextKind::kOutOfRange ? JournalRowProblem::kOutOfRange
                                               : JournalRowProblem::kNotADate,
             fields[kDate]);
      continue;
    }
    const DayNumber number = DayNumberOf(date.year, date.month, date.day);
    if (!seen.insert(number).second)
      addBad(JournalRowProblem::kRepeatedDate, fields[kDate]);
    else if (!FlowFromName(fields[kFlow], &day.flow))
      addBad(JournalRowProblem::kUnknownFlow, fields[kFlow]);
    else if (!MoodFromName(fields[kMood], &day.mood))
      addBad(JournalRowProblem::kUnknownMood, fields[kMood]);
    else if (!ReadSymptoms(fields[kSymptoms], &day, &badSymptom))
      addBad(JournalRowProblem::kBadSymptom, badSymptom);
    else if (day.note = fields[kNote]; !IsNoteText(day.note))
      addBad(JournalRowProblem::kNoteTooLong, {});
    else if (!day.empty())
      file.days.emplace(number, std::move(day));
  }
  return file;
}

}  // namespace lunaret
