// Mean, residuals, RMS and the leave-one-out residual test, worst point first; see statistics.h.
#include "cli/models/statistics.h"

#include <algorithm>
#include <cmath>

namespace zerb {
namespace {

double Norm2(const Vec3& v) {
  return v.x * v.x + v.y * v.y + v.z * v.z;
}

Vec3 MeanOf(const std::vector<Vec3>& shifts, const std::vector<char>& in) {
  Vec3 sum;
  std::size_t n = 0;
  for (std::size_t i = 0; i < shifts.size(); ++i) {
    if (!in[i])
      continue;
    sum.x += shifts[i].x;
    sum.y += shifts[i].y;
    sum.z += shifts[i].z;
    ++n;
  }
  return {sum.x / n, sum.y / n, sum.z / n};
}

// One round of the test on the n points still in, whose mean is mean: the point with the largest
// ratio of distance to limit (the first in input order on a tie), with its distance and limit.
Flag Worst(const std::vector<Vec3>& shifts, const std::vector<char>& in, std::size_t n,
           const Vec3& mean, const ResidualRule& rule) {
  const bool automatic = rule.max_residual <= 0;
  Vec3 sum;
  double squares = 0;
  for (std::size_t i = 0; i < shifts.size(); ++i) {
    if (!in[i])
      continue;
    const Vec3 e{shifts[i].x - mean.x, shifts[i].y - mean.y, shifts[i].z - mean.z};
    sum.x += e.x;
    sum.y += e.y;
    sum.z += e.z;
    squares += Norm2(e);
  }
  const double others = static_cast<double>(n - 1);
  Flag worst{0, 0, 1};
  for (std::size_t i = 0; i < shifts.size(); ++i) {
    if (!in[i])
      continue;
    const Vec3 e{shifts[i].x - mean.x, shifts[i].y - mean.y, shifts[i].z - mean.z};
    const Vec3 mean_others{(sum.x - e.x) / others, (sum.y - e.y) / others, (sum.z - e.z) / others};
    const double distance =
        std::sqrt(Norm2({e.x - mean_others.x, e.y - mean_others.y, e.z - mean_others.z}));
    double limit = rule.max_residual;
    if (automatic) {
      const double spread = std::max(0.0, squares - Norm2(e) - others * Norm2(mean_others));
      limit = std::max(kRmsFactor * std::sqrt(spread / others), kAutomaticFloor);
    }
    // distance / limit > worst.distance / worst.limit, both limits positive.
    if (distance * worst.limit > worst.distance * limit)
      worst = {i, distance, limit};
  }
  return worst;
}

void Test(const std::vector<Vec3>& shifts, const ResidualRule& rule, Summary* s) {
  const std::size_t minimum = rule.max_residual > 0 ? 2 : 4;
  std::size_t n = shifts.size();
  s->tested = n >= minimum;
  for (; n >= minimum; --n) {
    const Vec3 mean = n == shifts.size() ? s->mean_all : MeanOf(shifts, s->used);
    const Flag worst = Worst(shifts, s->used, n, mean, rule);
    if (!(worst.distance > worst.limit))
      break;
    if (n == 2) {
      // Each is the other's only other point: the same distance, and no telling which is off.
      for (std::size_t i = 0; i < shifts.size(); ++i) {
        if (s->used[i])
          s->flags.push_back({i, worst.distance, worst.limit});
      }
      s->undecided = true;
      break;
    }
    s->flags.push_back(worst);
    s->used[worst.index] = 0;
  }
  std::sort(s->flags.begin(), s->flags.end(),
            [](const Flag& a, const Flag& b) { return a.index < b.index; });
}

}  // namespace

Summary Summarize(const std::vector<Vec3>& shifts, const ResidualRule& rule) {
  Summary s;
  s.count_all = shifts.size();
  s.used.assign(shifts.size(), 1);
  if (shifts.empty())
    return s;
  s.mean_all = MeanOf(shifts, s.used);
  Test(shifts, rule, &s);
  if (rule.keep_all)
    s.used.assign(shifts.size(), 1);
  s.count_used = static_cast<std::size_t>(std::count(s.used.begin(), s.used.end(), 1));
  s.mean = s.count_used == s.count_all ? s.mean_all : MeanOf(shifts, s.used);

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
