// The mean shift of several common points, each point's residual against it, the RMS, and the
// test that finds bad points.
//
// Residual test: a point fails when its distance from the mean of the other points exceeds three
// times the RMS of those other points about their own mean (or a limit given in metres). Testing
// against the others keeps a bad point from hiding itself, but a blunder still pulls the others'
// mean towards it and inflates their RMS: with 20 points and a 5 m blunder every good point sits
// 0.26 m from the mean of its others, and two blunders raise each other's limit. So points are
// taken out one at a time: of the points still in, the one with the largest ratio of distance to
// limit is flagged and left out, and the test runs again on the rest, until none fails. Each flag
// keeps the distance and limit of the round that took it out. The automatic limit is never below
// 1 mm, well within the computation's own accuracy, so points that agree to rounding do not flag
// each other; it needs at least four points in (three others to form an RMS), a limit in metres
// at least two. Two points that fail a limit in metres are each other's only other point, so
// neither can be singled out: both are flagged and both stay in the mean. Flagged points are
// left out of the final mean unless they are to be kept.
//
// Each round's leave-one-out means and sums of squares come from running sums of the deviations
// from the mean of the points still in, so a round is linear in the number of points; working on
// deviations (millimetres to metres) instead of the shifts (around 100 m) keeps the subtraction
// of the point's own square from cancelling digits that matter.
#ifndef ZERB_CLI_MODELS_STATISTICS_H
#define ZERB_CLI_MODELS_STATISTICS_H

#include <cstddef>
#include <vector>

#include "cli/points/point_set.h"

namespace zerb {

inline constexpr double kAutomaticFloor = 0.001;  // metres
inline constexpr double kRmsFactor = 3.0;

struct ResidualRule {
  double max_residual = 0;  // metres; 0 selects three times the RMS of the others
  bool keep_all = false;
};

struct Flag {
  std::size_t index;  // into the points
  double distance;    // metres from the mean of the other points still in when it failed
  double limit;       // metres, in that round
};

struct Summary {
  std::size_t count_all = 0;
  Vec3 mean_all;
  bool tested = false;      // whether there were enough points for the test
  std::vector<Flag> flags;  // in input order
  bool undecided = false;   // the last two points in failed, and both were kept
  std::vector<char> used;   // per point: 1 when in the final mean
  std::size_t count_used = 0;
  Vec3 mean;       // final mean
  Vec3 rms_axis;   // RMS of the residuals of the points used, per axis
  double rms = 0;  // and in 3D
};

Summary Summarize(const std::vector<Vec3>& shifts, const ResidualRule& rule);

// The residual of a shift against the final mean.
inline Vec3 Residual(const Vec3& shift, const Summary& s) {
  return {shift.x - s.mean.x, shift.y - s.mean.y, shift.z - s.mean.z};
}

}  // namespace zerb

#endif  // ZERB_CLI_MODELS_STATISTICS_H
