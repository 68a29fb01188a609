// Where the store lives when there is no registry, and how its file is created and recognised.
// The Windows build opens the user's registry instead (registry_win.cpp).

#include "core/store/store_file.h"

#ifndef _WIN32

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "core/store/registry_sqlite.h"

namespace lunaret {
namespace {

constexpr char kSqliteMagic[] = "SQLite format 3";  // 16 bytes with its terminator
constexpr std::size_t kSqliteHeaderBytes = 100;
constexpr std::size_t kApplicationIdOffset = 68;
constexpr char kRestoreCopyInfix[] = ".restore-";
constexpr std::size_t kRestoreCopyUniqueChars = 6;  // the XXXXXX that mkstemp replaces

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

enum class FileKind { kMissing, kEmpty, kStore, kForeign, kUnreadable };

// Looks at the file with plain reads only, before SQLite opens it: SQLite would roll back a
// journal or check a log lying next to a foreign database, and write to it in doing so. Opened
// without waiting, so that a FIFO or a device in the file's place is refused instead of waited on.
FileKind Inspect(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
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
  if (slash != std::string::npos && slash > 0 && !MakeStoreFolders(path.substr(0, slash)))
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

bool MakeStoreFolders(const std::string& path, std::vector<std::string>* made) {
  if (path.empty()) {
    errno = ENOENT;
    return false;
  }
  std::size_t pos = 0;
  while (pos != std::string::npos) {
    pos = path.find('/', pos + 1);
    const std::string prefix = path.substr(0, pos);
    if (prefix.empty())
      continue;
    if (mkdir(prefix.c_str(), 0700) == 0) {
      if (made != nullptr)
        made->push_back(prefix);
    } else if (errno != EEXIST) {
      return false;
    }
  }
  struct stat info {};
  if (stat(path.c_str(), &info) != 0)
    return false;
  if (!S_ISDIR(info.st_mode)) {
    errno = ENOTDIR;
    return false;
  }
  return true;
}

std::string RestoreCopyPattern(const std::string& storePath) {
  return storePath + kRestoreCopyInfix + std::string(kRestoreCopyUniqueChars, 'X');
}

void RemoveRestoreLeftovers(const std::string& storePath) {
  const std::filesystem::path store(storePath);
  const std::string prefix = store.filename().string() + kRestoreCopyInfix;
  const std::filesystem::path folder = store.has_parent_path() ? store.parent_path() : ".";
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() < prefix.size() + kRestoreCopyUniqueChars ||
        name.compare(0, prefix.size(), prefix) != 0)
      continue;
    const std::string unique = name.substr(prefix.size(), kRestoreCopyUniqueChars);
    const std::string suffix = name.substr(prefix.size() + kRestoreCopyUniqueChars);
    const bool fromMkstemp = std::all_of(unique.begin(), unique.end(), [](unsigned char c) {
      return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
    if (fromMkstemp &&
        (suffix.empty() || suffix == "-wal" || suffix == "-shm" || suffix == "-journal"))
      unlink(it->path().c_str());
  }
}

bool IsStoreFile(const std::string& path) {
  return Inspect(path) == FileKind::kStore;
}

std::unique_ptr<Registry> OpenDefaultStore(StoreOpenResult* result) {
  return OpenSqliteStore(DefaultStorePath(), result);
}

}  // namespace lunaret

#endif  // _WIN32
