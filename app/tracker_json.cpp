#include "app/tracker_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <string>

namespace lunaret {
namespace {

using Path = std::string;

Path Key(const Path& path, const char* key) {
  return path.empty() ? key : path + "." + key;
}
Path Index(const Path& path, qsizetype i) {
  return path + "[" + std::to_string(i) + "]";
}

void Wrong(TrackerData* data, const Path& where, const char* expected) {
  data->AddProblem(where.empty() ? "the file" : where, TrackerProblemKind::kWrongShape,
                   std::string("not ") + expected);
}

// The text at key of object, or a problem when it is there but no text (or missing when
// required).
std::string Text(const QJsonObject& object, const char* key, const Path& path, TrackerData* data,
                 bool required = true) {
  const QJsonValue value = object.value(QLatin1String(key));
  if (value.isString())
    return value.toString().toStdString();
  if (required || !value.isUndefined())
    Wrong(data, Key(path, key), "a text");
  return {};
}

// The array at key of object, or a problem.
QJsonArray Array(const QJsonObject& object, const char* key, const Path& path, TrackerData* data,
                 bool required = true) {
  const QJsonValue value = object.value(QLatin1String(key));
  if (!value.isArray() && (required || !value.isUndefined()))
    Wrong(data, Key(path, key), "an array");
  return value.toArray();
}

// Calls each(object, path) for every element of array, each of which must be an object.
template <typename Each>
void Objects(const QJsonArray& array, const Path& path, TrackerData* data, Each each) {
  for (qsizetype i = 0; i < array.size(); ++i) {
    if (array[i].isObject())
      each(array[i].toObject(), Index(path, i));
    else
      Wrong(data, Index(path, i), "an object");
  }
}

std::string Words(std::string name) {
  for (char& c : name)
    c = c == '_' ? ' ' : c;
  return name;
}

// A tracker's own name of a kind of entry, as a left-out kind names it.
std::string Quoted(const std::string& name) {
  return "\"" + name + "\"";
}

void ReadClue(const QJsonArray& entries, TrackerData* data) {
  Objects(entries, {}, data, [data](const QJsonObject& entry, const Path& path) {
    const std::string type = Text(entry, "type", path, data);
    const std::string date = Text(entry, "date", path, data);
    const QJsonObject value = entry.value(QLatin1String("value")).toObject();
    const std::string option = value.value(QLatin1String("option")).toString().toStdString();
    if (type == "period")
      data->periodDays.push_back({date, path, option, true, false});
    else if (option == "ovulation_positive")
      data->ovulations.push_back({date, Key(path, "date")});
    else if (type == "pain" && !option.empty())
      data->symptoms.push_back({date, Key(path, "date"),
                                Words(option.starts_with("period_") ? option.substr(7) : option)});
    else if (type == "bbt" || type == "temperature")
      data->LeaveOut("temperature readings");
    else if (!type.empty())
      data->LeaveOut(Quoted(type) + " entries");
  });
}

// Flo writes dates with a time ("2022-12-13 00:00:00.0"): the day is its first ten characters.
std::string FloDate(const std::string& text) {
  return text.substr(0, 10);
}

void ReadFlo(const QJsonObject& data, TrackerData* out) {
  const QJsonObject operational = data.value(QLatin1String("operationalData")).toObject();
  const Path root = "operationalData";
  const Path cycles = Key(root, "cycles");
  Objects(Array(operational, "cycles", root, out), cycles, out,
          [out](const QJsonObject& cycle, const Path& path) {
            const std::string start = FloDate(Text(cycle, "period_start_date", path, out));
            out->periodDays.push_back({start, Key(path, "period_start_date"), {}, true, true});
            if (const std::string end = Text(cycle, "period_end_date", path, out, false);
                !end.empty())
              out->periodEnds.push_back({start, FloDate(end), Key(path, "period_end_date")});
          });
  const Path events = Key(root, "point_events_manual_v2");
  Objects(Array(operational, "point_events_manual_v2", root, out, false), events, out,
          [out](const QJsonObject& event, const Path& path) {
            const std::string category = Text(event, "category", path, out);
            const std::string sub = Text(event, "subcategory", path, out, false);
            if (category == "Ovulation" || (category == "OvulationTest" && sub == "Positive"))
              out->ovulations.push_back({FloDate(Text(event, "date", path, out)), path});
            else
              out->LeaveOut(Quoted(category) + " entries");
          });
  for (auto it = operational.begin(); it != operational.end(); ++it) {
    if (it.key() != QLatin1String("cycles") && it.key() != QLatin1String("point_events_manual_v2"))
      out->LeaveOut(Quoted(it.key().toStdString()) + " entries", it.value().toArray().size());
  }
}

// "YYYYMMDD" as "YYYY-MM-DD"; any other text as it is, for the check to refuse.
std::string PeriodicalDate(const std::string& text) {
  if (text.size() != 8)
    return text;
  return text.substr(0, 4) + "-" + text.substr(4, 2) + "-" + text.substr(6, 2);
}

void ReadPeriodical(const QJsonArray& parts, TrackerData* data) {
  for (qsizetype i = 0; i < parts.size(); ++i) {
    const QJsonObject part = parts[i].toObject();
    const Path path = Index({}, i);
    if (part.contains(QLatin1String("data"))) {
      Objects(Array(part, "data", path, data), Key(path, "data"), data,
              [data](const QJsonObject& event, const Path& where) {
                const std::string type = Text(event, "eventtype", where, data);
                const std::string date = PeriodicalDate(Text(event, "eventdate", where, data));
                const std::string intensity = Text(event, "intensity", where, data, false);
                if (type == "1" || type == "2")
                  data->periodDays.push_back({date, where, intensity, true, type == "1"});
                else
                  data->LeaveOut("other events");
              });
    } else if (part.contains(QLatin1String("notes"))) {
      Objects(Array(part, "notes", path, data), Key(path, "notes"), data,
              [data](const QJsonObject& note, const Path& where) {
                const std::string date = PeriodicalDate(Text(note, "eventdate", where, data));
                data->notes.push_back(
                    {date, Key(where, "eventdate"), Text(note, "content", where, data)});
              });
    } else if (part.contains(QLatin1String("symptoms"))) {
      data->LeaveOut("symptom entries", Array(part, "symptoms", path, data).size());
    }
  }
}

void ReadMensinator(const QJsonObject& file, TrackerData* data) {
  QJsonValue previousId;
  Objects(Array(file, "periods", {}, data), "periods", data,
          [&](const QJsonObject& period, const Path& path) {
            const QJsonValue id = period.value(QLatin1String("period_id"));
            data->periodDays.push_back(
                {Text(period, "date", path, data), Key(path, "date"), {}, true, id != previousId});
            previousId = id;
          });
  Objects(Array(file, "ovulations", {}, data, false), "ovulations", data,
          [data](const QJsonObject& ovulation, const Path& path) {
            data->ovulations.push_back({Text(ovulation, "date", path, data), Key(path, "date")});
          });
  data->LeaveOut("symptom entries", file.value(QLatin1String("symptom_date")).toArray().size());
}

// Which tracker the parsed document comes from; empty for none.
std::string SourceOf(const QJsonDocument& document) {
  if (document.isObject()) {
    const QJsonObject object = document.object();
    if (object.contains(QLatin1String("operationalData")))
      return "Flo";
    if (object.contains(QLatin1String("periods")))
      return "Mensinator";
    return {};
  }
  const QJsonArray array = document.array();
  if (array.isEmpty())
    return {};
  const QJsonObject first = array.first().toObject();
  if (first.contains(QLatin1String("version")) || first.contains(QLatin1String("data")))
    return "Periodical";
  if (first.contains(QLatin1String("type")) && first.contains(QLatin1String("date")))
    return "Clue";
  return {};
}

// Which tracker's keys a text holds that is no JSON.
std::string SourceOfText(const QByteArray& bytes) {
  if (bytes.contains("\"operationalData\""))
    return "Flo";
  if (bytes.contains("\"eventtype\""))
    return "Periodical";
  if (bytes.contains("\"periods\""))
    return "Mensinator";
  if (bytes.contains("\"type\""))
    return "Clue";
  return {};
}

}  // namespace

bool LooksLikeJson(const QByteArray& bytes) {
  QByteArray text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
  text = text.trimmed();
  return text.startsWith('[') || text.startsWith('{');
}

TrackerData ReadTrackerJson(const QByteArray& bytes) {
  TrackerData data;
  QJsonParseError error;
  const QByteArray text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
  const QJsonDocument document = QJsonDocument::fromJson(text, &error);
  if (document.isNull()) {
    data.source = SourceOfText(bytes);
    if (!data.source.empty()) {
      data.AddProblem("the file", TrackerProblemKind::kWrongShape,
                      "not JSON (" + error.errorString().toStdString() + " at byte " +
                          std::to_string(error.offset) + ")");
    }
    return data;
  }
  data.source = SourceOf(document);
  if (data.source == "Flo")
    ReadFlo(document.object(), &data);
  else if (data.source == "Mensinator")
    ReadMensinator(document.object(), &data);
  else if (data.source == "Periodical")
    ReadPeriodical(document.array(), &data);
  else if (data.source == "Clue")
    ReadClue(document.array(), &data);
  return data;
}

}  // namespace lunaret
