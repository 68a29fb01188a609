#ifndef LUNARET_CORE_EXCHANGE_DRIP_CSV_H
#define LUNARET_CORE_EXCHANGE_DRIP_CSV_H

#include <string_view>

#include "core/exchange/tracker_data.h"

namespace lunaret {

// drip's CSV export: a header of field paths ("date", "bleeding.value", "bleeding.exclude",
// "note.value", "pain.cramps", "mood.happy", "temperature.value", ...), any of them, in any
// order, one row per day. bleeding.value 0 to 3 is the day's flow; a day with bleeding.exclude
// "true" keeps its flow but starts no period; note.value is the note; a pain.* field "true" is
// that symptom. The other fields drip writes are counted by their first part.

// True when the header has a "date" column and one of drip's field paths.
bool IsDripCsv(std::string_view bytes);

// Reads the file's rows; where is "line N". The file's size and text are checked as a history
// file's (kMaxHistoryFileBytes).
TrackerData ReadDripCsv(std::string_view bytes);

}  // namespace lunaret

#endif  // LUNARET_CORE_EXCHANGE_DRIP_CSV_H
