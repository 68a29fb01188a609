#include "core/store/key_handle_table.h"

namespace lunaret {
namespace {

constexpr unsigned kSlotBits = 20;
constexpr std::uintptr_t kSlotMask = (std::uintptr_t{1} << kSlotBits) - 1;

RegKey EncodeHandle(std::size_t slot, std::uintptr_t generation) {
  return ((generation << kSlotBits) | (slot + 1)) << 2;
}

std::size_t SlotOf(RegKey key) {
  return static_cast<std::size_t>(((key >> 2) & kSlotMask) - 1);
}

}  // namespace

KeyHandleTable::KeyHandleTable() {
  root_.inUse = true;
  root_.access = kKeyAllAccess;
}

KeyHandleTable::Handle* KeyHandleTable::Find(RegKey key) {
  if ((key & 3) != 0)
    return nullptr;
  const std::uintptr_t slot = ((key >> 2) & kSlotMask) - 1;
  if (slot >= slots_.size())
    return nullptr;
  Handle& handle = slots_[slot];
  if (!handle.inUse || EncodeHandle(slot, handle.generation) != key)
    return nullptr;
  return &handle;
}

KeyHandleTable::Handle* KeyHandleTable::Resolve(RegKey key) {
  return key == kCurrentUser ? &root_ : Find(key);
}

RegKey KeyHandleTable::Add(sqlite3_int64 id, std::uint32_t access) {
  std::size_t slot = 0;
  if (!freeSlots_.empty()) {
    slot = freeSlots_.back();
    freeSlots_.pop_back();
  } else {
    if (slots_.size() >= kSlotMask)
      return 0;  // a million keys open at once: refused
    slot = slots_.size();
    slots_.emplace_back();
  }
  Handle& handle = slots_[slot];
  handle.inUse = true;
  handle.generation = (handle.generation + 1) & (~std::uintptr_t{0} >> (kSlotBits + 2));
  handle.id = id;
  handle.access = access;
  handle.haveChildren = false;
  handle.children.clear();
  handle.haveValues = false;
  handle.values.clear();
  return EncodeHandle(slot, handle.generation);
}

bool KeyHandleTable::Close(RegKey key) {
  Handle* handle = Find(key);
  if (handle == nullptr)
    return false;
  handle->inUse = false;
  handle->children.clear();
  handle->children.shrink_to_fit();
  handle->values.clear();
  handle->values.shrink_to_fit();
  freeSlots_.push_back(SlotOf(key));
  return true;
}

}  // namespace lunaret
