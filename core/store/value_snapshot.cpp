#include "core/store/value_snapshot.h"

#include <algorithm>

namespace lunaret {

void ValueSnapshot::Add(const void* name, std::size_t nameSize, std::uint32_t type,
                        const void* data, std::uint32_t dataSize) {
  Entry entry;
  entry.name = arena_.size();
  entry.nameSize = nameSize;
  if (nameSize > 0)
    arena_.append(static_cast<const char*>(name), nameSize);
  entry.data = arena_.size();
  entry.dataSize = dataSize;
  if (dataSize > 0)
    arena_.append(static_cast<const char*>(data), dataSize);
  entry.type = type;
  entries_.push_back(entry);
}

void ValueSnapshot::Seal() {
  const auto byName = [this](const Entry& a, const Entry& b) {
    return std::string_view(arena_.data() + a.name, a.nameSize) <
           std::string_view(arena_.data() + b.name, b.nameSize);
  };
  if (!std::is_sorted(entries_.begin(), entries_.end(), byName))
    std::sort(entries_.begin(), entries_.end(), byName);
  loaded = true;
}

const ValueSnapshot::Entry* ValueSnapshot::Find(std::string_view name) {
  for (int i = 0; i < 2; ++i) {
    const int finger = (recent_ + i) % 2;
    for (std::size_t index = fingers_[finger]; index < fingers_[finger] + 2; ++index) {
      if (index < entries_.size() && NameOf(index) == name) {
        fingers_[finger] = index;
        recent_ = finger;
        return &entries_[index];
      }
    }
  }
  std::size_t low = 0;
  std::size_t high = entries_.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (NameOf(middle) < name)
      low = middle + 1;
    else
      high = middle;
  }
  if (low == entries_.size() || NameOf(low) != name)
    return nullptr;
  recent_ = 1 - recent_;  // the finger used longest ago moves here
  fingers_[recent_] = low;
  return &entries_[low];
}

}  // namespace lunaret
