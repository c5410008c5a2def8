// The residual picture of a fit (--plot): its frame from a first walk over the points, then the
// points drawn in a second one.
#ifndef ZERB_CLI_WRITERS_PLOT_H
#define ZERB_CLI_WRITERS_PLOT_H

#include <string>

#include "adjust/adjust.h"
#include "cli/points/point_set.h"
#include "cli/text.h"

namespace zerb {

// Writes the SVG picture to the file named path.
Reason WritePlot(const std::string& path, PointSet& points, const adjust::Adjustment& fit,
                 const adjust::Settings& settings);

}  // namespace zerb

#endif  // ZERB_CLI_WRITERS_PLOT_H
