#include "core/base/text.h"

#include <cctype>
#include <climits>
#include <limits>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <locale.h>
#include <wchar.h>
#include <wctype.h>
#endif

namespace lunaret {

#ifdef _WIN32

std::size_t CharLength(const std::string& text, std::size_t pos) {
  if (pos >= text.size())
    return 0;
  if (IsDBCSLeadByte(static_cast<BYTE>(text[pos])) && pos + 1 < text.size() && text[pos + 1] != 0)
    return 2;
  return 1;
}

std::string UpperCase(const std::string& text) {
  std::string upper = text;
  if (!upper.empty())
    CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
  return upper;
}

#else

namespace {

// The folding of names must not depend on the LANG a process happens to run with: the store
// keeps a folded copy of every name, and a different folding on the next run would make
// existing users unreachable. Texts are UTF-8, so decode and map them with the fixed
// C.UTF-8 rules; only a system without that locale falls back to the process's own.
locale_t FixedLocale() {
  static const locale_t locale = [] {
    locale_t found = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (found == nullptr)
      found = newlocale(LC_CTYPE_MASK, "C.utf8", static_cast<locale_t>(nullptr));
    return found;
  }();
  return locale;
}

// Switches the calling thread to the fixed locale while it lives.
class FixedLocaleScope {
 public:
  FixedLocaleScope() {
    locale_t fixed = FixedLocale();
    if (fixed != nullptr)
      previous_ = uselocale(fixed);
  }
  ~FixedLocaleScope() {
    if (previous_ != nullptr)
      uselocale(previous_);
  }
  FixedLocaleScope(const FixedLocaleScope&) = delete;
  FixedLocaleScope& operator=(const FixedLocaleScope&) = delete;

 private:
  locale_t previous_ = nullptr;
};

constexpr wchar_t kLastCodePoint = 0x10FFFF;

// Decodes the character at pos under the thread's current locale; 0 when the bytes there do
// not form a valid character (they are then taken one by one).
std::size_t Decode(const std::string& text, std::size_t pos, wchar_t* character) {
  mbstate_t state{};
  const std::size_t result = mbrtowc(character, text.data() + pos, text.size() - pos, &state);
  if (result == static_cast<std::size_t>(-1) || result == static_cast<std::size_t>(-2) ||
      result == 0)
    return 0;
  if (static_cast<unsigned long>(*character) > static_cast<unsigned long>(kLastCodePoint))
    return 0;
  return result;
}

bool IsAscii(unsigned char byte) {
  return byte < 0x80;
}

}  // namespace

std::size_t CharLength(const std::string& text, std::size_t pos) {
  if (pos >= text.size())
    return 0;
  if (IsAscii(static_cast<unsigned char>(text[pos])) && FixedLocale() != nullptr)
    return 1;
  FixedLocaleScope scope;
  wchar_t character = 0;
  const std::size_t length = Decode(text, pos, &character);
  return length == 0 ? 1 : length;
}

std::string UpperCase(const std::string& text) {
  std::string upper;
  const bool fixed = FixedLocale() != nullptr;
  std::size_t pos = 0;
  // Plain ASCII needs no locale under the fixed rules: most names are ASCII only.
  if (fixed) {
    upper = text;
    for (; pos < upper.size(); ++pos) {
      const auto byte = static_cast<unsigned char>(upper[pos]);
      if (!IsAscii(byte))
        break;
      if (byte >= 'a' && byte <= 'z')
        upper[pos] = static_cast<char>(byte - 'a' + 'A');
    }
    if (pos == upper.size())
      return upper;
    upper.resize(pos);
  }
  FixedLocaleScope scope;
  char encoded[MB_LEN_MAX];
  while (pos < text.size()) {
    wchar_t character = 0;
    const std::size_t length = Decode(text, pos, &character);
    if (length == 0) {
      upper.push_back(text[pos++]);
      continue;
    }
    mbstate_t state{};
    const std::size_t written = wcrtomb(encoded, static_cast<wchar_t>(towupper(character)), &state);
    if (written == static_cast<std::size_t>(-1) || written == 0)
      upper.append(text, pos, length);
    else
      upper.append(encoded, written);
    pos += length;
  }
  return upper;
}

#endif

bool EqualNoCase(const std::string& a, const std::string& b) {
  return UpperCase(a) == UpperCase(b);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size())
    return false;
  return EqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::string ReverseByCharacter(const std::string& text) {
  std::string reversed(text.size(), '\0');
  std::size_t end = text.size();
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t length = CharLength(text, pos);
    end -= length;
    reversed.replace(end, length, text, pos, length);
    pos += length;
  }
  return reversed;
}

long AtoiRule(const std::string& text) {
  std::size_t pos = 0;
  while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
    ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
    negative = text[pos++] == '-';
  // Accumulate toward the negative side, whose range is the larger one.
  long value = 0;
  constexpr long kMin = std::numeric_limits<long>::min();
  bool saturated = false;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    const int digit = text[pos] - '0';
    if (saturated)
      continue;
    if (value < (kMin + digit) / 10) {
      saturated = true;
      value = kMin;
      continue;
    }
    value = value * 10 - digit;
  }
  if (negative)
    return value;
  if (value == kMin)
    return std::numeric_limits<long>::max();
  return -value;
}

}  // namespace lunaret
