// The choice of format and the walk over the points; see report.h.
#include "writers/report.h"

#include <charconv>
#include <cstdio>

namespace zerb {

PointWalk::PointWalk(const ReportInput& in) : in_(in) {
  if (in_.points->spool() != nullptr)
    ok_ = in_.points->spool()->Rewind();
}

bool PointWalk::Next() {
  for (std::size_t i = started_ ? index_ + 1 : 0; ok_ && i < in_.fit->size(); ++i) {
    started_ = true;
    index_ = i;
    // Withdrawn points keep their record in the spool; it is read past.
    if (TextSpool* spool = in_.points->spool(); spool != nullptr)
      ok_ = spool->Read(&fields_);
    if (!ok_)
      return false;
    if (in_.points->withdrawn(i))
      continue;
    result_ = in_.fit->Point(i);
    return true;
  }
  return false;
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

std::string WarningText(const adjust::Warning& warning) {
  char text[240];
  switch (warning.code) {
    case adjust::Warning::Code::kSnoopingStopped:
      return "half of the points failed the outlier test, so it was stopped there: the model or "
             "the a-priori accuracy does not describe these points (rotations and scale, or a "
             "larger a-priori standard deviation, may)";
    case adjust::Warning::Code::kPointsClose:
      std::snprintf(text, sizeof text,
                    "the points used lie close together (principal spread %.0f m, under %.0f m): "
                    "rotations and scale are poorly determined",
                    warning.spread_first, adjust::kMinimumSpread);
      return text;
    case adjust::Warning::Code::kPointsCollinear:
      std::snprintf(text, sizeof text,
                    "the points used are nearly collinear (principal spreads %.0f m and %.0f m): "
                    "the rotation about their line is poorly determined",
                    warning.spread_first, warning.spread_second);
      return text;
  }
  return {};
}

std::string NotTestedText(const adjust::Solution& solution) {
  return "the outlier test needs at least " + std::to_string(solution.test_minimum) +
         " points in the fit";
}

Reason WriteReport(const ReportInput& in, std::FILE* out) {
  Output o(out);
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
  }
  return {};
}

}  // namespace zerb
