#ifndef LUNARET_CORE_BASE_TEXT_H
#define LUNARET_CORE_BASE_TEXT_H

#include <cstddef>
#include <string>

namespace lunaret {

// Texts are bytes in the process's multibyte encoding: UTF-8 where there is no ANSI code page,
// the ANSI code page on Windows.

// Number of bytes of the encoded character that starts at pos (1 for a byte that does not start
// a valid multibyte sequence, 0 at or past the end).
std::size_t CharLength(const std::string& text, std::size_t pos);

// Upper-cases by encoded character with the locale's case mapping; bytes that are not part of
// a valid character are kept. The one folding used by every comparison of user names.
std::string UpperCase(const std::string& text);

// Equality without regard to letter case: UpperCase of both, compared byte for byte.
bool EqualNoCase(const std::string& a, const std::string& b);

// True when the first prefix.size() bytes of text equal prefix without regard to letter case.
bool StartsWithNoCase(const std::string& text, const std::string& prefix);

// Reverses by encoded character: a multibyte character moves as a unit, its bytes in order.
std::string ReverseByCharacter(const std::string& text);

// The rule of the standard atoi: optional leading white space and sign, then decimal digits;
// 0 when the text does not start with a number. Saturates instead of overflowing.
long AtoiRule(const std::string& text);

}  // namespace lunaret

#endif  // LUNARET_CORE_BASE_TEXT_H
