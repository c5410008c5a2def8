// The GNSS side's datum; see gnss_datum.h.
#include "points/gnss_datum.h"

#include "text/translate.h"

namespace zerb {

Reason ParseGnssDatum(std::string_view text, GnssDatum* datum) {
  if (text == "wgs84") {
    *datum = GnssDatum::kWgs84;
  } else if (text == "cgcs2000") {
    *datum = GnssDatum::kCgcs2000;
  } else {
    return Fill(Tr("unknown GNSS datum {1} (wgs84 or cgcs2000)"), Quoted(text));
  }
  return {};
}

const char* GnssDatumOption(GnssDatum datum) {
  return datum == GnssDatum::kCgcs2000 ? "cgcs2000" : "wgs84";
}

const char* GnssDatumName(GnssDatum datum) {
  return datum == GnssDatum::kCgcs2000 ? "CGCS2000" : "WGS 84";
}

Reason ProjectionForDatum(ProjectionKind projection, GnssDatum datum) {
  if (projection == ProjectionKind::kDialog && datum == GnssDatum::kCgcs2000) {
    return Tr(
        "--projection dialog gives the dialog's dx, dy, dz to the bit, and the dialog's GNSS side "
        "is WGS 84 only: with --gnss-datum cgcs2000 use --projection exact (the default)");
  }
  return {};
}

}  // namespace zerb
