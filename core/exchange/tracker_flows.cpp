#include "core/exchange/tracker_flows.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace lunaret {
namespace {

struct FlowValue {
  std::string_view source;
  std::string_view value;
  Flow flow;
};

// Every tracker's scale of bleeding onto Lunaret's flows. Flo, Mensinator and a spreadsheet
// write no flow: their period days are records without journal days.
constexpr FlowValue kFlows[] = {
    {"Clue", "spotting", Flow::kSpotting}, {"Clue", "light", Flow::kLight},
    {"Clue", "medium", Flow::kMedium},     {"Clue", "heavy", Flow::kHeavy},
    {"drip", "0", Flow::kSpotting},        {"drip", "1", Flow::kLight},
    {"drip", "2", Flow::kMedium},          {"drip", "3", Flow::kHeavy},
    {"Periodical", "1", Flow::kSpotting},  {"Periodical", "2", Flow::kLight},
    {"Periodical", "3", Flow::kMedium},    {"Periodical", "4", Flow::kHeavy},
};

bool SameLetters(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

bool TrackerFlow(std::string_view source, std::string_view value, Flow* flow) {
  const auto found = std::find_if(std::begin(kFlows), std::end(kFlows), [&](const FlowValue& f) {
    return f.source == source && SameLetters(f.value, value);
  });
  if (found == std::end(kFlows))
    return false;
  *flow = found->flow;
  return true;
}

}  // namespace lunaret
