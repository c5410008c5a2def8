// The JSON report; see report.h.
#include "cli/writers/report.h"

namespace zerb {
namespace {

struct FlagNote {
  std::uint64_t line;
  std::string name;
  double distance;
  double limit;
};

void Triple(Output& out, const Vec3& v) {
  out << "{\"dx\": ";
  out.Fixed(v.x) << ", \"dy\": ";
  out.Fixed(v.y) << ", \"dz\": ";
  out.Fixed(v.z) << '}';
}

void WriteUnpaired(const ReportInput& in, Output& out) {
  const InputSummary& input = *in.input;
  out << ",\n  \"unpaired\": [";
  bool first = true;
  for (const Unpaired& u : input.unpaired) {
    out << (first ? "" : ", ") << "{\"name\": ";
    out.JsonString(u.name) << ", \"file\": ";
    out.JsonString(u.in_grid ? input.source : input.wgs84_source)
        << ", \"line\": " << u.line << '}';
    first = false;
  }
  out << "],\n  \"far_from_meridian\": {\"points\": "
      << static_cast<std::uint64_t>(input.far_points) << ", \"expected_error\": ";
  out.Fixed(input.worst_expected_error) << '}';
}

}  // namespace

bool WriteJson(const ReportInput& in, Output& out) {
  const Summary& s = *in.summary;
  const PointSet& points = *in.points;
  out << "{\n  \"points\": [";
  PointWalk walk(in);
  std::vector<FlagNote> notes;
  bool first = true;
  while (walk.Next()) {
    out << (first ? "\n    {\"line\": " : ",\n    {\"line\": ");
    first = false;
    if (walk.line() != 0) {
      out << walk.line();
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
    const Vec3& d = walk.point().shift;
    out << ", \"dx\": ";
    out.Shortest(d.x) << ", \"dy\": ";
    out.Shortest(d.y) << ", \"dz\": ";
    out.Shortest(d.z);
    const Vec3 v = walk.residual();
    out << ", \"vx\": ";
    out.Fixed(v.x) << ", \"vy\": ";
    out.Fixed(v.y) << ", \"vz\": ";
    out.Fixed(v.z) << ", \"v\": ";
    out.Fixed(Length(v));
    const Flag* f = walk.flag();
    if (f != nullptr)
      notes.push_back({walk.line(), std::string(walk.name()), f->distance, f->limit});
    out << (f != nullptr ? ", \"flagged\": true" : ", \"flagged\": false")
        << (walk.check() ? ", \"check\": true}" : ", \"check\": false}");
  }
  if (!walk.ok())
    return false;
  out << "\n  ],\n  \"count\": " << static_cast<std::uint64_t>(s.count_all)
      << ",\n  \"mean_all\": ";
  Triple(out, s.mean_all);
  out << ",\n  \"residual_test\": ";
  if (!s.tested) {
    out << "null";
  } else if (in.rule.max_residual > 0) {
    out << "{\"max_residual\": ";
    out.Fixed(in.rule.max_residual) << '}';
  } else {
    out << "{\"rms_factor\": 3, \"floor\": 0.001}";
  }
  out << ",\n  \"flagged\": [";
  for (std::size_t k = 0; k < notes.size(); ++k) {
    out << (k == 0 ? "{\"line\": " : ", {\"line\": ") << notes[k].line;
    if (points.has_name()) {
      out << ", \"name\": ";
      out.JsonString(notes[k].name);
    }
    out << ", \"distance\": ";
    out.Fixed(notes[k].distance) << ", \"limit\": ";
    out.Fixed(notes[k].limit) << '}';
  }
  out << "],\n  \"flagged_kept\": "
      << (!notes.empty() && (in.rule.keep_all || s.undecided) ? "true" : "false")
      << ",\n  \"used\": " << static_cast<std::uint64_t>(s.count_used) << ",\n  \"mean\": ";
  Triple(out, s.mean);
  out << ",\n  \"rms\": {\"v\": ";
  out.Fixed(s.rms) << ", \"vx\": ";
  out.Fixed(s.rms_axis.x) << ", \"vy\": ";
  out.Fixed(s.rms_axis.y) << ", \"vz\": ";
  out.Fixed(s.rms_axis.z) << "},\n  \"towgs84\": \"+towgs84=" << zerb::Triple(s.mean, ",") << '"';
  WriteUnpaired(in, out);
  out << ",\n  \"refused_lines\": " << in.refused << "\n}\n";
  return true;
}

}  // namespace zerb
