// The points read; see point_set.h.
#include "points/point_set.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace zerb {

ComputedPoint Compute(ShiftForm* form) {
  ComputeShift(*form);
  // The WGS-84 position as ComputeShift forms it; the local one follows from the shift, so that
  // local + shift is that position to rounding.
  double X, Y, Z;
  GeodeticToGeocentric(
      WGS84_A, std::sqrt(WGS84_E2), DmsToRadians(form->m_latDeg, form->m_latMin, form->m_latSec),
      DmsToRadians(form->m_lonDeg, form->m_lonMin, form->m_lonSec), form->m_geoH, &X, &Y, &Z);
  return {{form->m_dx, form->m_dy, form->m_dz}, {X - form->m_dx, Y - form->m_dy, Z - form->m_dz}};
}

ComputedPoint Compute(ShiftForm* form, double grid_latitude, double grid_longitude) {
  // ComputeShift (geodesy/shift.cpp) step for step, its inverse projection taken as given; a
  // test holds the two to the same bits.
  const double B = DmsToRadians(form->m_latDeg, form->m_latMin, form->m_latSec);
  const double L = DmsToRadians(form->m_lonDeg, form->m_lonMin, form->m_lonSec);
  double Xw, Yw, Zw;
  GeodeticToGeocentric(WGS84_A, std::sqrt(WGS84_E2), B, L, form->m_geoH, &Xw, &Yw, &Zw);
  double Xk, Yk, Zk;
  GeodeticToGeocentric(KRASSOVSKY_A, std::sqrt(KRASSOVSKY_E2), grid_latitude, grid_longitude,
                       form->m_gridH, &Xk, &Yk, &Zk);
  form->m_dx = Xw - Xk;
  form->m_dy = Yw - Yk;
  form->m_dz = Zw - Zk;
  return {{form->m_dx, form->m_dy, form->m_dz},
          {Xw - form->m_dx, Yw - form->m_dy, Zw - form->m_dz}};
}

Reason PointSet::Open(std::vector<std::string> titles, bool has_name, bool two_files,
                      bool grid_positions) {
  titles_ = std::move(titles);
  has_name_ = has_name;
  two_files_ = two_files;
  keep_grid_ = grid_positions;
  if (!titles_.empty() && !spool_.Open())
    return "cannot create a temporary file: " + std::string(std::strerror(errno));
  return {};
}

Reason PointSet::Add(const ComputedPoint& point, std::uint64_t line, std::uint64_t wgs84_line,
                     bool check, double north, double east,
                     const std::vector<std::string_view>& texts) {
  if (!titles_.empty() && !spool_.Append(texts))
    return "cannot write the temporary file: " + std::string(std::strerror(errno));
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
