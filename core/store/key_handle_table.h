#ifndef LUNARET_CORE_STORE_KEY_HANDLE_TABLE_H
#define LUNARET_CORE_STORE_KEY_HANDLE_TABLE_H

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/store/registry.h"

namespace lunaret {

// The open key handles of the SQLite store, in memory only: opening or closing a key touches no
// file. A handle value encodes its slot and the slot's generation, so that a stale handle
// fails; values are multiples of 4 above zero, so none is HKEY_CURRENT_USER.
class KeyHandleTable {
 public:
  struct Handle {
    bool inUse = false;
    std::uintptr_t generation = 0;  // counts the uses of the slot, so stale handles fail
    sqlite3_int64 id = 0;           // the key's row
    std::uint32_t access = 0;
    bool haveChildren = false;  // children holds the list taken at the last EnumKey index 0
    std::vector<std::string> children;
    bool haveValues = false;  // values holds the names taken at the last EnumValue index 0
    std::vector<std::string> values;
  };

  KeyHandleTable();

  // The handle behind key: HKEY_CURRENT_USER's, which is never closed, or an open one; null
  // for anything else.
  Handle* Resolve(RegKey key);
  // Opens a handle on the key id with that access; 0 when a million keys are open at once.
  RegKey Add(sqlite3_int64 id, std::uint32_t access);
  // Closes an open handle (not HKEY_CURRENT_USER's); false when key is none.
  bool Close(RegKey key);

 private:
  Handle* Find(RegKey key);

  Handle root_;  // HKEY_CURRENT_USER
  std::vector<Handle> slots_;
  std::vector<std::size_t> freeSlots_;
};

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_KEY_HANDLE_TABLE_H
