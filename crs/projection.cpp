// The forward transverse Mercator through PROJ; see projection.h.
#include "crs/projection.h"

#include <proj.h>

#include <charconv>
#include <cmath>

#include "crs/proj_session.h"
#include "text/translate.h"

namespace zerb::crs {
std::string Shortest(double v) {
  // Fixed notation, as people and PROJ strings write lengths: -4000000, not -4e+06. Room for the
  // longest double written so.
  char text[400];
  const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed);
  return std::string(text, r.ptr);
}

std::string ProjString(const TransverseMercator& p) {
  return "+proj=tmerc +lat_0=0 +lon_0=" + Shortest(p.central_meridian) +
         " +k=" + Shortest(p.scale) + " +x_0=" + Shortest(p.false_easting) +
         " +y_0=" + Shortest(p.false_northing) + " +a=" + Shortest(p.a) +
         " +rf=" + Shortest(p.inverse_flattening) + " +units=m";
}

std::string Project(const TransverseMercator& projection, std::vector<double>* north,
                    std::vector<double>* east) {
  ProjSession session;
  const PjHandle pj(proj_create(session.context(), ProjString(projection).c_str()));
  if (!pj) {
    // TRANSLATORS: {1} is PROJ's reason.
    return Fill(Tr("PROJ could not build the transverse Mercator projection: {1}."),
                session.Reason());
  }
  // PROJ takes longitude first: east holds the longitudes, north the latitudes, each in place.
  const std::size_t n = north->size();
  const std::size_t done =
      proj_trans_generic(pj.get(), PJ_FWD, east->data(), sizeof(double), n, north->data(),
                         sizeof(double), n, nullptr, 0, 0, nullptr, 0, 0);
  if (done != n)
    return Fill(Tr("PROJ could not build the transverse Mercator projection: {1}."),
                session.Reason());
  for (std::size_t i = 0; i < n; ++i) {
    if (!(std::isfinite((*north)[i]) && std::isfinite((*east)[i]))) {
      // TRANSLATORS: {1} is PROJ's reason.
      return Fill(Tr("PROJ could not project a GNSS point on the grid's plane: {1}."),
                  session.Reason());
    }
  }
  return {};
}

}  // namespace zerb::crs
