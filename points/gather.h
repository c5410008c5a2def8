// Gathering the common points: from the options (one point), from one table holding both sides,
// or from a grid file and a WGS-84 file paired by name. Every line that cannot be used is
// reported with its file, line and reason; every point is computed as the dialog computes it.
#ifndef ZERB_POINTS_GATHER_H
#define ZERB_POINTS_GATHER_H

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "crs/grid_system.h"
#include "pairing/pairing.h"
#include "points/common_point.h"
#include "points/point_set.h"
#include "readers/point_values.h"
#include "readers/record_reader.h"
#include "text/diagnostics.h"

namespace zerb {

struct InputSettings {
  // One point typed as options, in the order of Field; single when any of them was given.
  bool single = false;
  std::optional<std::string> value[kFieldCount];
  // One table (empty or "-" for standard input), or two files when grid is not empty.
  std::string table;
  std::string grid;
  std::string wgs84;
  InputForm grid_form = InputForm::kAuto;
  InputForm wgs84_form = InputForm::kAuto;
  Encoding encoding = Encoding::kAuto;
  char delimiter = 0;                         // 0: detected per file
  PointReading reading;                       // --angle-format, --L0, --central-meridian
  std::vector<std::string> check_names;       // --check: each must name a point of the input
  std::vector<std::string> horizontal_names;  // --horizontal-only (plane model)
  std::vector<std::string> vertical_names;    // --vertical-only (plane model)
  // Points the user took out of the fit by hand (a window's 不用). Each is read and checked as
  // every point is, so that a faulty line is still refused, then kept out of the point set and
  // listed in InputSummary::left_out for the report; the choice is the user's, so it stands over
  // the role a file or another list gives the point. Each must name a point of the input.
  std::vector<std::string> left_out_names;
  bool plane_model = false;     // keep each point's PlaneRecord; roles of one fit allowed
  bool grid_positions = false;  // keep each point's grid position (--plot)
  // Keep both sides of every point as read (the PlaneRecord), for a window's table of points;
  // the plane model keeps them anyway.
  bool both_sides = false;
  ProjectionKind projection = ProjectionKind::kExact;  // --projection
  GnssDatum gnss_datum = GnssDatum::kWgs84;            // --gnss-datum
  crs::GridSystem grid_system;  // --ellipsoid, --false-easting, ...; sets the easting form
};

// A point read and left out of the fit by the user (InputSettings::left_out_names).
struct LeftOut {
  std::string name;
  std::uint64_t line;  // in the one table, or in the grid file
  PlaneRecord sides;   // both sides as read, for a window that lists them
};

// What the report tells about the input besides the points.
struct InputSummary {
  std::string source;  // the one table, or the grid file
  std::string wgs84_source;
  std::vector<Unpaired> unpaired;                      // two files: names found in one file only
  std::vector<LeftOut> left_out;                       // in line order
  std::size_t far_points = 0;                          // more than kWarnMeridianDistance from L0
  double worst_expected_error = 0;                     // metres, over those points
  ProjectionKind projection = ProjectionKind::kExact;  // the grid's inverse projection used
  GnssDatum gnss_datum = GnssDatum::kWgs84;            // the GNSS side's datum
  crs::GridSystem grid_system;                         // the grid's ellipsoid and projection
  double meridian = kNoMeridian;  // the points' central meridian when all share one, degrees
  int zone = 0;                   // and their zone number, when all eastings carried it
  bool mixed_zones = false;
};

// How gathering ended. Every failure has been said through the diagnostics already.
enum class Gathered {
  kPoints,    // points to fit (some lines may have been refused)
  kUnusable,  // an input or a setting that cannot be used: a file that cannot be read, a
              // --check or left-out name that no line of the input has
  kNoPoint,   // the input was read, and no point of it can be used
};

// Reads the points into *points.
Gathered GatherPoints(const InputSettings& settings, std::FILE* in, Diagnostics* diagnostics,
                      PointSet* points, InputSummary* summary);

}  // namespace zerb

#endif  // ZERB_POINTS_GATHER_H
