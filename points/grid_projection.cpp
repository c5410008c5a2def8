// The grid's inverse projection; see grid_projection.h.
#include "points/grid_projection.h"

#include <cmath>

#include "geodesy/geodesy.h"
#include "readers/point_values.h"
#include "text/translate.h"

namespace zerb {

Reason ParseProjectionKind(std::string_view text, ProjectionKind* kind) {
  if (text == "dialog") {
    *kind = ProjectionKind::kDialog;
  } else if (text == "exact") {
    *kind = ProjectionKind::kExact;
  } else {
    return Fill(Tr("unknown projection {1} (exact or dialog)"), Quoted(text));
  }
  return {};
}

const char* ProjectionKindName(ProjectionKind kind) {
  return kind == ProjectionKind::kDialog ? "dialog" : "exact";
}

Reason ProjectionForSystem(ProjectionKind kind, const crs::GridSystem& system,
                           double default_meridian) {
  if (kind != ProjectionKind::kDialog)
    return {};
  if (!system.beijing_1954()) {
    return Tr(
        "--projection dialog is the dialog's Gauss-Krueger series on Krassovsky with false "
        "easting 500000 m and scale 1: it cannot project another ellipsoid or a local system");
  }
  if (default_meridian != kNoMeridian && default_meridian != std::floor(default_meridian)) {
    return Tr("--projection dialog takes whole-degree central meridians only, as the dialog does");
  }
  return {};
}

namespace {

// Krassovsky's flattening from the eccentricity the dialog's arithmetic uses (given to 12
// digits), so that the grid's latitudes and its Earth-centred positions come from one ellipsoid;
// the others' from their defining inverse flattening.
double Flattening(const crs::GridEllipsoid& ellipsoid) {
  if (ellipsoid.kind == crs::EllipsoidKind::kKrassovsky)
    return 1 - std::sqrt(1 - geodesy::kKrassovsky.e2);
  return 1 / ellipsoid.inverse_flattening;
}

}  // namespace

GridProjection::GridProjection(ProjectionKind kind, const crs::GridSystem& system)
    : kind_(kind),
      system_(system),
      exact_(system.ellipsoid.a, Flattening(system.ellipsoid), system.projection_scale()) {}

void GridProjection::Inverse(double x, double y, double meridian, double* latitude,
                             double* longitude) const {
  if (kind_ == ProjectionKind::kDialog) {
    geodesy::GaussKrugerInverse(geodesy::kKrassovsky.a, geodesy::kKrassovsky.e,
                                meridian * geodesy::DEG_TO_RAD, x, y, latitude, longitude);
    return;
  }
  exact_.Inverse(x - system_.false_northing, y - system_.false_easting, latitude, longitude);
  *longitude += meridian * geodesy::DEG_TO_RAD;
}

}  // namespace zerb
