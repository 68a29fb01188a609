#ifndef LUNARET_CORE_STORE_JOURNAL_DAY_BYTES_H
#define LUNARET_CORE_STORE_JOURNAL_DAY_BYTES_H

#include <string>
#include <string_view>
#include <vector>

#include "core/base/journal_day.h"

namespace lunaret {

// The stored form of a journal day, kept as a REG_BINARY value. Version 1, all numbers little
// endian:
//   byte 0      format version, 1
//   byte 1      flow, 0 (none) to 4 (heavy)
//   byte 2      mood, 0 (none) to 6 (energetic)
//   bytes 3-4   the built-in symptoms, bit n for Symptom n (bits 10-15 zero)
//   byte 5      n, how many of her own symptoms follow (at most kMaxOwnSymptomsPerDay)
//   n times     one byte length, then that many bytes of the name's UTF-8
//   2 bytes     the note's length in bytes, then its UTF-8
// and nothing after it.
inline constexpr unsigned char kJournalDayFormat = 1;

// False (and no bytes) for a day that is not IsValidJournalDay.
bool EncodeJournalDay(const JournalDay& day, std::string* bytes);
// False for anything else than what EncodeJournalDay writes: another version, a field out of
// range, a length past the end, bytes after the note, text that is not valid for its field.
// Never reads outside bytes; *day is set only on success.
bool DecodeJournalDay(std::string_view bytes, JournalDay* day);

// Her own symptom names to pick from, as one value: byte 0 the format version (1), bytes 1-2 the
// count (at most kMaxOwnSymptomNames), then each name as a byte of length and its UTF-8. Every
// name IsOwnSymptomName, none twice.
bool EncodeSymptomNames(const std::vector<std::string>& names, std::string* bytes);
bool DecodeSymptomNames(std::string_view bytes, std::vector<std::string>* names);

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_JOURNAL_DAY_BYTES_H
