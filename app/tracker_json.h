#ifndef LUNARET_APP_TRACKER_JSON_H
#define LUNARET_APP_TRACKER_JSON_H

#include <QByteArray>

#include "core/exchange/tracker_data.h"

namespace lunaret {

// Reads the JSON exports of Clue (measurements.json), Flo, Periodical (its backup, unpacked)
// and Mensinator into what the core converts, knowing each by its shape. where is the JSON path
// of a value ("[3].date", "operationalData.cycles[0].period_start_date"). A file that is no JSON
// is named after the tracker whose keys it holds; source stays empty for JSON of none of them.
TrackerData ReadTrackerJson(const QByteArray& bytes);

// True when bytes, blanks and a byte order mark aside, begin as a JSON array or object.
bool LooksLikeJson(const QByteArray& bytes);

}  // namespace lunaret

#endif  // LUNARET_APP_TRACKER_JSON_H
