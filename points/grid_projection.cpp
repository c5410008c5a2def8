// The grid's inverse projection; see grid_projection.h.
#include "points/grid_projection.h"

#include <cmath>

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

const char* ProjectionKindName(ProjectionKind kind) {
  return kind == ProjectionKind::kDialog ? "dialog" : "exact";
}

GridProjection::GridProjection(ProjectionKind kind)
    : kind_(kind),
      exact_(geodesy::kKrassovsky.a, 1 - std::sqrt(1 - geodesy::kKrassovsky.e2), 1.0) {}

void GridProjection::Inverse(double x, double y, int meridian, double* latitude,
                             double* longitude) const {
  if (kind_ == ProjectionKind::kDialog) {
    geodesy::GaussKrugerInverse(geodesy::kKrassovsky.a, geodesy::kKrassovsky.e,
                                meridian * geodesy::DEG_TO_RAD, x, y, latitude, longitude);
    return;
  }
  exact_.Inverse(x, y - 500000, latitude, longitude);
  *longitude += meridian * geodesy::DEG_TO_RAD;
}

}  // namespace zerb
