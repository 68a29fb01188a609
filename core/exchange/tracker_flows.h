#ifndef LUNARET_CORE_EXCHANGE_TRACKER_FLOWS_H
#define LUNARET_CORE_EXCHANGE_TRACKER_FLOWS_H

#include <string_view>

#include "core/base/journal_day.h"

namespace lunaret {

// The flow a tracker's value of a period day means, by the tracker's name and its value as the
// export writes it (ASCII letter case aside). False for a value the tracker does not write.
bool TrackerFlow(std::string_view source, std::string_view value, Flow* flow);

}  // namespace lunaret

#endif  // LUNARET_CORE_EXCHANGE_TRACKER_FLOWS_H
