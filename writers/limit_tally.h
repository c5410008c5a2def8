// The points held against the residual limits, as the reports tell them: how many are within,
// and each point outside with its residuals.
#ifndef ZERB_WRITERS_LIMIT_TALLY_H
#define ZERB_WRITERS_LIMIT_TALLY_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "adjust/adjust.h"
#include "models/residual_limits.h"
#include "writers/output.h"

namespace zerb {

// The residual of a three- or seven-parameter fit's point held against the horizontal limit:
// the length of its north and east residuals, metres.
inline double HorizontalResidual(const adjust::PointResult& r) {
  return std::hypot(r.residual_neu.x, r.residual_neu.y);
}

class LimitTally {
 public:
  explicit LimitTally(const ResidualLimits& limits) : limits_(limits) {}

  // Holds one point against the limits (residuals in metres, NaN where it has none) and returns
  // whether it is within.
  bool Note(std::uint64_t line, std::string_view name, double horizontal, double vertical);

  // The limits set, as "horizontal 0.0300 m, vertical 0.0500 m" in the user's language.
  std::string LimitsText() const;
  // "residual limits: horizontal 0.0300 m, vertical 0.0500 m: 5 of 6 points within", then a line
  // for each point outside; nothing when no limit is set.
  void WriteText(Output& out) const;
  // The one-line verdict of the summary's first line.
  std::string Verdict() const;
  // The lines of the points outside, as WriteText writes them.
  const std::vector<std::string>& outside() const { return outside_; }

 private:
  ResidualLimits limits_;
  std::size_t points_ = 0;
  std::size_t within_ = 0;
  std::vector<std::string> outside_;
};

}  // namespace zerb

#endif  // ZERB_WRITERS_LIMIT_TALLY_H
