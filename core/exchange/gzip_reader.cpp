#include "core/exchange/gzip_reader.h"

#include <zlib.h>

#include <algorithm>

namespace lunaret {
namespace {

constexpr std::size_t kChunk = 256 * 1024;

// One inflate stream, ended whatever way the read leaves.
class Inflater {
 public:
  Inflater() { ok_ = inflateInit2(&stream_, 16 + MAX_WBITS) == Z_OK; }
  ~Inflater() {
    if (ok_)
      inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  bool ok() const { return ok_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

GzipResult Inflate(std::string_view bytes, std::string* out, std::size_t limit) {
  Inflater inflater;
  if (!inflater.ok())
    return GzipResult::kDamaged;
  z_stream& stream = inflater.stream();
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  while (true) {
    const std::size_t before = out->size();
    // Room for one chunk, and no more than one byte past the limit: that byte tells a bomb.
    const std::size_t room = std::min(kChunk, limit + 1 - before);
    out->resize(before + room);
    stream.next_out = reinterpret_cast<Bytef*>(out->data() + before);
    stream.avail_out = static_cast<uInt>(room);
    const int status = inflate(&stream, Z_NO_FLUSH);
    out->resize(before + room - stream.avail_out);
    if (out->size() > limit)
      return GzipResult::kTooLarge;
    if (status == Z_STREAM_END) {
      if (stream.avail_in == 0)
        return GzipResult::kOk;
      // Another member follows, as gzip writes concatenated files.
      if (!IsGzip(
              std::string_view(reinterpret_cast<const char*>(stream.next_in), stream.avail_in)) ||
          inflateReset(&stream) != Z_OK)
        return GzipResult::kDamaged;
      continue;
    }
    if (status != Z_OK && !(status == Z_BUF_ERROR && stream.avail_out == 0))
      return GzipResult::kDamaged;
    if (stream.avail_in == 0 && stream.avail_out != 0)
      return GzipResult::kDamaged;  // the data ends before the stream does
  }
}

}  // namespace

bool IsGzip(std::string_view bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1f &&
         static_cast<unsigned char>(bytes[1]) == 0x8b;
}

GzipResult Gunzip(std::string_view bytes, std::string* out, std::size_t limit) {
  out->clear();
  if (!IsGzip(bytes) || bytes.size() > UINT32_MAX)
    return GzipResult::kDamaged;
  const GzipResult result = Inflate(bytes, out, limit);
  if (result != GzipResult::kOk)
    out->clear();
  return result;
}

}  // namespace lunaret
