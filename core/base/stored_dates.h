#ifndef LUNARET_CORE_BASE_STORED_DATES_H
#define LUNARET_CORE_BASE_STORED_DATES_H

namespace lunaret {

// The calendar dates Lunaret stores, picks and reads from files: a 32-bit time value holds each
// of them as a local time in every time zone.
struct StoredDay {
  int year;
  int month;  // 1..12
  int day;
};
inline constexpr StoredDay kFirstStoredDay{1970, 2, 1};
inline constexpr StoredDay kLastStoredDay{2037, 12, 31};

}  // namespace lunaret

#endif  // LUNARET_CORE_BASE_STORED_DATES_H
