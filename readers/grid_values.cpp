// Parsing of grid coordinates, heights and the zone's central meridian; see grid.h.
#include "readers/grid_values.h"

#include <cmath>
#include <optional>

#include "numtext/number_text.h"
#include "text/text.h"
#include "text/translate.h"

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

Reason ParseLength(std::string_view text, double* value) {
  std::string storage;
  const std::string_view s = Trim(numtext::FoldedToAscii(text, &storage));
  if (s.empty())
    return Tr("empty");
  if (!IsPlainDecimal(s))
    return Tr("not a decimal number");
  const std::optional<double> v = numtext::ParseDouble(s);
  if (!v || !std::isfinite(*v))
    return Tr("not a finite number");
  *value = *v;
  return {};
}

Reason ParseCentralMeridian(std::string_view text, int* degrees) {
  double value;
  if (Reason r = ParseLength(text, &value); !r.empty())
    return r;
  if (value != std::trunc(value))
    return Tr("not whole degrees");
  if (value < -180 || value > 180)
    return Tr("outside -180 to 180 degrees");
  *degrees = static_cast<int>(value);
  return {};
}

Reason ParseEasting(std::string_view text, Easting* easting) {
  Easting& e = *easting;
  e = Easting();
  std::string storage;
  std::string_view s = Trim(numtext::FoldedToAscii(text, &storage));
  if (s.empty())
    return Tr("empty");
  if (!IsPlainDecimal(s))
    return Tr("not a decimal number");
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
      // TRANSLATORS: {1} is the two digits in front of the easting.
      return Fill(Tr("zone number {1} is neither a 6-degree zone (13 to 23) nor a 3-degree zone "
                     "(25 to 45)"),
                  prefix);
    }
    digits.remove_prefix(leading_zeros + 2);
  }
  if (Reason r = ParseLength(digits, &e.y); !r.empty())
    return r;
  if (negative)
    e.y = -e.y;
  if (!(e.y >= kMinEasting && e.y <= kMaxEasting)) {
    return e.zone != 0 ? Tr("easting after the zone number lies outside 100000 to 900000 m")
                       : Tr("easting outside 100000 to 900000 m (6 digits, or 8 with the zone "
                            "number in front)");
  }
  return {};
}

Reason ParsePlainEasting(std::string_view text, double* easting) {
  if (Reason r = ParseLength(text, easting); !r.empty())
    return r;
  if (!(std::fabs(*easting) <= 1e8))
    return Tr("easting beyond 100000000 m");
  return {};
}

}  // namespace zerb
