// Buffered output and number forms; see output.h.
#include "writers/output.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace zerb {
namespace {

// Room for any double in fixed notation with 4 decimals: DBL_MAX has 309 digits.
constexpr std::size_t kFixedRoom = 400;
// Room for the shortest form of any double: -2.2250738585072014e-308 has 24 characters.
constexpr std::size_t kShortestRoom = 32;

// The value with 4 decimals as to_chars writes it (the exact binary value rounded, a tie to
// even), by integer arithmetic: value = m * 2^e, so value * 10^4 = m * 10^4 / 2^-e exactly, in
// 128 bits. Five times faster than to_chars with a precision, which works for any precision.
// Covers values below 2^50 in magnitude (far beyond any survey length); returns false for the
// others.
bool FixedFormFast(double value, char (&text)[kFixedRoom], std::string_view* number) {
  __extension__ using Wide = unsigned __int128;
  const double magnitude = std::fabs(value);
  if (!(magnitude < 0x1p50))
    return false;
  int exponent;
  const double fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction * 2^exponent
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  const int shift = 53 - exponent;  // magnitude = mantissa / 2^shift, shift > 3 here
  std::uint64_t scaled;             // magnitude * 10^4, rounded
  if (magnitude == 0 || shift >= 120) {
    scaled = 0;  // below 2^-67: far below half of the last decimal
  } else {
    const Wide product = static_cast<Wide>(mantissa) * 10000u;
    const Wide whole = product >> shift;
    const Wide rest = product - (whole << shift);
    const Wide half = static_cast<Wide>(1) << (shift - 1);
    scaled = static_cast<std::uint64_t>(whole);
    if (rest > half || (rest == half && (scaled & 1) != 0))
      ++scaled;
  }
  // Digits from the right: four decimals, the point, at least one whole digit, the sign (a
  // negative value that rounds to zero is written without one).
  char* const end = text + kFixedRoom;
  char* p = end;
  std::uint64_t rest = scaled;
  for (int k = 0; k < 4; ++k) {
    *--p = static_cast<char>('0' + rest % 10);
    rest /= 10;
  }
  *--p = '.';
  do {
    *--p = static_cast<char>('0' + rest % 10);
    rest /= 10;
  } while (rest != 0);
  if (std::signbit(value) && scaled != 0)
    *--p = '-';
  *number = std::string_view(p, static_cast<std::size_t>(end - p));
  return true;
}

std::string_view FixedForm(double value, char (&text)[kFixedRoom]) {
  std::string_view fast;
  if (FixedFormFast(value, text, &fast))
    return fast;
  // Beyond 2^50 m, or not finite: no value there rounds to a signed zero.
  const auto r = std::to_chars(text, text + kFixedRoom, value, std::chars_format::fixed, 4);
  return std::string_view(text, static_cast<std::size_t>(r.ptr - text));
}

std::string_view ShortestForm(double value, char (&text)[kShortestRoom]) {
  const auto r = std::to_chars(text, text + kShortestRoom, value);
  return {text, static_cast<std::size_t>(r.ptr - text)};
}

}  // namespace

Output& Output::operator<<(std::string_view s) {
  if (s.size() > kSize - used_) {
    Flush();
    if (s.size() >= kSize) {  // a piece as large as the buffer goes out as it is
      std::fwrite(s.data(), 1, s.size(), file_);
      return *this;
    }
  }
  std::memcpy(buffer_.get() + used_, s.data(), s.size());
  used_ += s.size();
  return *this;
}

Output& Output::operator<<(std::uint64_t n) {
  char text[24];
  const auto r = std::to_chars(text, text + sizeof text, n);
  return *this << std::string_view(text, static_cast<std::size_t>(r.ptr - text));
}

Output& Output::Fixed(double value) {
  char text[kFixedRoom];
  return *this << FixedForm(value, text);
}

Output& Output::Fixed(double value, std::size_t width) {
  char text[kFixedRoom];
  const std::string_view number = FixedForm(value, text);
  for (std::size_t k = number.size(); k < width; ++k)
    Put(' ');
  return *this << number;
}

Output& Output::Shortest(double value) {
  char text[kShortestRoom];
  return *this << ShortestForm(value, text);
}

Output& Output::CsvField(std::string_view field, char delimiter) {
  if (field.find_first_of(std::string{delimiter, '"', '\n', '\r'}) == std::string_view::npos)
    return *this << field;
  Put('"');
  for (char c : field) {
    if (c == '"')
      Put('"');
    Put(c);
  }
  return *this << '"';
}

void Output::Flush() {
  if (used_ > 0)
    std::fwrite(buffer_.get(), 1, used_, file_);
  used_ = 0;
}

void AppendFixed(std::string* s, double value) {
  char text[kFixedRoom];
  *s += FixedForm(value, text);
}

void AppendShortest(std::string* s, double value) {
  char text[kShortestRoom];
  *s += ShortestForm(value, text);
}

std::string Fixed(double value) {
  std::string s;
  AppendFixed(&s, value);
  return s;
}

std::string Triple(const Vec3& v, std::string_view separator) {
  std::string s;
  AppendFixed(&s, v.x);
  s += separator;
  AppendFixed(&s, v.y);
  s += separator;
  AppendFixed(&s, v.z);
  return s;
}

double Length(const Vec3& v) {
  return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

}  // namespace zerb
