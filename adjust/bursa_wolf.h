// Internal: the rounding of fitted Bursa-Wolf parameters for export.
#ifndef ZERB_ADJUST_BURSA_WOLF_H
#define ZERB_ADJUST_BURSA_WOLF_H

#include "adjust/adjust.h"

namespace zerb::adjust {

// Radians per arc-second, as PROJ forms it (DEG_TO_RAD / 3600).
double ArcSecondToRadian();

// p with rotations and scale rounded to 6 decimals (arc-seconds, ppm) and translations to 4
// decimals (metres), the translations first corrected so that the rounded rotations and scale
// still carry the point centre (metres, the centroid of the fit) where p carries it.
BursaWolf RoundForExport(const BursaWolf& p, const Vec3& centre);

}  // namespace zerb::adjust

#endif  // ZERB_ADJUST_BURSA_WOLF_H
