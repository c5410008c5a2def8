// Output format names; see format.h.
#include "writers/format.h"

#include <string>
#include <utility>

#include "text/translate.h"

namespace zerb {

Reason ParseFormat(std::string_view text, Format* format) {
  static constexpr std::pair<std::string_view, Format> kFormats[] = {
      {"text", Format::kText},         {"csv", Format::kCsv},
      {"json", Format::kJson},         {"towgs84", Format::kTowgs84},
      {"proj", Format::kProj},         {"wkt", Format::kWkt},
      {"crs-proj", Format::kCrsProj},  {"crs-wkt1", Format::kCrsWkt1},
      {"crs-wkt2", Format::kCrsWkt2},  {"crs-projjson", Format::kCrsProjJson},
      {"pipeline", Format::kPipeline}, {"parameters", Format::kParameters}};
  for (const auto& [name, f] : kFormats) {
    if (text == name) {
      *format = f;
      return {};
    }
  }
  // TRANSLATORS: {1} is the value given, in quotes; the names in parentheses are typed as is.
  return Fill(Tr("unknown format {1} (text, csv, json, towgs84, proj, wkt, crs-proj, crs-wkt1, "
                 "crs-wkt2, crs-projjson, pipeline or parameters)"),
              Quoted(text));
}

}  // namespace zerb
