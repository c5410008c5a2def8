// The JSON report: every point with its statistics, and every statistic of the fit; see report.h.
// Written through RapidJSON's streaming writer straight into the output buffer, so that a report
// of a million points never stands whole in memory.
#include "writers/report.h"

#include <cmath>
#include <limits>

#include "text/translate.h"
#include "writers/grid_description.h"
#include "writers/json_writer.h"

namespace zerb {
namespace {

// A vector as an object with the three keys given.
void Object(JsonWriter& w, const Vec3& v, const char* x, const char* y, const char* z) {
  w.StartObject();
  w.Key(x);
  w.Number(v.x);
  w.Key(y);
  w.Number(v.y);
  w.Key(z);
  w.Number(v.z);
  w.EndObject();
}

void Neu(JsonWriter& w, const Vec3& v) {
  Object(w, v, "north", "east", "up");
}

void Xyz(JsonWriter& w, const Vec3& v) {
  Object(w, v, "x", "y", "z");
}

void Test(JsonWriter& w, const adjust::StatisticalTest& t) {
  if (!t.run) {
    w.Null();
    return;
  }
  w.StartObject();
  w.Key("statistic");
  w.Number(t.statistic);
  w.Key("critical");
  w.Number(t.critical);
  w.Key("distribution");
  w.Text(t.dof2 == 0 ? "chi-square" : "F");
  w.Key("dof1");
  w.Number(t.dof1);
  w.Key("dof2");
  w.Number(t.dof2);
  w.Key("rejected");
  w.Bool(t.rejected);
  w.EndObject();
}

void WritePoint(const ReportInput& in, const PointWalk& walk, JsonWriter& w) {
  const PointSet& points = *in.points;
  const adjust::PointResult& r = walk.result();
  w.StartObject();
  w.Key("line");
  if (r.tag != 0) {
    w.Uint64(r.tag);
  } else {
    w.Null();  // the point came from the options
  }
  if (points.two_files()) {
    w.Key("wgs84_line");
    w.Uint64(walk.wgs84_line());
  }
  std::size_t first_column = 0;
  if (points.has_name()) {
    w.Key("name");
    w.Text(walk.name());
    first_column = 1;
  }
  if (walk.fields().size() > first_column) {
    w.Key("columns");
    w.StartObject();
    for (std::size_t c = first_column; c < walk.fields().size(); ++c) {
      w.Text(points.titles()[c]);
      w.Text(walk.fields()[c]);
    }
    w.EndObject();
  }
  w.Key("dx");
  w.Number(r.shift.x);
  w.Key("dy");
  w.Number(r.shift.y);
  w.Key("dz");
  w.Number(r.shift.z);
  w.Key("residual");
  Xyz(w, r.residual);
  w.Key("residual_neu");
  Neu(w, r.residual_neu);
  w.Key("v");
  w.Number(r.residual_length);
  w.Key("redundancy");
  if (r.used) {
    Neu(w, r.redundancy_neu);
  } else {
    w.Null();
  }
  w.Key("redundancy_sum");
  if (r.used) {
    w.Number(r.redundancy);
  } else {
    w.Null();
  }
  w.Key("test");
  if (r.tested) {
    w.StartObject();
    w.Key("statistic");
    w.Number(r.test_statistic);
    w.Key("critical");
    w.Number(r.critical);
    w.Key("mdb");
    Neu(w, r.mdb_neu);
    w.EndObject();
  } else {
    w.Null();
  }
  w.Key("gross_error");
  Xyz(w, r.gross_error);
  w.Key("gross_error_length");
  w.Number(r.gross_error_length);
  w.Key("flagged");
  w.Bool(r.flagged);
  w.Key("flag_test");
  if (r.flagged) {
    // The test that flagged the point, in its round.
    w.StartObject();
    w.Key("round");
    w.Uint64(r.flag_round);
    w.Key("statistic");
    w.Number(r.flag_statistic);
    w.Key("critical");
    w.Number(r.flag_critical);
    w.EndObject();
  } else {
    w.Null();
  }
  w.Key("used");
  w.Bool(r.used);
  w.Key("check");
  w.Bool(r.check);
  w.EndObject();
}

void WriteParameters(const ReportInput& in, JsonWriter& w) {
  const adjust::Solution& s = in.fit->solution();
  const adjust::BursaWolf p = InConvention(s.exported, in.convention);
  const adjust::BursaWolf full = InConvention(s.parameters, in.convention);
  static constexpr const char* kNames[7] = {"tx", "ty", "tz", "rx", "ry", "rz", "s"};
  const double rounded[7] = {p.tx, p.ty, p.tz, p.rx, p.ry, p.rz, p.s};
  const double exact[7] = {full.tx, full.ty, full.tz, full.rx, full.ry, full.rz, full.s};
  const int n = s.parameter_count;
  w.Key("parameters");
  w.StartObject();
  w.Key("units");
  w.StartObject();
  w.Key("translation");
  w.Text("m");
  w.Key("rotation");
  w.Text("arc-second");
  w.Key("scale");
  w.Text("ppm");
  w.EndObject();
  for (int k = 0; k < n; ++k) {
    w.Key(kNames[k]);
    w.StartObject();
    w.Key("value");
    w.Number(rounded[k]);
    w.Key("unrounded");
    w.Number(exact[k]);
    w.Key("sd");
    // None without redundancy or an a-priori accuracy: a zero would read as exact.
    if (s.dof > 0 || s.a_priori)
      w.Number(s.standard_deviation[k]);
    else
      w.Null();
    w.EndObject();
  }
  w.EndObject();
  w.Key("correlation");
  const adjust::Matrix7 correlation = CorrelationInConvention(s.correlation, in.convention);
  w.StartArray();
  for (int r = 0; r < n; ++r) {
    w.StartArray();
    for (int c = 0; c < n; ++c)
      w.Number(correlation[r][c]);
    w.EndArray();
  }
  w.EndArray();
}

void WriteOutlierTest(const ReportInput& in, JsonWriter& w) {
  const adjust::Solution& s = in.fit->solution();
  const adjust::Settings& settings = *in.settings;
  w.Key("outlier_test");
  w.StartObject();
  w.Key("run");
  w.Bool(s.tested);
  if (!s.tested) {
    w.Key("reason");
    w.Text(NotTestedText(s, NoTr));
  }
  w.Key("rule");
  w.Text(settings.max_residual > 0 ? "max_residual" : "data_snooping");
  w.Key("alpha");
  w.Number(settings.alpha_point);
  w.Key("power");
  w.Number(settings.power);
  w.Key("lambda0");
  w.Number(s.lambda0);
  w.Key("critical");
  w.Number(s.point_critical);
  w.Key("critical_outside");
  w.Number(s.point_critical_outside);
  w.Key("floor");
  w.Number(settings.floor);
  w.Key("max_residual");
  if (settings.max_residual > 0) {
    w.Number(settings.max_residual);
  } else {
    w.Null();
  }
  w.Key("rounds");
  w.Uint64(s.rounds);
  w.Key("undecided");
  w.Bool(s.undecided);
  w.Key("kept_all");
  w.Bool(settings.keep_all);
  w.EndObject();
}

void WriteInput(const ReportInput& in, JsonWriter& w) {
  const InputSummary& input = *in.input;
  w.Key("unpaired");
  w.StartArray();
  for (const Unpaired& u : input.unpaired) {
    w.StartObject();
    w.Key("name");
    w.Text(u.name);
    w.Key("file");
    w.Text(u.in_grid ? input.source : input.wgs84_source);
    w.Key("line");
    w.Uint64(u.line);
    w.EndObject();
  }
  w.EndArray();
  w.Key("far_from_meridian");
  w.StartObject();
  w.Key("points");
  w.Uint64(input.far_points);
  w.Key("expected_error");
  w.Decimals4(input.worst_expected_error);
  w.EndObject();
  w.Key("refused_lines");
  w.Uint64(in.refused);
}

}  // namespace

Reason WriteJson(const ReportInput& in, Output& out) {
  const adjust::Solution& s = in.fit->solution();
  JsonStream stream(out);
  JsonWriter w(stream);
  w.StartObject();
  w.Key("points");
  w.StartArray();
  PointWalk walk(in);
  while (walk.Next())
    WritePoint(in, walk, w);
  if (!walk.ok())
    return Tr(kSpoolUnreadable);
  w.EndArray();
  w.Key("model");
  w.Int(s.parameter_count == 7 ? 7 : 3);
  w.Key("model_name");
  w.Text(ModelName(s.model));
  w.Key("convention");
  w.Text(ConventionName(in.convention));
  w.Key("projection");
  w.Text(ProjectionKindName(in.input->projection));
  // Named when it is not the WGS 84 every other key assumes, so that a WGS-84 report keeps its
  // bytes.
  const bool cgcs2000 = in.input->gnss_datum == GnssDatum::kCgcs2000;
  if (cgcs2000) {
    w.Key("gnss_datum");
    w.Text(GnssDatumName(in.input->gnss_datum));
  }
  WriteGridSystemJson(*in.input, w);
  w.Key("count");
  w.Uint64(s.points);
  w.Key("used");
  w.Uint64(s.points_used);
  w.Key("check");
  w.Uint64(s.points_check);
  w.Key("flagged");
  w.Uint64(s.points_flagged);
  w.Key("sigma0");
  w.Number(s.sigma0);
  w.Key("variance_factor");
  w.Number(s.variance_factor);
  w.Key("dof");
  w.Number(s.dof);
  w.Key("a_priori");
  if (s.a_priori) {
    w.StartObject();
    w.Key("horizontal");
    w.Number(in.settings->sigma_horizontal);
    w.Key("vertical");
    w.Number(in.settings->sigma_vertical);
    w.EndObject();
  } else {
    w.Null();
  }
  w.Key("global_test");
  Test(w, s.global_test);
  WriteParameters(in, w);
  WriteOutlierTest(in, w);
  w.Key("extra_parameters");
  Test(w, s.extra_parameters);
  if (s.model == adjust::Model::kSevenParameter) {
    w.Key("extra_parameters_justified");
    w.Bool(s.extra_parameters_justified);
  }
  w.Key("warnings");
  w.StartArray();
  for (const adjust::Warning& warning : s.warnings)
    w.Text(WarningText(warning, NoTr));
  w.EndArray();
  // A fit no datum transformation can have carries the reasons instead of its +towgs84, so that
  // no reader of the JSON takes it for one.
  w.Key("implausible");
  w.StartArray();
  for (const Implausible& why : in.implausible)
    w.Text(ImplausibleText(why, NoTr));
  w.EndArray();
  // +towgs84 is a shift to WGS 84 by definition: a fit to CGCS2000 has none.
  w.Key("towgs84");
  if (in.implausible.empty() && !cgcs2000) {
    std::string towgs84 = "+towgs84=" + TranslationText(s.exported, ",");
    if (s.model == adjust::Model::kSevenParameter)
      towgs84 += "," + RotationText(s.exported, ",");
    w.Text(towgs84);
  } else {
    w.Null();
  }
  WriteInput(in, w);
  w.EndObject();
  out << '\n';
  return w.refused() ? Reason(Tr("the report holds text that is not UTF-8")) : Reason();
}

}  // namespace zerb
