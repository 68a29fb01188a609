#include "core/base/scramble.h"

#include "core/base/text.h"

namespace lunaret {

// Byte i of the stored form is byte i of the reversed password raised by i - 1; only the low
// eight bits of i take part, and every sum wraps at 256.
std::string ScramblePassword(const std::string& password) {
  std::string stored = ReverseByCharacter(password);
  for (std::size_t i = 0; i < stored.size(); ++i) {
    const unsigned shift = static_cast<unsigned>(i & 0xFF) - 1u;
    stored[i] = static_cast<char>(static_cast<unsigned char>(stored[i]) + shift);
  }
  return stored;
}

std::string UnscramblePassword(const std::string& stored) {
  std::string reversed = stored;
  for (std::size_t i = 0; i < reversed.size(); ++i) {
    const unsigned shift = static_cast<unsigned>(i & 0xFF) - 1u;
    reversed[i] = static_cast<char>(static_cast<unsigned char>(reversed[i]) - shift);
  }
  return ReverseByCharacter(reversed);
}

bool ScrambledFormHasZeroByte(const std::string& password) {
  return ScramblePassword(password).find('\0') != std::string::npos;
}

}  // namespace lunaret
