// The residual picture of a fit, as SVG: the common points at their grid positions (Gauss-Krüger,
// x northing up, y easting to the right, one scale for both), each point's horizontal residual as
// an arrow and its vertical residual as a bar at a second scale of their own (residuals are
// millimetres to decimetres, the network tens to hundreds of kilometres), a scale bar for each
// with a round length (1, 2 or 5 × 10ⁿ), outliers and check points marked, names as labels and a
// title.
//
// The picture is streamed: the frame (extent and largest residuals) is known before the first
// point, and every point is written as it comes, so a million points cost no memory. Beyond
// kMaxLabels points the names are left out and the picture says so. This is the layout only; the
// document is written by SvgWriter, so text from the caller (title, names) comes out as valid
// UTF-8 XML whatever it holds (see svg_writer.h).
#ifndef ZERB_WRITERS_RESIDUAL_PLOT_H
#define ZERB_WRITERS_RESIDUAL_PLOT_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "text/text.h"
#include "writers/output.h"
#include "writers/svg_writer.h"

namespace zerb {

// What the picture must hold, known before the first point. Positions and residuals in metres;
// an empty or non-finite extent or residual is allowed and drawn around what there is.
struct PlotFrame {
  double min_north = 0, max_north = 0;  // grid x of the points
  double min_east = 0, max_east = 0;    // grid y of the points, with its false easting
  double max_horizontal = 0;            // largest hypot(v_north, v_east) of the points
  double max_vertical = 0;              // largest |v_up| of the points
  std::string title;                    // e.g. the model, σ0 and the number of points
  std::size_t points = 0;               // how many points Add will be given
};

// One point: grid position and residuals in metres. A point whose position is not finite is left
// out; a residual that is not finite is not drawn.
struct PlotPoint {
  double north = 0, east = 0;                // grid x, y
  double v_north = 0, v_east = 0, v_up = 0;  // residual components
  bool flagged = false;                      // taken out as an outlier
  bool check = false;                        // a check point, not used in the fit
  std::string_view name;                     // label; may be empty
};

class ResidualPlot {
 public:
  // Beyond this many points in the frame no name is drawn.
  static constexpr std::size_t kMaxLabels = 300;

  // Writes the document's head, the title, the legend and both scale bars to out, which must
  // stay open until Finish. Destroyed without Finish, it hands on what is buffered and leaves the
  // document unclosed.
  ResidualPlot(std::FILE* out, const PlotFrame& frame);
  ResidualPlot(const ResidualPlot&) = delete;
  ResidualPlot& operator=(const ResidualPlot&) = delete;

  void Add(const PlotPoint& point);

  // Closes the document and flushes out. Why the picture is not whole (a write to out failed, or
  // the serializer refused something), or empty.
  Reason Finish();

 private:
  std::FILE* out_;
  Output output_;
  SvgWriter svg_;
  bool finished_ = false;
  // Map: pixel = origin + (metres - minimum) × scale, the vertical axis turned so north is up.
  double min_north_ = 0, min_east_ = 0;
  double origin_x_ = 0, origin_y_ = 0;
  double map_scale_ = 1;       // pixels per metre of the grid
  double residual_scale_ = 1;  // pixels per metre of residual
  double marker_ = 3;          // half-size of a point's symbol, pixels
  bool labels_ = true;
  std::size_t labelled_ = 0;
  std::size_t omitted_ = 0;
};

}  // namespace zerb

#endif  // ZERB_WRITERS_RESIDUAL_PLOT_H
