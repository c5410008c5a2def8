#include "tests/cli/known_set.h"

#include <proj.h>

#include <cstdio>
#include <random>

namespace zerb::test {
namespace {

std::string GridPipeline(int L0) {
  char text[512];
  std::snprintf(text, sizeof text,
                "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                "+step +proj=cart +ellps=WGS84 +step +proj=helmert +x=%.17g +y=%.17g +z=%.17g "
                "+step +inv +proj=cart +ellps=krass "
                "+step +proj=tmerc +ellps=krass +lon_0=%d +x_0=500000 +k=1",
                -kTrueDx, -kTrueDy, -kTrueDz, L0);
  return text;
}

}  // namespace

std::vector<KnownPoint> MakeKnownSet(int count, int L0) {
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> lat(25.0, 45.0), lon(-2.0, 2.0), height(0.0, 3000.0);
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* pipeline = proj_create(ctx, GridPipeline(L0).c_str());
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

bool GridToWgs84(const std::string& pipeline, double y, double x, double h, double* B, double* L,
                 double* H) {
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* p = proj_create(ctx, pipeline.c_str());
  if (p != nullptr) {
    const PJ_COORD c = proj_trans(p, PJ_FWD, proj_coord(y, x, h, 0));
    *L = c.xyz.x;
    *B = c.xyz.y;
    *H = c.xyz.z;
    proj_destroy(p);
  }
  proj_context_destroy(ctx);
  return p != nullptr;
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
