// The output formats of zerb-shift.
#ifndef ZERB_WRITERS_FORMAT_H
#define ZERB_WRITERS_FORMAT_H

#include <string_view>

#include "points/gnss_datum.h"
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
  kParameters,  // the plane model's parameters as a controller asks for them
  kHtml,        // the report to hand to a client: one self-contained HTML file
};

// text, csv, json, towgs84, proj, wkt, crs-proj, crs-wkt1, crs-wkt2, crs-projjson, pipeline,
// parameters or html.
Reason ParseFormat(std::string_view text, Format* format);

// Why the format cannot carry a fit to the GNSS datum, empty when it can: towgs84, wkt, crs-proj
// and crs-wkt1 write +towgs84 or TOWGS84, a shift to WGS 84 by definition, which PROJ applies
// only toward WGS 84; toward CGCS2000 it takes a ballpark that drops the shift.
Reason FormatForDatum(Format format, GnssDatum datum);

// Whether the format is a bare export or definition, which carries no report of the points.
inline bool IsExport(Format f) {
  return f != Format::kText && f != Format::kCsv && f != Format::kJson && f != Format::kHtml;
}

}  // namespace zerb

#endif  // ZERB_WRITERS_FORMAT_H
