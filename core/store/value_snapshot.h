#ifndef LUNARET_CORE_STORE_VALUE_SNAPSHOT_H
#define LUNARET_CORE_STORE_VALUE_SNAPSHOT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lunaret {

// All values of one key, read at once inside a transaction when the key's values are read one
// by one many times (a statistics load); a write to the key drops them again.
class ValueSnapshot {
 public:
  struct Entry {
    std::size_t name = 0;  // offsets into the arena
    std::size_t nameSize = 0;
    std::size_t data = 0;
    std::uint32_t dataSize = 0;
    std::uint32_t type = 0;
  };
  int queries = 0;
  bool loaded = false;

  void Add(const void* name, std::size_t nameSize, std::uint32_t type, const void* data,
           std::uint32_t dataSize);
  // Sorts the entries by name, unless they came sorted.
  void Seal();
  const Entry* Find(std::string_view name);
  const char* Bytes(const Entry& entry) const { return arena_.data() + entry.data; }

 private:
  std::string_view NameOf(std::size_t index) const {
    return {arena_.data() + entries_[index].name, entries_[index].nameSize};
  }
  std::string arena_;           // every folded name and value, back to back
  std::vector<Entry> entries_;  // in the byte order of the names, as SQLite compares blobs
  // Reads mostly walk the names in order, in two interleaved runs (a record's date, then its
  // ovulation): the next name is usually right after one of the last two found.
  std::size_t fingers_[2] = {0, 0};
  int recent_ = 0;
};

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_VALUE_SNAPSHOT_H
