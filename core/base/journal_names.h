#ifndef LUNARET_CORE_BASE_JOURNAL_NAMES_H
#define LUNARET_CORE_BASE_JOURNAL_NAMES_H

#include <string_view>

#include "core/base/journal_day.h"

namespace lunaret {

// The English names of the journal's choices, as journal files and the insights' sentences
// write them: "none", "spotting", "light", "medium", "heavy"; "none", "calm", "happy", "sad",
// "irritable", "anxious", "energetic"; "cramps", "headache", "backache", "tender breasts",
// "bloating", "acne", "nausea", "fatigue", "cravings", "insomnia".
std::string_view FlowName(Flow flow);
std::string_view MoodName(Mood mood);
std::string_view SymptomName(Symptom symptom);

// The reverse, with ASCII letter case and blanks at either end ignored; an empty text is "none".
// False for any other text.
bool FlowFromName(std::string_view name, Flow* flow);
bool MoodFromName(std::string_view name, Mood* mood);
// No "none" for a symptom, nor an empty one.
bool SymptomFromName(std::string_view name, Symptom* symptom);

}  // namespace lunaret

#endif  // LUNARET_CORE_BASE_JOURNAL_NAMES_H
