#ifndef LUNARET_CORE_BASE_SCRAMBLE_H
#define LUNARET_CORE_BASE_SCRAMBLE_H

#include <string>

namespace lunaret {

// The stored form of a password: reversed by character, then byte i raised by i - 1 (mod 256).
std::string ScramblePassword(const std::string& password);
// The inverse of ScramblePassword for every text whose stored form holds no zero byte.
std::string UnscramblePassword(const std::string& stored);

// True when the stored form of password would contain a zero byte: such a password would be
// cut short in the store and could never be checked again.
bool ScrambledFormHasZeroByte(const std::string& password);

}  // namespace lunaret

#endif  // LUNARET_CORE_BASE_SCRAMBLE_H
