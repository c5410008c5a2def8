// The common points read, as the models and the writers need them: a few numbers each in memory
// (the shift, the local Earth-centred position, the input line, whether it is a check point), and
// the text columns (name, passed-through columns) in a spool on disk, in input order.
//
// The numbers go straight into the adjustment's own store, which grows in blocks and never
// copies itself: memory holds each point once, 41 bytes (and 8 more for its WGS-84 line when two
// files are paired, 16 for its grid position when a picture is drawn).
#ifndef ZERB_POINTS_POINT_SET_H
#define ZERB_POINTS_POINT_SET_H

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "adjust/adjust.h"
#include "geodesy/geodesy.h"
#include "readers/point_values.h"
#include "text/text.h"
#include "text/text_spool.h"

namespace zerb {

using adjust::Vec3;

// One computed point: dx, dy, dz of the dialog for the same values, bit for bit, and the point's
// Earth-centred position on Krassovsky (metres), for models that rotate and scale.
struct ComputedPoint {
  Vec3 shift;
  Vec3 local;
};
// The computed point of geodesy's shift (Shift or ShiftOfProjected): the shift and the local
// position that goes with it.
ComputedPoint Compute(const geodesy::ShiftResult& shift);

// A point as the plane model needs it: both sides as read, and the fits it takes part in.
struct PlaneRecord {
  double north = 0;  // grid, metres; the easting with its false easting, without a zone number
  double east = 0;
  double height = 0;           // grid (normal) height, metres
  double latitude = 0;         // GNSS, radians
  double longitude = 0;        // GNSS, radians
  double gnss_height = 0;      // ellipsoidal, metres
  double meridian = 0;         // the grid's central meridian, degrees
  Role role = Role::kControl;  // kCheck points are checks in both fits
};

class PointSet {
 public:
  // titles: the text columns (name first when has_name), kept only when there are any.
  // two_files: each point also has a line in the WGS-84 file; grid_positions: keep each point's
  // grid northing and easting (for the residual picture).
  Reason Open(std::vector<std::string> titles, bool has_name, bool two_files, bool grid_positions);

  Reason Add(const ComputedPoint& point, std::uint64_t line, std::uint64_t wgs84_line, bool check,
             double north, double east, const std::vector<std::string_view>& texts);
  // The plane model's view of the point added last (call right after Add, for every point, when
  // the plane model is to be fitted).
  void AddPlane(const PlaneRecord& record) { plane_.push_back(record); }
  bool has_plane_records() const { return !plane_.empty(); }
  const PlaneRecord& plane(std::size_t i) const { return plane_[i]; }

  // Takes point i out again (a name found to be a duplicate later): it stays in the spool and in
  // the adjustment's numbering, but is in no fit and skipped by every reader of the set.
  void Withdraw(std::size_t i);
  bool withdrawn(std::size_t i) const {
    return std::binary_search(withdrawn_.begin(), withdrawn_.end(), i);
  }
  std::size_t added() const { return adjustment_.size(); }
  std::size_t usable() const { return adjustment_.size() - withdrawn_.size(); }

  adjust::Adjustment& adjustment() { return adjustment_; }
  const adjust::Adjustment& adjustment() const { return adjustment_; }

  // The input line of point i (the grid file's when two files are paired).
  std::uint64_t line(std::size_t i) const { return adjustment_.tag(i); }
  std::uint64_t wgs84_line(std::size_t i) const { return two_files_ ? wgs84_lines_[i] : 0; }
  double north(std::size_t i) const { return grid_[2 * i]; }
  double east(std::size_t i) const { return grid_[2 * i + 1]; }
  bool has_grid_positions() const { return keep_grid_; }

  const std::vector<std::string>& titles() const { return titles_; }
  bool has_name() const { return has_name_; }
  bool two_files() const { return two_files_; }
  TextSpool* spool() { return titles_.empty() ? nullptr : &spool_; }
  // The withdrawn points, ascending.
  const std::vector<std::size_t>& withdrawn() const { return withdrawn_; }

 private:
  adjust::Adjustment adjustment_;
  std::vector<std::size_t> withdrawn_;
  std::vector<std::uint64_t> wgs84_lines_;
  std::vector<double> grid_;
  std::vector<PlaneRecord> plane_;
  std::vector<std::string> titles_;
  bool has_name_ = false;
  bool two_files_ = false;
  bool keep_grid_ = false;
  TextSpool spool_;
};

}  // namespace zerb

#endif  // ZERB_POINTS_POINT_SET_H
