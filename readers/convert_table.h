// A table of points to convert, read in blocks: each record's cells kept whole, in the file's
// order, so that a writer can give every column back as it came, and the coordinates of the
// side the file holds read by the same value parsers as the common points (point_values.h).
// A block at a time keeps memory independent of the number of points.
#ifndef ZERB_READERS_CONVERT_TABLE_H
#define ZERB_READERS_CONVERT_TABLE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "readers/angle.h"
#include "readers/columns.h"
#include "readers/point_values.h"
#include "readers/record_reader.h"
#include "text/diagnostics.h"

namespace zerb {

struct ConvertRow {
  std::uint64_t line = 0;
  std::vector<std::string> cells;  // every column of the line, in the file's order
  // Grid side: easting without zone number (with the grid's false easting), northing, height; zone
  // and its central meridian when the easting carried one (0 otherwise). GNSS side: longitude and
  // latitude in decimal degrees, ellipsoidal height.
  double x = 0, y = 0, z = 0;
  int zone = 0;
  int zone_meridian = 0;
};

class ConvertTable {
 public:
  // reader must have started; source names the file in messages; eastings says whether a grid
  // easting may carry a zone number (the grid's false easting is the zones' 500000 m).
  ConvertTable(RecordReader* reader, Side side, AngleFormat angles, EastingForm eastings,
               std::string source, Diagnostics* diagnostics);

  // Reads up to max accepted rows into the first elements of *rows (grown to max, never shrunk,
  // so that its strings are reused) and returns how many; refused lines go to the diagnostics
  // and are counted. 0 at the end of the input.
  std::size_t ReadBlock(std::size_t max, std::vector<ConvertRow>* rows);

  std::uint64_t records() const { return records_; }  // lines read, accepted or refused
  std::uint64_t refused() const { return refused_; }
  bool failed() const { return reader_->failed(); }
  const Columns& columns() const { return reader_->columns(); }

 private:
  RecordReader* reader_;
  Side side_;
  AngleFormat angles_;
  EastingForm eastings_;
  std::string source_;
  Diagnostics* diagnostics_;
  // For each column of the file: the field it holds, or kFieldCount + k for the k-th passed one.
  std::vector<int> origin_;
  std::uint64_t records_ = 0;
  std::uint64_t refused_ = 0;
};

}  // namespace zerb

#endif  // ZERB_READERS_CONVERT_TABLE_H
