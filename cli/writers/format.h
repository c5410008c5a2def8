// The output formats of zerb-shift.
#ifndef ZERB_CLI_WRITERS_FORMAT_H
#define ZERB_CLI_WRITERS_FORMAT_H

#include <string_view>

#include "cli/text.h"

namespace zerb {

enum class Format { kText, kCsv, kJson, kTowgs84, kProj, kWkt };

// text, csv, json, towgs84, proj or wkt.
Reason ParseFormat(std::string_view text, Format* format);

// Whether the format is a bare export, which carries no report of the points.
inline bool IsExport(Format f) {
  return f == Format::kTowgs84 || f == Format::kProj || f == Format::kWkt;
}

}  // namespace zerb

#endif  // ZERB_CLI_WRITERS_FORMAT_H
