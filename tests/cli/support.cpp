#include "tests/cli/support.h"

#include <proj.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "cli/run.h"

namespace zerb::test {

RunResult RunZerbShift(const std::vector<std::string_view>& args, const std::string& input) {
  // fmemopen may refuse a zero size: an empty input is one byte already read.
  std::string data = input.empty() ? std::string(1, '\0') : input;
  std::FILE* in = fmemopen(data.data(), data.size(), "r");
  if (input.empty())
    std::fgetc(in);
  char* out_data = nullptr;
  char* err_data = nullptr;
  std::size_t out_size = 0;
  std::size_t err_size = 0;
  std::FILE* out = open_memstream(&out_data, &out_size);
  std::FILE* err = open_memstream(&err_data, &err_size);
  RunResult r;
  r.status = RunShift(args, in, out, err);
  std::fclose(in);
  std::fclose(out);
  std::fclose(err);
  r.out.assign(out_data, out_size);
  r.err.assign(err_data, err_size);
  std::free(out_data);
  std::free(err_data);
  return r;
}

std::vector<std::vector<std::string>> Rows(const std::string& csv) {
  std::vector<std::vector<std::string>> rows;
  for (std::size_t start = 0; start < csv.size();) {
    const std::size_t end = std::min(csv.find('\n', start), csv.size());
    rows.emplace_back();
    for (std::size_t f = start; f <= end;) {
      const std::size_t comma = std::min(csv.find(',', f), end);
      rows.back().push_back(csv.substr(f, comma - f));
      f = comma + 1;
    }
    start = end + 1;
  }
  return rows;
}

double Number(const std::string& text) {
  double v = NAN;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

std::vector<KnownPoint> MakeKnownSet(int count, int L0) {
  char definition[512];
  std::snprintf(definition, sizeof definition,
                "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                "+step +proj=cart +ellps=WGS84 +step +proj=helmert +x=%.17g +y=%.17g +z=%.17g "
                "+step +inv +proj=cart +ellps=krass "
                "+step +proj=tmerc +ellps=krass +lon_0=%d +x_0=500000 +k=1",
                -kTrueDx, -kTrueDy, -kTrueDz, L0);
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> lat(25.0, 45.0), lon(-2.0, 2.0), height(0.0, 3000.0);
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* pipeline = proj_create(ctx, definition);
  std::vector<KnownPoint> points;
  for (int i = 0; i < count && pipeline != nullptr; ++i) {
    KnownPoint p;
    p.B = lat(random);
    p.L = L0 + lon(random);
    p.H = height(random);
    const PJ_COORD c = proj_trans(pipeline, PJ_FWD, proj_coord(p.L, p.B, p.H, 0));
    p.y = c.xyz.x;  // tmerc gives the easting first; the grid's x is the northing
    p.x = c.xyz.y;
    p.h = c.xyz.z;
    points.push_back(p);
  }
  proj_destroy(pipeline);
  proj_context_destroy(ctx);
  return points;
}

std::string ToCsv(const std::vector<KnownPoint>& points, int L0) {
  std::string csv = "name,x,y,h,L0,B,L,H\n";
  char line[256];
  for (std::size_t i = 0; i < points.size(); ++i) {
    const KnownPoint& p = points[i];
    std::snprintf(line, sizeof line, "P%02zu,%.4f,%.4f,%.4f,%d,%.10f,%.10f,%.4f\n", i + 1, p.x, p.y,
                  p.h, L0, p.B, p.L, p.H);
    csv += line;
  }
  return csv;
}

}  // namespace zerb::test
