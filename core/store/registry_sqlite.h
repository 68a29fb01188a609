#ifndef LUNARET_CORE_STORE_REGISTRY_SQLITE_H
#define LUNARET_CORE_STORE_REGISTRY_SQLITE_H

#include <cstdint>
#include <memory>
#include <string>

#include "core/store/registry.h"
#include "core/store/store_file.h"

namespace lunaret {

// Marks a store file as ours: the SQLite header's application id ('LNRT') and the version of
// the schema the backend writes.
inline constexpr std::uint32_t kStoreApplicationId = 0x4C4E5254u;
inline constexpr int kStoreSchemaVersion = 1;
inline constexpr int kStoreBusyTimeoutMs = 5000;

// Opens the store database at path, which must already exist (empty, or a file whose header
// carries kStoreApplicationId). An empty database receives the schema; one that holds anything
// else than the store's tables is reported as kNotAStore without a write.
// busyTimeoutMs is how long a write waits for another copy's transaction before it fails.
std::unique_ptr<Registry> OpenSqliteRegistry(const std::string& path, StoreOpenResult* result,
                                             int busyTimeoutMs = kStoreBusyTimeoutMs);

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_REGISTRY_SQLITE_H
