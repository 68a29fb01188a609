#ifndef LUNARET_CORE_STORE_STORE_FILE_H
#define LUNARET_CORE_STORE_STORE_FILE_H

#include <memory>
#include <string>
#include <vector>

#include "core/store/registry.h"

namespace lunaret {

enum class StoreOpenResult {
  kOk,
  kCannotCreate,  // the folder or file cannot be created or opened
  kNotAStore,     // the file exists but is damaged or is not a Lunaret store; left untouched
  kBusy,          // another process holds the store longer than the busy timeout
};

// Opens the per-user store of this platform: the SQLite file at DefaultStorePath() where there
// is no registry, the current user's registry on Windows. Null with *result set on failure.
std::unique_ptr<Registry> OpenDefaultStore(StoreOpenResult* result);

#ifndef _WIN32
// $XDG_DATA_HOME/lunaret/registry.db, or ~/.local/share/lunaret/registry.db.
std::string DefaultStorePath();

// Opens or creates the SQLite store at path (folder 0700, file 0600). A file that is not a
// Lunaret store is never written to.
std::unique_ptr<Registry> OpenSqliteStore(const std::string& path, StoreOpenResult* result);

// Whether path is a regular file that starts with the header of a Lunaret store; reads only,
// and never waits on a FIFO or device in its place.
bool IsStoreFile(const std::string& path);

// Creates every missing folder of path, each readable by its owner only. The folders it made are
// added to *made, outermost first, when made is not null. False with errno set on failure.
bool MakeStoreFolders(const std::string& path, std::vector<std::string>* made = nullptr);

// The name pattern, for mkstemp, of the copy a restore checks next to the store at storePath.
std::string RestoreCopyPattern(const std::string& storePath);

// Removes what killed restores left next to the store at storePath: their copies, named after
// RestoreCopyPattern, with the copies' logs. Call it only while holding the store: a restore holds
// it from before it makes its copy until it is done.
void RemoveRestoreLeftovers(const std::string& storePath);
#endif

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_STORE_FILE_H
