#include "core/base/journal_day.h"

#include <algorithm>

#include "core/base/journal_names.h"
#include "core/base/utf8.h"

namespace lunaret {

bool IsOwnSymptomName(const std::string& name) {
  if (name.empty() || !IsUtf8Text(name) || Utf8Length(name) > kMaxSymptomNameChars)
    return false;
  const auto control = [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  };
  if (std::any_of(name.begin(), name.end(), control) || name.find(';') != std::string::npos)
    return false;
  if (name.front() == ' ' || name.back() == ' ')
    return false;
  Symptom builtIn = Symptom::kCramps;
  return !SymptomFromName(name, &builtIn);
}

bool IsNoteText(const std::string& note) {
  // Four bytes at most per character: a longer note cannot fit, whatever it holds.
  if (note.size() > kMaxNoteChars * 4)
    return false;
  return IsUtf8Text(note) && Utf8Length(note) <= kMaxNoteChars;
}

bool IsValidJournalDay(const JournalDay& day) {
  if (static_cast<int>(day.flow) >= kFlowCount || static_cast<int>(day.mood) >= kMoodCount ||
      (day.symptoms & ~kAllSymptoms) != 0 || !IsNoteText(day.note) ||
      day.ownSymptoms.size() > kMaxOwnSymptomsPerDay)
    return false;
  for (std::size_t i = 0; i < day.ownSymptoms.size(); ++i) {
    const std::string& name = day.ownSymptoms[i];
    if (!IsOwnSymptomName(name) ||
        std::find(day.ownSymptoms.begin(), day.ownSymptoms.begin() + static_cast<long>(i), name) !=
            day.ownSymptoms.begin() + static_cast<long>(i))
      return false;
  }
  return true;
}

}  // namespace lunaret
