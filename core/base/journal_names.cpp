#include "core/base/journal_names.h"

#include <array>

namespace lunaret {
namespace {

constexpr std::array<std::string_view, kFlowCount> kFlowNames = {"none", "spotting", "light",
                                                                 "medium", "heavy"};
constexpr std::array<std::string_view, kMoodCount> kMoodNames = {
    "none", "calm", "happy", "sad", "irritable", "anxious", "energetic"};
constexpr std::array<std::string_view, kSymptomCount> kSymptomNames = {
    "cramps", "headache", "backache", "tender breasts", "bloating",
    "acne",   "nausea",   "fatigue",  "cravings",       "insomnia"};

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool EqualsAsciiNoCase(std::string_view text, std::string_view lowerCase) {
  if (text.size() != lowerCase.size())
    return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerCase[i])
      return false;
  }
  return true;
}

// The index of the name in names; -1 when it is none of them.
template <std::size_t N>
int IndexOf(const std::array<std::string_view, N>& names, std::string_view name) {
  for (std::size_t i = 0; i < N; ++i) {
    if (EqualsAsciiNoCase(name, names[i]))
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

std::string_view FlowName(Flow flow) {
  const auto index = static_cast<std::size_t>(flow);
  return index < kFlowNames.size() ? kFlowNames[index] : std::string_view();
}

std::string_view MoodName(Mood mood) {
  const auto index = static_cast<std::size_t>(mood);
  return index < kMoodNames.size() ? kMoodNames[index] : std::string_view();
}

std::string_view SymptomName(Symptom symptom) {
  const auto index = static_cast<std::size_t>(symptom);
  return index < kSymptomNames.size() ? kSymptomNames[index] : std::string_view();
}

bool FlowFromName(std::string_view name, Flow* flow) {
  name = Trim(name);
  const int index = name.empty() ? 0 : IndexOf(kFlowNames, name);
  if (index < 0)
    return false;
  *flow = static_cast<Flow>(index);
  return true;
}

bool MoodFromName(std::string_view name, Mood* mood) {
  name = Trim(name);
  const int index = name.empty() ? 0 : IndexOf(kMoodNames, name);
  if (index < 0)
    return false;
  *mood = static_cast<Mood>(index);
  return true;
}

bool SymptomFromName(std::string_view name, Symptom* symptom) {
  const int index = IndexOf(kSymptomNames, Trim(name));
  if (index < 0)
    return false;
  *symptom = static_cast<Symptom>(index);
  return true;
}

}  // namespace lunaret
