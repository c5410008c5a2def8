// Mean, residuals, RMS and the leave-one-out residual test; see statistics.h.
#include "cli/statistics.h"

#include <algorithm>
#include <cmath>

namespace zerb {
namespace {

double Norm2(const Vec3& v) {
  return v.x * v.x + v.y * v.y + v.z * v.z;
}

Vec3 MeanOf(const std::vector<Vec3>& shifts, const std::vector<char>* used) {
  Vec3 sum;
  std::size_t n = 0;
  for (std::size_t i = 0; i < shifts.size(); ++i) {
    if (used && !(*used)[i])
      continue;
    sum.x += shifts[i].x;
    sum.y += shifts[i].y;
    sum.z += shifts[i].z;
    ++n;
  }
  return {sum.x / n, sum.y / n, sum.z / n};
}

void Test(const std::vector<Vec3>& shifts, const ResidualRule& rule, Summary* s) {
  const std::size_t n = shifts.size();
  const bool automatic = rule.max_residual <= 0;
  if (n < (automatic ? 4u : 2u))
    return;
  s->tested = true;

  Vec3 sum;
  double squares = 0;
  for (const Vec3& d : shifts) {
    const Vec3 e{d.x - s->mean_all.x, d.y - s->mean_all.y, d.z - s->mean_all.z};
    sum.x += e.x;
    sum.y += e.y;
    sum.z += e.z;
    squares += Norm2(e);
  }
  const double others = static_cast<double>(n - 1);
  for (std::size_t i = 0; i < n; ++i) {
    const Vec3 e{shifts[i].x - s->mean_all.x, shifts[i].y - s->mean_all.y,
                 shifts[i].z - s->mean_all.z};
    const Vec3 mean_others{(sum.x - e.x) / others, (sum.y - e.y) / others, (sum.z - e.z) / others};
    const double distance =
        std::sqrt(Norm2({e.x - mean_others.x, e.y - mean_others.y, e.z - mean_others.z}));
    double limit = rule.max_residual;
    if (automatic) {
      const double spread = std::max(0.0, squares - Norm2(e) - others * Norm2(mean_others));
      limit = std::max(kRmsFactor * std::sqrt(spread / others), kAutomaticFloor);
    }
    if (distance > limit)
      s->flags.push_back({i, distance, limit});
  }
}

}  // namespace

Summary Summarize(const std::vector<Vec3>& shifts, const ResidualRule& rule) {
  Summary s;
  s.count_all = shifts.size();
  s.used.assign(shifts.size(), 1);
  if (shifts.empty())
    return s;
  s.mean_all = MeanOf(shifts, nullptr);
  Test(shifts, rule, &s);
  s.all_flagged = !s.flags.empty() && s.flags.size() == shifts.size();
  if (!rule.keep_all && !s.all_flagged) {
    for (const Flag& f : s.flags)
      s.used[f.index] = 0;
  }
  s.count_used = static_cast<std::size_t>(std::count(s.used.begin(), s.used.end(), 1));
  s.mean = s.count_used == s.count_all ? s.mean_all : MeanOf(shifts, &s.used);

  Vec3 sq;
  for (std::size_t i = 0; i < shifts.size(); ++i) {
    if (!s.used[i])
      continue;
    const Vec3 v = Residual(shifts[i], s);
    sq.x += v.x * v.x;
    sq.y += v.y * v.y;
    sq.z += v.z * v.z;
  }
  const double n = static_cast<double>(s.count_used);
  s.rms_axis = {std::sqrt(sq.x / n), std::sqrt(sq.y / n), std::sqrt(sq.z / n)};
  s.rms = std::sqrt((sq.x + sq.y + sq.z) / n);
  return s;
}

}  // namespace zerb
