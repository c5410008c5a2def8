// The readable report; see report.h.
#include "cli/writers/report.h"

#include <cmath>

namespace zerb {
namespace {

struct FlagNote {
  std::uint64_t line;
  std::string name;
  double distance;
  double limit;
};

std::string RuleText(const ResidualRule& rule) {
  if (rule.max_residual > 0)
    return "farther than " + Fixed(rule.max_residual) + " m from the mean of the other points";
  return "farther from the mean of the other points than 3 x their RMS (at least 0.001 m)";
}

void WriteInputNotes(const ReportInput& in, Output& out) {
  const InputSummary& input = *in.input;
  for (const Unpaired& u : input.unpaired) {
    out << "unpaired: " << u.name << " (" << (u.in_grid ? input.source : input.wgs84_source)
        << ", line " << u.line << ") is not in " << (u.in_grid ? input.wgs84_source : input.source)
        << '\n';
  }
  if (input.far_points > 0) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "%zu point(s) more than 3 degrees from the central meridian: the inverse "
                  "projection there is good to about %.0f mm, not 3.4 mm (see standard error)\n",
                  input.far_points, std::ceil(input.worst_expected_error * 1000));
    out << text;
  }
}

}  // namespace

bool WriteText(const ReportInput& in, Output& out) {
  const Summary& s = *in.summary;
  PointSet& points = *in.points;
  if (points.usable() == 1 && s.count_all == 1 && in.input->unpaired.empty()) {
    PointWalk walk(in);
    if (!walk.Next())
      return false;
    const Vec3& d = walk.point().shift;
    out << "dx = ";
    out.Fixed(d.x, 12) << " m\ndy = ";
    out.Fixed(d.y, 12) << " m\ndz = ";
    out.Fixed(d.z, 12) << " m\n";
    WriteInputNotes(in, out);
    return true;
  }
  out << "    line          dx          dy          dz        vx        vy        vz         v"
      << (points.has_name() ? "  name\n" : "\n");
  PointWalk walk(in);
  std::vector<FlagNote> notes;
  std::size_t checks = 0;
  while (walk.Next()) {
    std::string number = std::to_string(walk.line());
    if (number.size() < 8)
      out << std::string(8 - number.size(), ' ');
    out << number;
    const Vec3& d = walk.point().shift;
    out.Fixed(d.x, 12).Fixed(d.y, 12).Fixed(d.z, 12);
    const Vec3 v = walk.residual();
    out.Fixed(v.x, 10).Fixed(v.y, 10).Fixed(v.z, 10).Fixed(Length(v), 10);
    if (points.has_name())
      out << "  " << walk.name();
    if (const Flag* f = walk.flag(); f != nullptr) {
      notes.push_back({walk.line(), std::string(walk.name()), f->distance, f->limit});
      out << "  (flagged)";
    }
    if (walk.check()) {
      ++checks;
      out << "  (check)";
    }
    out << '\n';
  }
  if (!walk.ok())
    return false;

  out << "\nresidual test: ";
  if (s.tested) {
    out << RuleText(in.rule) << '\n';
  } else {
    out << (in.rule.max_residual > 0 ? "not run (needs at least 2 points)\n"
                                     : "not run (needs at least 4 points)\n");
  }
  out << "mean of all " << static_cast<std::uint64_t>(s.count_all)
      << " points: dx, dy, dz = " << Triple(s.mean_all, ", ") << " m\n";
  for (const FlagNote& n : notes) {
    out << "flagged: line " << n.line;
    if (!n.name.empty())
      out << " (" << n.name << ")";
    out << ", " << Fixed(n.distance) << " m from the mean of the others, limit " << Fixed(n.limit)
        << " m\n";
  }
  if (!notes.empty()) {
    if (in.rule.keep_all) {
      out << "flagged points kept in the mean (--keep-all)\n";
    } else if (s.undecided) {
      out << "the last 2 points disagree beyond the limit, neither can be singled out: both kept "
             "in the mean\n";
    }
    out << "mean of " << static_cast<std::uint64_t>(s.count_used)
        << " points: dx, dy, dz = " << Triple(s.mean, ", ") << " m\n";
  }
  out << "RMS of the residuals: " << Fixed(s.rms) << " m (dx, dy, dz: " << Triple(s.rms_axis, ", ")
      << " m)\n";
  if (checks > 0) {
    out << "check points: " << static_cast<std::uint64_t>(checks)
        << ", left out of the mean; their residuals are against it\n";
  }
  out << "+towgs84=" << Triple(s.mean, ",") << '\n';
  WriteInputNotes(in, out);
  if (in.refused > 0)
    out << "lines refused: " << in.refused << " (see standard error)\n";
  return true;
}

}  // namespace zerb
