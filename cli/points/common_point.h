// One common point from the texts of its record: the grid side (northing, easting with its zone,
// height, central meridian), the WGS-84 side (latitude, longitude, ellipsoidal height), and the
// check that both describe the same place, which fills the dialog's ShiftForm so that
// ComputeShift gives the dialog's bits for the same typed values.
#ifndef ZERB_CLI_POINTS_COMMON_POINT_H
#define ZERB_CLI_POINTS_COMMON_POINT_H

#include "cli/points/angle.h"
#include "cli/readers/columns.h"
#include "cli/readers/record_reader.h"
#include "cli/text.h"
#include "geodesy/geodesy.h"

namespace zerb {

inline constexpr int kNoMeridian = -1000;

// How far the WGS-84 longitude may lie from the zone's central meridian, in degrees: half a
// 6-degree zone and a margin. Farther, the grid point and the WGS-84 point cannot be the same
// point, and the shift would be hundreds of kilometres of nonsense.
inline constexpr double kMaxMeridianDistance = 5.0;

struct GridPoint {
  double x = 0;                // northing, metres
  double y = 0;                // easting, metres, 500000 m false easting, no zone number
  double h = 0;                // height, metres
  int meridian = kNoMeridian;  // typed L0, whole degrees
  int zone = 0;                // zone number in front of the easting, 0 when none
  int zone_meridian = 0;       // the central meridian of that zone
};

struct Wgs84Point {
  Angle latitude;
  Angle longitude;
  double height = 0;  // ellipsoidal, metres
};

// The grid values of record; a refusal names the column as the file titles it.
Reason ReadGridPoint(const Record& record, const Columns& columns, GridPoint* point);
Reason ReadWgs84Point(const Record& record, const Columns& columns, Wgs84Point* point);

// Whether the record's role column marks a check point: "check" (any case) or 检核.
bool IsCheckPoint(const Record& record);

// Fills form from both sides. default_meridian (kNoMeridian when none) stands in for an absent
// L0; a zone number in the easting decides L0 and must agree with a typed or default one.
// *meridian_distance receives the longitude's distance from the central meridian in degrees.
Reason MakeForm(const GridPoint& grid, const Wgs84Point& wgs84, int default_meridian,
                ShiftForm* form, double* meridian_distance);

}  // namespace zerb

#endif  // ZERB_CLI_POINTS_COMMON_POINT_H
