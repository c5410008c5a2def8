// The readable report; see report.h.
#include "writers/report.h"

#include <cmath>
#include <cstdio>

#include "text/translate.h"
#include "writers/check_residuals.h"
#include "writers/grid_description.h"
#include "writers/limit_tally.h"

namespace zerb {
namespace {

using adjust::Solution;

constexpr const char* kParameterNames[7] = {"tx", "ty", "tz", "rx", "ry", "rz", "s"};
constexpr const char* kParameterUnits[7] = {"m", "m", "m", "\"", "\"", "\"", "ppm"};

// what is a message pattern whose {1} is the statistic, {2} the critical value, {3} the
// distribution and {4} the verdict.
void WriteTest(Output& out, const char* what, const adjust::StatisticalTest& t,
               const char* accepted, const char* rejected) {
  std::string distribution;
  if (t.dof2 == 0) {
    distribution = Fill(Tr("chi-square, {1} degrees of freedom"), Number("%.0f", t.dof1));
  } else if (std::isinf(t.dof2)) {
    distribution = Fill("F({1}, infinity)", Number("%.0f", t.dof1));
  } else {
    distribution = Fill("F({1}, {2})", Number("%.0f", t.dof1), Number("%.0f", t.dof2));
  }
  out << Fill(what, Number("%.3f", t.statistic), Number("%.3f", t.critical), distribution,
              t.rejected ? rejected : accepted)
      << '\n';
}

void WriteParameters(const ReportInput& in, Output& out) {
  const Solution& s = in.fit->solution();
  const adjust::BursaWolf p = InConvention(s.exported, in.convention);
  const double values[7] = {p.tx, p.ty, p.tz, p.rx, p.ry, p.rz, p.s};
  const int n = s.parameter_count;
  const bool cgcs2000 = in.input->gnss_datum == GnssDatum::kCgcs2000;
  if (n == 7) {
    out << Fill(cgcs2000
                    // TRANSLATORS: {1} is position-vector or coordinate-frame, the convention's
                    // name as typed.
                    ? Tr("parameters (CGCS2000 from local, {1} rotations), with their standard "
                         "deviations:")
                    // TRANSLATORS: {1} is position-vector or coordinate-frame, the convention's
                    // name as typed.
                    : Tr("parameters (WGS-84 from local, {1} rotations), with their standard "
                         "deviations:"),
                ConventionName(in.convention))
        << '\n';
  } else {
    out << (cgcs2000 ? Tr("parameters (CGCS2000 from local), with their standard deviations:")
                     : Tr("parameters (WGS-84 from local), with their standard deviations:"))
        << '\n';
  }
  // Without redundancy and without an a-priori accuracy nothing tells how well a parameter is
  // known: no standard deviation rather than a zero that reads as exact.
  const bool known = s.dof > 0 || s.a_priori;
  for (int k = 0; k < n; ++k) {
    const bool length = k < 3;
    // Names and units padded alike, so that the seven rows line up (s and ppm are the odd ones).
    out << "  ";
    Right(out, kParameterNames[k], n == 7 ? 2 : 0);
    out << " = ";
    Right(out, length ? Fixed(values[k]) : Decimals6(values[k]), 14);
    const std::string unit = kParameterUnits[k];
    out << ' ' << unit << std::string(n == 7 ? 3 - unit.size() : 0, ' ') << "  +- ";
    if (!known)
      out << "-\n";
    else
      out << (length ? Fixed(s.standard_deviation[k]) : Decimals6(s.standard_deviation[k])) << '\n';
  }
  if (n == 7) {
    const adjust::Matrix7 correlation = CorrelationInConvention(s.correlation, in.convention);
    out << Tr("correlations:") << "\n       ";
    for (int k = 0; k < n; ++k)
      Right(out, kParameterNames[k], 7);
    out << '\n';
    for (int r = 0; r < n; ++r) {
      out << "  ";
      Right(out, kParameterNames[r], 3);
      out << "  ";
      for (int c = 0; c < n; ++c) {
        const double v = correlation[r][c];
        // A correlation that rounds to zero is zero, whatever the sign of its last bits.
        const std::string text = Number("%.3f", v);
        Right(out, text == "-0.000" ? "0.000" : text, 7);
      }
      out << '\n';
    }
  }
}

void WriteInputNotes(const ReportInput& in, Output& out) {
  const InputSummary& input = *in.input;
  for (const Unpaired& u : input.unpaired) {
    // TRANSLATORS: {1} is a point name, {2} and {4} file names, {3} a line number.
    out << Fill(Tr("unpaired: {1} ({2}, line {3}) is not in {4}"), u.name,
                u.in_grid ? input.source : input.wgs84_source, u.line,
                u.in_grid ? input.wgs84_source : input.source)
        << '\n';
  }
  for (const LeftOut& l : input.left_out) {
    // TRANSLATORS: {1} is a point name, {2} a file name, {3} a line number.
    out << Fill(Tr("left out by the user: {1} ({2}, line {3})"), l.name, input.source, l.line)
        << '\n';
  }
  if (input.far_points > 0) {
    // TRANSLATORS: {1} is the number of points, {2} a number of millimetres.
    out << Fill(TrN("{1} point more than 3 degrees from the central meridian: the inverse "
                    "projection there is good to {2} mm (see standard error)",
                    "{1} points more than 3 degrees from the central meridian: the inverse "
                    "projection there is good to {2} mm (see standard error)",
                    input.far_points),
                input.far_points,
                Number("%.1f", std::ceil(input.worst_expected_error * 10000) / 10))
        << '\n';
  }
}

}  // namespace

Reason WriteText(const ReportInput& in, Output& out) {
  const Solution& s = in.fit->solution();
  PointSet& points = *in.points;
  if (in.fit->size() == 1 && in.input->unpaired.empty()) {
    PointWalk walk(in);
    if (!walk.Next())
      return Tr(kSpoolUnreadable);
    const Vec3& d = walk.result().shift;
    out << "dx = ";
    out.Fixed(d.x, 12) << " m\ndy = ";
    out.Fixed(d.y, 12) << " m\ndz = ";
    out.Fixed(d.z, 12) << " m\n";
    WriteInputNotes(in, out);
    return {};
  }
  out << Tr(
      // TRANSLATORS: the titles of the point table; each title ends where its column ends (a
      // Chinese character takes two columns). The names of the values are better left as they are.
      "    line          dx          dy          dz        vN        vE        vU         v"
      "     r          T     MDB");
  // TRANSLATORS: the title of the column of point names, after two blanks.
  out << (points.has_name() ? Tr("  name") : "") << '\n';
  // Looked up once, not for every row.
  const char* const flagged_mark = Tr("  (flagged)");
  const char* const check_mark = Tr("  (check)");
  const char* const outside_mark = Tr("  (outside the limits)");
  LimitTally limits(in.limits);
  CheckTally check_tally;
  PointWalk walk(in);
  std::vector<adjust::PointResult> flagged;
  std::vector<std::string> flagged_names;
  while (walk.Next()) {
    const adjust::PointResult& r = walk.result();
    check_tally.Note(r);
    Right(out, r.tag != 0 ? std::to_string(r.tag) : std::string("-"), 8);
    out.Fixed(r.shift.x, 12).Fixed(r.shift.y, 12).Fixed(r.shift.z, 12);
    out.Fixed(r.residual_neu.x, 10).Fixed(r.residual_neu.y, 10).Fixed(r.residual_neu.z, 10);
    out.Fixed(r.residual_length, 10);
    Column(out, r.used ? Number("%.2f", r.redundancy) : std::string("-"), 6);
    Column(out, r.tested ? Number("%.2f", r.test_statistic) : std::string("-"), 11);
    const double mdb = std::max(std::max(r.mdb_neu.x, r.mdb_neu.y), r.mdb_neu.z);
    Column(out, r.tested && std::isfinite(mdb) ? Fixed(mdb) : std::string("-"), 8);
    if (points.has_name())
      out << "  " << walk.name();
    if (r.flagged) {
      flagged.push_back(r);
      flagged_names.emplace_back(walk.name());
      out << flagged_mark;
    }
    if (r.check)
      out << check_mark;
    if (in.limits.any() &&
        !limits.Note(r.tag, walk.name(), HorizontalResidual(r), r.residual_neu.z))
      out << outside_mark;
    out << '\n';
  }
  if (!walk.ok())
    return Tr(kSpoolUnreadable);
  if (in.limits.any()) {
    out << '\n';
    limits.WriteText(out);
  }
  if (s.points_check > 0)
    out << '\n' << CheckResidualsText(check_tally.Result()) << '\n';

  const char* model = Tr(ModelName(s.model));
  const auto used = static_cast<std::uint64_t>(s.points_used);
  const auto fitted = static_cast<std::uint64_t>(s.points - s.points_check);
  const auto checks = static_cast<std::uint64_t>(s.points_check);
  const std::string of = Counted(fitted, "{1} point", "{1} points");
  if (checks > 0) {
    out << '\n'
        // TRANSLATORS: {1} is the model's name, {2} the number of points used, {3} the points given
        // for the fit ("5 points"), {4} the check points ("1 check point").
        << Fill(Tr("model: {1}, fitted to {2} of {3} ({4} left out)"), model, used, of,
                Counted(checks, "{1} check point", "{1} check points"));
  } else {
    out << '\n' << Fill(Tr("model: {1}, fitted to {2} of {3}"), model, used, of);
  }
  out << '\n'
      << (in.input->projection == ProjectionKind::kExact
              ? Tr("grid positions inverse projected by the exact transverse Mercator")
              : Tr("grid positions inverse projected by the dialog's series (--projection dialog)"))
      << '\n';
  WriteGridSystemLine(*in.input, out);
  if (in.input->gnss_datum == GnssDatum::kCgcs2000) {
    out << Tr("GNSS side in CGCS2000 (GRS80 ellipsoid, --gnss-datum cgcs2000): the parameters "
              "lead to CGCS2000; no +towgs84, which is a shift to WGS 84")
        << '\n';
  }
  if (s.dof > 0) {
    // TRANSLATORS: {1} is sigma0 (with its unit, or "(unit weight)"), {2} the degrees of freedom.
    const std::string sigma0 = s.a_priori ? Fill(Tr("{1} (unit weight)"), Number("%.3f", s.sigma0))
                                          : Fixed(s.sigma0) + " m";
    out << Fill(Tr("sigma0 (a posteriori): {1}, {2} degrees of freedom"), sigma0,
                Number("%.0f", s.dof))
        << '\n';
  } else {
    out << Fill(Tr("sigma0 (a posteriori): none, no redundancy ({1} degrees of freedom)"),
                Number("%.0f", s.dof))
        << '\n';
  }
  if (s.a_priori) {
    // TRANSLATORS: {1} and {2} are numbers of metres.
    out << Fill(Tr("a-priori sigma of one coordinate: {1} m horizontal, {2} m vertical"),
                Fixed(in.settings->sigma_horizontal), Fixed(in.settings->sigma_vertical))
        << '\n';
    if (s.global_test.run) {
      // TRANSLATORS: {1} is the test statistic, {2} its critical value, {3} the distribution
      // ("chi-square, 9 degrees of freedom"), {4} the verdict.
      WriteTest(out, Tr("global test: chi-square {1}, critical value {2} ({3}): {4}"),
                s.global_test, Tr("accepted, the residuals agree with the a-priori accuracy"),
                Tr("rejected, the residuals are larger than the a-priori accuracy allows"));
    }
  }
  WriteParameters(in, out);

  if (in.settings->max_residual > 0) {
    // TRANSLATORS: {1} is a number of metres.
    out << Fill(Tr("outlier test: estimated gross error of a point's shift beyond {1} m, worst "
                   "point first"),
                Fixed(in.settings->max_residual))
        << '\n';
  } else if (s.tested) {
    // TRANSLATORS: {1} is the significance, {2} a number of metres; keep the line break.
    out << Fill(s.a_priori ? Tr("outlier test: data snooping at alpha {1} per point, worst point "
                                "first: the 3 residuals of a point\n  together, against the "
                                "a-priori sigma; below {2} m never flagged")
                           : Tr("outlier test: data snooping at alpha {1} per point, worst point "
                                "first: the 3 residuals of a point\n  together, against the "
                                "sigma0 of the fit without it; below {2} m never flagged"),
                Number("%g", in.settings->alpha_point), Fixed(in.settings->floor))
        << '\n';
    // Column T holds each point's test against the final fit; without a-priori accuracy a point
    // outside the fit has one more degree of freedom, so its critical value is its own.
    const bool outside =
        s.point_critical_outside > 0 && s.point_critical_outside != s.point_critical;
    const std::string inside_value = Number("%.2f", s.point_critical);
    const std::string outside_value = Number("%.2f", s.point_critical_outside);
    if (s.point_critical > 0) {
      // TRANSLATORS: {1} is the critical value for a point in the fit, {2} for one outside it.
      out << Fill(outside ? Tr("  critical value of T in the final fit: {1} for a point in it, {2} "
                               "for a point outside it")
                          // TRANSLATORS: {1} is the critical value for a point in the fit.
                          : Tr("  critical value of T in the final fit: {1} for a point in it"),
                  inside_value, outside_value);
    } else {
      out << Fill(outside ? Tr("  critical value of T in the final fit: none for a point in it "
                               "(too little redundancy), {2} for a point outside it")
                          : Tr("  critical value of T in the final fit: none for a point in it "
                               "(too little redundancy)"),
                  inside_value, outside_value);
    }
    out << '\n';
  } else {
    // TRANSLATORS: {1} is why the test was not run.
    out << Fill(Tr("outlier test: not run ({1})"), NotTestedText(s, Tr)) << '\n';
  }
  const bool by_limit = in.settings->max_residual > 0;
  for (std::size_t k = 0; k < flagged.size(); ++k) {
    const adjust::PointResult& r = flagged[k];
    // The test that flagged it, in its round, with the critical value that test had.
    const std::string test =
        // TRANSLATORS: {1} is the estimated gross error, {2} the limit, both in metres.
        by_limit ? Fill(Tr("estimated gross error {1} m > limit {2} m"), Fixed(r.flag_statistic),
                        Fixed(r.flag_critical))
                 // TRANSLATORS: {1} is the test statistic, {2} its critical value, {3} the
                 // estimated gross error in metres.
                 : Fill(Tr("test {1} > {2}, estimated gross error {3} m"),
                        Number("%.2f", r.flag_statistic), Number("%.2f", r.flag_critical),
                        Fixed(r.gross_error_length));
    std::string fate;
    if (!r.used) {
      fate = Tr("left out of the fit");
    } else if (s.undecided) {
      fate = Tr("kept in the fit");
    } else if (r.tested) {
      // TRANSLATORS: {1} is the point's test statistic against the final fit.
      fate = Fill(Tr("kept in the fit (--keep-all), which it pulls toward itself: against the "
                     "final fit its T is {1}"),
                  Number("%.2f", r.test_statistic));
    } else {
      fate = Tr("kept in the fit (--keep-all), which it pulls toward itself");
    }
    const auto round = static_cast<std::uint64_t>(r.flag_round);
    // TRANSLATORS: {1} is a line number, {2} the round of the test, {3} the test that flagged
    // the point, {4} what became of it, {5} the point's name.
    out << Fill(flagged_names[k].empty() ? Tr("flagged: line {1} in round {2}: {3}; {4}")
                                         : Tr("flagged: line {1} ({5}) in round {2}: {3}; {4}"),
                r.tag, round, test, fate, flagged_names[k])
        << '\n';
  }
  if (s.undecided) {
    out << Tr("the last 2 points disagree beyond the limit, neither can be singled out: both kept "
              "in the fit")
        << '\n';
  }
  if (s.model == adjust::Model::kSevenParameter && s.extra_parameters.run) {
    // TRANSLATORS: {1} is the test statistic, {2} its critical value, {3} the distribution
    // ("F(4, 8)"), {4} the verdict.
    WriteTest(out,
              Tr("rotations and scale against three parameters: {1}, critical value {2} "
                 "({3}): {4}"),
              s.extra_parameters,
              Tr("not justified by these points, the three-parameter model suffices"),
              Tr("justified by these points"));
  }
  for (const adjust::Warning& w : s.warnings)
    out << Fill(Tr("warning: {1}"), WarningText(w, Tr)) << '\n';
  if (!in.implausible.empty()) {
    const std::string list = ImplausibleList(in.implausible, Tr);
    // TRANSLATORS: {1} lists the parameters beyond their limits, as "rx = 25.1 arc-seconds".
    out << Fill(Tr("NOT A DATUM TRANSFORMATION: no transformation between two geodetic datums has "
                   "these parameters ({1}); the input is read wrongly somewhere, nothing here is "
                   "to be used"),
                list)
        << '\n';
  } else if (in.input->gnss_datum != GnssDatum::kCgcs2000) {
    out << "+towgs84=" << TranslationText(s.exported, ",");
    if (s.model == adjust::Model::kSevenParameter)
      out << ',' << RotationText(s.exported, ",") << "  (position-vector)";
    out << '\n';
  }
  WriteInputNotes(in, out);
  if (in.refused > 0)
    out << Counted(in.refused, "{1} line refused (see standard error)",
                   "{1} lines refused (see standard error)")
        << '\n';
  return {};
}

}  // namespace zerb
