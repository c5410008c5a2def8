// The choice of format and the walk over the points; see report.h.
#include "cli/writers/report.h"

namespace zerb {

PointWalk::PointWalk(const ReportInput& in) : in_(in) {
  if (in_.points->spool() != nullptr)
    ok_ = in_.points->spool()->Rewind();
}

bool PointWalk::Next() {
  PointSet& points = *in_.points;
  std::size_t i = started_ ? index_ + 1 : 0;
  started_ = true;
  for (; ok_ && i < points.size(); ++i) {
    if (points.spool() != nullptr)
      ok_ = points.spool()->Read(&fields_);
    if (!points.withdrawn(i))
      break;
  }
  if (!ok_ || i >= points.size())
    return false;
  index_ = i;
  flag_ = nullptr;
  if (!points.check(i)) {
    const std::vector<Flag>& flags = in_.summary->flags;
    if (next_flag_ < flags.size() && flags[next_flag_].index == fit_)
      flag_ = &flags[next_flag_++];
    ++fit_;
  }
  return true;
}

bool WriteReport(const ReportInput& in, std::FILE* out) {
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
      WriteExport(in, o);
      return true;
  }
  return true;
}

}  // namespace zerb
