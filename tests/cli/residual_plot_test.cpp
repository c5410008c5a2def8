// The residual picture read back as a reader of it would: rendered by librsvg's rsvg-convert,
// parsed by a strict XML reader written here, its text checked as UTF-8, and its geometry measured
// from the drawn points themselves (north up, one scale on both axes, scale bars that tell the
// truth and carry round values), on ordinary networks and on degenerate ones.
#include "writers/residual_plot.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "text/text.h"

namespace zerb::test {
namespace {

// Coordinates are written to 0.1 px: a position is off by 0.05 px at most, a difference of two
// by 0.1 px; 0.15 px leaves room for the rounding of a bar's length on top.
constexpr double kPx = 0.15;

struct Element {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::string text;   // the character data directly inside, entities decoded
  std::string group;  // id of the innermost enclosing element that has one
  std::string Attr(const std::string& key) const {
    const auto it = attributes.find(key);
    return it == attributes.end() ? std::string() : it->second;
  }
};

// Appends text with XML's entity and character references replaced; false on any other '&'.
bool Decode(std::string_view raw, std::string* out) {
  static const std::map<std::string, std::string, std::less<>> kEntities = {
      {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '&') {
      *out += raw[i];
      continue;
    }
    const std::size_t end = raw.find(';', i);
    if (end == std::string_view::npos)
      return false;
    const auto it = kEntities.find(raw.substr(i + 1, end - i - 1));
    if (it == kEntities.end())
      return false;  // no character references are written, so none is accepted
    *out += it->second;
    i = end;
  }
  return true;
}

// A strict reader of the XML subset an SVG writer produces: declaration, comments, elements,
// quoted attributes, character data. Fails on unbalanced or unnamed tags, duplicate attributes,
// '<' in a value, unknown entities and a document that is not one element.
bool ParseXml(const std::string& doc, std::vector<Element>* out, std::string* error) {
  struct Open {
    std::string name;
    std::size_t index;
    std::string group;
  };
  std::vector<Open> stack;
  int roots = 0;
  const auto fail = [&](std::size_t at, const char* why) {
    *error = std::string(why) + " at byte " + std::to_string(at);
    return false;
  };
  const auto name_char = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' ||
           c == '.';
  };
  std::size_t i = 0;
  if (doc.starts_with("<?xml")) {
    i = doc.find("?>");
    if (i == std::string::npos)
      return fail(0, "unclosed declaration");
    i += 2;
  }
  while (i < doc.size()) {
    if (doc[i] != '<') {
      const std::size_t end = std::min(doc.find('<', i), doc.size());
      std::string text;
      if (!Decode(std::string_view(doc).substr(i, end - i), &text))
        return fail(i, "bad entity");
      if (stack.empty() && text.find_first_not_of(" \n") != std::string::npos)
        return fail(i, "text outside the root");
      if (!stack.empty())
        (*out)[stack.back().index].text += text;
      i = end;
      continue;
    }
    if (doc.compare(i, 4, "<!--") == 0) {
      i = doc.find("-->", i);
      if (i == std::string::npos)
        return fail(i, "unclosed comment");
      i += 3;
      continue;
    }
    if (doc.compare(i, 2, "</") == 0) {
      const std::size_t end = doc.find('>', i);
      if (end == std::string::npos || stack.empty() ||
          doc.substr(i + 2, end - i - 2) != stack.back().name)
        return fail(i, "end tag does not match");
      stack.pop_back();
      i = end + 1;
      continue;
    }
    Element e;
    ++i;
    while (i < doc.size() && name_char(doc[i]))
      e.name += doc[i++];
    if (e.name.empty())
      return fail(i, "tag without a name");
    if (stack.empty() && ++roots > 1)
      return fail(i, "second root");
    e.group = stack.empty() ? "" : stack.back().group;
    bool closed = false;
    for (;;) {
      while (i < doc.size() && std::isspace(static_cast<unsigned char>(doc[i])))
        ++i;
      if (i >= doc.size())
        return fail(i, "unclosed tag");
      if (doc.compare(i, 2, "/>") == 0) {
        closed = true;
        i += 2;
        break;
      }
      if (doc[i] == '>') {
        ++i;
        break;
      }
      std::string key;
      while (i < doc.size() && name_char(doc[i]))
        key += doc[i++];
      if (key.empty() || i + 1 >= doc.size() || doc[i] != '=' || doc[i + 1] != '"')
        return fail(i, "attribute is not name=\"value\"");
      const std::size_t end = doc.find('"', i + 2);
      if (end == std::string::npos)
        return fail(i, "unclosed value");
      const std::string_view raw = std::string_view(doc).substr(i + 2, end - i - 2);
      std::string value;
      if (raw.find('<') != std::string_view::npos || !Decode(raw, &value))
        return fail(i, "bad attribute value");
      if (!e.attributes.emplace(key, value).second)
        return fail(i, "duplicate attribute");
      i = end + 1;
    }
    const std::string own_group = e.attributes.count("id") ? e.attributes["id"] : e.group;
    out->push_back(e);
    if (!closed)
      stack.push_back({e.name, out->size() - 1, own_group});
  }
  if (!stack.empty() || roots != 1)
    return fail(i, "document is not one closed element");
  return true;
}

// The picture of the points in frame, written to a temporary file and read back.
std::string Plot(const PlotFrame& frame, const std::vector<PlotPoint>& points) {
  std::FILE* f = std::tmpfile();
  EXPECT_NE(f, nullptr);
  ResidualPlot plot(f, frame);
  for (const PlotPoint& p : points)
    plot.Add(p);
  EXPECT_EQ(plot.Finish(), "");
  std::string doc;
  std::rewind(f);
  char chunk[65536];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
    doc.append(chunk, n);
  std::fclose(f);
  return doc;
}

std::vector<Element> Elements(const std::string& doc) {
  std::vector<Element> elements;
  std::string error;
  EXPECT_TRUE(ParseXml(doc, &elements, &error)) << error;
  return elements;
}

std::vector<Element> InGroup(const std::vector<Element>& all, const std::string& group,
                             const std::string& cls) {
  std::vector<Element> found;
  for (const Element& e : all)
    if (e.group == group && e.Attr("class") == cls)
      found.push_back(e);
  return found;
}

const Element* ById(const std::vector<Element>& all, const std::string& id) {
  for (const Element& e : all)
    if (e.Attr("id") == id)
      return &e;
  return nullptr;
}

// Length of the plain decimal (-?digits[.digits]) at the front of s, or 0.
std::size_t DecimalLength(std::string_view s) {
  const auto digits = [&](std::size_t i) {
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
      ++i;
    return i;
  };
  const std::size_t sign = !s.empty() && s[0] == '-' ? 1 : 0;
  std::size_t end = digits(sign);
  if (end == sign)
    return 0;
  if (end < s.size() && s[end] == '.') {
    const std::size_t fraction = digits(end + 1);
    if (fraction == end + 1)
      return 0;
    end = fraction;
  }
  return end;
}

bool IsDecimal(std::string_view s) {
  return !s.empty() && DecimalLength(s) == s.size();
}

// The numbers of a path's data; the writer uses only M m l h v H V z with plain decimals, so
// anything else (an exponent, "nan", "inf") fails the test.
std::vector<double> PathNumbers(const std::string& d) {
  std::vector<double> numbers;
  std::string_view rest = d;
  while (!rest.empty()) {
    if (rest[0] == ' ' || std::string_view("MmLlHhVvz").find(rest[0]) != std::string_view::npos) {
      rest.remove_prefix(1);
      continue;
    }
    const std::size_t n = DecimalLength(rest);
    if (n == 0) {
      ADD_FAILURE() << "path data not understood: " << d;
      break;
    }
    numbers.push_back(std::stod(std::string(rest.substr(0, n))));
    rest.remove_prefix(n);
  }
  return numbers;
}

// Every coordinate in the document is a plain decimal, so finite.
void ExpectFiniteGeometry(const std::vector<Element>& all) {
  for (const Element& e : all) {
    for (const char* key : {"x", "y", "cx", "cy", "r", "width", "height"}) {
      if (e.attributes.count(key)) {
        EXPECT_TRUE(IsDecimal(e.Attr(key))) << e.name << ' ' << key << '=' << e.Attr(key);
      }
    }
    PathNumbers(e.Attr("d"));
  }
}

bool HaveRenderer() {
  return std::system("command -v rsvg-convert >/dev/null 2>&1") == 0;
}

struct Rendered {
  int status = -1;
  std::string png;
};

// The document rendered by librsvg, which refuses any document that is not well-formed XML.
Rendered Render(const std::string& doc, const std::string& stem) {
  // The process id keeps two test runs at once (two builds) from rendering each other's files.
  const std::string base = ::testing::TempDir() + stem + "-" + std::to_string(getpid());
  const std::string svg = base + ".svg", png = base + ".png";
  std::FILE* f = std::fopen(svg.c_str(), "wb");
  std::fwrite(doc.data(), 1, doc.size(), f);
  std::fclose(f);
  Rendered r;
  r.status = std::system(("rsvg-convert -o '" + png + "' '" + svg + "' 2>/dev/null").c_str());
  if (std::FILE* p = std::fopen(png.c_str(), "rb")) {
    char chunk[65536];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, p)) > 0;)
      r.png.append(chunk, n);
    std::fclose(p);
  }
  std::remove(svg.c_str());
  std::remove(png.c_str());
  return r;
}

std::uint32_t BigEndian(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t k = 0; k < 4; ++k)
    v = v << 8 | static_cast<unsigned char>(s[at + k]);
  return v;
}

// A frame that holds exactly the given points.
PlotFrame FrameOf(const std::vector<PlotPoint>& points, std::string title = "fit") {
  PlotFrame f;
  f.min_north = f.min_east = INFINITY;
  f.max_north = f.max_east = -INFINITY;
  for (const PlotPoint& p : points) {
    f.min_north = std::min(f.min_north, p.north);
    f.max_north = std::max(f.max_north, p.north);
    f.min_east = std::min(f.min_east, p.east);
    f.max_east = std::max(f.max_east, p.east);
    f.max_horizontal = std::max(f.max_horizontal, std::hypot(p.v_north, p.v_east));
    f.max_vertical = std::max(f.max_vertical, std::abs(p.v_up));
  }
  f.title = std::move(title);
  f.points = points.size();
  return f;
}

// A small network over 120 km × 90 km with centimetre residuals.
std::vector<PlotPoint> Network() {
  std::vector<PlotPoint> points;
  for (int i = 0; i < 12; ++i)
    points.push_back({3400000.0 + 7500 * (i % 4) + 1000 * i, 38450000.0 + 11000 * i,
                      0.004 * (i % 5) - 0.01, 0.003 * (i % 3), 0.002 * i - 0.01, i == 4, i == 7,
                      ""});
  return points;
}

double Number(const Element& e, const char* key) {
  return std::stod(e.Attr(key));
}

// Whether the number is 1, 2 or 5 times a power of ten, written out: "0.05", "2", "100".
bool IsRound(std::string_view number) {
  if (number.starts_with("0.")) {
    number.remove_prefix(2);
    while (number.starts_with('0'))
      number.remove_prefix(1);
    return number == "1" || number == "2" || number == "5";
  }
  if (number.empty() || (number[0] != '1' && number[0] != '2' && number[0] != '5'))
    return false;
  return number.find_first_not_of('0', 1) == std::string_view::npos;
}

// The round length a scale bar claims, in metres, read from its label "number unit".
double LabelMetres(const std::string& label) {
  const std::size_t space = label.find(' ');
  const std::string number = label.substr(0, space);
  const std::string unit = space == std::string::npos ? "" : label.substr(space + 1);
  const bool known = unit == "mm" || unit == "m" || unit == "km";
  EXPECT_TRUE(IsRound(number) && known) << "not a round length: " << label;
  if (!IsRound(number) || !known)
    return NAN;
  return std::stod(number) * (unit == "mm" ? 0.001 : unit == "km" ? 1000 : 1);
}

// The length in pixels of a scale bar drawn as "M x y h length".
double BarPx(const std::vector<Element>& all, const std::string& id) {
  const Element* bar = ById(all, id);
  EXPECT_NE(bar, nullptr) << id;
  if (bar == nullptr)
    return NAN;
  const std::vector<double> n = PathNumbers(bar->Attr("d"));
  EXPECT_EQ(n.size(), 3u);
  return n.size() == 3 ? n[2] : NAN;
}

TEST(ResidualPlotDocument, RendersToAPngOfTheCanvasSize) {
  if (!HaveRenderer())
    GTEST_SKIP() << "rsvg-convert (librsvg2-bin) is not installed";
  const std::vector<PlotPoint> points = Network();
  const Rendered r = Render(Plot(FrameOf(points), points), "network");
  ASSERT_EQ(r.status, 0);
  ASSERT_GE(r.png.size(), 24u);
  EXPECT_EQ(r.png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(r.png.substr(12, 4), "IHDR");
  EXPECT_EQ(BigEndian(r.png, 16), 1000u);
  EXPECT_EQ(BigEndian(r.png, 20), 800u);
}

// The renderer and the reader here both refuse what a careless writer would produce, so their
// acceptance of the plots means something.
TEST(ResidualPlotDocument, ChecksRefuseABareAmpersand) {
  const std::string bad =
      "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" "
      "height=\"10\"><text x=\"1\" y=\"9\">A&B</text></svg>\n";
  std::vector<Element> elements;
  std::string error;
  EXPECT_FALSE(ParseXml(bad, &elements, &error));
  if (!HaveRenderer())
    GTEST_SKIP() << "rsvg-convert (librsvg2-bin) is not installed";
  EXPECT_NE(Render(bad, "bad").status, 0);
}

TEST(ResidualPlotText, ChineseNamesAndXmlSpecialsReadBackAsGiven) {
  std::vector<PlotPoint> points = Network();
  const std::string names[] = {"青龙岗", "&<>\"'", "K12+400"};
  for (std::size_t i = 0; i < 3; ++i)
    points[i].name = names[i];
  const std::string title = "七参数 · σ0 = 0.0123 m · 12 points <&>";
  const std::string doc = Plot(FrameOf(points, title), points);
  EXPECT_TRUE(IsValidUtf8(doc));
  const std::vector<Element> all = Elements(doc);
  const std::vector<Element> labels = InGroup(all, "points", "n");
  ASSERT_EQ(labels.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_EQ(labels[i].text, names[i]);
  ASSERT_EQ(InGroup(all, "", "title").size(), 1u);
  EXPECT_EQ(InGroup(all, "", "title")[0].text, title);
  if (HaveRenderer()) {
    EXPECT_EQ(Render(doc, "names").status, 0);
  }
}

TEST(ResidualPlotText, BytesThatAreNotUtf8OrXmlBecomeQuestionMarks) {
  std::vector<PlotPoint> points = Network();
  // A Latin-1 byte, a lead byte cut short, a control character, an encoded surrogate, U+FFFE.
  points[0].name =
      "A\xff"
      "B\xc3("
      "C\x01"
      "D\xed\xa0\x80"
      "E\xef\xbf\xbe"
      "F";
  const std::string doc = Plot(FrameOf(points), points);
  EXPECT_TRUE(IsValidUtf8(doc));
  const std::vector<Element> labels = InGroup(Elements(doc), "points", "n");
  ASSERT_EQ(labels.size(), 1u);
  const std::string text = labels[0].text;
  // As the program's messages show them: a '?' for each byte that is not UTF-8 and for each
  // character that XML does not allow.
  EXPECT_EQ(text, "A?B?(C?D???E?F");
  if (HaveRenderer()) {
    EXPECT_EQ(Render(doc, "bytes").status, 0);
  }
}

TEST(ResidualPlotMarkers, OutliersAndCheckPointsHaveTheirOwnSymbolsAndLegend) {
  std::vector<PlotPoint> points = {{3400000, 38450000, 0.01, 0, 0, false, false, ""},
                                   {3410000, 38460000, 0.20, 0.1, 0, true, false, ""},
                                   {3420000, 38470000, 0.01, 0, 0, false, true, ""},
                                   {3430000, 38480000, 0.30, 0, 0, true, true, ""}};
  const std::vector<Element> all = Elements(Plot(FrameOf(points), points));
  const auto rings = InGroup(all, "points", "o");
  ASSERT_EQ(rings.size(), 2u);
  ASSERT_EQ(InGroup(all, "points", "p").size(), 1u);
  ASSERT_EQ(InGroup(all, "points", "f").size(), 1u);
  EXPECT_EQ(InGroup(all, "points", "c").size(), 1u);
  EXPECT_EQ(InGroup(all, "points", "cf").size(), 1u);
  // The ring is around the outlier's own symbol.
  const Element outlier = InGroup(all, "points", "f")[0];
  EXPECT_EQ(rings[0].Attr("cx"), outlier.Attr("cx"));
  EXPECT_EQ(rings[0].Attr("cy"), outlier.Attr("cy"));
  for (const char* cls : {"p", "c", "o", "f", "h", "v"})
    EXPECT_EQ(InGroup(all, "legend", cls).size(), 1u) << cls;
}

TEST(ResidualPlotGeometry, NorthIsUpEastIsRightAtOneScale) {
  const double n0 = 3400000, e0 = 38450000;
  const std::vector<PlotPoint> points = {{n0, e0, 0.02, 0, -0.01, false, false, ""},
                                         {n0 + 40000, e0, 0, 0.02, 0.02, false, false, ""},
                                         {n0, e0 + 90000, 0, 0, 0, false, false, ""}};
  const std::vector<Element> all = Elements(Plot(FrameOf(points), points));
  const auto symbols = InGroup(all, "points", "p");
  ASSERT_EQ(symbols.size(), 3u);
  const auto cx = [&](int i) { return Number(symbols[i], "cx"); };
  const auto cy = [&](int i) { return Number(symbols[i], "cy"); };
  EXPECT_NEAR(cx(1), cx(0), kPx);
  EXPECT_LT(cy(1), cy(0) - 100);
  EXPECT_NEAR(cy(2), cy(0), kPx);
  EXPECT_GT(cx(2), cx(0) + 100);
  // The same pixels per metre on both axes, within what 0.1 px rounding allows.
  EXPECT_NEAR((cy(0) - cy(1)) / 40000, (cx(2) - cx(0)) / 90000, 2 * kPx / 40000);

  // First point's residual north (arrow up), second's east (arrow right); the first point's bar
  // goes down (negative), the second's up.
  const auto arrows = InGroup(all, "points", "h");
  const auto bars = InGroup(all, "points", "v");
  ASSERT_EQ(arrows.size(), 2u);
  ASSERT_EQ(bars.size(), 2u);
  const auto a0 = PathNumbers(arrows[0].Attr("d")), a1 = PathNumbers(arrows[1].Attr("d"));
  EXPECT_NEAR(a0[2], 0, kPx);
  EXPECT_LT(a0[3], -10);
  EXPECT_GT(a1[2], 10);
  EXPECT_NEAR(a1[3], 0, kPx);
  EXPECT_GT(PathNumbers(bars[0].Attr("d"))[2], 5);
  EXPECT_LT(PathNumbers(bars[1].Attr("d"))[2], -5);
}

struct Scales {
  double span;      // metres, east and north
  double residual;  // largest residual, metres
};

class ResidualPlotScaleBars : public ::testing::TestWithParam<Scales> {};

// Each bar's label is a round length and the bar is that long at the scale the points are drawn
// at, measured from two points and from one arrow.
TEST_P(ResidualPlotScaleBars, AreRoundAndTrue) {
  const auto [span, residual] = GetParam();
  const std::vector<PlotPoint> points = {
      {3400000, 500000, residual, 0, 0, false, false, ""},
      {3400000 + span, 500000 + span, 0, residual / 2, residual / 3, false, false, ""}};
  const std::vector<Element> all = Elements(Plot(FrameOf(points), points));
  ExpectFiniteGeometry(all);
  const auto symbols = InGroup(all, "points", "p");
  ASSERT_EQ(symbols.size(), 2u);
  const double map_scale = (Number(symbols[1], "cx") - Number(symbols[0], "cx")) / span;
  const double map_bar = BarPx(all, "map-scale");
  EXPECT_NEAR(map_bar, LabelMetres(ById(all, "map-scale-label")->text) * map_scale, kPx);
  // The largest 1-2-5 length that fits 150 px is at least 60 px long.
  EXPECT_GT(map_bar, 59.9);
  EXPECT_LE(map_bar, 150.0);

  const auto arrows = InGroup(all, "points", "h");
  ASSERT_EQ(arrows.size(), 2u);
  const double residual_scale = -PathNumbers(arrows[0].Attr("d"))[3] / residual;
  const double residual_bar = BarPx(all, "residual-scale");
  const double claimed = LabelMetres(ById(all, "residual-scale-label")->text);
  EXPECT_NEAR(residual_bar, claimed * residual_scale, kPx + 0.05 * residual_bar / 50);
  EXPECT_GT(residual_bar, 29.9);
  EXPECT_LE(residual_bar, 75.0);
}

INSTANTIATE_TEST_SUITE_P(NetworksAndResiduals, ResidualPlotScaleBars,
                         ::testing::Values(Scales{3, 0.0003}, Scales{850, 0.004},
                                           Scales{12000, 0.027}, Scales{140000, 0.09},
                                           Scales{800000, 1.7}),
                         [](const ::testing::TestParamInfo<Scales>& param) {
                           return "Span" + std::to_string(std::lround(param.param.span)) + "m";
                         });

struct Degenerate {
  const char* what;
  PlotFrame frame;
  std::vector<PlotPoint> points;
};

// One point, points on a line either way, zero residuals, and frames that are empty, inverted or
// not finite at all: every coordinate stays finite, the document renders, the bars stay round.
TEST(ResidualPlotGeometry, DegenerateFramesGiveFiniteCoordinates) {
  const PlotPoint one{3400000, 38450000, 0, 0, 0, false, false, "A"};
  const std::vector<PlotPoint> north_line = {{3400000, 500000, 0.01, 0, 0, false, false, ""},
                                             {3450000, 500000, 0, 0.01, 0, false, false, ""}};
  const std::vector<PlotPoint> east_line = {{3400000, 500000, 0.01, 0, 0, false, false, ""},
                                            {3400000, 560000, 0, 0.01, 0, false, false, ""}};
  PlotFrame nan_frame{NAN, NAN, NAN, NAN, NAN, NAN, "nan frame", 1};
  PlotFrame inf_frame{-INFINITY, INFINITY, -1e308, 1e308, INFINITY, 1e300, "inf frame", 1};
  PlotFrame inverted{10, -10, 5, -5, -1, -1, "inverted", 1};
  PlotFrame tiny{0, 1e-300, 0, 1e-300, 1e-300, 0, "tiny", 1};
  const std::vector<Degenerate> cases = {
      {"one point", FrameOf({one}), {one}},
      {"on a north line", FrameOf(north_line), north_line},
      {"on an east line", FrameOf(east_line), east_line},
      {"no residuals", FrameOf(std::vector<PlotPoint>(3, one)), std::vector<PlotPoint>(3, one)},
      {"no points", FrameOf({}), {}},
      {"NaN frame", nan_frame, {one, {NAN, 1, NAN, 0, INFINITY, true, true, "x"}}},
      {"infinite frame", inf_frame, {one, {1e308, -1e308, 1e300, -1e300, 1, false, false, ""}}},
      {"inverted frame", inverted, {one}},
      {"tiny frame", tiny, {{0, 1e-300, 1e-300, 0, 0, false, false, ""}}},
  };
  for (const Degenerate& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string doc = Plot(c.frame, c.points);
    const std::vector<Element> all = Elements(doc);
    ExpectFiniteGeometry(all);
    LabelMetres(ById(all, "map-scale-label")->text);
    LabelMetres(ById(all, "residual-scale-label")->text);
    if (HaveRenderer()) {
      EXPECT_EQ(Render(doc, "degenerate").status, 0);
    }
  }
  // A lone point sits in the middle of the map panel.
  const auto symbols = InGroup(Elements(Plot(FrameOf({one}), {one})), "points", "p");
  ASSERT_EQ(symbols.size(), 1u);
  EXPECT_NEAR(Number(symbols[0], "cx"), (90 + 760) / 2.0, kPx);
}

TEST(ResidualPlotLabels, AreOmittedBeyondTheLimitAndThePictureSaysSo) {
  for (const std::size_t n : {ResidualPlot::kMaxLabels, ResidualPlot::kMaxLabels + 1}) {
    SCOPED_TRACE(n);
    std::vector<PlotPoint> points;
    for (std::size_t i = 0; i < n; ++i)
      points.push_back({1000.0 * static_cast<double>(i % 20), 1000.0 * static_cast<double>(i / 20),
                        0.01, 0, 0, false, false, "P"});
    const std::string doc = Plot(FrameOf(points), points);
    const std::vector<Element> all = Elements(doc);
    const bool all_labelled = n <= ResidualPlot::kMaxLabels;
    EXPECT_EQ(InGroup(all, "points", "n").size(), all_labelled ? n : 0u);
    const std::string note = "labels omitted for " + std::to_string(n) + " points";
    EXPECT_EQ(doc.find(note) != std::string::npos, !all_labelled);
  }
}

// 20 000 points reach the file before Finish: the writer does not hold them back.
TEST(ResidualPlotStream, WritesPointsAsTheyCome) {
  constexpr int kPoints = 20000;
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  PlotFrame frame{0, 1e5, 0, 1e5, 0.05, 0.05, "many", kPoints};
  ResidualPlot plot(f, frame);
  for (int i = 0; i < kPoints; ++i)
    plot.Add({5.0 * i, 7.0 * (i % 14000), 0.01, 0.01, 0.01, false, false, "name"});
  // Each point is a symbol, an arrow and a bar: over 100 bytes.
  EXPECT_GT(std::ftell(f), 100L * kPoints);
  ASSERT_EQ(plot.Finish(), "");
  std::fclose(f);
}

TEST(ResidualPlotStream, AFailedWriteIsReportedByFinish) {
  std::FILE* f = std::fopen("/dev/full", "wb");
  if (f == nullptr)
    GTEST_SKIP() << "no /dev/full";
  ResidualPlot plot(f, PlotFrame{});
  plot.Add({0, 0, 0.01, 0, 0, false, false, "P"});
  EXPECT_EQ(plot.Finish(), std::strerror(ENOSPC));
  std::fclose(f);
}

}  // namespace
}  // namespace zerb::test
