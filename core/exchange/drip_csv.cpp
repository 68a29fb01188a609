#include "core/exchange/drip_csv.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/exchange/csv_reader.h"
#include "core/exchange/history_csv.h"

namespace lunaret {
namespace {

// drip's pain fields that are built-in symptoms under another name; any other pain field
// becomes a symptom of her own by its name.
constexpr std::pair<std::string_view, std::string_view> kPainNames[] = {
    {"tenderbreasts", "tender breasts"},
    {"cramps", "cramps"},
    {"headache", "headache"},
    {"backache", "backache"},
    {"nausea", "nausea"},
};

std::string Lower(std::string_view text) {
  std::string lower(TrimField(text));
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// The header's column names, trimmed and in lower case.
std::vector<std::string> Header(CsvReader* reader) {
  std::vector<std::string> names;
  int line = 0;
  bool unterminated = false;
  reader->Next([&](std::size_t, std::string_view text) { names.push_back(Lower(text)); }, &line,
               &unterminated);
  return names;
}

bool IsDripHeader(const std::vector<std::string>& names) {
  bool date = false, path = false;
  for (const std::string& name : names) {
    date = date || name == "date";
    path = path || name.starts_with("bleeding.") || name.starts_with("note.") ||
           name.starts_with("pain.") || name.starts_with("temperature.") ||
           name.starts_with("mood.");
  }
  return date && path;
}

std::string_view Root(std::string_view name) {
  return name.substr(0, name.find('.'));
}

std::string LeftOutKind(std::string_view root) {
  if (root == "temperature")
    return "temperature readings";
  return "\"" + std::string(root) + "\" entries";
}

}  // namespace

bool IsDripCsv(std::string_view bytes) {
  if (CheckCsvText(&bytes, kMaxHistoryFileBytes) != CsvText::kOk)
    return false;
  CsvReader reader(bytes);
  return IsDripHeader(Header(&reader));
}

TrackerData ReadDripCsv(std::string_view bytes) {
  TrackerData data;
  data.source = "drip";
  if (CheckCsvText(&bytes, kMaxHistoryFileBytes) != CsvText::kOk) {
    data.AddProblem("the file", TrackerProblemKind::kWrongShape, "not UTF-8 text of at most 10 MB");
    return data;
  }
  CsvReader reader(bytes);
  const std::vector<std::string> names = Header(&reader);
  std::vector<std::string> fields(names.size());
  int line = 0;
  bool unterminated = false;
  const auto onField = [&](std::size_t column, std::string_view text) {
    if (column < fields.size())
      fields[column].assign(TrimField(text));
  };
  while (true) {
    for (std::string& field : fields)
      field.clear();
    if (!reader.Next(onField, &line, &unterminated))
      break;
    const std::string where = "line " + std::to_string(line);
    if (unterminated) {
      data.AddProblem(where, TrackerProblemKind::kWrongShape, "a quoted field is not closed");
      break;
    }
    std::string date, bleeding, note;
    bool exclude = false, blank = true;
    std::vector<std::string> pains, leftOutKinds;
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string& name = names[i];
      const std::string& field = fields[i];
      const bool yes = Lower(field) == "true";
      blank = blank && field.empty();
      if (name == "date")
        date = field;
      else if (name == "bleeding.value")
        bleeding = field;
      else if (name == "bleeding.exclude")
        exclude = yes;
      else if (name == "note.value")
        note = field;
      else if (name.starts_with("pain.") && name != "pain.note" && yes)
        pains.push_back(name.substr(5));
      else if (name.find('.') != std::string::npos && !field.empty() && Lower(field) != "false")
        leftOutKinds.push_back(name == "pain.note" ? "pain notes" : LeftOutKind(Root(name)));
    }
    if (blank)
      continue;
    if (date.empty()) {
      data.AddProblem(where, TrackerProblemKind::kNotADate, date);
      continue;
    }
    if (!bleeding.empty())
      data.periodDays.push_back({date, where, bleeding, !exclude, false});
    if (!note.empty())
      data.notes.push_back({date, where, note});
    for (std::string& pain : pains) {
      for (const auto& [drip, lunaret] : kPainNames)
        pain = pain == drip ? std::string(lunaret) : pain;
      data.symptoms.push_back({date, where, pain});
    }
    // Once per kind and day.
    std::sort(leftOutKinds.begin(), leftOutKinds.end());
    leftOutKinds.erase(std::unique(leftOutKinds.begin(), leftOutKinds.end()), leftOutKinds.end());
    for (const std::string& kind : leftOutKinds)
      data.LeaveOut(kind);
  }
  return data;
}

}  // namespace lunaret
