// The plane model's report: the readable report, CSV and JSON with each point's horizontal and
// height results, the parameters as a controller asks for them, and the PROJ pipeline.
#include <cmath>
#include <cstdio>
#include <string>

#include "crs/plane_pipeline.h"
#include "text/translate.h"
#include "writers/grid_description.h"
#include "writers/json_writer.h"
#include "writers/limit_tally.h"
#include "writers/plane_points.h"
#include "writers/report.h"

namespace zerb {
namespace {

using adjust::PointFitPoint;
using adjust::PointFitSolution;

// sigma0, the global test and the outlier test of one fit, in the text report.
void WriteStatistics(Output& out, const PointFitSolution& s, const adjust::Settings& settings,
                     double sigma) {
  if (s.dof > 0) {
    const std::string sigma0 = s.a_priori ? Fill(Tr("{1} (unit weight)"), Number("%.3f", s.sigma0))
                                          : Fixed(s.sigma0) + " m";
    out << "  "
        << Fill(Tr("sigma0 (a posteriori): {1}, {2} degrees of freedom"), sigma0,
                Number("%.0f", s.dof))
        << '\n';
  } else {
    out << "  "
        << Fill(Tr("sigma0 (a posteriori): none, no redundancy ({1} degrees of freedom)"),
                Number("%.0f", s.dof))
        << '\n';
  }
  if (s.a_priori) {
    // TRANSLATORS: {1} is a number of metres.
    out << "  " << Fill(Tr("a-priori sigma of one coordinate: {1} m"), Fixed(sigma)) << '\n';
    if (s.global_test.run) {
      // TRANSLATORS: {1} is the test statistic, {2} its critical value, {3} the degrees of
      // freedom, {4} the verdict.
      out << "  "
          << Fill(Tr("global test: chi-square {1}, critical value {2} ({3} degrees of freedom): "
                     "{4}"),
                  Number("%.3f", s.global_test.statistic), Number("%.3f", s.global_test.critical),
                  Number("%.0f", s.global_test.dof1),
                  s.global_test.rejected
                      ? Tr("rejected, the residuals are larger than the a-priori accuracy allows")
                      : Tr("accepted, the residuals agree with the a-priori accuracy"))
          << '\n';
    }
  }
  if (settings.max_residual > 0) {
    // TRANSLATORS: {1} is a number of metres.
    out << "  "
        << Fill(Tr("outlier test: estimated gross error beyond {1} m, worst point first"),
                Fixed(settings.max_residual))
        << '\n';
  } else if (s.tested) {
    // TRANSLATORS: {1} is the significance, {2} the critical value of T for a point in the fit.
    out << "  "
        << Fill(Tr("outlier test: data snooping at alpha {1} per point, worst point first; "
                   "critical value of T {2}"),
                Number("%g", settings.alpha_point),
                s.point_critical > 0 ? Number("%.2f", s.point_critical) : std::string("-"))
        << '\n';
  } else {
    // TRANSLATORS: {1} is a number of points.
    out << "  "
        << Fill(Tr("outlier test: not run (it needs at least {1} points in the fit)"),
                static_cast<std::uint64_t>(s.test_minimum))
        << '\n';
  }
  if (s.snooping_stopped) {
    out << "  "
        << Fill(Tr("warning: {1}"),
                Tr("half of the points failed the outlier test, so it was stopped there: the "
                   "model or the a-priori accuracy does not describe these points"))
        << '\n';
  }
  if (s.undecided) {
    out << "  "
        << Tr("the last 2 points disagree beyond the limit, neither can be singled out: both "
              "kept in the fit")
        << '\n';
  }
}

// The flagged points of one fit, with the test that flagged each.
void WriteFlagged(Output& out, const ReportInput& in, const adjust::PointFitResult& r,
                  const char* what) {
  for (std::size_t i = 0; i < r.size(); ++i) {
    const PointFitPoint p = r.Point(i);
    if (!p.flagged)
      continue;
    const std::string test =
        in.settings->max_residual > 0
            ? Fill(Tr("estimated gross error {1} m > limit {2} m"), Fixed(p.flag_statistic),
                   Fixed(p.flag_critical))
            : Fill(Tr("test {1} > {2}, estimated gross error {3} m"),
                   Number("%.2f", p.flag_statistic), Number("%.2f", p.flag_critical),
                   Fixed(p.gross_error_length));
    // TRANSLATORS: {1} is a line number, {2} which fit (horizontally, in height), {3} the round,
    // {4} the test that flagged the point, {5} what became of it.
    out << "  "
        << Fill(Tr("flagged: line {1} {2} in round {3}: {4}; {5}"), p.tag, Tr(what),
                static_cast<std::uint64_t>(p.flag_round), test,
                p.used ? Tr("kept in the fit") : Tr("left out of the fit"))
        << '\n';
  }
}

void WriteChecks(Output& out, const adjust::PointFitResult& r) {
  const CheckSummary c = Checks(r);
  if (c.count == 0)
    return;
  // TRANSLATORS: {1} is a number of check points, {2} and {3} numbers of metres.
  out << "  "
      << Fill(TrN("{1} check point: residual RMS {2} m, largest {3} m",
                  "{1} check points: residual RMS {2} m, largest {3} m", c.count),
              static_cast<std::uint64_t>(c.count), Fixed(c.rms), Fixed(c.largest))
      << '\n';
}

// The projection of the GNSS points, with every constant a controller must be set to for the
// four parameters to mean the same there.
void WriteProjectionLine(const PlaneFit& fit, const char* indent, Output& out) {
  const crs::GridSystem& grid = fit.settings.grid;
  // TRANSLATORS: {1} and {2} are the GNSS ellipsoid's semi-major axis (metres) and inverse
  // flattening, {3} the central meridian in degrees, {4} and {5} the false easting and northing
  // (metres), {6} the scale, {7} the projection height (metres).
  out << indent
      << Fill(Tr("projection of the GNSS points: transverse Mercator on a = {1} m, 1/f = {2}, "
                 "central meridian {3}, false easting {4} m, false northing {5} m, scale {6}, "
                 "projection height {7} m"),
              crs::Shortest(fit.projection.a), crs::Shortest(fit.projection.inverse_flattening),
              crs::Shortest(fit.meridian), crs::Shortest(grid.false_easting),
              crs::Shortest(grid.false_northing), crs::Shortest(grid.scale),
              crs::Shortest(grid.projection_height))
      << '\n';
}

Reason WriteTextReport(const ReportInput& in, Output& out) {
  const PlaneFit& fit = *in.plane;
  const PointSet& points = *in.points;
  const bool heights = HasHeights(fit);
  out << Tr(
      // TRANSLATORS: the titles of the plane model's point table; each title ends where its
      // column ends (a Chinese character takes two columns).
      "    line        vN        vE         v     r        T     MDB");
  if (heights) {
    // TRANSLATORS: the titles of the height columns of the plane model's point table.
    out << Tr("        vH     r        T     MDB");
  }
  out << (points.has_name() ? Tr("  name") : "") << '\n';
  const char* const flagged_h = Tr("  (flagged horizontally)");
  const char* const flagged_v = Tr("  (flagged in height)");
  const char* const check_mark = Tr("  (check)");
  const char* const horizontal_only = Tr("  (horizontal only)");
  const char* const vertical_only = Tr("  (vertical only)");
  const char* const outside_mark = Tr("  (outside the limits)");
  LimitTally limits(in.limits);
  PointWalk walk(in);
  while (walk.Next()) {
    const PlanePoint p = PointOf(fit, walk.index());
    Right(out, walk.line() != 0 ? std::to_string(walk.line()) : std::string("-"), 8);
    const auto columns = [&](const PointFitPoint& r, bool in_fit, int d) {
      if (!in_fit) {
        for (int k = 0; k < d; ++k)
          Right(out, "-", 10);
        if (d == 2)
          Right(out, "-", 10);
        Right(out, "-", 6);
        Right(out, "-", 9);
        Right(out, "-", 8);
        return;
      }
      for (int k = 0; k < d; ++k)
        out.Fixed(r.residual[k], 10);
      if (d == 2)
        out.Fixed(r.residual_length, 10);
      Column(out, r.used ? Number("%.2f", r.redundancy_sum) : std::string("-"), 6);
      Column(out, r.tested ? Number("%.2f", r.test_statistic) : std::string("-"), 9);
      const double mdb = d == 2 ? std::max(r.mdb[0], r.mdb[1]) : r.mdb[0];
      Column(out, r.tested && std::isfinite(mdb) ? Fixed(mdb) : std::string("-"), 8);
    };
    columns(p.horizontal, p.in_horizontal, 2);
    if (heights)
      columns(p.vertical, p.in_vertical, 1);
    if (points.has_name())
      out << "  " << walk.name();
    if (p.in_horizontal && p.horizontal.flagged)
      out << flagged_h;
    if (p.in_vertical && p.vertical.flagged)
      out << flagged_v;
    const Role role = points.plane(walk.index()).role;
    out << (role == Role::kCheck        ? check_mark
            : role == Role::kHorizontal ? horizontal_only
            : role == Role::kVertical   ? vertical_only
                                        : "");
    if (in.limits.any() &&
        !limits.Note(walk.line(), walk.name(), PlaneHorizontal(p), PlaneVertical(p)))
      out << outside_mark;
    out << '\n';
  }
  if (!walk.ok())
    return Tr(kSpoolUnreadable);
  if (in.limits.any()) {
    out << '\n';
    limits.WriteText(out);
  }
  for (const LeftOut& l : in.input->left_out) {
    // TRANSLATORS: {1} is a point name, {2} a file name, {3} a line number.
    out << Fill(Tr("left out by the user: {1} ({2}, line {3})"), l.name, in.input->source, l.line)
        << '\n';
  }

  const PointFitSolution& h = fit.horizontal.solution();
  out << '\n'
      << Fill(fit.settings.fix_scale
                  // TRANSLATORS: {1} is the number of points used, {2} the points given for the
                  // fit, {3} the check points.
                  ? Tr("model: plane similarity with the scale held at 1, fitted to {1} of {2} "
                       "({3} check)")
                  // TRANSLATORS: {1} is the number of points used, {2} the points given for the
                  // fit, {3} the check points.
                  : Tr("model: four-parameter plane similarity, fitted to {1} of {2} ({3} check)"),
              static_cast<std::uint64_t>(h.points_used),
              Counted(h.points - h.points_check, "{1} point", "{1} points"),
              static_cast<std::uint64_t>(h.points_check))
      << '\n';
  if (fit.settings.grid.gauss_kruger()) {
    // TRANSLATORS: {1} is the central meridian in degrees, {2} and {3} the GNSS ellipsoid's
    // semi-major axis (metres) and inverse flattening.
    out << Fill(Tr("GNSS positions projected by the transverse Mercator of central meridian {1}, "
                   "on the ellipsoid a = {2} m, 1/f = {3}"),
                crs::Shortest(fit.meridian), crs::Shortest(fit.projection.a),
                crs::Shortest(fit.projection.inverse_flattening))
        << '\n';
  } else {
    WriteProjectionLine(fit, "", out);
  }
  out << Tr("horizontal fit (grid from the projected GNSS positions):") << '\n';
  WriteStatistics(out, h, *in.settings, in.settings->sigma_horizontal);
  const bool known = h.dof > 0 || h.a_priori;
  const auto sd = [&](double v, const char* format) {
    return known ? Number(format, v) : std::string("-");
  };
  // TRANSLATORS: {1} and {2} are the reference point's northing and easting in metres.
  out << "  "
      << Fill(Tr("reference point: x0 = {1} m, y0 = {2} m"), Number("%.0f", fit.reference_north),
              Number("%.0f", fit.reference_east))
      << '\n';
  // TRANSLATORS: the shift, grid less projected, at the reference point; {1} metres, {2} its
  // standard deviation.
  out << "  "
      << Fill(Tr("shift at the reference point: dx = {1} m +- {2}, dy = {3} m +- {4}"),
              Fixed(fit.shift_north), sd(fit.standard_deviation[0], "%.4f"), Fixed(fit.shift_east),
              sd(fit.standard_deviation[1], "%.4f"))
      << '\n';
  const Similarity& e = fit.exported;
  out << "  "
      << Fill(Tr("rotation: {1}\" ({2}) +- {3}\""), Decimals6(e.rotation), Dms(e.rotation),
              sd(fit.standard_deviation[2], "%.6f"))
      << '\n';
  if (fit.settings.fix_scale) {
    out << "  " << Tr("scale: 1 (held)") << '\n';
  } else {
    out << "  "
        << Fill(Tr("scale: {1} ({2} ppm) +- {3} ppm"), Number("%.12f", e.scale),
                Decimals6((e.scale - 1) * 1e6), sd(fit.standard_deviation[3], "%.6f"))
        << '\n';
  }
  // TRANSLATORS: the similarity about the origin, as controllers take it.
  out << "  "
      << Fill(Tr("origin form: dx = {1} m, dy = {2} m, rotation {3}\", scale {4}"), Fixed(e.north),
              Fixed(e.east), Decimals6(e.rotation), Number("%.12f", e.scale))
      << '\n';
  if (!fit.settings.fix_scale && known) {
    out << "  " << Tr("correlations of dx, dy, rotation, scale:") << '\n';
    for (int r = 0; r < 4; ++r) {
      out << "   ";
      for (int c = 0; c < 4; ++c) {
        const std::string text = Number("%.3f", fit.correlation[r][c]);
        Right(out, text == "-0.000" ? "0.000" : text, 8);
      }
      out << '\n';
    }
  }
  WriteFlagged(out, in, fit.horizontal, NoTr("horizontally"));
  WriteChecks(out, fit.horizontal);

  if (!fit.auto_note.empty())
    out << Fill(Tr("note: {1}"), Tr(fit.auto_note.c_str())) << '\n';
  if (heights) {
    const PointFitSolution& v = fit.vertical.solution();
    // TRANSLATORS: {1} is the surface (an inclined plane), {2} the points used, {3} the points
    // given for the fit, {4} how it was chosen.
    out << Fill(Tr("height fit of H - h: {1}, fitted to {2} of {3}{4}"),
                Tr(SurfaceName(fit.surface.kind)), static_cast<std::uint64_t>(v.points_used),
                Counted(v.points - v.points_check, "{1} point", "{1} points"),
                fit.settings.height_fit == HeightFit::kAuto ? Tr(" (--height-fit auto)") : "")
        << '\n';
    WriteStatistics(out, v, *in.settings, in.settings->sigma_vertical);
    const bool v_known = v.dof > 0 || v.a_priori;
    out << "  "
        << Fill(Tr("reference point: x0 = {1} m, y0 = {2} m"),
                Number("%.0f", fit.surface.reference_north),
                Number("%.0f", fit.surface.reference_east))
        << '\n';
    const Surface& s = fit.exported_surface;
    for (int k = 0; k < SurfaceCoefficients(s.kind); ++k) {
      out << "  ";
      Right(out, kCoefficientNames[k], 3);
      out << " = ";
      Right(out, k == 0 ? Fixed(s.coefficient[k]) : Decimals6(s.coefficient[k]), 14);
      out << ' ' << kCoefficientUnits[k] << "  +- "
          << (v_known ? (k == 0 ? Fixed(fit.surface.standard_deviation[k])
                                : Decimals6(fit.surface.standard_deviation[k]))
                      : std::string("-"))
          << '\n';
    }
    WriteFlagged(out, in, fit.vertical, NoTr("in height"));
    WriteChecks(out, fit.vertical);
  } else if (fit.auto_note.empty()) {
    out << Tr("heights: not fitted (--height-fit none)") << '\n';
  }
  if (in.refused > 0)
    out << Counted(in.refused, "{1} line refused (see standard error)",
                   "{1} lines refused (see standard error)")
        << '\n';
  return {};
}

// One fit's columns of a point in the CSV report: its residuals (and their length for a position),
// redundancy, test, critical value, MDBs and flag; empty fields when the point is not in that fit.
void CsvFitColumns(Output& out, char d, const PointFitPoint& r, bool in_fit, int dimension) {
  if (!in_fit) {
    out << std::string(dimension == 2 ? 9 : 6, d);
    return;
  }
  for (int k = 0; k < dimension; ++k)
    (out << d).Fixed(r.residual[k]);
  if (dimension == 2)
    (out << d).Fixed(r.residual_length);
  out << d;
  if (r.used)
    out.Fixed(r.redundancy_sum);
  if (r.tested) {
    (out << d).Fixed(r.test_statistic);
    (out << d).Fixed(r.critical);
    for (int k = 0; k < dimension; ++k)
      (out << d).Fixed(r.mdb[k]);
  } else {
    out << std::string(2 + dimension, d);
  }
  out << d << (r.flagged ? '1' : '0');
}

Reason WriteCsvReport(const ReportInput& in, Output& out) {
  const PlaneFit& fit = *in.plane;
  const PointSet& points = *in.points;
  const char d = in.delimiter;
  WriteCsvLeadTitles(points, d, out);
  static constexpr std::string_view kColumns[] = {
      "x_projected", "y_projected", "vN", "vE",  "v",   "r",        "T",     "T_crit",    "mdb_N",
      "mdb_E",       "flagged",     "vH", "r_H", "T_H", "T_crit_H", "mdb_H", "flagged_H", "role"};
  for (std::string_view t : kColumns)
    out << d << t;
  out << '\n';
  PointWalk walk(in);
  while (walk.Next()) {
    const std::size_t i = walk.index();
    const PlanePoint p = PointOf(fit, i);
    if (walk.line() != 0)
      out << walk.line();
    if (points.two_files())
      out << d << walk.wgs84_line();
    for (const std::string& f : walk.fields())
      (out << d).CsvField(f, d);
    (out << d).Fixed(fit.projected_north[i]);
    (out << d).Fixed(fit.projected_east[i]);
    CsvFitColumns(out, d, p.horizontal, p.in_horizontal, 2);
    CsvFitColumns(out, d, p.vertical, p.in_vertical, 1);
    out << d << RoleName(points.plane(i).role) << '\n';
  }
  if (!walk.ok())
    return Tr(kSpoolUnreadable);
  return {};
}

void JsonFitStatistics(JsonWriter& w, const PointFitSolution& s) {
  w.Key("points_used");
  w.Uint64(s.points_used);
  w.Key("points_check");
  w.Uint64(s.points_check);
  w.Key("points_flagged");
  w.Uint64(s.points_flagged);
  w.Key("degrees_of_freedom");
  w.Number(s.dof);
  w.Key("sigma0");
  if (s.dof > 0)
    w.Number(s.sigma0);
  else
    w.Null();
  w.Key("a_priori");
  w.Bool(s.a_priori);
  w.Key("global_test");
  if (s.global_test.run) {
    w.StartObject();
    w.Key("statistic");
    w.Number(s.global_test.statistic);
    w.Key("critical");
    w.Number(s.global_test.critical);
    w.Key("rejected");
    w.Bool(s.global_test.rejected);
    w.EndObject();
  } else {
    w.Null();
  }
  w.Key("outlier_test_run");
  w.Bool(s.tested);
  w.Key("point_critical");
  w.Number(s.point_critical);
}

void JsonPoint(JsonWriter& w, const PointFitPoint& p, int d) {
  w.StartObject();
  w.Key("residual");
  w.StartArray();
  for (int k = 0; k < d; ++k)
    w.Decimals4(p.residual[k]);
  w.EndArray();
  w.Key("used");
  w.Bool(p.used);
  w.Key("check");
  w.Bool(p.check);
  w.Key("flagged");
  w.Bool(p.flagged);
  w.Key("redundancy");
  w.Number(p.redundancy_sum);
  w.Key("test");
  if (p.tested)
    w.Number(p.test_statistic);
  else
    w.Null();
  w.Key("critical");
  if (p.tested)
    w.Number(p.critical);
  else
    w.Null();
  w.Key("mdb");
  w.StartArray();
  for (int k = 0; k < d; ++k) {
    if (p.tested)
      w.Number(p.mdb[k]);
    else
      w.Null();
  }
  w.EndArray();
  w.EndObject();
}

Reason WriteJsonReport(const ReportInput& in, Output& out) {
  const PlaneFit& fit = *in.plane;
  const PointSet& points = *in.points;
  JsonStream stream(out);
  JsonWriter w(stream);
  w.StartObject();
  w.Key("model");
  w.Text(fit.settings.fix_scale ? "plane similarity, scale held"
                                : "four-parameter plane similarity");
  w.Key("central_meridian");
  w.Number(fit.meridian);
  WriteGridSystemJson(*in.input, w, false);
  w.Key("gnss_ellipsoid");
  w.StartObject();
  w.Key("a");
  w.Number(fit.projection.a);
  w.Key("inverse_flattening");
  w.Number(fit.projection.inverse_flattening);
  w.EndObject();
  w.Key("horizontal");
  w.StartObject();
  JsonFitStatistics(w, fit.horizontal.solution());
  w.Key("reference_point");
  w.StartObject();
  w.Key("north");
  w.Number(fit.reference_north);
  w.Key("east");
  w.Number(fit.reference_east);
  w.EndObject();
  const bool known = fit.horizontal.solution().dof > 0 || fit.horizontal.solution().a_priori;
  const auto value = [&](const char* key, double v, double sd) {
    w.Key(key);
    w.StartObject();
    w.Key("value");
    w.Number(v);
    w.Key("sd");
    if (known)
      w.Number(sd);
    else
      w.Null();
    w.EndObject();
  };
  value("shift_north", fit.shift_north, fit.standard_deviation[0]);
  value("shift_east", fit.shift_east, fit.standard_deviation[1]);
  value("rotation_arcseconds", fit.exported.rotation, fit.standard_deviation[2]);
  value("scale_ppm", (fit.exported.scale - 1) * 1e6, fit.standard_deviation[3]);
  w.Key("scale_held");
  w.Bool(fit.settings.fix_scale);
  w.Key("origin_form");
  w.StartObject();
  w.Key("north");
  w.Number(fit.exported.north);
  w.Key("east");
  w.Number(fit.exported.east);
  w.Key("rotation_arcseconds");
  w.Number(fit.exported.rotation);
  w.Key("scale");
  w.Number(fit.exported.scale);
  w.EndObject();
  w.EndObject();
  w.Key("height_fit");
  if (HasHeights(fit)) {
    w.StartObject();
    w.Key("surface");
    w.Text(HeightFitName(fit.surface.kind));
    JsonFitStatistics(w, fit.vertical.solution());
    w.Key("reference_point");
    w.StartObject();
    w.Key("north");
    w.Number(fit.surface.reference_north);
    w.Key("east");
    w.Number(fit.surface.reference_east);
    w.EndObject();
    w.Key("coefficients");
    w.StartObject();
    for (int k = 0; k < SurfaceCoefficients(fit.surface.kind); ++k) {
      w.Key(kCoefficientNames[k]);
      w.Number(fit.exported_surface.coefficient[k]);
    }
    w.EndObject();
    w.EndObject();
  } else {
    w.Null();
  }
  if (!fit.auto_note.empty()) {
    w.Key("note");
    w.Text(fit.auto_note);
  }
  w.Key("points");
  w.StartArray();
  PointWalk walk(in);
  while (walk.Next()) {
    const std::size_t i = walk.index();
    const PlanePoint p = PointOf(fit, i);
    w.StartObject();
    w.Key("line");
    w.Uint64(walk.line());
    if (points.has_name()) {
      w.Key("name");
      w.Text(walk.name());
    }
    w.Key("role");
    w.Text(RoleName(points.plane(i).role));
    w.Key("projected");
    w.StartArray();
    w.Decimals4(fit.projected_north[i]);
    w.Decimals4(fit.projected_east[i]);
    w.EndArray();
    w.Key("horizontal");
    if (p.in_horizontal)
      JsonPoint(w, p.horizontal, 2);
    else
      w.Null();
    w.Key("height");
    if (p.in_vertical)
      JsonPoint(w, p.vertical, 1);
    else
      w.Null();
    w.EndObject();
  }
  if (!walk.ok())
    return Tr(kSpoolUnreadable);
  w.EndArray();
  w.EndObject();
  out << '\n';
  if (w.refused())
    return Tr("a text of the report is not valid UTF-8");
  return {};
}

// The parameters as a controller's four-parameter and height-fitting pages ask for them.
Reason WriteParameters(const ReportInput& in, Output& out) {
  const PlaneFit& fit = *in.plane;
  const Similarity& e = fit.exported;
  // TRANSLATORS: {1} is the central meridian in degrees.
  out << Fill(Tr("four parameters (grid from GNSS projected on central meridian {1}):"),
              crs::Shortest(fit.meridian))
      << '\n';
  WriteProjectionLine(fit, "  ", out);
  out << "  " << Fill(Tr("north shift dx: {1} m"), Fixed(e.north)) << '\n';
  out << "  " << Fill(Tr("east shift dy: {1} m"), Fixed(e.east)) << '\n';
  out << "  " << Fill(Tr("rotation: {1} ({2}\")"), Dms(e.rotation), Decimals6(e.rotation)) << '\n';
  out << "  "
      << Fill(Tr("scale: {1} ({2} ppm)"), Number("%.12f", e.scale), Decimals6((e.scale - 1) * 1e6))
      << '\n';
  if (!HasHeights(fit)) {
    out << Tr("height fitting: none") << '\n';
    return {};
  }
  const Surface& s = fit.exported_surface;
  // TRANSLATORS: {1} is the surface's name (constant, plane, quadric).
  // TRANSLATORS: {1} is the surface (an inclined plane), {2} its formula.
  out << Fill(Tr("height fitting, {1}: H - h = {2}, n and e in km north and east of the "
                 "reference point"),
              Tr(SurfaceName(s.kind)),
              s.kind == HeightFit::kQuadric ? "a0 + an n + ae e + ann n^2 + ane n e + aee e^2"
              : s.kind == HeightFit::kPlane ? "a0 + an n + ae e"
                                            : "a0")
      << '\n';
  out << "  "
      << Fill(Tr("reference point: x0 = {1} m, y0 = {2} m"), Number("%.0f", s.reference_north),
              Number("%.0f", s.reference_east))
      << '\n';
  for (int k = 0; k < SurfaceCoefficients(s.kind); ++k) {
    out << "  " << kCoefficientNames[k] << ": "
        << (k == 0 ? Fixed(s.coefficient[k]) : Decimals6(s.coefficient[k])) << ' '
        << kCoefficientUnits[k] << '\n';
  }
  return {};
}

Reason WritePipeline(const PlaneFit& fit, Output& out) {
  const Surface& s = fit.exported_surface;
  if (s.kind == HeightFit::kQuadric) {
    return fit.settings.height_fit == HeightFit::kAuto
               ? Tr("--height-fit auto chose a quadric surface (10 height points or more), and "
                    "PROJ 9.1 has no step for one: give --height-fit plane or constant for a "
                    "pipeline, or take the coefficients from --format parameters")
               : Tr("PROJ 9.1 has no step for a quadric height surface: give --height-fit plane "
                    "or constant for a pipeline, or take the coefficients from --format "
                    "parameters");
  }
  crs::PlaneSimilarity similarity;
  similarity.north = fit.exported.north;
  similarity.east = fit.exported.east;
  similarity.rotation = fit.exported.rotation;
  similarity.scale = fit.exported.scale;
  crs::HeightPlane height;
  height.fitted = s.kind != HeightFit::kNone;
  height.constant = s.coefficient[0];
  if (s.kind == HeightFit::kPlane) {
    // mm/km to metres per metre; dividing gives the double nearest the decimal.
    height.north_slope = s.coefficient[1] / 1e6;
    height.east_slope = s.coefficient[2] / 1e6;
  }
  height.reference_north = s.reference_north;
  height.reference_east = s.reference_east;
  std::string text;
  if (std::string r = crs::PlanePipeline(fit.projection, similarity, height, &text); !r.empty())
    return r;
  out << text << '\n';
  return {};
}

}  // namespace

Reason WritePlane(const ReportInput& in, Output& out) {
  switch (in.format) {
    case Format::kText:
      return WriteTextReport(in, out);
    case Format::kCsv:
      return WriteCsvReport(in, out);
    case Format::kJson:
      return WriteJsonReport(in, out);
    case Format::kParameters:
      return WriteParameters(in, out);
    case Format::kPipeline:
      return WritePipeline(*in.plane, out);
    case Format::kHtml:
      return WritePlaneHtml(in, out);
    default:
      break;
  }
  return Tr(
      "a plane model has no geocentric parameters and no CRS form in PROJ 9.1: give "
      "--format pipeline or parameters (or text, csv, json)");
}

}  // namespace zerb
