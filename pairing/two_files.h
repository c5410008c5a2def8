// The protocol of a grid file and a WGS-84 file paired by point name. The WGS-84 file is read
// first, whole, into an index; the grid file is then read line by line, and each line asks for
// its partner. A name that occurs twice in one file is refused with both lines, and so is its
// point in the other file: which of the two is meant cannot be known. Names found in one file
// only are reported at the end, each with its file and line, and count as lines not used.
#ifndef ZERB_PAIRING_TWO_FILES_H
#define ZERB_PAIRING_TWO_FILES_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pairing/pairing.h"
#include "readers/point_values.h"
#include "readers/record_reader.h"
#include "text/diagnostics.h"

namespace zerb {

class TwoFiles {
 public:
  // The sources as they are named in messages; refusals and the unpaired names go to d. The
  // grid file's eastings are read in the given form.
  TwoFiles(std::string grid_source, std::string wgs84_source, EastingForm eastings, Diagnostics* d)
      : grid_source_(std::move(grid_source)),
        wgs84_source_(std::move(wgs84_source)),
        eastings_(eastings),
        d_(d),
        grid_names_(&index_) {}

  // Reads every record of the WGS-84 file into the index, its angles read in format; each line
  // that cannot be used is refused. False on a read error (reported).
  bool ReadWgs84(RecordReader* reader, AngleFormat format);
  // The titles of the WGS-84 file's passed-through columns.
  const std::vector<std::string>& wgs84_titles() const { return wgs84_titles_; }

  // The partner of the grid line the reader has just read: its record, and the reason the reader
  // refused it (empty when it did not). Null when the line makes no pair: it was refused
  // (reported), or its name is not in the WGS-84 file (noted for Finish). A name that came before
  // refuses the line, and *withdraw is then the point of the earlier line to take out, or kNoPoint.
  const Wgs84Index::Entry* Partner(const RecordReader& reader, const Record& record,
                                   const Reason& refused, std::size_t* withdraw);
  // The point the grid line named name gave, numbered in the order points were made.
  void Made(std::string_view name, std::size_t point) { grid_names_.SetPoint(name, point); }
  // A reason that refuses a pair, with where the grid line's partner stands.
  Reason AtPartner(const Reason& reason, const Wgs84Index::Entry& partner) const;

  // Reports the names found in one file only and returns them, grid names first, each file's in
  // line order.
  std::vector<Unpaired> Finish();

  static constexpr std::size_t kNoPoint = GridNames::kNoPoint;

 private:
  std::string grid_source_;
  std::string wgs84_source_;
  EastingForm eastings_;
  Diagnostics* d_;
  Wgs84Index index_;
  GridNames grid_names_;
  std::vector<std::string> wgs84_titles_;
  std::vector<Unpaired> unpaired_;
};

}  // namespace zerb

#endif  // ZERB_PAIRING_TWO_FILES_H
