// The grid's system as the reports describe it, when it is not Beijing 1954's Gauss-Krueger grid
// (for which every report keeps the bytes it had before other systems came): the ellipsoid, the
// central meridian and the transverse Mercator's constants.
#ifndef ZERB_WRITERS_GRID_DESCRIPTION_H
#define ZERB_WRITERS_GRID_DESCRIPTION_H

#include "points/gather.h"
#include "writers/json_writer.h"
#include "writers/output.h"

namespace zerb {

// One line of the text report, in the language of the messages; nothing for Beijing 1954.
void WriteGridSystemLine(const InputSummary& input, Output& out);

// The key "grid" with the system's values; nothing for Beijing 1954. The plane model projects the
// GNSS points on their own ellipsoid, so for it (with_ellipsoid false) the grid's ellipsoid is
// left out, and so is the key when the projection is a Gauss-Krueger zone's.
void WriteGridSystemJson(const InputSummary& input, JsonWriter& w, bool with_ellipsoid = true);

}  // namespace zerb

#endif  // ZERB_WRITERS_GRID_DESCRIPTION_H
