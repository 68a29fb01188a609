#ifndef LUNARET_CORE_STORE_USER_STORE_H
#define LUNARET_CORE_STORE_USER_STORE_H

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/time_value.h"
#include "core/store/registry.h"

namespace lunaret {

// Everything kept per user, under "Software\Lunaret\<user name>". The store holds no state
// of its own: every operation builds the key path from the name it is given, creates or opens
// the key, reads or writes, and closes the key before it returns. Failures are results: a
// write that cannot be made does nothing, a read that cannot be made gives the value of an
// absent one (0 for every number).
class UserStore {
 public:
  static constexpr const char* kRootPath = "Software\\Lunaret";
  static constexpr std::size_t kMaxPasswordBytes = 255;

  explicit UserStore(Registry& registry) : registry_(registry) {}

  Registry& registry() { return registry_; }

  // "Software\Lunaret\<user>": the key that holds everything of the user.
  static std::string KeyPath(const std::string& user);

  // True when the root key "Software\Lunaret" can be created or opened.
  bool OpenRoot();

  bool SetPassword(const std::string& user, const std::string& password);
  bool GetPassword(const std::string& user, std::string* password);
  bool FindUser(const std::string& user);
  std::vector<std::string> ListUsers();
  // Deletes the user's key with all its values. True when the key is gone (also when there was
  // none); false when the store refused, for instance while another copy holds it too long.
  bool DeleteUserKey(const std::string& user);

  void SetDuration(const std::string& user, const std::string& text);
  // The "duration" text; empty when absent or when it does not fit into 100 bytes.
  std::string GetDuration(const std::string& user);
  void SetCycleStart(const std::string& user, TimeValue value);
  TimeValue GetCycleStart(const std::string& user);

  void SetStatisticsLength(const std::string& user, std::uint32_t count);
  std::uint32_t GetStatisticsLength(const std::string& user);
  void SetStatisticsDate(const std::string& user, TimeValue value, std::int32_t index);
  TimeValue GetStatisticsDate(const std::string& user, std::int32_t index);
  void SetStatisticsOvulationDate(const std::string& user, TimeValue value, std::int32_t index);
  TimeValue GetStatisticsOvulationDate(const std::string& user, std::int32_t index);
  void DeleteStatistics(const std::string& user);

  // How many values the user key holds (0 when it cannot be opened); bounds the statistics load.
  std::uint32_t CountValues(const std::string& user);

 private:
  Registry& registry_;
};

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_USER_STORE_H
