#ifndef LUNARET_CORE_STORE_JOURNAL_STORE_H
#define LUNARET_CORE_STORE_JOURNAL_STORE_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/journal_day.h"
#include "core/store/user_store.h"

namespace lunaret {

// A user's journal in her own key "Software\Lunaret\<user>", beside the values the rest of the
// program keeps there and never touching them: one REG_BINARY value per logged day, named
// "Journal YYYY-MM-DD" (journal_day_bytes.h has its bytes), and her own symptom names in
// "Journal symptoms". No other value's name begins with "Journal ", in any letter case, so a
// program that knows only the older values reads the key as before; deleting the user's key
// deletes her journal with it.
inline constexpr std::string_view kJournalDayPrefix = "Journal ";
inline constexpr const char* kJournalSymptomsValue = "Journal symptoms";

// "Journal 2024-03-01".
std::string JournalValueName(DayNumber day);
// The day a value name stands for: the prefix in any letter case, then exactly YYYY-MM-DD of a
// stored day. False for every other name.
bool ReadJournalValueName(std::string_view name, DayNumber* day);

// Every logged day of the user, read in one transaction. A day value that cannot be read (not
// binary, damaged bytes, an empty day) is left out and counted in *unreadable; it stays in the
// store until a save writes that day anew. No key, no days.
Journal LoadJournal(UserStore& store, const std::string& user, std::size_t* unreadable = nullptr);

// The days whose entries differ between before and after, by date.
std::vector<DayNumber> ChangedDays(const Journal& before, const Journal& after);

// Writes what changed from before (as loaded) to after: each changed day's value anew, and the
// value of a day that is gone from after or empty there deleted. Nothing else is written.
// Inside one transaction, nested in the caller's. Refuses (false, nothing written) when after
// holds a day outside the stored range or one that is not IsValidJournalDay, and when the user
// has no key; false too when a write fails.
bool SaveJournalChanges(UserStore& store, const std::string& user, const Journal& before,
                        const Journal& after);

// Her own symptom names to pick from, as saved; none when absent or unreadable.
std::vector<std::string> LoadOwnSymptomNames(UserStore& store, const std::string& user);
// Saves the names (deleting the value for none); false, and nothing written, when a name is not
// IsOwnSymptomName, repeats, or there are more than kMaxOwnSymptomNames.
bool SaveOwnSymptomNames(UserStore& store, const std::string& user,
                         const std::vector<std::string>& names);

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_JOURNAL_STORE_H
