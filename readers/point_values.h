// The two sides of a common point as a record's cells give them: the grid side (northing,
// easting with its zone, height, central meridian) and the WGS-84 side (latitude, longitude,
// ellipsoidal height), each value parsed and checked on its own. Whether the two sides describe
// the same place is the points' stage to judge (points/common_point.h).
#ifndef ZERB_READERS_POINT_VALUES_H
#define ZERB_READERS_POINT_VALUES_H

#include "readers/angle.h"
#include "readers/columns.h"
#include "readers/record_reader.h"
#include "text/text.h"

namespace zerb {

// The largest northing read, metres: footpoint latitude up to about 81 degrees; the inverse
// series is not meant for the polar caps.
inline constexpr double kMaxNorthing = 9000000.0;

inline constexpr int kNoMeridian = -1000;

// How eastings are read: with the zone number the Chinese grids may carry in front and a false
// easting of 500000 m (grid_values.h), or, for a grid of another false easting, as plain numbers.
enum class EastingForm { kZoned, kPlain };

struct GridPoint {
  double x = 0;                // northing, metres
  double y = 0;                // easting, metres, with the grid's false easting, no zone number
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

// How the texts of a record are read.
struct PointReading {
  AngleFormat angle_format = AngleFormat::kAuto;
  double default_meridian = kNoMeridian;  // --L0 or --central-meridian, degrees, for records
                                          // without L0
  // The default came from --central-meridian: the grid's own meridian, which an L0 column or a
  // zone number must agree with rather than override.
  bool meridian_of_the_grid = false;
  EastingForm easting_form = EastingForm::kZoned;
};

// The grid values of record, the easting read in the given form; a refusal names the column as
// the file titles it.
Reason ReadGridPoint(const Record& record, const Columns& columns, EastingForm form,
                     GridPoint* point);
Reason ReadWgs84Point(const Record& record, const Columns& columns, AngleFormat format,
                      Wgs84Point* point);

// What a common point is for: a control point of every fit (the default), a check point, tested
// but never fitted, or a point of the plane model used horizontally or vertically only.
enum class Role : std::uint8_t { kControl, kCheck, kHorizontal, kVertical };

// The record's role column, words in any case: empty, control, fit, 控制 (control); check, 检核
// (check); horizontal, 平面 (horizontal only); vertical, height, 高程 (vertical only). Any other
// value is refused, naming the column, so that a point meant to be checked is never fitted.
Reason ReadRole(const Record& record, const Columns& columns, Role* role);

// The role of a point given one role in each of two places (its two files, or a file and an
// option naming it): a control role gives way to the other; two different others disagree (a
// check point is checked in every fit, so it cannot be kept out of one), and the point is
// refused.
Reason CombineRoles(Role a, Role b, Role* combined);

// The word the role column takes for role ("check", "horizontal", ...), as the CSV and JSON
// reports write it; marked for translation, so that Tr of it names the role in a message.
const char* RoleName(Role role);

}  // namespace zerb

#endif  // ZERB_READERS_POINT_VALUES_H
