#ifndef LUNARET_CORE_STORE_REGISTRY_WIN_H
#define LUNARET_CORE_STORE_REGISTRY_WIN_H

#ifdef _WIN32

#include <memory>
#include <string>

#include "core/store/registry.h"

namespace lunaret {

// The Windows registry through the Reg*A calls, texts in the ANSI code page. kCurrentUser
// stands for HKEY_CURRENT_USER, or, when basePath is not empty, for the key
// HKEY_CURRENT_USER\<basePath> (created when missing), so that a store can live below a
// scratch key. Null when that base key cannot be created. Transactions do nothing here: each
// registry call is durable on its own.
std::unique_ptr<Registry> OpenWindowsRegistry(const std::string& basePath = std::string());

}  // namespace lunaret

#endif  // _WIN32

#endif  // LUNARET_CORE_STORE_REGISTRY_WIN_H
