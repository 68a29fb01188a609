#ifndef LUNARET_CORE_EXCHANGE_SPAN_CSV_H
#define LUNARET_CORE_EXCHANGE_SPAN_CSV_H

#include <string_view>

#include "core/exchange/tracker_data.h"

namespace lunaret {

// A spreadsheet's periods as a "start" and an "end" column (YYYY-MM-DD; the end may be empty),
// an "ovulation" column if there is one. Each row is a period of its own; Lunaret keeps its
// start and its ovulation, and checks that the end is a date on or after the start.

// True when the header names both a "start" and an "end" column.
bool IsSpanCsv(std::string_view bytes);

// Reads the rows; where is "line N". Size and text are checked as a history file's.
TrackerData ReadSpanCsv(std::string_view bytes);

}  // namespace lunaret

#endif  // LUNARET_CORE_EXCHANGE_SPAN_CSV_H
