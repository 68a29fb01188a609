#ifndef LUNARET_CORE_EXCHANGE_STORE_BACKUP_H
#define LUNARET_CORE_EXCHANGE_STORE_BACKUP_H

#include <ctime>
#include <string>

namespace lunaret {

// Backup and restore of the whole store file (all users). Not on Windows, where the store is
// the registry.

// A consistent copy of the store at storePath, taken with SQLite's online backup API through a
// read connection of its own while the program goes on using the store: the bytes of a store
// file. False when the store cannot be read.
bool ReadStoreImage(const std::string& storePath, std::string* image);

enum class RestoreResult {
  kRestored,
  kCannotRead,   // the backup file cannot be read
  kNotAStore,    // the backup is not a Lunaret store, or is damaged
  kInUse,        // another copy of the program has the store open
  kCannotWrite,  // the store's folder cannot take the new file
};

struct RestoreOutcome {
  RestoreResult result = RestoreResult::kCannotRead;
  std::string keptAs;       // where the previous store now is; empty when there was none
  std::string systemError;  // the system's reason for kCannotRead and kCannotWrite
};

// Puts the backup at backupPath in place of the store at storePath. The backup is checked as
// the program checks its store when it opens it, and only a copy of it is ever opened. The
// previous store is kept next to it as "<store>.before-restore-<YYYYMMDD-HHMMSS>" (local time of
// now); the new one arrives whole, by the rename of an fsynced temporary file. Every result
// but kRestored leaves the store and the backup as they were.
RestoreOutcome RestoreStore(const std::string& backupPath, const std::string& storePath,
                            std::time_t now);

}  // namespace lunaret

#endif  // LUNARET_CORE_EXCHANGE_STORE_BACKUP_H
