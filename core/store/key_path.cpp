#include "core/store/key_path.h"

#include <cstddef>

#include "core/base/text.h"

namespace lunaret {
namespace {

// Registry key names are at most 255 bytes; a longer one could never be read back through the
// 256-byte buffers of the user store.
constexpr std::size_t kMaxKeyNameBytes = 255;

}  // namespace

std::string CName(const std::string& text) {
  return std::string(text.c_str());
}

std::string FoldedName(const std::string& text) {
  return UpperCase(text.find('\0') == std::string::npos ? text : CName(text));
}

bool SplitPath(const std::string& path, std::vector<std::string>* names) {
  const std::string text = CName(path);
  names->clear();
  if (text.empty())
    return true;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\\', start);
    if (end == std::string::npos)
      end = text.size();
    if (end == start || end - start > kMaxKeyNameBytes)
      return false;
    names->push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return true;
}

std::vector<std::string> FoldAll(const std::vector<std::string>& names) {
  std::vector<std::string> folded;
  folded.reserve(names.size());
  for (const std::string& name : names)
    folded.push_back(UpperCase(name));
  return folded;
}

}  // namespace lunaret
