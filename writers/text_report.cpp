// The readable report; see report.h.
#include "writers/report.h"

#include <cmath>
#include <cstdio>

namespace zerb {
namespace {

using adjust::Solution;

constexpr const char* kParameterNames[7] = {"tx", "ty", "tz", "rx", "ry", "rz", "s"};
constexpr const char* kParameterUnits[7] = {"m", "m", "m", "\"", "\"", "\"", "ppm"};

std::string Number(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

void Right(Output& out, const std::string& s, std::size_t width) {
  if (s.size() < width)
    out << std::string(width - s.size(), ' ');
  out << s;
}

void WriteTest(Output& out, const char* what, const adjust::StatisticalTest& t,
               const char* accepted, const char* rejected) {
  out << what << ' ' << Number("%.3f", t.statistic) << ", critical value "
      << Number("%.3f", t.critical) << " (";
  if (t.dof2 == 0) {
    out << "chi-square, " << Number("%.0f", t.dof1) << " degrees of freedom";
  } else if (std::isinf(t.dof2)) {
    out << "F(" << Number("%.0f", t.dof1) << ", infinity)";
  } else {
    out << "F(" << Number("%.0f", t.dof1) << ", " << Number("%.0f", t.dof2) << ")";
  }
  out << "): " << (t.rejected ? rejected : accepted) << '\n';
}

void WriteParameters(const ReportInput& in, Output& out) {
  const Solution& s = in.fit->solution();
  const adjust::BursaWolf p = InConvention(s.exported, in.convention);
  const double values[7] = {p.tx, p.ty, p.tz, p.rx, p.ry, p.rz, p.s};
  const int n = s.parameter_count;
  out << "parameters (WGS-84 from local";
  if (n == 7)
    out << ", " << ConventionName(in.convention) << " rotations";
  out << "), with their standard deviations:\n";
  for (int k = 0; k < n; ++k) {
    const bool length = k < 3;
    out << "  " << kParameterNames[k] << " = ";
    Right(out, length ? Fixed(values[k]) : Decimals6(values[k]), 14);
    out << ' ' << kParameterUnits[k] << "  +- ";
    out << (length ? Fixed(s.standard_deviation[k]) : Decimals6(s.standard_deviation[k])) << '\n';
  }
  if (n == 7) {
    const adjust::Matrix7 correlation = CorrelationInConvention(s.correlation, in.convention);
    out << "correlations:\n       ";
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
    out << "unpaired: " << u.name << " (" << (u.in_grid ? input.source : input.wgs84_source)
        << ", line " << u.line << ") is not in " << (u.in_grid ? input.wgs84_source : input.source)
        << '\n';
  }
  if (input.far_points > 0) {
    out << Counted(input.far_points, "point", "points")
        << " more than 3 degrees from the central meridian: the inverse projection there is "
           "good to "
        << Number("%.1f", std::ceil(input.worst_expected_error * 10000) / 10)
        << " mm (see standard error)\n";
  }
}

}  // namespace

Reason WriteText(const ReportInput& in, Output& out) {
  const Solution& s = in.fit->solution();
  PointSet& points = *in.points;
  if (in.fit->size() == 1 && in.input->unpaired.empty()) {
    PointWalk walk(in);
    if (!walk.Next())
      return kSpoolUnreadable;
    const Vec3& d = walk.result().shift;
    out << "dx = ";
    out.Fixed(d.x, 12) << " m\ndy = ";
    out.Fixed(d.y, 12) << " m\ndz = ";
    out.Fixed(d.z, 12) << " m\n";
    WriteInputNotes(in, out);
    return {};
  }
  out << "    line          dx          dy          dz        vN        vE        vU         v"
         "     r          T     MDB"
      << (points.has_name() ? "  name\n" : "\n");
  PointWalk walk(in);
  std::vector<adjust::PointResult> flagged;
  std::vector<std::string> flagged_names;
  while (walk.Next()) {
    const adjust::PointResult& r = walk.result();
    Right(out, r.tag != 0 ? std::to_string(r.tag) : std::string("-"), 8);
    out.Fixed(r.shift.x, 12).Fixed(r.shift.y, 12).Fixed(r.shift.z, 12);
    out.Fixed(r.residual_neu.x, 10).Fixed(r.residual_neu.y, 10).Fixed(r.residual_neu.z, 10);
    out.Fixed(r.residual_length, 10);
    Right(out, r.used ? Number("%.2f", r.redundancy) : std::string("-"), 6);
    Right(out, r.tested ? Number("%.2f", r.test_statistic) : std::string("-"), 11);
    const double mdb = std::max(std::max(r.mdb_neu.x, r.mdb_neu.y), r.mdb_neu.z);
    Right(out, r.tested && std::isfinite(mdb) ? Fixed(mdb) : std::string("-"), 8);
    if (points.has_name())
      out << "  " << walk.name();
    if (r.flagged) {
      flagged.push_back(r);
      flagged_names.emplace_back(walk.name());
      out << "  (flagged)";
    }
    if (r.check)
      out << "  (check)";
    out << '\n';
  }
  if (!walk.ok())
    return kSpoolUnreadable;

  out << "\nmodel: " << ModelName(s.model) << ", fitted to "
      << static_cast<std::uint64_t>(s.points_used) << " of "
      << Counted(s.points - s.points_check, "point", "points");
  if (s.points_check > 0)
    out << " (" << Counted(s.points_check, "check point", "check points") << " left out)";
  out << '\n';
  out << "sigma0 (a posteriori): ";
  if (s.dof > 0) {
    out << (s.a_priori ? Number("%.3f", s.sigma0) + " (unit weight)" : Fixed(s.sigma0) + " m")
        << ", " << Number("%.0f", s.dof) << " degrees of freedom\n";
  } else {
    out << "none, no redundancy (" << Number("%.0f", s.dof) << " degrees of freedom)\n";
  }
  if (s.a_priori) {
    out << "a-priori sigma of one coordinate: " << Fixed(in.settings->sigma_horizontal)
        << " m horizontal, " << Fixed(in.settings->sigma_vertical) << " m vertical\n";
    if (s.global_test.run) {
      WriteTest(out, "global test: chi-square", s.global_test,
                "accepted, the residuals agree with the a-priori accuracy",
                "rejected, the residuals are larger than the a-priori accuracy allows");
    }
  }
  WriteParameters(in, out);

  out << "outlier test: ";
  if (in.settings->max_residual > 0) {
    out << "estimated gross error of a point's shift beyond " << Fixed(in.settings->max_residual)
        << " m, worst point first\n";
  } else if (s.tested) {
    out << "data snooping at alpha " << Number("%g", in.settings->alpha_point)
        << " per point, worst point first: the 3 residuals of a point\n  together, "
        << (s.a_priori ? "against the a-priori sigma" : "against the sigma0 of the fit without it")
        << "; below " << Fixed(in.settings->floor) << " m never flagged\n";
    // Column T holds each point's test against the final fit; without a-priori accuracy a point
    // outside the fit has one more degree of freedom, so its critical value is its own.
    out << "  critical value of T in the final fit: ";
    if (s.point_critical > 0)
      out << Number("%.2f", s.point_critical) << " for a point in it";
    else
      out << "none for a point in it (too little redundancy)";
    if (s.point_critical_outside > 0 && s.point_critical_outside != s.point_critical)
      out << ", " << Number("%.2f", s.point_critical_outside) << " for a point outside it";
    out << '\n';
  } else {
    out << "not run (" << NotTestedText(s) << ")\n";
  }
  const bool by_limit = in.settings->max_residual > 0;
  for (std::size_t k = 0; k < flagged.size(); ++k) {
    const adjust::PointResult& r = flagged[k];
    out << "flagged: line " << r.tag;
    if (!flagged_names[k].empty())
      out << " (" << flagged_names[k] << ")";
    // The test that flagged it, in its round, with the critical value that test had.
    out << " in round " << static_cast<std::uint64_t>(r.flag_round) << ": ";
    if (by_limit) {
      out << "estimated gross error " << Fixed(r.flag_statistic) << " m > limit "
          << Fixed(r.flag_critical) << " m";
    } else {
      out << "test " << Number("%.2f", r.flag_statistic) << " > " << Number("%.2f", r.flag_critical)
          << ", estimated gross error " << Fixed(r.gross_error_length) << " m";
    }
    if (!r.used) {
      out << "; left out of the fit\n";
    } else if (s.undecided) {
      out << "; kept in the fit\n";
    } else {
      out << "; kept in the fit (--keep-all), which it pulls toward itself";
      if (r.tested)
        out << ": against the final fit its T is " << Number("%.2f", r.test_statistic);
      out << '\n';
    }
  }
  if (s.undecided) {
    out << "the last 2 points disagree beyond the limit, neither can be singled out: both kept "
           "in the fit\n";
  }
  if (s.model == adjust::Model::kSevenParameter && s.extra_parameters.run) {
    WriteTest(out, "rotations and scale against three parameters:", s.extra_parameters,
              "not justified by these points, the three-parameter model suffices",
              "justified by these points");
  }
  for (const adjust::Warning& w : s.warnings)
    out << "warning: " << WarningText(w) << '\n';
  if (!in.implausible.empty()) {
    out << "NOT A DATUM TRANSFORMATION: no Krassovsky to WGS-84 fit has these parameters (";
    for (std::size_t k = 0; k < in.implausible.size(); ++k)
      out << (k > 0 ? "; " : "") << in.implausible[k];
    out << "); the input is read wrongly somewhere, nothing here is to be used\n";
  } else {
    out << "+towgs84=" << TranslationText(s.exported, ",");
    if (s.model == adjust::Model::kSevenParameter)
      out << ',' << RotationText(s.exported, ",") << "  (position-vector)";
    out << '\n';
  }
  WriteInputNotes(in, out);
  if (in.refused > 0)
    out << Counted(in.refused, "line", "lines") << " refused (see standard error)\n";
  return {};
}

}  // namespace zerb
