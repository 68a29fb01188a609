#ifndef LUNARET_CORE_BASE_TIME_VALUE_H
#define LUNARET_CORE_BASE_TIME_VALUE_H

#include <cstdint>

namespace lunaret {

using TimeValue = std::int32_t;  // seconds since 1970-01-01 00:00:00 UTC

}  // namespace lunaret

#endif  // LUNARET_CORE_BASE_TIME_VALUE_H
