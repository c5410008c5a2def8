// The residual limits' tally; see limit_tally.h.
#include "writers/limit_tally.h"

#include <cmath>

#include "text/translate.h"

namespace zerb {

bool LimitTally::Note(std::uint64_t line, std::string_view name, double horizontal,
                      double vertical) {
  ++points_;
  if (WithinLimits(limits_, horizontal, vertical)) {
    ++within_;
    return true;
  }
  const std::string where =
      name.empty() ? Fill(Tr("line {1}"), line) : Fill(Tr("line {1} ({2})"), line, name);
  // The residuals the point has, both when it has both.
  std::string residuals;
  if (!std::isnan(horizontal))
    residuals = Fill(Tr("horizontal {1} m"), Fixed(horizontal));
  if (!std::isnan(vertical)) {
    const std::string v = Fill(Tr("vertical {1} m"), Fixed(std::fabs(vertical)));
    residuals = residuals.empty() ? v : Fill(Tr("{1}, {2}"), residuals, v);
  }
  // TRANSLATORS: {1} is "line 5 (GP04)", {2} its residuals ("horizontal 0.0700 m, vertical
  // 0.0010 m").
  outside_.push_back(Fill(Tr("outside the limits: {1}: {2}"), where, residuals));
  return false;
}

std::string LimitTally::LimitsText() const {
  // TRANSLATORS: {1} is a length in metres.
  const std::string h = Fill(Tr("horizontal {1} m"), Fixed(limits_.horizontal));
  // TRANSLATORS: {1} is a length in metres.
  const std::string v = Fill(Tr("vertical {1} m"), Fixed(limits_.vertical));
  if (limits_.horizontal > 0 && limits_.vertical > 0)
    // TRANSLATORS: {1} is the horizontal limit, {2} the vertical one.
    return Fill(Tr("{1}, {2}"), h, v);
  return limits_.horizontal > 0 ? h : v;
}

std::string LimitTally::Verdict() const {
  // TRANSLATORS: {1} lists the limits, {2} the number of points within, {3} all points held
  // against them ("6 points").
  return Fill(Tr("residual limits: {1}: {2} of {3} within"), LimitsText(),
              static_cast<std::uint64_t>(within_),
              Counted(static_cast<std::uint64_t>(points_), "{1} point", "{1} points"));
}

void LimitTally::WriteText(Output& out) const {
  if (!limits_.any())
    return;
  out << Verdict() << '\n';
  for (const std::string& line : outside_)
    out << "  " << line << '\n';
}

}  // namespace zerb
