// Solve over one million common points, three against seven parameters, unit weights and
// a-priori weights with a vertical three times worse. The points are made once (a 300 km area,
// 1 cm noise, a fixed seed); each iteration loads them and solves, as zerb-shift does.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "adjust/adjust.h"
#include "geodesy/geodesy.h"

namespace {

using zerb::geodesy::DEG_TO_RAD;
using zerb::geodesy::GeodeticToGeocentric;
using zerb::geodesy::kKrassovsky;

using zerb::adjust::Adjustment;
using zerb::adjust::Model;
using zerb::adjust::Settings;
using zerb::adjust::Vec3;

struct Data {
  std::vector<Vec3> local, shift;
};

const Data& Points() {
  static const Data data = [] {
    Data d;
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> ub(34.6, 37.4), ul(115.3, 118.7), uh(0, 500);
    std::normal_distribution<double> noise(0, 0.01);
    const zerb::adjust::BursaWolf p{-21.3, 118.7, 57.9, 0.35, -0.72, 1.05, 0.42};
    for (int i = 0; i < 1000000; ++i) {
      Vec3 k;
      GeodeticToGeocentric(kKrassovsky.a, kKrassovsky.e, ub(rng) * DEG_TO_RAD, ul(rng) * DEG_TO_RAD,
                           uh(rng), &k.x, &k.y, &k.z);
      const Vec3 w = zerb::adjust::ApplyBursaWolf(p, k);
      d.local.push_back(k);
      d.shift.push_back({w.x - k.x + noise(rng), w.y - k.y + noise(rng), w.z - k.z + noise(rng)});
    }
    return d;
  }();
  return data;
}

void Solve(benchmark::State& state, Model model, double sigma_v) {
  const Data& d = Points();
  Settings s;
  s.model = model;
  if (sigma_v > 0) {
    s.sigma_horizontal = 0.01;
    s.sigma_vertical = sigma_v;
  }
  for (auto _ : state) {
    Adjustment a;
    for (std::size_t i = 0; i < d.local.size(); ++i)
      a.Add(d.local[i], d.shift[i], i, false);
    zerb::adjust::FitResult fit;
    const std::string error = a.Solve(s, &fit);
    benchmark::DoNotOptimize(error);
    state.counters["rounds"] = static_cast<double>(fit.solution().rounds);
  }
}

BENCHMARK_CAPTURE(Solve, three_unit, Model::kThreeParameter, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Solve, seven_unit, Model::kSevenParameter, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Solve, three_weighted, Model::kThreeParameter, 0.03)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Solve, seven_weighted, Model::kSevenParameter, 0.03)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
