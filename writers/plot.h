// The residual picture of a fit (--plot): its frame from a first walk over the points, then the
// points drawn in a second one.
#ifndef ZERB_WRITERS_PLOT_H
#define ZERB_WRITERS_PLOT_H

#include <cstdio>
#include <string>

#include "adjust/adjust.h"
#include "points/point_set.h"
#include "text/text.h"

namespace zerb {

// Writes the SVG picture to the file named path.
Reason WritePlot(const std::string& path, PointSet& points, const adjust::FitResult& fit);
// Writes the SVG picture to file, left open; the points must keep their grid positions.
Reason DrawPlot(std::FILE* file, PointSet& points, const adjust::FitResult& fit);
// The SVG picture as text in *svg, for a document or a window that shows it.
Reason DrawPlotText(PointSet& points, const adjust::FitResult& fit, std::string* svg);

}  // namespace zerb

#endif  // ZERB_WRITERS_PLOT_H
