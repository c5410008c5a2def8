// What the user waits for at 10 000 common points: opening a table (reading, pairing, the fit,
// the text report and the residual picture the window shows) and a refit after the user changes
// one point's use or the model. Goals: opening within 1 s, a refit within 100 ms. All of it is
// made off the window's thread; the window itself adds a model reset and a repaint of the rows
// in view, which do not grow with the number of points.
//
// The points are made once by PROJ: random WGS-84 positions, carried to a Krassovsky
// Gauss-Krueger grid (zone 39, L0 117) by a fixed translation, written as one table.
// ZERB_FIT_POINTS changes their number.
#include <benchmark/benchmark.h>
#include <proj.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "fit/session.h"
#include "writers/format.h"

namespace {

std::size_t PointCount() {
  const char* n = std::getenv("ZERB_FIT_POINTS");
  return n != nullptr && std::atol(n) > 0 ? static_cast<std::size_t>(std::atol(n)) : 10000;
}

// Degrees to degrees, minutes and seconds as a surveyor's table holds them.
std::string Dms(double degrees) {
  const int d = static_cast<int>(degrees);
  const double minutes = (degrees - d) * 60;
  const int m = static_cast<int>(minutes);
  char text[40];
  std::snprintf(text, sizeof text, "%d:%02d:%08.5f", d, m, (minutes - m) * 60);
  return text;
}

// The points over a span of degrees of longitude and latitude about 117 E, 35 N.
std::string MakeTable(const std::string& file, double span) {
  PJ_CONTEXT* c = proj_context_create();
  PJ* to_grid = proj_create(c,
                            "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                            "+step +proj=cart +ellps=WGS84 +step +proj=helmert +x=-15.8 "
                            "+y=130.4 +z=84.9 +step +inv +proj=cart +ellps=krass +step "
                            "+proj=tmerc +ellps=krass +lon_0=117 +x_0=500000 +k=1");
  std::FILE* out = std::fopen(file.c_str(), "w");
  std::fputs("name,x,y,h,B,L,H\n", out);
  std::mt19937_64 random(20261209);
  std::uniform_real_distribution<double> unit(0, 1);
  for (std::size_t i = 0; i < PointCount(); ++i) {
    const double lon = 117 + span * (unit(random) - 0.5), lat = 35 + span * (unit(random) - 0.5);
    const double h = 2000 * unit(random);
    const PJ_COORD grid = proj_trans(to_grid, PJ_FWD, proj_coord(lon, lat, h, 0));
    std::fprintf(out, "P%zu,%.4f,39%011.4f,%.4f,%s,%s,%.4f\n", i, grid.enu.n, grid.enu.e,
                 grid.enu.u, Dms(lat).c_str(), Dms(lon).c_str(), h);
  }
  std::fclose(out);
  proj_destroy(to_grid);
  proj_context_destroy(c);
  return file;
}

// A province's points for the geocentric models (2.8 degrees), a site's for the plane model
// (0.1 degree, about 10 km), each model on the area it is fitted over.
const std::string& Table(zerb::fit::FitModel model) {
  static const std::string province = MakeTable("/tmp/zerb-fit-bench-province.csv", 2.8);
  static const std::string site = MakeTable("/tmp/zerb-fit-bench-site.csv", 0.1);
  return model == zerb::fit::FitModel::kPlane ? site : province;
}

// Opening: the window reads the file, fits and shows the report.
void BM_Open(benchmark::State& state) {
  const auto model = static_cast<zerb::fit::FitModel>(state.range(0));
  const std::string& table = Table(model);
  for (auto _ : state) {
    zerb::fit::Session session;
    session.SetModel(model);
    session.OpenTable(table);
    if (!session.Refit())
      state.SkipWithError("no fit");
    std::string report;
    session.Render(zerb::Format::kText, &report);
    benchmark::DoNotOptimize(report);
  }
}

// One point made a check point and back, in turns: the refit and the report after each.
void BM_Refit(benchmark::State& state) {
  const auto model = static_cast<zerb::fit::FitModel>(state.range(0));
  zerb::fit::Session session;
  session.SetModel(model);
  session.OpenTable(Table(model));
  session.Refit();
  bool check = false;
  for (auto _ : state) {
    check = !check;
    session.SetUse("P17", check ? zerb::fit::PointUse::kCheck : zerb::fit::PointUse::kControl);
    if (!session.Refit())
      state.SkipWithError("no fit");
    std::string report;
    session.Render(zerb::Format::kText, &report);
    benchmark::DoNotOptimize(report);
  }
}

// 0: three parameters, 1: seven, 2: the plane model.
BENCHMARK(BM_Open)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Refit)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
