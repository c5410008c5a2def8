// Reading one common point and checking its two sides agree; see common_point.h.
#include "points/common_point.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>

#include "numtext/number_text.h"
#include "points/same_place.h"
#include "readers/grid_values.h"
#include "text/translate.h"

namespace zerb {
namespace {

std::string DegreesText(double degrees) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", degrees);
  return text;
}

// The central meridian of the grid point, from its zone number, its L0 or the default.
Reason ResolveMeridian(const GridPoint& grid, const PointReading& reading, double* meridian) {
  const double default_meridian = reading.default_meridian;
  *meridian = grid.meridian != kNoMeridian ? grid.meridian : default_meridian;
  if (reading.meridian_of_the_grid) {
    const double own = grid.zone != 0 ? grid.zone_meridian : grid.meridian;
    if (own != kNoMeridian && own != default_meridian) {
      // TRANSLATORS: {1} is the central meridian of the row's L0 or of its easting's zone, {2}
      // the --central-meridian value, both in degrees.
      return Fill(Tr("the row's central meridian {1} (its L0 or zone) disagrees with "
                     "--central-meridian {2}"),
                  DegreesText(own), DegreesText(default_meridian));
    }
  }
  if (grid.zone != 0) {
    if (grid.meridian == kNoMeridian && default_meridian != kNoMeridian &&
        default_meridian != grid.zone_meridian) {
      // TRANSLATORS: {1} is the --L0 value in degrees, {2} the zone number in the easting, {3}
      // that zone's central meridian in degrees.
      return Fill(Tr("default central meridian --L0 {1} disagrees with zone {2} of the easting "
                     "(L0 {3})"),
                  DegreesText(default_meridian), grid.zone, grid.zone_meridian);
    }
    *meridian = grid.zone_meridian;
  }
  if (*meridian == kNoMeridian) {
    return Tr(
        "no central meridian: give --L0 or --central-meridian, an L0 column, or an 8-digit "
        "easting with the zone number in front");
  }
  return {};
}

double MeridianDistance(const Wgs84Point& wgs84, double meridian) {
  return std::fabs(std::remainder(Degrees(wgs84.longitude) - meridian, 360.0));
}

// Whether the grid point with this meridian and the WGS-84 point at latitude, longitude are the
// same place; a longitude beyond the series' domain is not. The separation found goes to
// *separation when one is asked for.
bool Fits(const GridProjection& projection, const GridPoint& grid, double meridian, double latitude,
          double longitude, double height, Separation* separation = nullptr) {
  if (!(std::fabs(std::remainder(longitude - meridian, 360.0)) <= kMaxMeridianDistance))
    return false;
  const Separation s =
      Separate(projection, grid.x, grid.y, grid.h, meridian, latitude, longitude, height);
  if (separation != nullptr)
    *separation = s;
  return s.within();
}

std::string Kilometres(double metres) {
  char text[48];
  if (metres < 10000)
    std::snprintf(text, sizeof text, "%.0f m", metres);
  else
    std::snprintf(text, sizeof text, "%.1f km", metres / 1000);
  return text;
}

std::string Fixed(const char* format, double value) {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Decimal degrees as 39°54′44.442″, for a message.
std::string DmsText(double degrees) {
  const double a = std::fabs(degrees) + 0.5e-7 / 3600;
  const int d = static_cast<int>(a);
  const int m = static_cast<int>((a - d) * 60);
  const double sec = std::max(0.0, (a - d) * 3600 - m * 60 - 0.5e-7);
  char text[64];
  std::snprintf(text, sizeof text, "%s%d\xC2\xB0%02d\xE2\x80\xB2%s%.7g\xE2\x80\xB3",
                degrees < 0 ? "-" : "", d, m, sec < 10 ? "0" : "", sec);
  return text;
}

// "3-degree zone 38", "6-degree zone 20", or both; empty for a meridian of no standard zone.
std::string ZonesOf(int meridian) {
  const bool three = meridian % 3 == 0 && meridian / 3 >= 25 && meridian / 3 <= 45;
  const bool six = (meridian + 3) % 6 == 0 && (meridian + 3) / 6 >= 13 && (meridian + 3) / 6 <= 23;
  if (three && six) {
    return Fill(Tr("3-degree zone {1}, 6-degree zone {2}"), meridian / 3, (meridian + 3) / 6);
  }
  if (three)
    return Fill(Tr("3-degree zone {1}"), meridian / 3);
  if (six)
    return Fill(Tr("6-degree zone {1}"), (meridian + 3) / 6);
  return {};
}

// The grid values read with north and east exchanged, as when a CASS-ordered row (east first)
// is read as north first; false when they do not read so.
bool ReadSwapped(const Record& record, EastingForm form, GridPoint* swapped) {
  Easting e;
  if (!ParseLength(record.value[kEast], &swapped->x).empty() ||
      !(std::fabs(swapped->x) <= kMaxNorthing) ||
      !(form == EastingForm::kZoned ? ParseEasting(record.value[kNorth], &e)
                                    : ParsePlainEasting(record.value[kNorth], &e.y))
           .empty() ||
      !ParseLength(record.value[kGridHeight], &swapped->h).empty()) {
    return false;
  }
  swapped->y = e.y;
  swapped->zone = e.zone;
  swapped->zone_meridian = e.zone_meridian;
  return Trim(record.value[kMeridian]).empty() ||
         ParseCentralMeridian(record.value[kMeridian], &swapped->meridian).empty();
}

bool SwappedFits(const GridProjection& projection, const Record& record,
                 const PointReading& reading, const Wgs84Point& wgs84) {
  GridPoint swapped;
  double meridian;
  return ReadSwapped(record, reading.easting_form, &swapped) &&
         ResolveMeridian(swapped, reading, &meridian).empty() &&
         Fits(projection, swapped, meridian, Degrees(wgs84.latitude), Degrees(wgs84.longitude),
              wgs84.height);
}

// The first whole-degree central meridian other than except, within reach of the WGS-84
// longitude, with which the grid point and the WGS-84 point are the same place; kNoMeridian when
// there is none.
int FittingMeridian(const GridProjection& projection, const GridPoint& grid,
                    const Wgs84Point& wgs84, double except) {
  const double lat = Degrees(wgs84.latitude);
  const double lon = Degrees(wgs84.longitude);
  for (int m = static_cast<int>(std::ceil(lon - kMaxMeridianDistance));
       m <= static_cast<int>(std::floor(lon + kMaxMeridianDistance)); ++m) {
    if (m != except && Fits(projection, grid, m, lat, lon, wgs84.height))
      return m;
  }
  return kNoMeridian;
}

// Why a point whose grid values read, with its central meridian, is not at its WGS-84 place:
// the first of the likely causes that makes it fit, else the separation itself.
Reason NotTheSamePlace(const Record& record, const Columns& columns, const GridPoint& grid,
                       double meridian, const Wgs84Point& wgs84, const PointReading& reading,
                       const GridProjection& projection) {
  const double lat = Degrees(wgs84.latitude);
  const double lon = Degrees(wgs84.longitude);
  const double off = MeridianDistance(wgs84, meridian);
  // What is apart; every refusal below says it first.
  std::string what;
  if (off > kMaxMeridianDistance) {
    // TRANSLATORS: {1} is a number of degrees, {2} the central meridian in degrees.
    what = Fill(Tr("the WGS-84 longitude lies {1} degrees from the central meridian {2} (more "
                   "than 5)"),
                Fixed("%.2f", off), DegreesText(meridian));
  } else {
    const Separation s =
        Separate(projection, grid.x, grid.y, grid.h, meridian, lat, lon, wgs84.height);
    if (!std::isfinite(s.horizontal)) {
      what = Tr("the grid position has no place in the projection near the WGS-84 position");
    } else if (s.horizontal > kMaxHorizontalSeparation) {
      // TRANSLATORS: {1} is a distance with its unit (850 m, 12.5 km), {2} a number of metres.
      what = Fill(Tr("the grid position and the WGS-84 position lie {1} apart (a datum shift "
                     "moves a point by at most {2} m)"),
                  Kilometres(s.horizontal), static_cast<int>(kMaxHorizontalSeparation));
    } else {
      // TRANSLATORS: {1} and {2} are numbers of metres; H is the ellipsoidal, h the grid height.
      what = Fill(Tr("H - h is {1} m (a datum shift and the height anomaly together stay within "
                     "{2} m)"),
                  Fixed("%.1f", s.vertical), Fixed("%.0f", kMaxVerticalSeparation));
    }
  }

  // Bare numbers read as decimal degrees that fit as dd.mmss.
  const Angle& b = wgs84.latitude;
  const Angle& l = wgs84.longitude;
  if (reading.angle_format == AngleFormat::kAuto && (b.bare_number || l.bare_number)) {
    const double lat2 = b.bare_number ? AsDdMmss(b) : lat;
    const double lon2 = l.bare_number ? AsDdMmss(l) : lon;
    if (std::isfinite(lat2) && std::isfinite(lon2) &&
        Fits(projection, grid, meridian, lat2, lon2, wgs84.height)) {
      const Angle& shown = b.bare_number ? b : l;
      // TRANSLATORS: {1} says what lies apart; {2} is an angle as read, {3} the same digits
      // read as dd.mmss.
      return Fill(Tr("{1}: not the same place; the angles fit when read as dd.mmss ({2} is then "
                     "{3}): give --angle-format dd.mmss"),
                  what, DegreesText(Degrees(shown)), DmsText(AsDdMmss(shown)));
    }
  }
  // Another central meridian.
  if (const int m = FittingMeridian(projection, grid, wgs84, meridian); m != kNoMeridian) {
    const std::string zones = ZonesOf(m);
    if (grid.zone != 0) {
      // TRANSLATORS: {1} says what lies apart; {2} is the central meridian that fits, in degrees,
      // {3} its zones ("3-degree zone 38"); {4} the meridian used, {5} the zone in the easting.
      return Fill(zones.empty() ? Tr("{1}: not the same place; the point fits central meridian "
                                     "{2}, not {4} of zone {5} in its easting")
                                // TRANSLATORS: {1} says what lies apart; {2} is the central
                                // meridian that fits, in degrees, {3} its zones ("3-degree zone
                                // 38"); {4} the meridian used, {5} the zone in the easting.
                                : Tr("{1}: not the same place; the point fits central meridian "
                                     "{2} ({3}), not {4} of zone {5} in its easting"),
                  what, m, zones, DegreesText(meridian), grid.zone);
    }
    if (grid.meridian != kNoMeridian) {
      // TRANSLATORS: {1} says what lies apart; {2} is the central meridian that fits, in
      // degrees, {3} its zones; {4} the title of the L0 column, {5} the meridian it gives.
      return Fill(zones.empty() ? Tr("{1}: not the same place; the point fits central meridian "
                                     "{2}: its {4} says {5}")
                                : Tr("{1}: not the same place; the point fits central meridian "
                                     "{2} ({3}): its {4} says {5}"),
                  what, m, zones, columns.Label(kMeridian), DegreesText(meridian));
    }
    return Fill(zones.empty()
                    // TRANSLATORS: {1} says what lies apart; {2} is the central meridian that fits,
                    // in degrees, {3} its zones.
                    ? Tr("{1}: not the same place; the point fits central meridian {2}: give --L0 "
                         "{2}")
                    // TRANSLATORS: {1} says what lies apart; {2} is the central meridian that fits,
                    // in degrees, {3} its zones.
                    : Tr("{1}: not the same place; the point fits central meridian {2} ({3}): give "
                         "--L0 {2}"),
                what, m, zones);
  }
  if (SwappedFits(projection, record, reading, wgs84)) {
    // TRANSLATORS: {1} says what lies apart; {2} and {3} are the titles of the north and east
    // columns.
    return Fill(Tr("{1}: not the same place; it fits with {2} and {3} swapped (north is x, east "
                   "is y; a CASS .dat has east before north)"),
                what, columns.Label(kNorth), columns.Label(kEast));
  }
  // TRANSLATORS: {1} says what lies apart.
  return Fill(Tr("{1}: not the same place (a mistyped value, or another point of the same name?)"),
              what);
}

}  // namespace

Reason MakeCommonPoint(const Record& record, const Columns& columns, const Wgs84Point& wgs84,
                       const PointReading& reading, const GridProjection& projection,
                       CommonPoint* point) {
  GridPoint& grid = point->grid;
  if (Reason r = ReadGridPoint(record, columns, reading.easting_form, &grid); !r.empty()) {
    if (SwappedFits(projection, record, reading, wgs84)) {
      // TRANSLATORS: {1} is why a value is refused; {2} and {3} are the titles of the north and
      // east columns.
      return Fill(Tr("{1}; the point fits with {2} and {3} swapped (north is x, east is y; a CASS "
                     ".dat has east before north)"),
                  r, columns.Label(kNorth), columns.Label(kEast));
    }
    return r;
  }
  double meridian;
  if (Reason r = ResolveMeridian(grid, reading, &meridian); !r.empty()) {
    // The WGS-84 longitude tells which central meridian the point can have.
    const int m = meridian == kNoMeridian ? FittingMeridian(projection, grid, wgs84, kNoMeridian)
                                          : kNoMeridian;
    if (m != kNoMeridian) {
      const std::string zones = ZonesOf(m);
      // TRANSLATORS: {1} is the central meridian the point fits, in degrees, {2} its zones
      // ("3-degree zone 39").
      return Fill(zones.empty()
                      ? Tr("no central meridian: give --L0 {1}, where the point fits")
                      // TRANSLATORS: {1} is the central meridian the point fits, in degrees, {2}
                      // its zones ("3-degree zone 39").
                      : Tr("no central meridian: give --L0 {1}, where the point fits ({2})"),
                  m, zones);
    }
    return r;
  }
  Separation separation;
  if (!Fits(projection, grid, meridian, Degrees(wgs84.latitude), Degrees(wgs84.longitude),
            wgs84.height, &separation))
    return NotTheSamePlace(record, columns, grid, meridian, wgs84, reading, projection);
  point->wgs84 = wgs84;
  point->grid_latitude = separation.grid_latitude;
  point->grid_longitude = separation.grid_longitude;
  point->meridian_distance = MeridianDistance(wgs84, meridian);
  point->gauss_kruger = {.x = grid.x, .y = grid.y, .h = grid.h};
  point->central_meridian = meridian;
  const FormDms fb = ToFormDms(wgs84.latitude);
  const FormDms fl = ToFormDms(wgs84.longitude);
  point->wgs84_dms = {.latitude = {fb.deg, fb.min, fb.sec},
                      .longitude = {fl.deg, fl.min, fl.sec},
                      .height = wgs84.height};
  return {};
}

geodesy::ShiftResult ShiftOf(const CommonPoint& point, GnssDatum datum,
                             const crs::GridSystem& system) {
  const bool krassovsky = system.ellipsoid.kind == crs::EllipsoidKind::kKrassovsky;
  if (datum == GnssDatum::kWgs84 && krassovsky) {
    return geodesy::ShiftOfProjected(point.wgs84_dms, point.grid_latitude, point.grid_longitude,
                                     point.gauss_kruger.h);
  }
  // geodesy's shift is bound to WGS 84's and Krassovsky's ellipsoids and stays as the dialog has
  // it; the same steps here, from the same degrees, minutes and seconds, on the datums' own.
  const geodesy::GeodeticDms& gnss = point.wgs84_dms;
  const double B = geodesy::DmsToRadians(gnss.latitude.deg, gnss.latitude.min, gnss.latitude.sec);
  const double L =
      geodesy::DmsToRadians(gnss.longitude.deg, gnss.longitude.min, gnss.longitude.sec);
  geodesy::ShiftResult r;
  geodesy::GeocentricPoint& g = r.wgs84;
  const geodesy::Ellipsoid& gnss_ellipsoid =
      datum == GnssDatum::kCgcs2000 ? kGrs80 : geodesy::kWgs84;
  geodesy::GeodeticToGeocentric(gnss_ellipsoid.a, gnss_ellipsoid.e, B, L, gnss.height, &g.X, &g.Y,
                                &g.Z);
  // Krassovsky as the dialog has it, so that a CGCS2000 fit keeps the grid side of a WGS-84 one.
  const double rf = system.ellipsoid.inverse_flattening;
  const geodesy::Ellipsoid grid =
      krassovsky ? geodesy::kKrassovsky : geodesy::Ellipsoid(system.ellipsoid.a, (2 - 1 / rf) / rf);
  geodesy::GeocentricPoint& k = r.krassovsky;
  geodesy::GeodeticToGeocentric(grid.a, grid.e, point.grid_latitude, point.grid_longitude,
                                point.gauss_kruger.h, &k.X, &k.Y, &k.Z);
  r.dx = g.X - k.X;
  r.dy = g.Y - k.Y;
  r.dz = g.Z - k.Z;
  return r;
}

}  // namespace zerb
