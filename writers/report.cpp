// The choice of format and the walk over the points; see report.h.
#include "writers/report.h"

#include <charconv>
#include <cstdio>

#include "text/translate.h"

namespace zerb {

PointWalk::PointWalk(const ReportInput& in) : in_(in) {
  if (in_.points->spool() != nullptr)
    ok_ = in_.points->spool()->Rewind();
}

bool PointWalk::Next() {
  for (std::size_t i = started_ ? index_ + 1 : 0; ok_ && i < in_.points->added(); ++i) {
    started_ = true;
    index_ = i;
    // Withdrawn points keep their record in the spool; it is read past.
    if (TextSpool* spool = in_.points->spool(); spool != nullptr)
      ok_ = spool->Read(&fields_);
    if (!ok_)
      return false;
    if (in_.points->withdrawn(i))
      continue;
    if (in_.fit != nullptr)
      result_ = in_.fit->Point(i);
    return true;
  }
  return false;
}

std::string Number(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

void Right(Output& out, const std::string& s, std::size_t width) {
  if (s.size() < width)
    out << std::string(width - s.size(), ' ');
  else if (width > 0 && s.size() > width)
    out << ' ';  // wider than its column, yet apart: "-" and "1083121.45" read as one number
  out << s;
}

void Column(Output& out, const std::string& s, std::size_t width) {
  if (s.size() < width)
    out << std::string(width - s.size(), ' ');
  else
    out << ' ';
  out << s;
}

void WriteCsvLeadTitles(const PointSet& points, char d, Output& out) {
  out << "line";
  if (points.two_files())
    out << d << "wgs84_line";
  for (const std::string& t : points.titles())
    (out << d).CsvField(t, d);
}

std::string Decimals6(double value) {
  char text[400];
  auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
  std::string s(text, r.ptr);
  return s == "-0.000000" ? "0.000000" : s;
}

std::string TranslationText(const adjust::BursaWolf& p, std::string_view separator) {
  return Triple({p.tx, p.ty, p.tz}, separator);
}

std::string RotationText(const adjust::BursaWolf& p, std::string_view separator) {
  return Decimals6(p.rx) + std::string(separator) + Decimals6(p.ry) + std::string(separator) +
         Decimals6(p.rz) + std::string(separator) + Decimals6(p.s);
}

std::string WarningText(const adjust::Warning& warning, Translate tr) {
  const auto metres = [](double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", value);
    return std::string(text);
  };
  switch (warning.code) {
    case adjust::Warning::Code::kSnoopingStopped:
      return tr(
          NoTr("half of the points failed the outlier test, so it was stopped there: the model "
               "or the a-priori accuracy does not describe these points (rotations and scale, or "
               "a larger a-priori standard deviation, may)"));
    case adjust::Warning::Code::kPointsClose:
      return Fill(
          // TRANSLATORS: {1} is the points' principal spread, {2} the least spread that determines
          // rotations and scale well, both in metres.
          tr(NoTr("the points used lie close together (principal spread {1} m, under {2} m): "
                  "rotations and scale are poorly determined")),
          metres(warning.spread_first), metres(adjust::kMinimumSpread));
    case adjust::Warning::Code::kPointsCollinear:
      return Fill(
          // TRANSLATORS: {1} and {2} are the points' two largest principal spreads in metres.
          tr(NoTr("the points used are nearly collinear (principal spreads {1} m and {2} m): "
                  "the rotation about their line is poorly determined")),
          metres(warning.spread_first), metres(warning.spread_second));
  }
  return {};
}

std::string NotTestedText(const adjust::Solution& solution, Translate tr) {
  // TRANSLATORS: {1} is a number of points, at least 2.
  return Fill(tr(NoTr("the outlier test needs at least {1} points in the fit")),
              static_cast<std::uint64_t>(solution.test_minimum));
}

Reason WriteReport(const ReportInput& in, std::FILE* out) {
  if (Reason r = FormatForDatum(in.format, in.input->gnss_datum); !r.empty())
    return r;
  Output o(out);
  if (in.plane != nullptr)
    return WritePlane(in, o);
  switch (in.format) {
    case Format::kText:
      return WriteText(in, o);
    case Format::kCsv:
      return WriteCsv(in, o);
    case Format::kJson:
      return WriteJson(in, o);
    case Format::kTowgs84:
    case Format::kProj:
    case Format::kWkt:
      return WriteExport(in, o);
    case Format::kCrsProj:
    case Format::kCrsWkt1:
    case Format::kCrsWkt2:
    case Format::kCrsProjJson:
    case Format::kPipeline:
      return WriteDefinition(in, o);
    case Format::kHtml:
      return WriteHtml(in, o);
    case Format::kParameters:
      return Tr(
          "--format parameters lists the plane model's parameters (--model 4); the 3 and 7 "
          "parameters are written by towgs84, proj or wkt");
  }
  return {};
}

}  // namespace zerb
