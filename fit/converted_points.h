// 文件 → 转换点文件: a file of points converted with the window's fit, by the library's machinery
// that zerb-convert runs (writers/convert_points.h), so that the window's file and zerb-convert's
// on the definition zerb-shift --save would write are the same bytes. The definition is the one
// --save writes: crs-wkt2 for three and seven parameters, the pipeline for the plane model; the
// area of the fitted points goes with it, for the warnings about points outside it.
#ifndef ZERB_FIT_CONVERTED_POINTS_H
#define ZERB_FIT_CONVERTED_POINTS_H

#include <QString>
#include <QStringList>

#include <cstdint>

#include "fit/session.h"

namespace zerb::fit {

enum class Direction { kToGnss, kToGrid };

struct ConvertedFile {
  QString reason;          // empty when the file was written
  std::uint64_t read = 0;  // lines of points read: converted + refused
  std::uint64_t converted = 0;
  std::uint64_t refused = 0;
  std::uint64_t warnings = 0;  // about converted points: outside the area, far from the meridian
  // What the library said, one line each: every refused line with its file, line and reason,
  // every warning, and the counts.
  QStringList messages;
};

// Converts the points of input with the session's fit and writes the table to output, which is
// replaced only once the whole of it has been written. No point converted is no success: nothing
// is written then.
ConvertedFile ConvertPointFile(const Session& session, const QString& input, const QString& output,
                               Direction direction);

// The name offered for the converted file: NAME-wgs84.csv beside the input (NAME-cgcs2000.csv
// when the GNSS side is CGCS2000, NAME-grid.csv for the way back).
QString SuggestedOutput(const QString& input, Direction direction,
                        GnssDatum datum = GnssDatum::kWgs84);

// The outcome in a line for the status bar.
QString Outcome(const ConvertedFile& converted, const QString& output);

}  // namespace zerb::fit

#endif  // ZERB_FIT_CONVERTED_POINTS_H
