// A table of points converted through a definition zerb-shift wrote, as zerb-convert and
// zerb-fit's 转换点文件 both do it: the table read in blocks (readers/convert_table.h), each block
// through PROJ at once (crs/grid_conversion.h), the table written back in the input's shape
// (writers/converted_table.h). A refused line is handed to the Diagnostics with its file and
// line and counted, so that the lines read are always those converted and those refused; a
// point outside the common points' area or more than 3 degrees from the central meridian is
// converted and warned about.
#ifndef ZERB_WRITERS_CONVERT_POINTS_H
#define ZERB_WRITERS_CONVERT_POINTS_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "crs/grid_conversion.h"
#include "points/convert_checks.h"
#include "readers/angle.h"
#include "readers/encoding.h"
#include "readers/input_file.h"
#include "readers/record_reader.h"
#include "text/diagnostics.h"
#include "text/text.h"
#include "writers/converted_table.h"

namespace zerb {

// The points of a block converted at once: enough to make PROJ's per-call cost vanish, small
// enough that memory does not grow with the file.
inline constexpr std::size_t kConvertBlock = 4096;

struct ConvertSettings {
  bool inverse = false;     // GNSS points to the grid; else the definition's own direction
  bool round_trip = false;  // each point converted back, the largest difference kept
  AngleFormat angles = AngleFormat::kAuto;
  Encoding encoding = Encoding::kAuto;
  InputForm input_form = InputForm::kAuto;
  OutputForm output_form = OutputForm::kCsv;
  OutputEncoding output_encoding = OutputEncoding::kUtf8;
  char delimiter = 0;              // 0: detected
  const GridArea* area = nullptr;  // the common points' area, when it is known
};

// The largest difference of a point converted there and back.
struct RoundTrip {
  double horizontal = 0;  // metres
  double vertical = 0;
  std::uint64_t horizontal_line = 0;
  std::uint64_t vertical_line = 0;
};

struct ConvertCounts {
  std::uint64_t read = 0;  // lines of points read: converted + refused, unless the output failed
  std::uint64_t converted = 0;
  std::uint64_t refused = 0;
  std::uint64_t outside = 0;  // converted, and outside the common points' area
  std::uint64_t far_from_meridian = 0;
  RoundTrip round_trip;
};

// Where the converted table goes. It is asked for only once the input's header has been read,
// so that an input refused as a whole leaves no output behind.
class ConvertedOutput {
 public:
  virtual ~ConvertedOutput() = default;
  // The stream the table is written to, or why there is none (the reason names the output).
  virtual Reason Open(std::FILE** file) = 0;
  // The output as a message names it.
  virtual std::string Name() const = 0;
};

// Converts the points of input (named source in the messages) with conversion and writes the
// table to output. Returns why the conversion stopped: the input's header, a read error, an
// output that cannot be had or written, a CASS file given with inverse. Empty when the whole
// input was read; the output's stream is then flushed, and closing it is the caller's.
Reason ConvertPoints(crs::GridConversion* conversion, const ConvertSettings& settings,
                     const InputFile& input, const std::string& source, Diagnostics* diagnostics,
                     ConvertedOutput* output, ConvertCounts* counts);

// The counts in one sentence: "6 points read: 5 converted, 1 refused", and the points outside
// the area when it was known.
std::string ConvertSummary(const ConvertCounts& counts, bool area_known);
// The round trip's largest differences in millimetres, with their lines.
std::string RoundTripSummary(const RoundTrip& trip);

}  // namespace zerb

#endif  // ZERB_WRITERS_CONVERT_POINTS_H
