#ifndef LUNARET_CORE_STORE_KEY_PATH_H
#define LUNARET_CORE_STORE_KEY_PATH_H

#include <string>
#include <vector>

namespace lunaret {

// Key and value names as the SQLite store takes them from the Win32-shaped calls.

// The Win32 calls take zero-terminated names: whatever follows a zero byte is not part of it.
std::string CName(const std::string& text);

// The folded form of such a name, without a copy for the usual name without zero bytes.
std::string FoldedName(const std::string& text);

// Splits a key path at its backslashes. A trailing backslash is ignored; a leading one, two in
// a row or a name over 255 bytes make the path invalid.
bool SplitPath(const std::string& path, std::vector<std::string>* names);

// The folded copies that key names are matched by.
std::vector<std::string> FoldAll(const std::vector<std::string>& names);

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_KEY_PATH_H
