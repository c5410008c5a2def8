// The CSV report: one row per point, then rows with the parameters; see report.h.
#include "writers/report.h"

namespace zerb {

Reason WriteCsv(const ReportInput& in, Output& out) {
  const adjust::Solution& s = in.fit->solution();
  const PointSet& points = *in.points;
  const char d = in.delimiter;
  WriteCsvLeadTitles(points, d, out);
  static constexpr std::string_view kColumns[] = {
      "dx", "dy", "dz",     "vx",    "vy",    "vz",    "vN",          "vE",      "vU",   "v",
      "r",  "T",  "T_crit", "mdb_N", "mdb_E", "mdb_U", "gross_error", "flagged", "check"};
  for (std::string_view t : kColumns)
    out << d << t;
  out << '\n';
  // Under equal weights the redundancy, the critical value and the MDBs are the same in every
  // row.
  Output::FixedMemo redundancy, critical, mdb[3];
  PointWalk walk(in);
  while (walk.Next()) {
    const adjust::PointResult& r = walk.result();
    if (r.tag != 0)
      out << r.tag;  // 0: the point came from the options
    if (points.two_files())
      out << d << walk.wgs84_line();
    for (const std::string& f : walk.fields())
      (out << d).CsvField(f, d);
    for (double value : {r.shift.x, r.shift.y, r.shift.z})
      (out << d).Shortest(value);
    for (double value : {r.residual.x, r.residual.y, r.residual.z, r.residual_neu.x,
                         r.residual_neu.y, r.residual_neu.z, r.residual_length})
      (out << d).Fixed(value);
    out << d;
    if (r.used)
      out.Fixed(r.redundancy, &redundancy);
    if (r.tested) {
      (out << d).Fixed(r.test_statistic);
      (out << d).Fixed(r.critical, &critical);
      (out << d).Fixed(r.mdb_neu.x, &mdb[0]);
      (out << d).Fixed(r.mdb_neu.y, &mdb[1]);
      (out << d).Fixed(r.mdb_neu.z, &mdb[2]);
    } else {
      out << std::string(5, d);
    }
    (out << d).Fixed(r.gross_error_length);
    out << d << (r.flagged ? '1' : '0') << d << (r.check ? '1' : '0') << '\n';
  }
  if (!walk.ok())
    return Tr(kSpoolUnreadable);
  // The parameters as rows of their own, under the dx, dy, dz columns: the translation in
  // metres, the rotations in arc-seconds and the scale in ppm in the convention named in the
  // row after them.
  const std::size_t before = points.titles().size() + (points.two_files() ? 1 : 0);
  const std::string blanks(before, d);
  const std::string sep(1, d);
  const std::string rest(std::size(kColumns) - 3, d);
  const adjust::BursaWolf p = InConvention(s.exported, in.convention);
  out << (s.model == adjust::Model::kThreeParameter ? "mean" : "translation") << blanks << sep
      << TranslationText(p, sep) << rest << '\n';
  if (s.model == adjust::Model::kSevenParameter) {
    out << "rotation" << blanks << sep << Decimals6(p.rx) << sep << Decimals6(p.ry) << sep
        << Decimals6(p.rz) << rest << '\n';
    out << "scale" << blanks << sep << Decimals6(p.s) << sep << sep << rest << '\n';
    out << "convention" << blanks << sep << ConventionName(in.convention) << sep << sep << rest
        << '\n';
  }
  out << "sigma0" << blanks << sep << Fixed(s.sigma0) << sep << sep << rest << '\n';
  // No datum transformation has these parameters: a row says so, in every reader's view of it.
  for (const Implausible& why : in.implausible) {
    ((out << "implausible" << blanks << sep).CsvField(ImplausibleText(why, NoTr), d)
     << sep << sep << rest)
        << '\n';
  }
  return {};
}

}  // namespace zerb
