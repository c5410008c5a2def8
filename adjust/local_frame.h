// The local north, east, up directions at an Earth-centred position on the Krassovsky ellipsoid.
#ifndef ZERB_ADJUST_LOCAL_FRAME_H
#define ZERB_ADJUST_LOCAL_FRAME_H

#include "adjust/adjust.h"

namespace zerb::adjust {

// Unit vectors of north, east and up (the ellipsoid normal) at K (metres, Earth-centred), in
// Earth-centred components. On the polar axis north is taken along -X at longitude 0.
struct LocalFrame {
  Vec3 north, east, up;
};
LocalFrame LocalFrameAt(const Vec3& local);

}  // namespace zerb::adjust

#endif  // ZERB_ADJUST_LOCAL_FRAME_H
