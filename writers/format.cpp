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
      {"pipeline", Format::kPipeline}, {"parameters", Format::kParameters},
      {"html", Format::kHtml}};
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

Reason FormatForDatum(Format format, GnssDatum datum) {
  if (datum != GnssDatum::kCgcs2000)
    return {};
  const char* name = format == Format::kTowgs84   ? "towgs84"
                     : format == Format::kWkt     ? "wkt"
                     : format == Format::kCrsProj ? "crs-proj"
                     : format == Format::kCrsWkt1 ? "crs-wkt1"
                                                  : nullptr;
  if (name == nullptr)
    return {};
  // TRANSLATORS: {1} is the format's name as typed (towgs84, crs-wkt1); the other format names
  // and EPSG:4490 are typed as is.
  return Fill(Tr("--format {1} writes +towgs84 or TOWGS84, a shift to WGS 84 by definition, and "
                 "with --gnss-datum cgcs2000 the fit leads to CGCS2000: PROJ applies such a "
                 "shift only toward WGS 84 and takes a ballpark without it toward CGCS2000 "
                 "(EPSG:4490), tens of metres off. Use crs-wkt2, crs-projjson or pipeline, whose "
                 "target is CGCS2000, or proj for the Helmert step alone"),
              name);
}

}  // namespace zerb
