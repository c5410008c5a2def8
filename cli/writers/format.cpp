// Output format names; see format.h.
#include "cli/writers/format.h"

#include <string>
#include <utility>

namespace zerb {

Reason ParseFormat(std::string_view text, Format* format) {
  static constexpr std::pair<std::string_view, Format> kFormats[] = {
      {"text", Format::kText},       {"csv", Format::kCsv},   {"json", Format::kJson},
      {"towgs84", Format::kTowgs84}, {"proj", Format::kProj}, {"wkt", Format::kWkt}};
  for (const auto& [name, f] : kFormats) {
    if (text == name) {
      *format = f;
      return {};
    }
  }
  return "unknown format " + Quoted(text) + " (text, csv, json, towgs84, proj or wkt)";
}

}  // namespace zerb
