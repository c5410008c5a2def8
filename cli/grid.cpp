// Parsing of grid coordinates, heights and the zone's central meridian; see grid.h.
#include "cli/grid.h"

#include <charconv>
#include <cmath>

#include "cli/text.h"

namespace zerb {
namespace {

// Digits with an optional point and fraction, an optional sign in front; no exponent, no
// "inf" or "nan": what a surveyor types.
bool IsPlainDecimal(std::string_view s) {
  if (!s.empty() && (s.front() == '-' || s.front() == '+'))
    s.remove_prefix(1);
  bool digit = false;
  bool point = false;
  for (char c : s) {
    if (IsDigit(c)) {
      digit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digit;
}

}  // namespace

std::string ParseLength(std::string_view text, double* value) {
  std::string_view s = Trim(text);
  if (s.empty())
    return "empty";
  if (!IsPlainDecimal(s))
    return "not a decimal number";
  if (s.front() == '+')
    s.remove_prefix(1);
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *value);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(*value)) {
    return "not a finite number";
  }
  return {};
}

std::string ParseCentralMeridian(std::string_view text, int* degrees) {
  double value;
  std::string error = ParseLength(text, &value);
  if (!error.empty())
    return error;
  if (value != std::trunc(value))
    return "not whole degrees";
  if (value < -180 || value > 180)
    return "outside -180 to 180 degrees";
  *degrees = static_cast<int>(value);
  return {};
}

Easting ParseEasting(std::string_view text) {
  Easting e;
  std::string_view s = Trim(text);
  if (s.empty()) {
    e.error = "empty";
    return e;
  }
  if (!IsPlainDecimal(s)) {
    e.error = "not a decimal number";
    return e;
  }
  const bool negative = s.front() == '-';
  std::string_view digits = (negative || s.front() == '+') ? s.substr(1) : s;
  std::size_t whole = 0;
  while (whole < digits.size() && IsDigit(digits[whole]))
    ++whole;
  std::size_t leading_zeros = 0;
  while (leading_zeros + 1 < whole && digits[leading_zeros] == '0')
    ++leading_zeros;
  if (!negative && whole - leading_zeros == 8) {
    const std::string_view prefix = digits.substr(leading_zeros, 2);
    e.zone = (prefix[0] - '0') * 10 + (prefix[1] - '0');
    if (e.zone >= 13 && e.zone <= 23) {
      e.zone_meridian = 6 * e.zone - 3;
    } else if (e.zone >= 25 && e.zone <= 45) {
      e.zone_meridian = 3 * e.zone;
    } else {
      e.error = "zone number " + std::string(prefix) +
                " is neither a 6-degree zone (13 to 23) nor a 3-degree zone (25 to 45)";
      return e;
    }
    digits.remove_prefix(leading_zeros + 2);
  }
  e.error = ParseLength(digits, &e.y);
  if (!e.error.empty())
    return e;
  if (negative)
    e.y = -e.y;
  if (!(e.y >= kMinEasting && e.y <= kMaxEasting)) {
    e.error = e.zone != 0 ? "easting after the zone number lies outside 100000 to 900000 m"
                          : "easting outside 100000 to 900000 m (6 digits, or 8 with the zone "
                            "number in front)";
  }
  return e;
}

}  // namespace zerb
