// The grid's inverse projection; see grid_projection.h.
#include "points/grid_projection.h"

#include <proj.h>

#include <cmath>
#include <limits>
#include <string>

#include "geodesy/geodesy.h"
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

// One PROJ context and one transverse Mercator a central meridian: a file's points share a few
// meridians, and creating the object costs far more than using it.
struct GridProjection::Proj {
  PJ_CONTEXT* context = proj_context_create();
  mutable std::map<int, PJ*> zones;

  ~Proj() {
    for (auto& [meridian, p] : zones)
      proj_destroy(p);
    proj_context_destroy(context);
  }

  PJ* Zone(int meridian) const {
    auto [at, fresh] = zones.try_emplace(meridian, nullptr);
    if (fresh) {
      const std::string definition = "+proj=tmerc +ellps=krass +lon_0=" + std::to_string(meridian) +
                                     " +x_0=500000 +y_0=0 +k=1";
      at->second = proj_create(context, definition.c_str());
    }
    return at->second;
  }
};

GridProjection::GridProjection(ProjectionKind kind) : kind_(kind) {
  if (kind_ == ProjectionKind::kExact)
    proj_ = std::make_unique<Proj>();
}

GridProjection::~GridProjection() = default;

void GridProjection::Inverse(double x, double y, int meridian, double* latitude,
                             double* longitude) const {
  if (kind_ == ProjectionKind::kDialog) {
    geodesy::GaussKrugerInverse(geodesy::kKrassovsky.a, geodesy::kKrassovsky.e,
                                meridian * geodesy::DEG_TO_RAD, x, y, latitude, longitude);
    return;
  }
  constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  *latitude = *longitude = kNone;
  PJ* const p = proj_->Zone(meridian);
  if (p == nullptr)
    return;
  // A bare projection takes easting, northing and gives longitude, latitude in radians.
  const PJ_COORD grid = proj_coord(y, x, 0, 0);
  const PJ_COORD geographic = proj_trans(p, PJ_INV, grid);
  if (proj_errno(p) != 0) {
    proj_errno_reset(p);
    return;
  }
  *latitude = geographic.lp.phi;
  *longitude = geographic.lp.lam;
}

}  // namespace zerb
