// ComputeShift per point against the same work done with PROJ and with GeographicLib: WGS-84
// B, L, H to geocentric on WGS-84; grid x, y, h through the inverse transverse Mercator
// projection to geocentric on Krassovsky; the difference of the two. All three run in one
// process over the same 1024 points, cycled so that no result can be folded or hoisted, and the
// ratios of the per-point times are printed at the end.
#include <benchmark/benchmark.h>
#include <proj.h>
#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/TransverseMercator.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "geodesy/geodesy.h"

namespace {

using zerb::geodesy::ComputeShift;
using zerb::geodesy::DmsToRadians;
using zerb::geodesy::kKrassovsky;
using zerb::geodesy::kWgs84;
using zerb::geodesy::ShiftForm;

constexpr std::size_t kPointCount = 1024;        // a power of two: the index wraps with a mask
constexpr int kFirstZone = 75, kZoneCount = 11;  // six-degree zones 75 to 135 degrees east

struct Shift {
  double dx, dy, dz;
};

// Points spread over China's latitudes and six-degree zones, up to 3 degrees from the central
// meridian, at heights from the coast to the plateau. The grid side is the same place moved by a
// datum-sized offset and projected with GeographicLib; only realism matters here, not accuracy.
std::vector<ShiftForm> MakePoints() {
  std::mt19937 random(20240611);
  std::uniform_real_distribution<double> lat(18, 54), offset(-3, 3), height(-50, 5000);
  const GeographicLib::TransverseMercator grid(kKrassovsky.a, 1 - std::sqrt(1 - kKrassovsky.e2), 1);
  std::vector<ShiftForm> points(kPointCount);
  for (std::size_t i = 0; i < kPointCount; ++i) {
    ShiftForm& form = points[i];
    form.m_centralMeridian = kFirstZone + 6 * static_cast<int>(i % kZoneCount);
    const double B = lat(random), L = form.m_centralMeridian + offset(random);
    form.m_geoH = height(random);
    form.m_latDeg = static_cast<int>(B);
    form.m_latMin = static_cast<int>((B - form.m_latDeg) * 60);
    form.m_latSec = (B - form.m_latDeg - form.m_latMin / 60.0) * 3600;
    form.m_lonDeg = static_cast<int>(L);
    form.m_lonMin = static_cast<int>((L - form.m_lonDeg) * 60);
    form.m_lonSec = (L - form.m_lonDeg - form.m_lonMin / 60.0) * 3600;
    double easting, northing;
    grid.Forward(form.m_centralMeridian, B + 1e-4, L - 1e-3, easting, northing);
    form.m_gridX = northing;
    form.m_gridY = easting + 500000;
    form.m_gridH = form.m_geoH - 35;
  }
  return points;
}

const std::vector<ShiftForm>& Points() {
  static const std::vector<ShiftForm> points = MakePoints();
  return points;
}

// The references get their angles from the same degree-minute-second sum as ComputeShift, so
// that only the geodesy differs between the three.
double DmsDegrees(int deg, int min, double sec) {
  return min * (1.0 / 60) + sec * (1.0 / 3600) + deg;
}

Shift Zerb(ShiftForm& form) {
  ComputeShift(form);
  return {form.m_dx, form.m_dy, form.m_dz};
}

// One geocentric conversion on WGS-84, and per zone one pipeline from the grid to geocentric on
// Krassovsky, all created before any timing.
class ProjShift {
 public:
  ProjShift() : wgs84_(proj_create(PJ_DEFAULT_CTX, "+proj=cart +ellps=WGS84")) {
    for (int k = 0; k < kZoneCount; ++k) {
      const std::string grid =
          "+proj=pipeline +step +inv +proj=tmerc +ellps=krass +lat_0=0 +lon_0=" +
          std::to_string(kFirstZone + 6 * k) +
          " +k=1 +x_0=500000 +y_0=0 +step +proj=cart +ellps=krass";
      zones_.push_back(proj_create(PJ_DEFAULT_CTX, grid.c_str()));
    }
  }
  ~ProjShift() {
    for (PJ* zone : zones_) {
      proj_destroy(zone);
    }
    proj_destroy(wgs84_);
  }
  ProjShift(const ProjShift&) = delete;
  ProjShift& operator=(const ProjShift&) = delete;

  bool Valid() const {
    return wgs84_ != nullptr && std::find(zones_.begin(), zones_.end(), nullptr) == zones_.end();
  }

  Shift operator()(const ShiftForm& f) const {
    const PJ_COORD w =
        proj_trans(wgs84_, PJ_FWD,
                   proj_coord(DmsToRadians(f.m_lonDeg, f.m_lonMin, f.m_lonSec),
                              DmsToRadians(f.m_latDeg, f.m_latMin, f.m_latSec), f.m_geoH, 0));
    PJ* zone = zones_[(f.m_centralMeridian - kFirstZone) / 6];
    const PJ_COORD k = proj_trans(zone, PJ_FWD, proj_coord(f.m_gridY, f.m_gridX, f.m_gridH, 0));
    return {w.xyz.x - k.xyz.x, w.xyz.y - k.xyz.y, w.xyz.z - k.xyz.z};
  }

 private:
  PJ* wgs84_;
  std::vector<PJ*> zones_;
};

class GeographicLibShift {
 public:
  Shift operator()(const ShiftForm& f) const {
    double Xw, Yw, Zw, B, L, Xk, Yk, Zk;
    wgs84_.Forward(DmsDegrees(f.m_latDeg, f.m_latMin, f.m_latSec),
                   DmsDegrees(f.m_lonDeg, f.m_lonMin, f.m_lonSec), f.m_geoH, Xw, Yw, Zw);
    grid_.Reverse(f.m_centralMeridian, f.m_gridY - 500000, f.m_gridX, B, L);
    krassovsky_.Forward(B, L, f.m_gridH, Xk, Yk, Zk);
    return {Xw - Xk, Yw - Yk, Zw - Zk};
  }

 private:
  // Flattenings that belong to the stored e^2, so all three compute on the same ellipsoids.
  const double fW_ = 1 - std::sqrt(1 - kWgs84.e2), fK_ = 1 - std::sqrt(1 - kKrassovsky.e2);
  GeographicLib::Geocentric wgs84_{kWgs84.a, fW_};
  GeographicLib::Geocentric krassovsky_{kKrassovsky.a, fK_};
  GeographicLib::TransverseMercator grid_{kKrassovsky.a, fK_, 1};
};

template <typename Compute>
void PerPoint(benchmark::State& state, const Compute& compute) {
  std::vector<ShiftForm> points = Points();
  std::size_t i = 0;
  for (auto _ : state) {
    Shift shift = compute(points[i]);
    benchmark::DoNotOptimize(shift);
    i = (i + 1) & (kPointCount - 1);
  }
}

// The largest difference of any shift component between two implementations over all points,
// to show that they do the same work.
template <typename A, typename B>
double MaxDifference(const A& a, const B& b) {
  std::vector<ShiftForm> points = Points();
  double largest = 0;
  for (ShiftForm& form : points) {
    const Shift p = a(form), q = b(form);
    largest =
        std::max({largest, std::abs(p.dx - q.dx), std::abs(p.dy - q.dy), std::abs(p.dz - q.dz)});
  }
  return largest;
}

// The console output as usual, and each benchmark's per-point CPU time kept for the ratios. With
// repetitions the median and the fastest repetition are kept: on a shared machine the median
// shows the usual cost and the fastest the cost without interference.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal: the table is also read from logs.
  RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (!run.error_occurred) {
        const bool aggregate = run.run_type == Run::RT_Aggregate;
        ns_[run.run_name.function_name][aggregate ? run.aggregate_name : "single run"] =
            run.GetAdjustedCPUTime();
      }
    }
  }

  // A table of the per-point times and one of the ratios to ComputeShift, for the benchmarks that
  // ran (a --benchmark_filter may leave some out).
  void PrintRatios() const {
    const auto zerb = ns_.find("ComputeShift");
    if (zerb == ns_.end()) {
      return;
    }
    std::vector<std::string> statistics;
    for (const char* statistic : {"median", "min"}) {
      if (zerb->second.contains(statistic)) {
        statistics.emplace_back(statistic);
      }
    }
    if (statistics.empty()) {
      statistics.emplace_back("single run");
    }
    const auto header = [&](const char* title) {
      std::printf("\n%-28s", title);
      for (const std::string& statistic : statistics) {
        std::printf("%12s", statistic.c_str());
      }
    };

    header("Per point, CPU time ns");
    for (const char* name : {"ComputeShift", "PROJ", "GeographicLib"}) {
      if (ns_.contains(name)) {
        std::printf("\n  %-26s", name);
        for (const std::string& statistic : statistics) {
          std::printf("%12.1f", Ns(name, statistic));
        }
      }
    }
    header("Ratio");
    std::printf("%12s", "goal");
    for (const auto& [name, goal] : {std::pair{"PROJ", 1.4}, std::pair{"GeographicLib", 2.3}}) {
      if (ns_.contains(name)) {
        std::printf("\n  %-26s", (std::string(name) + "/ComputeShift").c_str());
        for (const std::string& statistic : statistics) {
          std::printf("%12.2f", Ns(name, statistic) / Ns("ComputeShift", statistic));
        }
        std::printf("%12.1f", goal);
      }
    }
    std::printf("\n");
  }

 private:
  double Ns(const std::string& name, const std::string& statistic) const {
    const auto times = ns_.find(name);
    if (times == ns_.end() || !times->second.contains(statistic)) {
      return NAN;
    }
    return times->second.at(statistic);
  }

  std::map<std::string, std::map<std::string, double>> ns_;
};

double Fastest(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;

  const ProjShift proj;
  if (!proj.Valid()) {
    std::fprintf(stderr, "PROJ could not create its pipelines\n");
    return 1;
  }
  const GeographicLibShift geographicLib;
  std::printf("Largest shift difference over %zu points: PROJ %.1e m, GeographicLib %.1e m\n",
              kPointCount, MaxDifference(Zerb, proj), MaxDifference(Zerb, geographicLib));
  std::fflush(stdout);  // before the benchmark library writes its own lines

  benchmark::RegisterBenchmark("ComputeShift", [](benchmark::State& s) {
    PerPoint(s, Zerb);
  })->ComputeStatistics("min", Fastest);
  benchmark::RegisterBenchmark("PROJ", [&proj](benchmark::State& s) {
    PerPoint(s, proj);
  })->ComputeStatistics("min", Fastest);
  benchmark::RegisterBenchmark("GeographicLib", [&geographicLib](benchmark::State& s) {
    PerPoint(s, geographicLib);
  })->ComputeStatistics("min", Fastest);

  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
