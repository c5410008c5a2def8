// The residual picture as SVG; see residual_plot.h.
//
// Geometry: one scale in pixels per metre for both grid axes (the largest at which the extent fits
// the drawing area, so shapes are not distorted) and a second for the residuals, at which the
// largest residual is kMaxResidualPx long. Scale bars and grid ticks take the largest length of
// the form 1, 2 or 5 × 10ⁿ m that fits their room; their labels are built from the digit and the
// power of ten, so they are exact text whatever the floating-point value. Pixel coordinates are
// written to 0.1 px and clamped to a band far outside the canvas, so a stray point costs a clipped
// element, never a non-finite number. Every element goes through SvgWriter, which escapes and
// checks what is written.
#include "writers/residual_plot.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "text/translate.h"

namespace zerb {
namespace {

// The map panel (grid lines, clipping) and, inside it, the area that holds the points: the band
// between them keeps the longest arrow and bar of a point on the edge inside the panel.
constexpr double kPanelLeft = 90, kPanelTop = 60, kPanelRight = 760, kPanelBottom = 745;
constexpr double kPad = 58;
constexpr double kAreaLeft = kPanelLeft + kPad, kAreaRight = kPanelRight - kPad;
constexpr double kAreaTop = kPanelTop + kPad, kAreaBottom = kPanelBottom - kPad;
constexpr double kMaxResidualPx = 50;
// Longest scale bars, in pixels: the map's fits the 200 px column right of the panel; the
// residuals' stays near the length of the arrows, so that it is read against them by eye.
constexpr double kMaxBarPx = 150;
constexpr double kMaxResidualBarPx = 1.5 * kMaxResidualPx;
constexpr double kColumn = 785;
// What an empty extent (one point, or none) is drawn as, metres; and the residual that takes
// kMaxResidualPx when all residuals are zero.
constexpr double kEmptySpan = 1000;
constexpr double kZeroResidual = 0.01;
constexpr double kClampPx = 1e5;
// Radius of the ring around an outlier, pixels: the same at any density, so that outliers stay
// findable among small symbols.
constexpr double kRing = 6;
// More points than this make a dense picture.
constexpr std::size_t kCrowded = 20000;

// A length 1, 2 or 5 × 10^exponent metres.
struct RoundLength {
  int digit = 1;
  int exponent = 0;
  double metres = 1;
};

// The largest round length not above limit (> 0, finite).
RoundLength RoundDown(double limit) {
  int exponent = static_cast<int>(std::floor(std::log10(limit)));
  double mantissa = limit / std::pow(10.0, exponent);
  // log10 and pow are not exact: put the mantissa back into [1, 10).
  if (mantissa >= 10) {
    mantissa /= 10;
    ++exponent;
  } else if (mantissa < 1) {
    mantissa *= 10;
    --exponent;
  }
  RoundLength r;
  r.digit = mantissa >= 5 ? 5 : mantissa >= 2 ? 2 : 1;
  r.exponent = exponent;
  r.metres = r.digit * std::pow(10.0, exponent);
  return r;
}

// The length as text: km from 1 km, m from 1 m, mm below (residuals are read in millimetres).
std::string LengthText(const RoundLength& r) {
  const int shift = r.exponent >= 3 ? 3 : r.exponent >= 0 ? 0 : -3;
  const char* unit = shift == 3 ? " km" : shift == 0 ? " m" : " mm";
  const int e = r.exponent - shift;
  std::string s;
  if (e >= 0) {
    s += static_cast<char>('0' + r.digit);
    s.append(static_cast<std::size_t>(e), '0');
  } else {
    s = "0.";
    s.append(static_cast<std::size_t>(-e - 1), '0');
    s += static_cast<char>('0' + r.digit);
  }
  return s + unit;
}

bool Finite(double a, double b) {
  return std::isfinite(a) && std::isfinite(b);
}

// An extent that is not a finite, ordered pair counts as empty at 0.
void CleanExtent(double* lo, double* hi) {
  if (!Finite(*lo, *hi) || *hi < *lo)
    *lo = *hi = 0;
}

// The largest scale, pixels per metre, at which the extent fits the area.
double MapScale(double span_east, double span_north) {
  constexpr double w = kAreaRight - kAreaLeft, h = kAreaBottom - kAreaTop;
  double scale = 0;
  if (span_east > 0 && span_north > 0)
    scale = std::min(w / span_east, h / span_north);
  else if (span_east > 0)
    scale = w / span_east;
  else if (span_north > 0)
    scale = h / span_north;
  // An extent too small or too large for a double scale is drawn as an empty one.
  if (!(std::isfinite(scale) && scale > 1e-12 && scale < 1e12))
    scale = w / kEmptySpan;
  return scale;
}

// Pixels as written: clamped to a band far outside the canvas, where a stray point costs only a
// clipped element.
double Px(double v) {
  return std::clamp(v, -kClampPx, kClampPx);
}

// One step of path data: its command letter and its numbers, in pixels.
void Step(SvgWriter* svg, std::string_view command, std::initializer_list<double> px) {
  svg->ValueText(command);
  for (const double v : px)
    svg->ValueNumber(Px(v));
}

// The common point symbols, as in the map and in the legend.
void Circle(SvgWriter* svg, std::string_view cls, double x, double y, double r) {
  svg->Open("circle");
  svg->Attribute("class", cls);
  svg->Attribute("cx", Px(x));
  svg->Attribute("cy", Px(y));
  svg->Attribute("r", Px(r));
  svg->Close();
}

// A triangle standing on its base, half-size r around (x, y).
void Triangle(SvgWriter* svg, std::string_view cls, double x, double y, double r) {
  svg->Open("path");
  svg->Attribute("class", cls);
  svg->StartValue("d");
  Step(svg, "M", {x, y - 1.2 * r});
  Step(svg, "l", {1.1 * r, 2 * r});
  Step(svg, "h", {-2.2 * r});
  Step(svg, "z", {});
  svg->EndValue();
  svg->Close();
}

// An arrow from (x, y) by (dx, dy) pixels with an open head at its tip.
void Arrow(SvgWriter* svg, double x, double y, double dx, double dy) {
  const double length = std::hypot(dx, dy);
  // Shorter than half a pixel: no direction worth drawing.
  if (!(length >= 0.5))
    return;
  const double head = std::min(6.0, 0.45 * length);
  const double ux = dx / length, uy = dy / length;
  // The head's sides at ±25° from the shaft.
  constexpr double kCos = 0.90630778703665, kSin = 0.42261826174070;
  const double ax = -head * (kCos * ux - kSin * uy), ay = -head * (kSin * ux + kCos * uy);
  const double bx = -head * (kCos * ux + kSin * uy), by = -head * (-kSin * ux + kCos * uy);
  svg->Open("path");
  svg->Attribute("class", "h");
  svg->StartValue("d");
  Step(svg, "M", {x, y});
  Step(svg, "l", {dx, dy});
  Step(svg, "l", {ax, ay});
  Step(svg, "m", {-ax, -ay});
  Step(svg, "l", {bx, by});
  svg->EndValue();
  svg->Close();
}

// A vertical bar from (x, y) by dy pixels (negative is up).
void Bar(SvgWriter* svg, double x, double y, double dy) {
  if (!(std::abs(dy) >= 0.5))
    return;
  svg->Open("path");
  svg->Attribute("class", "v");
  svg->StartValue("d");
  Step(svg, "M", {x, y});
  Step(svg, "v", {dy});
  svg->EndValue();
  svg->Close();
}

void Label(SvgWriter* svg, std::string_view cls, double x, double y, std::string_view text) {
  svg->Open("text");
  svg->Attribute("class", cls);
  svg->Attribute("x", Px(x));
  svg->Attribute("y", Px(y));
  svg->Text(text);
  svg->Close();
}

// A scale bar with end ticks at (x, y), its caption above and its length below.
void ScaleBar(SvgWriter* svg, const std::string& id, std::string_view caption, double x, double y,
              const RoundLength& length, double px_per_metre) {
  const double px = length.metres * px_per_metre;
  Label(svg, "k", x, y - 10, caption);
  svg->Open("path");
  svg->Attribute("id", id);
  svg->Attribute("class", "bar");
  svg->StartValue("d");
  Step(svg, "M", {x, y});
  Step(svg, "h", {px});
  svg->EndValue();
  svg->Close();
  svg->Open("path");
  svg->Attribute("class", "tick");
  svg->StartValue("d");
  Step(svg, "M", {x, y - 4});
  Step(svg, "v", {8});
  Step(svg, "m", {px, -8});
  Step(svg, "v", {8});
  svg->EndValue();
  svg->Close();
  svg->Open("text");
  svg->Attribute("id", id + "-label");
  svg->Attribute("class", "k");
  svg->Attribute("x", Px(x));
  svg->Attribute("y", Px(y + 18));
  svg->Text(LengthText(length));
  svg->Close();
}

// The map panel's rectangle, drawn (with a class) or as the points' clipping path.
void PanelRect(SvgWriter* svg, std::string_view cls) {
  svg->Open("rect");
  if (!cls.empty())
    svg->Attribute("class", cls);
  svg->Attribute("x", kPanelLeft);
  svg->Attribute("y", kPanelTop);
  svg->Attribute("width", kPanelRight - kPanelLeft);
  svg->Attribute("height", kPanelBottom - kPanelTop);
  svg->Close();
}

// A grid coordinate in metres with the decimals its tick spacing needs.
std::string CoordinateText(double metres, const RoundLength& spacing) {
  const int decimals = std::max(0, -spacing.exponent);
  char text[64];
  const auto r =
      std::to_chars(text, text + sizeof text, metres, std::chars_format::fixed, decimals);
  return r.ec == std::errc{} ? std::string(text, r.ptr) : std::string("?");
}

// A grid line: its pixel position across its axis and its coordinate as text.
struct GridLine {
  double px;
  std::string label;
};

// The grid lines at multiples of spacing from first to last metres, 20 at most; to_px maps
// metres to pixels.
template <typename ToPx>
std::vector<GridLine> GridLines(double first, double last, const RoundLength& spacing, ToPx to_px) {
  std::vector<GridLine> lines;
  for (double k = std::ceil(first / spacing.metres);
       k * spacing.metres <= last && lines.size() < 20; ++k) {
    const double metres = k * spacing.metres;
    lines.push_back({to_px(metres), CoordinateText(k == 0 ? 0 : metres, spacing)});
  }
  return lines;
}

// The style sheet, one rule a line.
constexpr char kStyle[] =
    "\n"
    "text{font-family:'DejaVu Sans','AR PL UMing CN',sans-serif;fill:#222}\n"
    ".title{font-size:17px;font-weight:bold}\n"
    ".k{font-size:12px}\n"
    ".n{font-size:10px;fill:#444}\n"
    ".ax{font-size:11px;fill:#555}\n"
    ".ty{text-anchor:end}\n"
    ".tx{text-anchor:middle}\n"
    ".panel{fill:#fcfcfc;stroke:#999;stroke-width:1}\n"
    ".grid{fill:none;stroke:#e4e4e4;stroke-width:1}\n"
    ".p{fill:#222}\n"
    ".f{fill:#d01010}\n"
    ".c{fill:#fff;stroke:#7a2fc0;stroke-width:1.6}\n"
    ".cf{fill:#fff;stroke:#d01010;stroke-width:1.6}\n"
    ".o{fill:none;stroke:#d01010;stroke-width:1.5}\n"
    ".h{fill:none;stroke:#1f4fbf;stroke-width:1.3;stroke-linecap:round;stroke-linejoin:round}\n"
    ".v{fill:none;stroke:#e08000;stroke-width:3}\n"
    ".bar{fill:none;stroke:#222;stroke-width:3}\n"
    ".tick{fill:none;stroke:#222;stroke-width:1}\n";

// Pixel coordinates to 0.1 px: finer than any screen or print shows.
constexpr int kDecimals = 1;

}  // namespace

ResidualPlot::ResidualPlot(std::FILE* out, const PlotFrame& frame)
    : out_(out), output_(out), svg_(&output_, kDecimals) {
  double min_north = frame.min_north, max_north = frame.max_north;
  double min_east = frame.min_east, max_east = frame.max_east;
  CleanExtent(&min_north, &max_north);
  CleanExtent(&min_east, &max_east);
  // The difference of two finite doubles may still overflow: such an extent is drawn as empty.
  double span_north = max_north - min_north, span_east = max_east - min_east;
  if (!std::isfinite(span_north))
    span_north = 0;
  if (!std::isfinite(span_east))
    span_east = 0;
  map_scale_ = MapScale(span_east, span_north);
  min_north_ = min_north;
  min_east_ = min_east;
  // The extent is centred in the area.
  origin_x_ = (kAreaLeft + kAreaRight) / 2 - span_east * map_scale_ / 2;
  origin_y_ = (kAreaTop + kAreaBottom) / 2 + span_north * map_scale_ / 2;

  double largest = std::max(std::isfinite(frame.max_horizontal) ? frame.max_horizontal : 0,
                            std::isfinite(frame.max_vertical) ? frame.max_vertical : 0);
  if (!(largest > 1e-12 && largest < 1e12))
    largest = kZeroResidual;
  residual_scale_ = kMaxResidualPx / largest;

  // Symbols shrink as points crowd, so that a dense network still shows its shape.
  marker_ = frame.points <= 1000 ? 3 : frame.points <= kCrowded ? 2 : 1.2;
  labels_ = frame.points <= kMaxLabels;

  SvgWriter* svg = &svg_;
  svg->Open("svg");
  svg->Attribute("xmlns", "http://www.w3.org/2000/svg");
  svg->Attribute("width", 1000);
  svg->Attribute("height", 800);
  svg->Attribute("viewBox", "0 0 1000 800");
  svg->Open("style");
  svg->Text(kStyle);
  svg->Close();
  // A dense network: thin, half-transparent residuals, so that their mass reads as a density
  // and the symbols stay visible through it.
  if (frame.points > kCrowded) {
    svg->Open("style");
    svg->Text(".h{stroke-width:0.5;stroke-opacity:0.55}.v{stroke-width:1;stroke-opacity:0.55}");
    svg->Close();
  }
  svg->Open("rect");
  svg->Attribute("width", 1000);
  svg->Attribute("height", 800);
  svg->Attribute("fill", "#fff");
  svg->Close();
  Label(svg, "title", 20, 28, frame.title);

  PanelRect(svg, "panel");
  // Grid lines at a round spacing that gives three to eight of them across the larger side, the
  // same spacing on both axes.
  const RoundLength spacing =
      RoundDown(std::max(kPanelRight - kPanelLeft, kPanelBottom - kPanelTop) / map_scale_ / 3);
  const std::vector<GridLine> east_lines =
      GridLines(min_east + (kPanelLeft - origin_x_) / map_scale_,
                min_east + (kPanelRight - origin_x_) / map_scale_, spacing,
                [&](double east) { return origin_x_ + (east - min_east) * map_scale_; });
  const std::vector<GridLine> north_lines =
      GridLines(min_north + (origin_y_ - kPanelBottom) / map_scale_,
                min_north + (origin_y_ - kPanelTop) / map_scale_, spacing,
                [&](double north) { return origin_y_ - (north - min_north) * map_scale_; });
  svg->Open("path");
  svg->Attribute("class", "grid");
  svg->StartValue("d");
  for (const GridLine& line : east_lines) {
    Step(svg, "M", {line.px, kPanelTop});
    Step(svg, "V", {kPanelBottom});
  }
  for (const GridLine& line : north_lines) {
    Step(svg, "M", {kPanelLeft, line.px});
    Step(svg, "H", {kPanelRight});
  }
  svg->EndValue();
  svg->Close();
  for (const GridLine& line : east_lines)
    Label(svg, "ax tx", line.px, kPanelBottom + 15, line.label);
  for (const GridLine& line : north_lines)
    Label(svg, "ax ty", kPanelLeft - 5, line.px + 4, line.label);
  Label(svg, "ax ty", kPanelLeft - 5, kPanelTop - 6, Tr("x (north), m"));
  Label(svg, "ax ty", kPanelRight, kPanelBottom + 32, Tr("y (east), m"));

  svg->Open("g");
  svg->Attribute("id", "legend");
  constexpr double kRow = 24;
  double y = 70;
  Circle(svg, "p", kColumn + 8, y, 3);
  Label(svg, "k", kColumn + 24, y + 4, Tr("common point"));
  y += kRow;
  Triangle(svg, "c", kColumn + 8, y, 3.5);
  Label(svg, "k", kColumn + 24, y + 4, Tr("check point"));
  y += kRow;
  Circle(svg, "o", kColumn + 8, y, kRing);
  Circle(svg, "f", kColumn + 8, y, 3);
  Label(svg, "k", kColumn + 24, y + 4, Tr("outlier (flagged)"));
  y += kRow;
  Arrow(svg, kColumn, y + 4, 16, -8);
  Label(svg, "k", kColumn + 24, y + 4, Tr("horizontal residual"));
  y += kRow;
  Bar(svg, kColumn + 8, y + 6, -14);
  Label(svg, "k", kColumn + 24, y + 4, Tr("vertical residual"));
  Label(svg, "ax", kColumn + 24, y + 18, Tr("(bar up: positive)"));
  svg->Close();

  ScaleBar(svg, "map-scale", Tr("Map"), kColumn + 4, 240, RoundDown(kMaxBarPx / map_scale_),
           map_scale_);
  ScaleBar(svg, "residual-scale", Tr("Residuals"), kColumn + 4, 310,
           RoundDown(kMaxResidualBarPx / residual_scale_), residual_scale_);

  svg->Open("clipPath");
  svg->Attribute("id", "map");
  PanelRect(svg, "");
  svg->Close();
  svg->Open("g");
  svg->Attribute("id", "points");
  svg->Attribute("clip-path", "url(#map)");
}

void ResidualPlot::Add(const PlotPoint& p) {
  if (finished_ || !Finite(p.north, p.east))
    return;
  const double x = origin_x_ + (p.east - min_east_) * map_scale_;
  const double y = origin_y_ - (p.north - min_north_) * map_scale_;
  if (!Finite(x, y))
    return;
  // The bar stands beside the symbol so that it does not hide the north part of the arrow.
  if (std::isfinite(p.v_up))
    Bar(&svg_, x + marker_ + 2.5, y, -p.v_up * residual_scale_);
  if (Finite(p.v_north, p.v_east))
    Arrow(&svg_, x, y, p.v_east * residual_scale_, -p.v_north * residual_scale_);
  if (p.flagged)
    Circle(&svg_, "o", x, y, kRing);
  if (p.check)
    Triangle(&svg_, p.flagged ? "cf" : "c", x, y, marker_ + 0.5);
  else
    Circle(&svg_, p.flagged ? "f" : "p", x, y, marker_);
  if (!p.name.empty()) {
    if (labels_ && labelled_ < kMaxLabels) {
      Label(&svg_, "n", x + marker_ + 9, y - marker_ - 1, p.name);
      ++labelled_;
    } else {
      ++omitted_;
    }
  }
}

Reason ResidualPlot::Finish() {
  if (!finished_) {
    finished_ = true;
    svg_.Close();  // the points
    if (omitted_ > 0)
      Label(&svg_, "ax", kColumn, 380,
            Counted(omitted_, "labels omitted for {1} point", "labels omitted for {1} points"));
  }
  const Reason refused = svg_.Finish();
  if (std::fflush(out_) != 0 || std::ferror(out_))
    return std::strerror(errno);
  return refused;
}

}  // namespace zerb
