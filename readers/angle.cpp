// Parsing of latitudes and longitudes in the degree forms surveyors type; see angle.h.
#include "readers/angle.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>

#include "numtext/number_text.h"
#include "text/text.h"
#include "text/translate.h"

namespace zerb {
namespace {

constexpr std::size_t kMaxDecimals = 40;

void SkipBlanks(std::string_view& s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
}

// Removes one of the given marks (ASCII or UTF-8) from the front of s.
bool Consume(std::string_view& s, std::initializer_list<std::string_view> marks) {
  for (std::string_view mark : marks) {
    if (s.starts_with(mark)) {
      s.remove_prefix(mark.size());
      return true;
    }
  }
  return false;
}

// An unsigned decimal number as typed: integer digits and optional fraction digits.
struct Number {
  std::string_view text;  // the whole number, digits and point
  std::string_view whole;
  std::string_view fraction;
  bool has_point = false;
};

bool TakeNumber(std::string_view& s, Number* n) {
  std::size_t i = 0;
  while (i < s.size() && IsDigit(s[i]))
    ++i;
  const std::size_t whole_end = i;
  bool point = false;
  std::size_t frac_begin = i;
  if (i < s.size() && s[i] == '.') {
    point = true;
    frac_begin = ++i;
    while (i < s.size() && IsDigit(s[i]))
      ++i;
  }
  if (whole_end == 0 && i == frac_begin)
    return false;  // no digit at all
  n->text = s.substr(0, i);
  n->whole = s.substr(0, whole_end);
  n->fraction = s.substr(frac_begin, i - frac_begin);
  n->has_point = point;
  s.remove_prefix(i);
  return true;
}

// Whole number of at most 9 digits (bigger ones are out of every range checked here).
bool ToInt(std::string_view digits, int* value) {
  if (digits.empty()) {
    *value = 0;
    return true;
  }
  if (digits.size() > 9)
    return false;
  std::from_chars(digits.data(), digits.data() + digits.size(), *value);
  return true;
}

bool ToDouble(std::string_view text, double* value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return ec == std::errc() && end == text.data() + text.size();
}

// Multiplies the decimal fraction 0.d1d2...dk by 60 in place and returns the carry into the
// whole part; the fraction keeps its k digits, so the product is exact.
int TimesSixty(std::array<char, kMaxDecimals>& digits, std::size_t count) {
  int carry = 0;
  for (std::size_t i = count; i-- > 0;) {
    const int v = (digits[i] - '0') * 60 + carry;
    digits[i] = static_cast<char>('0' + v % 10);
    carry = v / 10;
  }
  return carry;
}

// Decimal degrees to degrees, minutes and seconds, exactly, on the decimal digits.
Reason FromDecimalDegrees(const Number& n, Angle* angle) {
  Angle& a = *angle;
  if (!ToInt(n.whole, &a.deg))
    return Tr("degrees out of range");
  if (n.fraction.size() > kMaxDecimals)
    return Tr("more than 40 decimals");
  std::array<char, kMaxDecimals> digits{};
  const std::size_t count = n.fraction.size();
  for (std::size_t i = 0; i < count; ++i)
    digits[i] = n.fraction[i];
  a.min = TimesSixty(digits, count);
  const int whole_sec = TimesSixty(digits, count);
  // "ss." followed by the fraction digits: at most 2 + 1 + 40 characters.
  std::array<char, 4 + kMaxDecimals> text{};
  auto [p, ec] = std::to_chars(text.data(), text.data() + 3, whole_sec);
  (void)ec;
  *p++ = '.';
  for (std::size_t i = 0; i < count; ++i)
    *p++ = digits[i];
  if (count == 0)
    *p++ = '0';
  ToDouble(std::string_view(text.data(), static_cast<std::size_t>(p - text.data())), &a.sec);
  return {};
}

// dd.mmss: the fraction's first two digits are minutes, the next two whole seconds, the rest the
// seconds' fraction; missing digits are zeros, as in any decimal number.
Reason FromDdMmss(const Number& n, Angle* angle) {
  Angle& a = *angle;
  if (!ToInt(n.whole, &a.deg))
    return Tr("degrees out of range");
  if (n.fraction.size() > kMaxDecimals)
    return Tr("more than 40 decimals");
  std::string digits(n.fraction);
  if (digits.size() < 4)
    digits.resize(4, '0');
  a.min = (digits[0] - '0') * 10 + (digits[1] - '0');
  std::string seconds = digits.substr(2, 2) + "." + (digits.size() > 4 ? digits.substr(4) : "0");
  ToDouble(seconds, &a.sec);
  if (a.min > 59)
    return Fill(Tr("dd.mmss with minutes {1} (minutes must lie below 60)"), digits.substr(0, 2));
  if (!(a.sec < 60))
    return Fill(Tr("dd.mmss with seconds {1} (seconds must lie below 60)"), digits.substr(2, 2));
  return {};
}

// The body of an angle without sign or hemisphere letter.
Reason ParseUnsigned(std::string_view s, AngleFormat format, Angle* angle) {
  Number d, m, sec;
  if (!TakeNumber(s, &d))
    return Tr("not a number");
  SkipBlanks(s);
  if (s.empty()) {
    angle->bare_number = true;
    if (format == AngleFormat::kDms)
      return Tr("a bare number, where --angle-format dms asks for degrees, minutes and seconds");
    return format == AngleFormat::kDdMmss ? FromDdMmss(d, angle) : FromDecimalDegrees(d, angle);
  }

  enum class Form { kColon, kBlank, kMarks } form;
  if (Consume(s, {":"})) {
    form = Form::kColon;
  } else if (Consume(s, {"\xC2\xB0", "\xC2\xBA", "d"})) {  // degree sign, ordinal sign, d
    form = Form::kMarks;
    SkipBlanks(s);
    if (s.empty()) {
      if (format == AngleFormat::kDms)
        return Tr(
            "decimal degrees, where --angle-format dms asks for degrees, minutes and seconds");
      return FromDecimalDegrees(d, angle);
    }
  } else {
    form = Form::kBlank;  // blanks were already skipped
  }
  if (format == AngleFormat::kDegrees)
    return Tr("degrees and minutes, where --angle-format degrees asks for decimal degrees");
  if (form == Form::kColon)
    SkipBlanks(s);
  if (!TakeNumber(s, &m))
    return Tr("minutes missing or not a number");
  bool seconds_optional = false;
  if (form == Form::kColon) {
    SkipBlanks(s);
    if (!Consume(s, {":"}))
      return Tr("expected D:M:S");
  } else if (form == Form::kMarks) {
    if (!Consume(s, {"\xE2\x80\xB2", "'", "m"}))
      return Tr("expected a minute mark after the minutes");
    seconds_optional = true;
  }
  SkipBlanks(s);
  if (s.empty() && seconds_optional) {
    sec.text = "0";
  } else {
    if (!TakeNumber(s, &sec))
      return Tr("seconds missing or not a number");
    if (form == Form::kMarks)
      Consume(s, {"\xE2\x80\xB3", "\"", "s"});
    SkipBlanks(s);
    if (!s.empty())
      return Tr("unexpected text after the seconds");
  }
  if (d.has_point || m.has_point) {
    return Tr("degrees and minutes must be whole numbers when seconds follow");
  }
  Angle& a = *angle;
  if (!ToInt(d.whole, &a.deg))
    return Tr("degrees out of range");
  if (!ToInt(m.whole, &a.min))
    return Tr("minutes outside 0 to 59");
  if (!ToDouble(sec.text, &a.sec))
    return Tr("seconds not a number");
  // Typed minutes and seconds must be proper ones; those from decimal degrees always are (their
  // seconds may round up to 60.0 in binary, which DmsToRadians takes as one more minute).
  if (a.min > 59)
    return Tr("minutes outside 0 to 59");
  if (!(a.sec < 60))
    return Tr("seconds outside 0 to less than 60");
  return {};
}

}  // namespace

Reason ParseAngleFormat(std::string_view text, AngleFormat* format) {
  if (text == "auto") {
    *format = AngleFormat::kAuto;
  } else if (text == "dms") {
    *format = AngleFormat::kDms;
  } else if (text == "degrees") {
    *format = AngleFormat::kDegrees;
  } else if (text == "dd.mmss") {
    *format = AngleFormat::kDdMmss;
  } else {
    // TRANSLATORS: {1} is the value given, in quotes; the names in parentheses are typed as is.
    return Fill(Tr("unknown angle format {1} (auto, dms, degrees or dd.mmss)"), Quoted(text));
  }
  return {};
}

Reason ParseAngle(std::string_view text, AngleAxis axis, AngleFormat format, Angle* angle) {
  const bool latitude = axis == AngleAxis::kLatitude;
  std::string storage;
  std::string_view s = Trim(numtext::FoldedToAscii(text, &storage));
  if (s.empty())
    return Tr("empty");

  bool negative = false;
  bool signed_text = false;
  if (s.front() == '-' || s.front() == '+') {
    negative = s.front() == '-';
    signed_text = true;
    s.remove_prefix(1);
  }
  const char last = s.empty() ? '\0' : s.back();
  if (last == 'N' || last == 'S' || last == 'E' || last == 'W') {
    const bool lat_letter = last == 'N' || last == 'S';
    if (lat_letter != latitude) {
      return latitude ? Tr("E or W on a latitude") : Tr("N or S on a longitude");
    }
    if (signed_text)
      return Tr("both a sign and a hemisphere letter");
    negative = last == 'S' || last == 'W';
    s.remove_suffix(1);
    s = Trim(s);
  }

  Angle a;
  if (Reason r = ParseUnsigned(s, format, &a); !r.empty())
    return r;
  a.negative = negative;
  const int limit = latitude ? 90 : 180;
  if (a.deg > limit || (a.deg == limit && (a.min > 0 || a.sec > 0))) {
    return latitude ? Tr("beyond 90 degrees") : Tr("beyond 180 degrees");
  }
  *angle = a;
  return {};
}

double Degrees(const Angle& angle) {
  return (angle.deg + angle.min / 60.0 + angle.sec / 3600.0) * (angle.negative ? -1 : 1);
}

double AsDdMmss(const Angle& angle) {
  const double value = std::fabs(Degrees(angle));
  const double whole = std::floor(value);
  // 1e-7 of a hundredth of a degree absorbs the binary rounding of the typed digits.
  const double mmss = (value - whole) * 100 + 1e-7;
  const double minutes = std::floor(mmss);
  const double seconds = (mmss - minutes) * 100 - 1e-5;
  if (minutes >= 60 || seconds >= 60)
    return NAN;
  const double d = whole + minutes / 60 + std::max(0.0, seconds) / 3600;
  return angle.negative ? -d : d;
}

FormDms ToFormDms(const Angle& angle) {
  if (!angle.negative)
    return {angle.deg, angle.min, angle.sec};
  if (angle.deg > 0)
    return {-angle.deg, angle.min, angle.sec};
  return {0, -angle.min, -angle.sec};
}

}  // namespace zerb
