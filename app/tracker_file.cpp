#include "app/tracker_file.h"

#include <string>
#include <string_view>

#include "app/tracker_json.h"
#include "core/exchange/drip_csv.h"
#include "core/exchange/gzip_reader.h"
#include "core/exchange/history_csv.h"
#include "core/exchange/span_csv.h"

namespace lunaret {
namespace {

void Refuse(TrackerData* data, std::string source, std::string what) {
  *data = {};
  data->source = std::move(source);
  data->AddProblem("the file", TrackerProblemKind::kWrongShape, std::move(what));
}

void ReadGzip(const QByteArray& bytes, TrackerData* data) {
  std::string unpacked;
  switch (Gunzip(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                 &unpacked)) {
    case GzipResult::kDamaged:
      return Refuse(data, "Periodical", "damaged gzip data");
    case GzipResult::kTooLarge:
      return Refuse(data, "Periodical", "unpacks to more than 100 MB");
    case GzipResult::kOk:
      break;
  }
  *data = ReadTrackerJson(QByteArray::fromStdString(unpacked));
  if (data->source.empty())
    Refuse(data, "Periodical", "gzip of no tracker's JSON");
}

}  // namespace

bool ReadTrackerFile(const QByteArray& bytes, TrackerData* data) {
  const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  const bool gzip = IsGzip(text);
  if (!gzip && !LooksLikeJson(bytes) && !IsDripCsv(text) && !IsSpanCsv(text))
    return false;  // a journal or history file
  if (static_cast<std::size_t>(bytes.size()) > kMaxHistoryFileBytes) {
    Refuse(data, gzip ? "Periodical" : (LooksLikeJson(bytes) ? "JSON" : "CSV"),
           "larger than 10 MB");
    return true;
  }
  if (gzip)
    ReadGzip(bytes, data);
  else if (LooksLikeJson(bytes))
    *data = ReadTrackerJson(bytes);
  else if (IsDripCsv(text))
    *data = ReadDripCsv(text);
  else
    *data = ReadSpanCsv(text);
  if (data->source.empty())
    Refuse(data, "JSON", "not an export of Clue, Flo, Periodical or Mensinator");
  return true;
}

}  // namespace lunaret
