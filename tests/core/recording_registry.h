#ifndef LUNARET_TESTS_CORE_RECORDING_REGISTRY_H
#define LUNARET_TESTS_CORE_RECORDING_REGISTRY_H

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/registry.h"

namespace lunaret::test {

// Passes every call on to a real backend and writes down what was called, so that tests can
// check the order of calls, the access asked for and that every key opened is closed again.
class RecordingRegistry : public Registry {
 public:
  explicit RecordingRegistry(Registry& backend) : backend_(backend) {}

  // One line per call, e.g. "SetValue StatisticsDate0", "OpenKey Software\Lunaret\Guest 20019".
  std::vector<std::string> calls;
  int openKeys = 0;  // keys opened and not yet closed
  // Called before each SetValue is passed on, with the number of SetValue calls so far.
  std::function<void(int)> beforeSetValue;

  long CreateKey(RegKey parent, const std::string& path, RegKey* key) override {
    return Opened(Log("CreateKey " + path, backend_.CreateKey(parent, path, key)));
  }
  long OpenKey(RegKey parent, const std::string& path, std::uint32_t access, RegKey* key) override {
    char hex[16];
    std::snprintf(hex, sizeof hex, " %x", static_cast<unsigned>(access));
    return Opened(Log("OpenKey " + path + hex, backend_.OpenKey(parent, path, access, key)));
  }
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override {
    return Log("QueryValue " + name, backend_.QueryValue(key, name, type, data, size));
  }
  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const unsigned char* data,
                std::uint32_t size) override {
    if (beforeSetValue)
      beforeSetValue(++setValues_);
    return Log("SetValue " + name, backend_.SetValue(key, name, type, data, size));
  }
  long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) override {
    return Log("EnumKey " + std::to_string(index), backend_.EnumKey(key, index, name, nameSize));
  }
  long DeleteValue(RegKey key, const std::string& name) override {
    return Log("DeleteValue " + name, backend_.DeleteValue(key, name));
  }
  long DeleteKey(RegKey key, const std::string& subkey) override {
    return Log("DeleteKey " + subkey, backend_.DeleteKey(key, subkey));
  }
  long CloseKey(RegKey key) override {
    const long rc = Log("CloseKey", backend_.CloseKey(key));
    openKeys -= rc == kErrorSuccess ? 1 : 0;
    return rc;
  }
  long QueryValueCount(RegKey key, std::uint32_t* count) override {
    return Log("QueryValueCount", backend_.QueryValueCount(key, count));
  }
  bool BeginTransaction() override { return Log("BeginTransaction", backend_.BeginTransaction()); }
  bool CommitTransaction() override {
    return Log("CommitTransaction", backend_.CommitTransaction());
  }

  // The calls that start with prefix, in order.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : calls)
      if (call.compare(0, prefix.size(), prefix) == 0)
        found.push_back(call);
    return found;
  }

 private:
  template <typename Result>
  Result Log(std::string call, Result result) {
    calls.push_back(std::move(call));
    return result;
  }
  long Opened(long rc) {
    openKeys += rc == kErrorSuccess ? 1 : 0;
    return rc;
  }

  Registry& backend_;
  int setValues_ = 0;
};

}  // namespace lunaret::test

#endif  // LUNARET_TESTS_CORE_RECORDING_REGISTRY_H
