// Buffered output and number forms; see output.h.
#include "writers/output.h"

#include <bit>
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
// Covers values below 2^50 in magnitude (far beyond any survey length), writing at most
// kFastFixedRoom characters from out; returns null for the others.
constexpr std::size_t kFastFixedRoom = 24;  // sign, 16 whole digits, point, 4 decimals
char* FastFixed(double value, char* out) {
  __extension__ using Wide = unsigned __int128;
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
  if (biased >= 1023 + 50)
    return nullptr;  // 2^50 and more, infinities, NaN
  // A subnormal or anything below 2^-67 is far below half of the last decimal.
  std::uint64_t scaled = 0;  // |value| * 10^4, rounded
  // Below 2^39 the product in doubles, t, is below 2^53 and off the exact one by at most half
  // an ulp, at most t 2^-53: unless t lies that close to a half, it rounds as the exact product
  // does, without the wide arithmetic.
  const double t = std::fabs(value) * 10000.0;
  const auto below = static_cast<std::uint64_t>(t);        // t >= 0: truncation is the floor
  const double fraction = t - static_cast<double>(below);  // exact
  if (biased < 1023 + 39 && std::fabs(fraction - 0.5) > t * 0x1p-51) {
    scaled = below + (fraction > 0.5 ? 1 : 0);
  } else if (biased >= 1023 - 67) {
    const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52;
    const int shift = 1075 - biased;  // |value| = mantissa / 2^shift, shift > 2 here
    const Wide product = static_cast<Wide>(mantissa) * 10000u;
    const Wide whole = product >> shift;
    const Wide rest = product - (whole << shift);
    const Wide half = static_cast<Wide>(1) << (shift - 1);
    scaled = static_cast<std::uint64_t>(whole);
    if (rest > half || (rest == half && (scaled & 1) != 0))
      ++scaled;
  }
  // A negative value that rounds to zero is written without its sign, as FixedForm does.
  if ((bits >> 63) != 0 && scaled != 0)
    *out++ = '-';
  std::uint64_t whole = scaled / 10000;
  const auto decimals = static_cast<unsigned>(scaled % 10000);
  int digits = 1;
  for (std::uint64_t w = whole; w >= 10; w /= 10)
    ++digits;
  for (char* p = out + digits; p != out; whole /= 10)
    *--p = static_cast<char>('0' + whole % 10);
  out += digits;
  out[0] = '.';
  out[1] = static_cast<char>('0' + decimals / 1000);
  out[2] = static_cast<char>('0' + decimals / 100 % 10);
  out[3] = static_cast<char>('0' + decimals / 10 % 10);
  out[4] = static_cast<char>('0' + decimals % 10);
  return out + 5;
}

std::string_view FixedForm(double value, char (&text)[kFixedRoom]) {
  if (const char* end = FastFixed(value, text); end != nullptr)
    return {text, static_cast<std::size_t>(end - text)};
  // Beyond 2^50 m, or not finite: no value there rounds to a signed zero.
  const auto r = std::to_chars(text, text + kFixedRoom, value, std::chars_format::fixed, 4);
  return {text, static_cast<std::size_t>(r.ptr - text)};
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
  // Straight into the buffer: a copy of a few bytes would cost as much as the digits.
  if (kSize - used_ < kFastFixedRoom)
    Flush();
  if (char* end = FastFixed(value, buffer_.get() + used_); end != nullptr) {
    used_ = static_cast<std::size_t>(end - buffer_.get());
    return *this;
  }
  char text[kFixedRoom];
  return *this << FixedForm(value, text);
}

Output& Output::Fixed(double value, FixedMemo* memo) {
  static_assert(sizeof memo->text == kFastFixedRoom);
  if (kSize - used_ < kFastFixedRoom)
    Flush();
  char* const at = buffer_.get() + used_;
  const auto bits = std::bit_cast<std::uint64_t>(value);
  if (memo->size != 0 && memo->bits == bits) {
    std::memcpy(at, memo->text, kFastFixedRoom);  // the whole room: a fixed-size copy
    used_ += memo->size;
    return *this;
  }
  char* const end = FastFixed(value, at);
  if (end == nullptr)
    return Fixed(value);
  used_ = static_cast<std::size_t>(end - buffer_.get());
  std::memcpy(memo->text, at, kFastFixedRoom);
  memo->size = static_cast<std::size_t>(end - at);
  memo->bits = bits;
  return *this;
}

Output& Output::Fixed(double value, std::size_t width) {
  char text[kFixedRoom];
  const std::string_view number = FixedForm(value, text);
  for (std::size_t k = number.size(); k < width; ++k)
    Put(' ');
  return *this << number;
}

Output& Output::Shortest(double value) {
  if (kSize - used_ < kShortestRoom)
    Flush();
  const auto r = std::to_chars(buffer_.get() + used_, buffer_.get() + used_ + kShortestRoom, value);
  used_ = static_cast<std::size_t>(r.ptr - buffer_.get());
  return *this;
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
  if (used_ > 0 && file_ != nullptr)
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
