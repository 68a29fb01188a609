#ifndef LUNARET_CORE_BASE_UTF8_H
#define LUNARET_CORE_BASE_UTF8_H

#include <cstddef>
#include <string_view>

namespace lunaret {

// UTF-8 whatever the process's encoding: files Lunaret reads and writes, and the journal's texts,
// which the store keeps as UTF-8 bytes on every platform.

// Well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF) without zero
// bytes, which no text holds.
bool IsUtf8Text(std::string_view bytes);

// The number of Unicode characters of well-formed UTF-8 text: its bytes that do not continue a
// sequence.
std::size_t Utf8Length(std::string_view text);

}  // namespace lunaret

#endif  // LUNARET_CORE_BASE_UTF8_H
