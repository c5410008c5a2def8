// The exports a GIS takes; see report.h.
#include "cli/writers/report.h"

namespace zerb {

void WriteExport(const ReportInput& in, Output& out) {
  const Vec3& m = in.summary->mean;
  switch (in.format) {
    case Format::kTowgs84:
      out << "+towgs84=" << Triple(m, ",") << '\n';
      break;
    case Format::kProj:
      out << "+proj=helmert +x=" << Fixed(m.x) << " +y=" << Fixed(m.y) << " +z=" << Fixed(m.z)
          << '\n';
      break;
    case Format::kWkt:
      out << "TOWGS84[" << Triple(m, ",") << ",0,0,0,0]\n";
      break;
    default:
      break;
  }
}

}  // namespace zerb
