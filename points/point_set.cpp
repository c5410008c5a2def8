// The points read; see point_set.h.
#include "points/point_set.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "text/translate.h"

namespace zerb {

ComputedPoint Compute(const geodesy::ShiftResult& r) {
  // The local position follows from the WGS-84 one and the shift, so that local + shift is the
  // WGS-84 position to rounding. That is r.krassovsky itself wherever the shift's subtraction was
  // exact (the two coordinates within a factor 2 of each other), but not in every case, and this
  // form keeps the bits every fit was checked with.
  const geodesy::GeocentricPoint& w = r.wgs84;
  return {{r.dx, r.dy, r.dz}, {w.X - r.dx, w.Y - r.dy, w.Z - r.dz}};
}

Reason PointSet::Open(std::vector<std::string> titles, bool has_name, bool two_files,
                      bool grid_positions) {
  titles_ = std::move(titles);
  has_name_ = has_name;
  two_files_ = two_files;
  keep_grid_ = grid_positions;
  if (!titles_.empty() && !spool_.Open())
    return Fill(Tr("cannot create a temporary file: {1}"), std::strerror(errno));
  return {};
}

Reason PointSet::Add(const ComputedPoint& point, std::uint64_t line, std::uint64_t wgs84_line,
                     bool check, double north, double east,
                     const std::vector<std::string_view>& texts) {
  if (!titles_.empty() && !spool_.Append(texts))
    return Fill(Tr("cannot write the temporary file: {1}"), std::strerror(errno));
  adjustment_.Add(point.local, point.shift, line, check);
  if (two_files_)
    wgs84_lines_.push_back(wgs84_line);
  if (keep_grid_) {
    grid_.push_back(north);
    grid_.push_back(east);
  }
  return {};
}

void PointSet::Withdraw(std::size_t i) {
  const auto at = std::lower_bound(withdrawn_.begin(), withdrawn_.end(), i);
  if (at != withdrawn_.end() && *at == i)
    return;
  withdrawn_.insert(at, i);
  adjustment_.Withdraw(i);
}

}  // namespace zerb
