#ifndef LUNARET_APP_TRACKER_FILE_H
#define LUNARET_APP_TRACKER_FILE_H

#include <QByteArray>

#include "core/exchange/tracker_data.h"

namespace lunaret {

// Knows another tracker's export by its content and reads it: a gzip file (Periodical's
// backup, unpacked to at most kMaxUnpackedBytes), JSON (tracker_json.h), drip's CSV or a
// spreadsheet's start,end columns. False when bytes are none of these; *data then stays empty.
// A file over kMaxHistoryFileBytes is refused as the tracker's whose it looks.
bool ReadTrackerFile(const QByteArray& bytes, TrackerData* data);

}  // namespace lunaret

#endif  // LUNARET_APP_TRACKER_FILE_H
