// System error texts, case-blind comparison, option numbers, UTF-8 checks and the quoting of
// cells in messages; see text.h.
#include "text/text.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

#include "numtext/number_text.h"

namespace zerb {

bool ParseOptionNumber(std::string_view text, double* value) {
  const std::optional<double> v = numtext::ParseDouble(text);
  if (!v || !std::isfinite(*v))
    return false;
  *value = *v;
  return true;
}

std::string ErrnoText(int error) {
  std::string text = std::strerror(error);
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
    text[0] = static_cast<char>(text[0] + 32);
  return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i]))
      return false;
  }
  return true;
}

std::size_t Utf8SequenceLength(std::string_view s) {
  if (s.empty())
    return 0;
  const auto b0 = static_cast<unsigned char>(s[0]);
  if (b0 < 0x80)
    return 1;
  std::size_t n;
  unsigned code;
  unsigned minimum;
  if ((b0 & 0xE0) == 0xC0) {
    n = 2, code = b0 & 0x1F, minimum = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    n = 3, code = b0 & 0x0F, minimum = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    n = 4, code = b0 & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (s.size() < n)
    return 0;
  for (std::size_t i = 1; i < n; ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if ((b & 0xC0) != 0x80)
      return 0;
    code = (code << 6) | (b & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    return 0;
  return n;
}

std::size_t SkipAscii(std::string_view s, std::size_t i) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  while (i + 8 <= s.size()) {
    std::uint64_t word;
    std::memcpy(&word, s.data() + i, sizeof word);
    if ((word & kHighBits) != 0)
      break;
    i += 8;
  }
  while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80)
    ++i;
  return i;
}

bool IsValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    i = SkipAscii(s, i);
    if (i == s.size())
      break;
    const std::size_t n = Utf8SequenceLength(s.substr(i));
    if (n == 0)
      return false;
    i += n;
  }
  return true;
}

std::string Printable(std::string_view s) {
  std::string p;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = Utf8SequenceLength(s.substr(i));
    const auto u = static_cast<unsigned char>(s[i]);
    if (n == 0 || u < 0x20 || u == 0x7f) {
      p += '?';
      ++i;
    } else {
      p.append(s.substr(i, n));
      i += n;
    }
  }
  return p;
}

std::string Quoted(std::string_view s) {
  constexpr std::size_t kShown = 40;  // characters
  std::string q = "'";
  std::size_t i = 0;
  for (std::size_t shown = 0; i < s.size() && shown < kShown; ++shown) {
    const std::size_t n = Utf8SequenceLength(s.substr(i));
    const auto u = static_cast<unsigned char>(s[i]);
    if (n == 0 || u < 0x20 || u == 0x7f) {
      q += '?';
      ++i;
    } else {
      q.append(s.substr(i, n));
      i += n;
    }
  }
  return q + (i < s.size() ? "...'" : "'");
}

}  // namespace zerb
