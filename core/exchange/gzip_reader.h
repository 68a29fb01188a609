#ifndef LUNARET_CORE_EXCHANGE_GZIP_READER_H
#define LUNARET_CORE_EXCHANGE_GZIP_READER_H

#include <cstddef>
#include <string>
#include <string_view>

namespace lunaret {

// The most a gzip file may unpack to: more is refused as a gzip bomb.
inline constexpr std::size_t kMaxUnpackedBytes = 100 * 1024 * 1024;

enum class GzipResult {
  kOk,
  kDamaged,   // not whole gzip data, or data after its end
  kTooLarge,  // unpacks to more than the limit
};

// True when bytes begin as gzip data does.
bool IsGzip(std::string_view bytes);

// Unpacks gzip data (one member or several) through zlib into *out, stopping as soon as it
// passes limit bytes; *out is cleared unless the result is kOk.
GzipResult Gunzip(std::string_view bytes, std::string* out, std::size_t limit = kMaxUnpackedBytes);

}  // namespace lunaret

#endif  // LUNARET_CORE_EXCHANGE_GZIP_READER_H
