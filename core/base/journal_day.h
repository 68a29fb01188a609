#ifndef LUNARET_CORE_BASE_JOURNAL_DAY_H
#define LUNARET_CORE_BASE_JOURNAL_DAY_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/base/day_number.h"

namespace lunaret {

// What a user logs for one day in her journal. The store and the cycle logic both use it, so it
// lives beside StatisticsRecord. Its texts are UTF-8 on every platform (the store keeps them as
// UTF-8 bytes, whatever the Windows code page): the user interface converts them with
// QString::toUtf8 / fromUtf8, not with the local 8-bit encoding of the other core texts.

enum class Flow : std::uint8_t { kNone, kSpotting, kLight, kMedium, kHeavy };
inline constexpr int kFlowCount = 5;

enum class Mood : std::uint8_t { kNone, kCalm, kHappy, kSad, kIrritable, kAnxious, kEnergetic };
inline constexpr int kMoodCount = 7;

// The symptoms every user can pick; her own ones are names of her choosing.
enum class Symptom : std::uint8_t {
  kCramps,
  kHeadache,
  kBackache,
  kTenderBreasts,
  kBloating,
  kAcne,
  kNausea,
  kFatigue,
  kCravings,
  kInsomnia,
};
inline constexpr int kSymptomCount = 10;
using SymptomSet = std::uint16_t;  // bit n: Symptom n
inline constexpr SymptomSet kAllSymptoms = (1u << kSymptomCount) - 1;
constexpr SymptomSet SymptomBit(Symptom symptom) {
  return static_cast<SymptomSet>(1u << static_cast<unsigned>(symptom));
}

inline constexpr std::size_t kMaxNoteChars = 2000;        // Unicode characters
inline constexpr std::size_t kMaxSymptomNameChars = 60;   // of one of her own symptoms
inline constexpr std::size_t kMaxOwnSymptomsPerDay = 50;  // and how many one day holds
inline constexpr std::size_t kMaxOwnSymptomNames = 200;   // her list of them to pick from

struct JournalDay {
  Flow flow = Flow::kNone;
  SymptomSet symptoms = 0;
  std::vector<std::string> ownSymptoms;  // in the order logged, each IsOwnSymptomName, no repeats
  Mood mood = Mood::kNone;
  std::string note;  // at most kMaxNoteChars characters

  // Nothing logged: such a day is not kept.
  bool empty() const {
    return flow == Flow::kNone && symptoms == 0 && ownSymptoms.empty() && mood == Mood::kNone &&
           note.empty();
  }
  bool Has(Symptom symptom) const { return (symptoms & SymptomBit(symptom)) != 0; }

  bool operator==(const JournalDay&) const = default;
};

// A user's journal: her logged days by date, none of them empty.
using Journal = std::map<DayNumber, JournalDay>;

// A name she may give one of her own symptoms: UTF-8 of 1 to kMaxSymptomNameChars characters,
// no control characters, no ';' (it separates symptoms in a journal file), no blank at either
// end, and not the name of a built-in symptom (letter case aside).
bool IsOwnSymptomName(const std::string& name);

// A note within kMaxNoteChars characters of UTF-8 text.
bool IsNoteText(const std::string& note);

// Every field within its range and rules, as the store and journal files accept a day.
bool IsValidJournalDay(const JournalDay& day);

}  // namespace lunaret

#endif  // LUNARET_CORE_BASE_JOURNAL_DAY_H
