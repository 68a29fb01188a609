#include "core/store/journal_store.h"

#include <cstdint>

#include "core/store/binary_value.h"
#include "core/store/journal_day_bytes.h"
#include "core/store/opened_key.h"

namespace lunaret {
namespace {

// The largest day value: every field at its limit.
constexpr std::size_t kMaxDayBytes =
    6 + kMaxOwnSymptomsPerDay * (1 + kMaxSymptomNameChars * 4) + 2 + kMaxNoteChars * 4;
constexpr std::size_t kMaxSymptomNamesBytes =
    3 + kMaxOwnSymptomNames * (1 + kMaxSymptomNameChars * 4);

}  // namespace

std::string JournalValueName(DayNumber day) {
  return std::string(kJournalDayPrefix) + DayNumberText(day);
}

bool ReadJournalValueName(std::string_view name, DayNumber* day) {
  if (name.size() != kJournalDayPrefix.size() + 10)
    return false;
  for (std::size_t i = 0; i < kJournalDayPrefix.size(); ++i) {
    char c = name[i];
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
    char expected = kJournalDayPrefix[i];
    if (expected >= 'a' && expected <= 'z')
      expected = static_cast<char>(expected - 'a' + 'A');
    if (c != expected)
      return false;
  }
  return ReadStoredDayNumber(name.substr(kJournalDayPrefix.size()), day);
}

Journal LoadJournal(UserStore& store, const std::string& user, std::size_t* unreadable) {
  Registry& registry = store.registry();
  // One state of the store, and the key's values read at once rather than one by one.
  StoreTransaction reading(registry);
  Journal journal;
  std::size_t bad = 0;
  OpenedKey key(registry);
  key.Open(UserStore::KeyPath(user), kKeyRead);
  if (key.isOpen()) {
    // The names first: reading values in between could change the order of the walk.
    std::vector<std::pair<DayNumber, std::string>> days;
    char name[256];
    for (std::uint32_t index = 0;; ++index) {
      std::uint32_t size = sizeof name;
      const long rc = registry.EnumValue(key.get(), index, name, &size);
      if (rc == kErrorMoreData)
        continue;  // a long name is no day's
      if (rc != kErrorSuccess)
        break;
      DayNumber day = 0;
      if (ReadJournalValueName(std::string_view(name, size), &day))
        days.emplace_back(day, std::string(name, size));
    }
    std::string bytes;
    for (const auto& [day, valueName] : days) {
      JournalDay read;
      if (ReadBinaryValue(registry, key.get(), valueName, &bytes, kMaxDayBytes) &&
          DecodeJournalDay(bytes, &read) && !read.empty())
        journal.insert_or_assign(day, std::move(read));
      else
        ++bad;
    }
  }
  if (unreadable != nullptr)
    *unreadable = bad;
  return journal;
}

std::vector<DayNumber> ChangedDays(const Journal& before, const Journal& after) {
  std::vector<DayNumber> changed;
  auto old = before.begin();
  auto now = after.begin();
  while (old != before.end() || now != after.end()) {
    if (now == after.end() || (old != before.end() && old->first < now->first)) {
      changed.push_back((old++)->first);
    } else if (old == before.end() || now->first < old->first) {
      changed.push_back((now++)->first);
    } else {
      if (!(old->second == now->second))
        changed.push_back(now->first);
      ++old;
      ++now;
    }
  }
  return changed;
}

bool SaveJournalChanges(UserStore& store, const std::string& user, const Journal& before,
                        const Journal& after) {
  // Every day is checked and encoded before the first write.
  std::vector<std::pair<DayNumber, std::string>> writes;  // no bytes: delete the value
  for (const DayNumber day : ChangedDays(before, after)) {
    const auto found = after.find(day);
    std::string bytes;
    if (found != after.end() && !found->second.empty() &&
        (!IsStoredDayNumber(day) || !EncodeJournalDay(found->second, &bytes)))
      return false;
    writes.emplace_back(day, std::move(bytes));
  }
  if (writes.empty())
    return true;
  Registry& registry = store.registry();
  StoreTransaction transaction(registry);
  bool ok = true;
  {
    OpenedKey key(registry);
    key.Open(UserStore::KeyPath(user), kKeyQueryValue | kKeySetValue);
    if (!key.isOpen())
      return false;
    for (const auto& [day, bytes] : writes) {
      const std::string name = JournalValueName(day);
      ok = (bytes.empty() ? ValueGone(registry.DeleteValue(key.get(), name))
                          : WriteBinaryValue(registry, key.get(), name, bytes) == kErrorSuccess) &&
           ok;
    }
  }
  return transaction.Commit() && ok;
}

std::vector<std::string> LoadOwnSymptomNames(UserStore& store, const std::string& user) {
  std::vector<std::string> names;
  std::string bytes;
  if (!ReadUserBinaryValue(store, user, kJournalSymptomsValue, &bytes, kMaxSymptomNamesBytes) ||
      !DecodeSymptomNames(bytes, &names))
    names.clear();
  return names;
}

bool SaveOwnSymptomNames(UserStore& store, const std::string& user,
                         const std::vector<std::string>& names) {
  std::string bytes;
  if (!EncodeSymptomNames(names, &bytes))
    return false;
  OpenedKey key(store.registry());
  key.Open(UserStore::KeyPath(user), kKeyQueryValue | kKeySetValue);
  if (!key.isOpen())
    return false;
  if (names.empty())
    return ValueGone(store.registry().DeleteValue(key.get(), kJournalSymptomsValue));
  return WriteBinaryValue(store.registry(), key.get(), kJournalSymptomsValue, bytes) ==
         kErrorSuccess;
}

}  // namespace lunaret
