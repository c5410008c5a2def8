// The residual picture as SVG; see residual_plot.h.
//
// Geometry: one scale in pixels per metre for both grid axes (the largest at which the extent fits
// the drawing area, so shapes are not distorted) and a second for the residuals, at which the
// largest residual is kMaxResidualPx long. Scale bars and grid ticks take the largest length of
// the form 1, 2 or 5 × 10ⁿ m that fits their room; their labels are built from the digit and the
// power of ten, so they are exact text whatever the floating-point value. Pixel coordinates are
// written to 0.1 px and clamped to a band far outside the canvas, so a stray point costs a clipped
// element, never a non-finite number.
#include "cli/writers/residual_plot.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

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
constexpr std::size_t kChunk = std::size_t{1} << 16;

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

// Pixels to 0.1 px in plain decimals (no exponent, no "-0").
void AppendPx(std::string* s, double v) {
  if (std::isnan(v))
    v = 0;
  v = std::clamp(std::round(v * 10) / 10, -kClampPx, kClampPx);
  if (v == 0)
    v = 0;
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 1);
  std::string_view digits(text, static_cast<std::size_t>(r.ptr - text));
  if (digits.ends_with(".0"))
    digits.remove_suffix(2);
  *s += digits;
}

void AppendCount(std::string* s, std::size_t n) {
  char text[24];
  const auto r = std::to_chars(text, text + sizeof text, static_cast<std::uint64_t>(n));
  s->append(text, r.ptr);
}

// Length of the UTF-8 sequence at the front of s that is a character XML allows, or 0. Follows
// the well-formed byte sequences of Unicode (no overlong forms, no surrogates, nothing above
// U+10FFFF); U+FFFE and U+FFFF are not XML characters.
std::size_t XmlCharLength(std::string_view s) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const auto in = [&](std::size_t i, unsigned lo, unsigned hi) {
    return i < s.size() && b(i) >= lo && b(i) <= hi;
  };
  const unsigned c = b(0);
  if (c < 0x80)
    return c >= 0x20 || c == '\t' || c == '\n' || c == '\r' ? 1 : 0;
  if (c >= 0xC2 && c <= 0xDF)
    return in(1, 0x80, 0xBF) ? 2 : 0;
  if (c >= 0xE0 && c <= 0xEF) {
    const unsigned lo = c == 0xE0 ? 0xA0 : 0x80, hi = c == 0xED ? 0x9F : 0xBF;
    if (!in(1, lo, hi) || !in(2, 0x80, 0xBF))
      return 0;
    return c == 0xEF && b(1) == 0xBF && b(2) >= 0xBE ? 0 : 3;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    const unsigned lo = c == 0xF0 ? 0x90 : 0x80, hi = c == 0xF4 ? 0x8F : 0xBF;
    return in(1, lo, hi) && in(2, 0x80, 0xBF) && in(3, 0x80, 0xBF) ? 4 : 0;
  }
  return 0;
}

// Text for an XML element or attribute value.
void AppendXmlText(std::string* s, std::string_view text) {
  while (!text.empty()) {
    const std::size_t n = XmlCharLength(text);
    if (n == 0) {
      *s += "\xEF\xBF\xBD";  // U+FFFD REPLACEMENT CHARACTER
      text.remove_prefix(1);
      continue;
    }
    switch (text[0]) {
      case '&':
        *s += "&amp;";
        break;
      case '<':
        *s += "&lt;";
        break;
      case '>':
        *s += "&gt;";
        break;
      case '"':
        *s += "&quot;";
        break;
      case '\'':
        *s += "&apos;";
        break;
      case '\t':
      case '\n':
      case '\r':
        *s += ' ';
        break;
      default:
        s->append(text.substr(0, n));
    }
    text.remove_prefix(n);
  }
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

// The common point symbols, as in the map and in the legend.
void AppendCircle(std::string* s, const char* cls, double x, double y, double r) {
  *s += "<circle class=\"";
  *s += cls;
  *s += "\" cx=\"";
  AppendPx(s, x);
  *s += "\" cy=\"";
  AppendPx(s, y);
  *s += "\" r=\"";
  AppendPx(s, r);
  *s += "\"/>\n";
}

// A triangle standing on its base, half-size r around (x, y).
void AppendTriangle(std::string* s, const char* cls, double x, double y, double r) {
  *s += "<path class=\"";
  *s += cls;
  *s += "\" d=\"M";
  AppendPx(s, x);
  *s += ' ';
  AppendPx(s, y - 1.2 * r);
  *s += 'l';
  AppendPx(s, 1.1 * r);
  *s += ' ';
  AppendPx(s, 2 * r);
  *s += 'h';
  AppendPx(s, -2.2 * r);
  *s += "z\"/>\n";
}

// An arrow from (x, y) by (dx, dy) pixels with an open head at its tip.
void AppendArrow(std::string* s, double x, double y, double dx, double dy) {
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
  *s += "<path class=\"h\" d=\"M";
  AppendPx(s, x);
  *s += ' ';
  AppendPx(s, y);
  *s += 'l';
  AppendPx(s, dx);
  *s += ' ';
  AppendPx(s, dy);
  *s += 'l';
  AppendPx(s, ax);
  *s += ' ';
  AppendPx(s, ay);
  *s += 'm';
  AppendPx(s, -ax);
  *s += ' ';
  AppendPx(s, -ay);
  *s += 'l';
  AppendPx(s, bx);
  *s += ' ';
  AppendPx(s, by);
  *s += "\"/>\n";
}

// A vertical bar from (x, y) by dy pixels (negative is up).
void AppendBar(std::string* s, double x, double y, double dy) {
  if (!(std::abs(dy) >= 0.5))
    return;
  *s += "<path class=\"v\" d=\"M";
  AppendPx(s, x);
  *s += ' ';
  AppendPx(s, y);
  *s += 'v';
  AppendPx(s, dy);
  *s += "\"/>\n";
}

void AppendText(std::string* s, const char* cls, double x, double y, std::string_view text) {
  *s += "<text class=\"";
  *s += cls;
  *s += "\" x=\"";
  AppendPx(s, x);
  *s += "\" y=\"";
  AppendPx(s, y);
  *s += "\">";
  AppendXmlText(s, text);
  *s += "</text>\n";
}

// A scale bar with end ticks at (x, y), its caption above and its length below.
void AppendScaleBar(std::string* s, const char* id, std::string_view caption, double x, double y,
                    const RoundLength& length, double px_per_metre) {
  AppendText(s, "k", x, y - 10, caption);
  *s += "<path id=\"";
  *s += id;
  *s += "\" class=\"bar\" d=\"M";
  AppendPx(s, x);
  *s += ' ';
  AppendPx(s, y);
  *s += 'h';
  AppendPx(s, length.metres * px_per_metre);
  *s += "\"/>\n<path class=\"tick\" d=\"M";
  AppendPx(s, x);
  *s += ' ';
  AppendPx(s, y - 4);
  *s += "v8m";
  AppendPx(s, length.metres * px_per_metre);
  *s += " -8v8\"/>\n";
  *s += "<text id=\"";
  *s += id;
  *s += "-label\" class=\"k\" x=\"";
  AppendPx(s, x);
  *s += "\" y=\"";
  AppendPx(s, y + 18);
  *s += "\">";
  *s += LengthText(length);
  *s += "</text>\n";
}

// The attributes of the map panel's rectangle and the end of the element.
void AppendPanelRect(std::string* s) {
  *s += " x=\"";
  AppendPx(s, kPanelLeft);
  *s += "\" y=\"";
  AppendPx(s, kPanelTop);
  *s += "\" width=\"";
  AppendPx(s, kPanelRight - kPanelLeft);
  *s += "\" height=\"";
  AppendPx(s, kPanelBottom - kPanelTop);
  *s += "\"/>\n";
}

// A grid coordinate in metres with the decimals its tick spacing needs.
std::string CoordinateText(double metres, const RoundLength& spacing) {
  const int decimals = std::max(0, -spacing.exponent);
  char text[64];
  const auto r =
      std::to_chars(text, text + sizeof text, metres, std::chars_format::fixed, decimals);
  return r.ec == std::errc{} ? std::string(text, r.ptr) : std::string("?");
}

constexpr char kStyle[] =
    "<style>\n"
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
    ".tick{fill:none;stroke:#222;stroke-width:1}\n"
    "</style>\n";

}  // namespace

ResidualPlot::ResidualPlot(std::FILE* out, const PlotFrame& frame) : out_(out) {
  buffer_.reserve(kChunk + 4096);
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

  std::string& s = buffer_;
  s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  s += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1000\" height=\"800\" "
       "viewBox=\"0 0 1000 800\">\n";
  s += kStyle;
  // A dense network: thin, half-transparent residuals, so that their mass reads as a density
  // and the symbols stay visible through it.
  if (frame.points > kCrowded)
    s += "<style>.h{stroke-width:0.5;stroke-opacity:0.55}.v{stroke-width:1;stroke-opacity:0.55}"
         "</style>\n";
  s += "<rect width=\"1000\" height=\"800\" fill=\"#fff\"/>\n";
  AppendText(&s, "title", 20, 28, frame.title);

  s += "<rect class=\"panel\"";
  AppendPanelRect(&s);
  // Grid lines at a round spacing that gives three to eight of them across the larger side, the
  // same spacing on both axes.
  const double panel_east0 = min_east + (kPanelLeft - origin_x_) / map_scale_;
  const double panel_east1 = min_east + (kPanelRight - origin_x_) / map_scale_;
  const double panel_north0 = min_north + (origin_y_ - kPanelBottom) / map_scale_;
  const double panel_north1 = min_north + (origin_y_ - kPanelTop) / map_scale_;
  const RoundLength spacing =
      RoundDown(std::max(kPanelRight - kPanelLeft, kPanelBottom - kPanelTop) / map_scale_ / 3);
  std::string labels;
  s += "<path class=\"grid\" d=\"";
  for (double k = std::ceil(panel_east0 / spacing.metres), n = 0;
       k * spacing.metres <= panel_east1 && n < 20; ++k, ++n) {
    const double east = k * spacing.metres;
    const double x = origin_x_ + (east - min_east) * map_scale_;
    s += 'M';
    AppendPx(&s, x);
    s += ' ';
    AppendPx(&s, kPanelTop);
    s += 'V';
    AppendPx(&s, kPanelBottom);
    AppendText(&labels, "ax tx", x, kPanelBottom + 15, CoordinateText(k == 0 ? 0 : east, spacing));
  }
  for (double k = std::ceil(panel_north0 / spacing.metres), n = 0;
       k * spacing.metres <= panel_north1 && n < 20; ++k, ++n) {
    const double north = k * spacing.metres;
    const double y = origin_y_ - (north - min_north) * map_scale_;
    s += 'M';
    AppendPx(&s, kPanelLeft);
    s += ' ';
    AppendPx(&s, y);
    s += 'H';
    AppendPx(&s, kPanelRight);
    AppendText(&labels, "ax ty", kPanelLeft - 5, y + 4,
               CoordinateText(k == 0 ? 0 : north, spacing));
  }
  s += "\"/>\n";
  s += labels;
  AppendText(&s, "ax ty", kPanelLeft - 5, kPanelTop - 6, "x (north), m");
  AppendText(&s, "ax ty", kPanelRight, kPanelBottom + 32, "y (east), m");

  s += "<g id=\"legend\">\n";
  constexpr double kRow = 24;
  double y = 70;
  AppendCircle(&s, "p", kColumn + 8, y, 3);
  AppendText(&s, "k", kColumn + 24, y + 4, "common point");
  y += kRow;
  AppendTriangle(&s, "c", kColumn + 8, y, 3.5);
  AppendText(&s, "k", kColumn + 24, y + 4, "check point");
  y += kRow;
  AppendCircle(&s, "o", kColumn + 8, y, kRing);
  AppendCircle(&s, "f", kColumn + 8, y, 3);
  AppendText(&s, "k", kColumn + 24, y + 4, "outlier (flagged)");
  y += kRow;
  AppendArrow(&s, kColumn, y + 4, 16, -8);
  AppendText(&s, "k", kColumn + 24, y + 4, "horizontal residual");
  y += kRow;
  AppendBar(&s, kColumn + 8, y + 6, -14);
  AppendText(&s, "k", kColumn + 24, y + 4, "vertical residual");
  AppendText(&s, "ax", kColumn + 24, y + 18, "(bar up: positive)");
  s += "</g>\n";

  AppendScaleBar(&s, "map-scale", "Map", kColumn + 4, 240, RoundDown(kMaxBarPx / map_scale_),
                 map_scale_);
  AppendScaleBar(&s, "residual-scale", "Residuals", kColumn + 4, 310,
                 RoundDown(kMaxResidualBarPx / residual_scale_), residual_scale_);

  s += "<clipPath id=\"map\"><rect";
  AppendPanelRect(&s);
  s += "</clipPath>\n";
  s += "<g id=\"points\" clip-path=\"url(#map)\">\n";
  Flush();
}

ResidualPlot::~ResidualPlot() {
  Flush();
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
    AppendBar(&buffer_, x + marker_ + 2.5, y, -p.v_up * residual_scale_);
  if (Finite(p.v_north, p.v_east))
    AppendArrow(&buffer_, x, y, p.v_east * residual_scale_, -p.v_north * residual_scale_);
  if (p.flagged)
    AppendCircle(&buffer_, "o", x, y, kRing);
  if (p.check)
    AppendTriangle(&buffer_, p.flagged ? "cf" : "c", x, y, marker_ + 0.5);
  else
    AppendCircle(&buffer_, p.flagged ? "f" : "p", x, y, marker_);
  if (!p.name.empty()) {
    if (labels_ && labelled_ < kMaxLabels) {
      AppendText(&buffer_, "n", x + marker_ + 9, y - marker_ - 1, p.name);
      ++labelled_;
    } else {
      ++omitted_;
    }
  }
  if (buffer_.size() >= kChunk)
    Flush();
}

bool ResidualPlot::Finish() {
  if (finished_)
    return ok_;
  finished_ = true;
  buffer_ += "</g>\n";
  if (omitted_ > 0) {
    std::string note = "labels omitted for ";
    AppendCount(&note, omitted_);
    note += omitted_ == 1 ? " point" : " points";
    AppendText(&buffer_, "ax", kColumn, 380, note);
  }
  buffer_ += "</svg>\n";
  Flush();
  if (std::fflush(out_) != 0 || std::ferror(out_))
    ok_ = false;
  return ok_;
}

void ResidualPlot::Flush() {
  if (buffer_.empty())
    return;
  if (std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size())
    ok_ = false;
  buffer_.clear();
}

}  // namespace zerb
