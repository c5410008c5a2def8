// One common point from the texts of its record: the grid side (northing, easting with its zone,
// height, central meridian), the WGS-84 side (latitude, longitude, ellipsoidal height), and the
// check that both describe the same place (same_place.h), which fills the shift's inputs so that
// geodesy::Shift gives the dialog's bits for the same typed values. A point that fails the
// check is refused with the likely cause, found by trying each in turn: the angles read as
// dd.mmss, another central meridian or zone, northing and easting swapped; else the distance.
#ifndef ZERB_POINTS_COMMON_POINT_H
#define ZERB_POINTS_COMMON_POINT_H

#include "geodesy/geodesy.h"
#include "points/gnss_datum.h"
#include "points/grid_projection.h"
#include "readers/columns.h"
#include "readers/point_values.h"
#include "readers/record_reader.h"
#include "text/text.h"

namespace zerb {

// How far the WGS-84 longitude may lie from the zone's central meridian, in degrees: half a
// 6-degree zone and a margin. Farther, the grid point and the WGS-84 point cannot be the same
// point, and the shift would be hundreds of kilometres of nonsense.
inline constexpr double kMaxMeridianDistance = 5.0;

struct CommonPoint {
  GridPoint grid;
  Wgs84Point wgs84;
  // Both sides as geodesy::Shift takes them, with the bits the dialog's fields hold for the same
  // typed values, and the central meridian the point was resolved to.
  geodesy::GeodeticDms wgs84_dms;
  geodesy::GaussKrugerPoint gauss_kruger;
  double central_meridian = kNoMeridian;  // degrees
  double meridian_distance = 0;  // of the WGS-84 longitude from the central meridian, degrees
  // The grid position inverse projected on the grid's ellipsoid, radians, as the same-place check
  // found it with the projection it was given (the dialog's: the bits ComputeShift's projection
  // gives).
  double grid_latitude = 0;
  double grid_longitude = 0;
};

// The common point of the grid values of record (titled by columns) and its WGS-84 point, which
// came from the same record or from its partner in another file, the grid position inverse
// projected by projection. The default meridian stands in
// for an absent L0; a zone number in the easting decides L0 and must agree with a typed or default
// one. A refusal says why, with the hint described above.
Reason MakeCommonPoint(const Record& record, const Columns& columns, const Wgs84Point& wgs84,
                       const PointReading& reading, const GridProjection& projection,
                       CommonPoint* point);

// The shift of a point MakeCommonPoint made, through the inverse projection its same-place check
// made already: for Beijing 1954 and WGS 84 geodesy::Shift's bits for the same values (with the
// dialog's projection), one projection fewer. With CGCS2000 the GNSS side is turned Earth-centred
// on GRS80 (the result's wgs84 member then holds that position); the grid side on the ellipsoid of
// system (its krassovsky member then holds that position).
geodesy::ShiftResult ShiftOf(const CommonPoint& point, GnssDatum datum = GnssDatum::kWgs84,
                             const crs::GridSystem& system = {});

}  // namespace zerb

#endif  // ZERB_POINTS_COMMON_POINT_H
