// Buffered output and number forms; see output.h.
#include "cli/writers/output.h"

#include <charconv>
#include <cmath>

namespace zerb {

Output& Output::operator<<(std::string_view s) {
  buffer_ += s;
  Grown();
  return *this;
}

Output& Output::operator<<(char c) {
  buffer_ += c;
  Grown();
  return *this;
}

Output& Output::operator<<(std::uint64_t n) {
  char text[24];
  const auto r = std::to_chars(text, text + sizeof text, n);
  buffer_.append(text, r.ptr);
  Grown();
  return *this;
}

Output& Output::Fixed(double value) {
  AppendFixed(&buffer_, value);
  Grown();
  return *this;
}

Output& Output::Fixed(double value, std::size_t width) {
  std::string number;
  AppendFixed(&number, value);
  if (number.size() < width)
    buffer_.append(width - number.size(), ' ');
  return *this << number;
}

Output& Output::Shortest(double value) {
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, value);
  buffer_.append(text, r.ptr);
  Grown();
  return *this;
}

Output& Output::CsvField(std::string_view field, char delimiter) {
  if (field.find_first_of(std::string{delimiter, '"', '\n', '\r'}) == std::string_view::npos)
    return *this << field;
  buffer_ += '"';
  for (char c : field) {
    if (c == '"')
      buffer_ += '"';
    buffer_ += c;
  }
  return *this << '"';
}

Output& Output::JsonString(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  buffer_ += '"';
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      buffer_ += '\\';
      buffer_ += c;
    } else if (u < 0x20 || u == 0x7f) {
      buffer_ += "\\u00";
      buffer_ += kHex[u >> 4];
      buffer_ += kHex[u & 15];
    } else {
      buffer_ += c;
    }
  }
  return *this << '"';
}

void Output::Flush() {
  if (!buffer_.empty())
    std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
  buffer_.clear();
}

void AppendFixed(std::string* s, double value) {
  char text[400];  // room for any double in fixed notation
  auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4);
  std::string_view number(text, static_cast<std::size_t>(r.ptr - text));
  if (number == "-0.0000")
    number.remove_prefix(1);
  *s += number;
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
