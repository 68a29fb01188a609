// Where the store lives when there is no registry, and how its file is created and recognised.
// The Windows build opens the user's registry instead (registry_win.cpp).

#include "core/store/store_file.h"

#ifndef _WIN32

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/store/registry_sqlite.h"

namespace lunaret {
namespace {

constexpr char kSqliteMagic[] = "SQLite format 3";  // 16 bytes with its terminator
constexpr std::size_t kSqliteHeaderBytes = 100;
constexpr std::size_t kApplicationIdOffset = 68;

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
    return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir)
    return found->pw_dir;
  return {};
}

// Creates every missing folder of path, each readable by its owner only.
bool MakeFolders(const std::string& path) {
  if (path.empty())
    return false;
  std::size_t pos = 0;
  while (pos != std::string::npos) {
    pos = path.find('/', pos + 1);
    const std::string prefix = path.substr(0, pos);
    if (prefix.empty())
      continue;
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
      return false;
  }
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

enum class FileKind { kMissing, kEmpty, kStore, kForeign, kUnreadable };

// Looks at the file with plain reads only, before SQLite opens it: SQLite would roll back a
// journal or check a log lying next to a foreign database, and write to it in doing so.
FileKind Inspect(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return errno == ENOENT ? FileKind::kMissing : FileKind::kUnreadable;
  }
  struct stat info {};
  FileKind kind = FileKind::kForeign;
  unsigned char header[kSqliteHeaderBytes];
  if (fstat(fd, &info) != 0) {
    kind = FileKind::kUnreadable;
  } else if (!S_ISREG(info.st_mode)) {
    kind = FileKind::kUnreadable;
  } else if (info.st_size == 0) {
    kind = FileKind::kEmpty;
  } else if (pread(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header) &&
             std::memcmp(header, kSqliteMagic, sizeof kSqliteMagic) == 0) {
    const std::uint32_t id = (std::uint32_t{header[kApplicationIdOffset]} << 24) |
                             (std::uint32_t{header[kApplicationIdOffset + 1]} << 16) |
                             (std::uint32_t{header[kApplicationIdOffset + 2]} << 8) |
                             std::uint32_t{header[kApplicationIdOffset + 3]};
    kind = id == kStoreApplicationId ? FileKind::kStore : FileKind::kForeign;
  }
  close(fd);
  return kind;
}

}  // namespace

std::string DefaultStorePath() {
  // Relative values of XDG_DATA_HOME are to be ignored.
  std::string base;
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/')
    base = data;
  else
    base = HomeFolder() + "/.local/share";
  return base + "/lunaret/registry.db";
}

std::unique_ptr<Registry> OpenSqliteStore(const std::string& path, StoreOpenResult* result) {
  StoreOpenResult ignored = StoreOpenResult::kCannotCreate;
  if (result == nullptr)
    result = &ignored;
  *result = StoreOpenResult::kCannotCreate;
  const std::size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash)))
    return nullptr;

  switch (Inspect(path)) {
    case FileKind::kMissing: {
      // Created here, so that the file and the journal files SQLite derives from it are
      // readable by their owner only. Another copy may create it first: then open that one.
      const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (fd >= 0) {
        close(fd);
      } else if (errno != EEXIST) {
        return nullptr;
      }
      const FileKind kind = Inspect(path);
      if (kind == FileKind::kForeign) {
        *result = StoreOpenResult::kNotAStore;
        return nullptr;
      }
      if (kind != FileKind::kEmpty && kind != FileKind::kStore)
        return nullptr;
      break;
    }
    case FileKind::kEmpty:
    case FileKind::kStore:
      break;
    case FileKind::kForeign:
      *result = StoreOpenResult::kNotAStore;
      return nullptr;
    case FileKind::kUnreadable:
      return nullptr;
  }
  return OpenSqliteRegistry(path, result);
}

bool IsStoreFile(const std::string& path) {
  return Inspect(path) == FileKind::kStore;
}

std::unique_ptr<Registry> OpenDefaultStore(StoreOpenResult* result) {
  return OpenSqliteStore(DefaultStorePath(), result);
}

}  // namespace lunaret

#endif  // _WIN32
