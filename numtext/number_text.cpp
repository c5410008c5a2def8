// Shortest round-trip writing with std::to_chars and strict reading with std::from_chars; see
// number_text.h for the rules.
#include "numtext/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace zerb::numtext {

namespace {

// Eight bytes at a step: every cell of a table passes here, several times.
bool IsAscii(std::string_view text) {
  std::uint64_t high = 0;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, sizeof word);
    high |= word;
  }
  for (; i < text.size(); ++i)
    high |= static_cast<unsigned char>(text[i]);
  return (high & 0x8080808080808080u) == 0;
}

}  // namespace

std::string_view FoldedToAscii(std::string_view text, std::string* storage) {
  if (IsAscii(text))
    return text;
  *storage = FoldToAscii(text);
  return *storage;
}

// Bytes other than those folded pass through, so any other non-ASCII text is refused as garbage.
std::string FoldToAscii(std::string_view text) {
  // Nearly every cell is plain ASCII, which has nothing to fold: one copy instead of a loop of
  // appends.
  if (IsAscii(text))
    return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i + 3 <= text.size()) {
      const auto b0 = static_cast<unsigned char>(text[i]);
      const auto b1 = static_cast<unsigned char>(text[i + 1]);
      const auto b2 = static_cast<unsigned char>(text[i + 2]);
      const unsigned code = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
      const bool threeByte =
          (b0 & 0xF0u) == 0xE0u && (b1 & 0xC0u) == 0x80u && (b2 & 0xC0u) == 0x80u;
      if (threeByte && code >= 0xFF01 && code <= 0xFF5E) {
        out += static_cast<char>(code - 0xFEE0);
        i += 2;
        continue;
      }
      if (threeByte && code == 0x3000) {
        out += ' ';
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

namespace {

std::string_view TrimBlanks(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && blank(s.back()))
    s.remove_suffix(1);
  return s;
}

// from_chars takes no leading '+'; one is allowed here when a digit, point or letter follows.
std::string_view StripPlus(std::string_view s) {
  if (s.size() > 1 && s.front() == '+' && s[1] != '-' && s[1] != '+')
    s.remove_prefix(1);
  return s;
}

template <typename T>
std::optional<T> ParseWhole(std::string_view text) {
  std::string storage;
  const std::string_view s = StripPlus(TrimBlanks(FoldedToAscii(text, &storage)));
  if (s.empty())
    return std::nullopt;
  T value{};
  const char* const end = s.data() + s.size();
  const auto [ptr, ec] = std::from_chars(s.data(), end, value);
  if (ec != std::errc() || ptr != end)
    return std::nullopt;
  return value;
}

}  // namespace

std::string FormatDouble(double value) {
  // Plain decimals over the range of survey values (500000 stays "500000", not "5e+05");
  // exponent form only for magnitudes where plain digits would run on. Both are the shortest
  // text that reads back to the same double.
  const double magnitude = std::fabs(value);
  const bool plain = magnitude == 0 || (magnitude >= 1e-5 && magnitude < 1e16);
  char buf[64];
  const auto [ptr, ec] = plain
                             ? std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed)
                             : std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, ec == std::errc() ? ptr : buf);
}

std::string FormatInt(int value) {
  char buf[16];
  const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, ec == std::errc() ? ptr : buf);
}

std::optional<double> ParseDouble(std::string_view text) {
  return ParseWhole<double>(text);
}

std::optional<int> ParseInt(std::string_view text) {
  if (IsMinusZeroInt(text))
    return std::nullopt;
  return ParseWhole<int>(text);
}

bool IsMinusZeroInt(std::string_view text) {
  std::string storage;
  const std::string_view s = TrimBlanks(FoldedToAscii(text, &storage));
  return !s.empty() && s.front() == '-' && ParseWhole<int>(s) == 0;
}

}  // namespace zerb::numtext
