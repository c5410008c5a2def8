// Fuzzes the number readers: the shared number text (ParseDouble, ParseInt, FoldToAscii) and the
// grid values on top of it (ParseLength, ParseEasting, ParseCentralMeridian). Every accepted
// value must satisfy its documented bounds, and what the writers print must read back to the
// same bits.
// Input: the cell's text.
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/fuzz_support.h"
#include "numtext/number_text.h"
#include "readers/grid_values.h"
#include "text/text.h"

namespace zerb::fuzz {
namespace {

using numtext::FoldToAscii;
using numtext::FormatDouble;
using numtext::FormatInt;
using numtext::IsMinusZeroInt;
using numtext::ParseDouble;
using numtext::ParseInt;

void CheckNumberText(std::string_view text) {
  const std::string folded = FoldToAscii(text);
  Require(folded.size() <= text.size(), "folding made the text longer");
  if (IsValidUtf8(text))
    RequireUtf8(folded, "the folded text of valid UTF-8");
  Require(FoldToAscii(folded) == folded, "folding twice changed the text again");
  if (const std::optional<double> d = ParseDouble(text)) {
    const std::optional<double> back = ParseDouble(FormatDouble(*d));
    Require(back.has_value(), "a written double does not read back");
    Require(std::isnan(*d)
                ? std::isnan(*back)
                : std::bit_cast<std::uint64_t>(*d) == std::bit_cast<std::uint64_t>(*back),
            "a double changed on a write-read cycle");
  }
  if (const std::optional<int> i = ParseInt(text)) {
    Require(ParseInt(FormatInt(*i)) == *i, "an int changed on a write-read cycle");
    Require(!IsMinusZeroInt(text), "a minus zero int was accepted");
  }
}

void CheckGridValues(std::string_view text) {
  double length = NAN;
  const Reason r = ParseLength(text, &length);
  RequireUtf8(r, "a length's refusal");
  if (r.empty()) {
    Require(std::isfinite(length), "a length that is not finite");
    Require(ParseDouble(text) == length, "a length reads unlike the number text");
  }
  int meridian = -1000;
  const Reason m = ParseCentralMeridian(text, &meridian);
  RequireUtf8(m, "a central meridian's refusal");
  if (m.empty())
    Require(meridian >= -180 && meridian <= 180 && meridian == length, "a central meridian");
  Easting e;
  const Reason er = ParseEasting(text, &e);
  RequireUtf8(er, "an easting's refusal");
  if (!er.empty())
    return;
  Require(e.y >= kMinEasting && e.y <= kMaxEasting, "an easting outside its bounds");
  if (e.zone == 0) {
    Require(e.y == length, "an easting without zone reads unlike a length");
  } else {
    const bool six = e.zone >= 13 && e.zone <= 23 && e.zone_meridian == 6 * e.zone - 3;
    const bool three = e.zone >= 25 && e.zone <= 45 && e.zone_meridian == 3 * e.zone;
    Require(six || three, "a zone with the wrong meridian");
    // The prefix is cut from the text, not subtracted: the easting is the value of the rest.
    Require(std::fabs(length - (e.zone * 1e6 + e.y)) <= 1e-9 * std::fabs(length) + 1e-9,
            "zone and easting do not make up the typed number");
  }
}

}  // namespace
}  // namespace zerb::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  zerb::fuzz::CheckNumberText(text);
  zerb::fuzz::CheckGridValues(text);
  return 0;
}
