// The plane model's pipeline; see plane_pipeline.h.
#include "crs/plane_pipeline.h"

#include <proj.h>

#include "crs/proj_session.h"
#include "text/translate.h"

namespace zerb::crs {
std::string PlanePipeline(const TransverseMercator& gnss, const PlaneSimilarity& s,
                          const HeightPlane& h, std::string* text) {
  std::string p = "+proj=pipeline";
  if (h.fitted) {
    // The ellipsoidal height is the grid height plus c + sn (N - N0) + se (E - E0); x is the
    // easting, y the northing.
    const double offset =
        h.constant - h.north_slope * h.reference_north - h.east_slope * h.reference_east;
    p += " +step +proj=affine +zoff=" + Shortest(offset) + " +s31=" + Shortest(h.east_slope) +
         " +s32=" + Shortest(h.north_slope);
  }
  p += " +step +inv +proj=helmert +x=" + Shortest(s.east) + " +y=" + Shortest(s.north) +
       " +theta=" + Shortest(s.rotation) + " +s=" + Shortest(s.scale);
  p += " +step +inv " + ProjString(gnss);
  p += " +step +proj=unitconvert +xy_in=rad +xy_out=deg";
  ProjSession session;
  const PjHandle pj(proj_create(session.context(), p.c_str()));
  if (!pj) {
    // TRANSLATORS: {1} is what PROJ was to build ("the projected CRS"), {2} PROJ's reason.
    return Fill(Tr("PROJ could not build {1}: {2}."), Tr("the pipeline"), session.Reason());
  }
  *text = p;
  return {};
}

}  // namespace zerb::crs
