// Fuzzes the latitude and longitude reader: every accepted angle is a proper one (whole degrees
// and minutes, minutes 0 to 59, seconds 0 to 60, within 90 or 180 degrees), its form values
// carry the sign, and a plain decimal-degree text reads to the value strtod gives it.
// Input: the cell's text, read as both a latitude and a longitude.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "numtext/number_text.h"
#include "readers/angle.h"

namespace zerb::fuzz {
namespace {

using numtext::FoldToAscii;

// Whether text (after folding and trimming) is digits with at most one point, nothing else.
bool IsPlainDegrees(std::string_view s, double* value) {
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
  if (!digit)
    return false;
  return std::from_chars(s.data(), s.data() + s.size(), *value).ec == std::errc();
}

void CheckAxis(std::string_view text, AngleAxis axis, AngleFormat format) {
  Angle angle;
  angle.deg = -77;  // left alone on a refusal
  const Reason reason = ParseAngle(text, axis, format, &angle);
  RequireUtf8(reason, "an angle's refusal");
  if (!reason.empty()) {
    Require(angle.deg == -77, "a refused angle was written");
    return;
  }
  const int limit = axis == AngleAxis::kLatitude ? 90 : 180;
  Require(angle.deg >= 0 && angle.deg <= limit, "degrees out of range");
  Require(angle.min >= 0 && angle.min <= 59, "minutes out of range");
  Require(angle.sec >= 0 && angle.sec <= 60, "seconds out of range");
  const double degrees = Degrees(angle);
  Require(std::fabs(degrees) <= limit, "the angle lies beyond its axis' limit");
  const FormDms form = ToFormDms(angle);
  // The form's sign sits in the first non-zero of its parts, the others stay non-negative.
  if (!angle.negative) {
    Require(form.deg >= 0 && form.min >= 0 && !std::signbit(form.sec), "a positive form sign");
  } else if (angle.deg > 0) {
    Require(form.deg < 0 && form.min >= 0 && form.sec >= 0, "a negative form's sign misplaced");
  } else {
    Require(form.deg == 0 && form.min <= 0 && form.sec <= 0, "a small negative form's sign");
  }
  // Decimal degrees: the exact decimal conversion to degrees, minutes and seconds agrees with
  // the binary value of the same digits to a few ulps of 180 degrees (4e-14), far below the
  // 1e-9 degrees (0.1 mm) allowed here.
  const std::string folded = FoldToAscii(text);
  const std::string_view s = Trim(folded);
  double plain = 0;
  if (format != AngleFormat::kDdMmss && IsPlainDegrees(s, &plain))
    Require(std::fabs(degrees - plain) <= 1e-9, "decimal degrees read to another value");
}

}  // namespace
}  // namespace zerb::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const zerb::AngleFormat format : {zerb::AngleFormat::kAuto, zerb::AngleFormat::kDms,
                                         zerb::AngleFormat::kDegrees, zerb::AngleFormat::kDdMmss}) {
    zerb::fuzz::CheckAxis(text, zerb::AngleAxis::kLatitude, format);
    zerb::fuzz::CheckAxis(text, zerb::AngleAxis::kLongitude, format);
  }
  return 0;
}
