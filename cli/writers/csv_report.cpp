// The CSV report; see report.h.
#include "cli/writers/report.h"

namespace zerb {

bool WriteCsv(const ReportInput& in, Output& out) {
  const Summary& s = *in.summary;
  const PointSet& points = *in.points;
  const char d = in.delimiter;
  out << "line";
  if (points.two_files())
    out << d << "wgs84_line";
  for (const std::string& t : points.titles())
    (out << d).CsvField(t, d);
  for (std::string_view t : {"dx", "dy", "dz", "vx", "vy", "vz", "v", "flagged", "check"})
    out << d << t;
  out << '\n';
  PointWalk walk(in);
  while (walk.Next()) {
    if (walk.line() != 0)
      out << walk.line();  // 0: the point came from the options
    if (points.two_files())
      out << d << walk.wgs84_line();
    for (const std::string& f : walk.fields())
      (out << d).CsvField(f, d);
    const Vec3& shift = walk.point().shift;
    for (double value : {shift.x, shift.y, shift.z})
      (out << d).Shortest(value);
    const Vec3 v = walk.residual();
    for (double value : {v.x, v.y, v.z, Length(v)})
      (out << d).Fixed(value);
    out << d << (walk.flag() != nullptr ? '1' : '0') << d << (walk.check() ? '1' : '0') << '\n';
  }
  if (!walk.ok())
    return false;
  const std::size_t before = points.titles().size() + (points.two_files() ? 1 : 0);
  const std::string blanks(before, d);
  const std::string sep(1, d);
  out << "mean" << blanks << sep << Triple(s.mean, sep) << std::string(6, d) << '\n';
  out << "rms" << blanks << std::string(3, d) << sep << Triple(s.rms_axis, sep) << sep
      << Fixed(s.rms) << sep << sep << '\n';
  return true;
}

}  // namespace zerb
