// The JSON report: every point with its statistics, and every statistic of the fit; see report.h.
#include "cli/writers/report.h"

#include <cmath>

namespace zerb {
namespace {

// A number, or null where it is not finite (JSON has no infinity).
void Num(Output& out, double value) {
  if (std::isfinite(value)) {
    out.Shortest(value);
  } else {
    out << "null";
  }
}

// A vector as an object with the three keys given.
void Object(Output& out, const Vec3& v, const char* x, const char* y, const char* z) {
  out << "{\"" << x << "\": ";
  Num(out, v.x);
  out << ", \"" << y << "\": ";
  Num(out, v.y);
  out << ", \"" << z << "\": ";
  Num(out, v.z);
  out << '}';
}

void Neu(Output& out, const Vec3& v) {
  Object(out, v, "north", "east", "up");
}

void Xyz(Output& out, const Vec3& v) {
  Object(out, v, "x", "y", "z");
}

void Test(Output& out, const adjust::StatisticalTest& t) {
  if (!t.run) {
    out << "null";
    return;
  }
  out << "{\"statistic\": ";
  Num(out, t.statistic);
  out << ", \"critical\": ";
  Num(out, t.critical);
  out << ", \"distribution\": \"" << (t.dof2 == 0 ? "chi-square" : "F") << "\", \"dof1\": ";
  Num(out, t.dof1);
  out << ", \"dof2\": ";
  Num(out, t.dof2);
  out << ", \"rejected\": " << (t.rejected ? "true" : "false") << '}';
}

void WriteParameters(const ReportInput& in, Output& out) {
  const adjust::Solution& s = in.fit->solution();
  const adjust::BursaWolf p = InConvention(s.exported, in.convention);
  const adjust::BursaWolf full = InConvention(s.parameters, in.convention);
  static constexpr const char* kNames[7] = {"tx", "ty", "tz", "rx", "ry", "rz", "s"};
  const double rounded[7] = {p.tx, p.ty, p.tz, p.rx, p.ry, p.rz, p.s};
  const double exact[7] = {full.tx, full.ty, full.tz, full.rx, full.ry, full.rz, full.s};
  const int n = s.parameter_count;
  out << ",\n  \"parameters\": {\"units\": {\"translation\": \"m\", \"rotation\": "
         "\"arc-second\", \"scale\": \"ppm\"}";
  for (int k = 0; k < n; ++k) {
    out << ", \"" << kNames[k] << "\": {\"value\": ";
    Num(out, rounded[k]);
    out << ", \"unrounded\": ";
    Num(out, exact[k]);
    out << ", \"sd\": ";
    Num(out, s.standard_deviation[k]);
    out << '}';
  }
  out << "},\n  \"correlation\": [";
  for (int r = 0; r < n; ++r) {
    out << (r == 0 ? "[" : ", [");
    for (int c = 0; c < n; ++c) {
      double v = s.correlation[r][c];
      if (in.convention == Convention::kCoordinateFrame && ((r >= 3 && r < 6) != (c >= 3 && c < 6)))
        v = -v;
      if (c > 0)
        out << ", ";
      Num(out, v);
    }
    out << ']';
  }
  out << ']';
}

}  // namespace

bool WriteJson(const ReportInput& in, Output& out) {
  const adjust::Solution& s = in.fit->solution();
  const PointSet& points = *in.points;
  out << "{\n  \"points\": [";
  PointWalk walk(in);
  bool first = true;
  while (walk.Next()) {
    const adjust::PointResult& r = walk.result();
    out << (first ? "\n    {\"line\": " : ",\n    {\"line\": ");
    first = false;
    if (r.tag != 0) {
      out << r.tag;
    } else {
      out << "null";  // the point came from the options
    }
    if (points.two_files())
      out << ", \"wgs84_line\": " << walk.wgs84_line();
    std::size_t first_column = 0;
    if (points.has_name()) {
      out << ", \"name\": ";
      out.JsonString(walk.name());
      first_column = 1;
    }
    if (walk.fields().size() > first_column) {
      out << ", \"columns\": {";
      for (std::size_t c = first_column; c < walk.fields().size(); ++c) {
        if (c > first_column)
          out << ", ";
        out.JsonString(points.titles()[c]) << ": ";
        out.JsonString(walk.fields()[c]);
      }
      out << '}';
    }
    out << ", \"dx\": ";
    out.Shortest(r.shift.x) << ", \"dy\": ";
    out.Shortest(r.shift.y) << ", \"dz\": ";
    out.Shortest(r.shift.z) << ", \"residual\": ";
    Xyz(out, r.residual);
    out << ", \"residual_neu\": ";
    Neu(out, r.residual_neu);
    out << ", \"v\": ";
    Num(out, r.residual_length);
    out << ", \"redundancy\": ";
    if (r.used) {
      Neu(out, r.redundancy_neu);
      out << ", \"redundancy_sum\": ";
      Num(out, r.redundancy);
    } else {
      out << "null, \"redundancy_sum\": null";
    }
    out << ", \"test\": ";
    if (r.tested) {
      out << "{\"statistic\": ";
      Num(out, r.test_statistic);
      out << ", \"critical\": ";
      Num(out, r.critical);
      out << ", \"mdb\": ";
      Neu(out, r.mdb_neu);
      out << '}';
    } else {
      out << "null";
    }
    out << ", \"gross_error\": ";
    Xyz(out, r.gross_error);
    out << ", \"gross_error_length\": ";
    Num(out, r.gross_error_length);
    out << ", \"flagged\": " << (r.flagged ? "true" : "false") << ", \"flag_test\": ";
    if (r.flagged) {
      // The test that flagged the point, in its round.
      out << "{\"round\": " << static_cast<std::uint64_t>(r.flag_round) << ", \"statistic\": ";
      Num(out, r.flag_statistic);
      out << ", \"critical\": ";
      Num(out, r.flag_critical);
      out << '}';
    } else {
      out << "null";
    }
    out << ", \"used\": " << (r.used ? "true" : "false")
        << ", \"check\": " << (r.check ? "true" : "false") << '}';
  }
  if (!walk.ok())
    return false;
  out << "\n  ],\n  \"model\": " << (s.parameter_count == 7 ? "7" : "3") << ", \"model_name\": \""
      << ModelName(s.model) << "\", \"convention\": \"" << ConventionName(in.convention) << '"';
  out << ",\n  \"count\": " << static_cast<std::uint64_t>(s.points)
      << ", \"used\": " << static_cast<std::uint64_t>(s.points_used)
      << ", \"check\": " << static_cast<std::uint64_t>(s.points_check)
      << ", \"flagged\": " << static_cast<std::uint64_t>(s.points_flagged);
  out << ",\n  \"sigma0\": ";
  Num(out, s.sigma0);
  out << ", \"variance_factor\": ";
  Num(out, s.variance_factor);
  out << ", \"dof\": ";
  Num(out, s.dof);
  out << ", \"a_priori\": ";
  if (s.a_priori) {
    out << "{\"horizontal\": ";
    Num(out, in.settings->sigma_horizontal);
    out << ", \"vertical\": ";
    Num(out, in.settings->sigma_vertical);
    out << '}';
  } else {
    out << "null";
  }
  out << ",\n  \"global_test\": ";
  Test(out, s.global_test);
  WriteParameters(in, out);
  out << ",\n  \"outlier_test\": {\"run\": " << (s.tested ? "true" : "false");
  if (!s.tested) {
    out << ", \"reason\": ";
    out.JsonString(s.not_tested);
  }
  out << ", \"rule\": \"" << (in.settings->max_residual > 0 ? "max_residual" : "data_snooping")
      << "\", \"alpha\": ";
  Num(out, in.settings->alpha_point);
  out << ", \"power\": ";
  Num(out, in.settings->power);
  out << ", \"lambda0\": ";
  Num(out, s.lambda0);
  out << ", \"critical\": ";
  Num(out, s.point_critical);
  out << ", \"critical_outside\": ";
  Num(out, s.point_critical_outside);
  out << ", \"floor\": ";
  Num(out, in.settings->floor);
  out << ", \"max_residual\": ";
  if (in.settings->max_residual > 0) {
    Num(out, in.settings->max_residual);
  } else {
    out << "null";
  }
  out << ", \"rounds\": " << static_cast<std::uint64_t>(s.rounds)
      << ", \"undecided\": " << (s.undecided ? "true" : "false")
      << ", \"kept_all\": " << (in.settings->keep_all ? "true" : "false") << '}';
  out << ",\n  \"extra_parameters\": ";
  Test(out, s.extra_parameters);
  if (s.model == adjust::Model::kSevenParameter)
    out << ", \"extra_parameters_justified\": "
        << (s.extra_parameters_justified ? "true" : "false");
  out << ",\n  \"warnings\": [";
  for (std::size_t k = 0; k < s.warnings.size(); ++k) {
    if (k > 0)
      out << ", ";
    out.JsonString(s.warnings[k]);
  }
  // A fit no datum transformation can have carries the reasons instead of its +towgs84, so that
  // no reader of the JSON takes it for one.
  out << "],\n  \"implausible\": [";
  for (std::size_t k = 0; k < in.implausible.size(); ++k) {
    if (k > 0)
      out << ", ";
    out.JsonString(in.implausible[k]);
  }
  out << "],\n  \"towgs84\": ";
  if (in.implausible.empty()) {
    out << "\"+towgs84=" << TranslationText(s.exported, ",");
    if (s.model == adjust::Model::kSevenParameter)
      out << ',' << RotationText(s.exported, ",");
    out << '"';
  } else {
    out << "null";
  }
  const InputSummary& input = *in.input;
  out << ",\n  \"unpaired\": [";
  bool first_unpaired = true;
  for (const Unpaired& u : input.unpaired) {
    out << (first_unpaired ? "" : ", ") << "{\"name\": ";
    out.JsonString(u.name) << ", \"file\": ";
    out.JsonString(u.in_grid ? input.source : input.wgs84_source)
        << ", \"line\": " << u.line << '}';
    first_unpaired = false;
  }
  out << "],\n  \"far_from_meridian\": {\"points\": "
      << static_cast<std::uint64_t>(input.far_points) << ", \"expected_error\": ";
  out.Fixed(input.worst_expected_error) << '}';
  out << ",\n  \"refused_lines\": " << in.refused << "\n}\n";
  return true;
}

}  // namespace zerb
