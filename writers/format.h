// The output formats of zerb-shift.
#ifndef ZERB_WRITERS_FORMAT_H
#define ZERB_WRITERS_FORMAT_H

#include <string_view>

#include "text/text.h"

namespace zerb {

enum class Format {
  kText,
  kCsv,
  kJson,
  kTowgs84,
  kProj,
  kWkt,
  kCrsProj,
  kCrsWkt1,
  kCrsWkt2,
  kCrsProjJson,
  kPipeline,
  kParameters  // the plane model's parameters as a controller asks for them
};

// text, csv, json, towgs84, proj, wkt, crs-proj, crs-wkt1, crs-wkt2, crs-projjson, pipeline or
// parameters.
Reason ParseFormat(std::string_view text, Format* format);

// Whether the format is a bare export or definition, which carries no report of the points.
inline bool IsExport(Format f) {
  return f != Format::kText && f != Format::kCsv && f != Format::kJson;
}

}  // namespace zerb

#endif  // ZERB_WRITERS_FORMAT_H
