#ifndef LUNARET_CORE_STORE_STORE_FILE_CHECK_H
#define LUNARET_CORE_STORE_STORE_FILE_CHECK_H

#include <sqlite3.h>

#include "core/store/store_file.h"

namespace lunaret {

// What a failed SQLite call means for opening the store.
StoreOpenResult OpenResultOf(int code);

// Looks at the database just opened before anything is written to it. An empty one receives
// the store's schema, unless another copy of the program has set it up in the meantime; one
// that holds anything else than the store's tables, or a damaged page, is left as it is.
// True when the file is a sound store; otherwise false with *result set.
bool CheckStoreFile(sqlite3* db, StoreOpenResult* result);

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_STORE_FILE_CHECK_H
