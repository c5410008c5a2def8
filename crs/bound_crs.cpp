// Builds the local grid's CRS objects with PROJ's builder functions (ISO 19111 object model, as
// PROJ implements it). The Helmert transformation is given to PROJ in the EPSG methods
// "Geocentric translations" (9603) and "Position Vector transformation" (9606), the convention of
// +towgs84 and of WKT1's TOWGS84, so every export writes the parameters exactly as fitted. Only
// the methods, their parameters and units carry EPSG IDs, which tell readers the formulas; the
// CRSs, datum and transformation built here carry none, so no reader mistakes the grid for a
// registered CRS. Measured over 25-45 N within 3 degrees of L0: the definitions bring common
// points made by an independent PROJ pipeline back within 0.05 mm horizontally and 0.22 mm in
// height (tests/crs).
#include "crs/bound_crs.h"

#include <proj.h>
// The builder functions of PROJ's C API (proj_create_*_crs, proj_create_transformation).
#include <proj_experimental.h>

#include <array>
#include <numbers>

#include "text/translate.h"

namespace zerb::crs {
namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kArcSecond = std::numbers::pi / 648000;
constexpr double kPpm = 1e-6;

PjHandle Checked(PJ* object, const ProjSession& session, const char* what, std::string* error) {
  if (object == nullptr) {
    // TRANSLATORS: {1} is what PROJ was to build ("the projected CRS"), {2} PROJ's reason.
    *error = Fill(Tr("PROJ could not build {1}: {2}."), Tr(what), session.Reason());
  }
  return PjHandle(object);
}

// The hub: WGS 84 or CGCS2000, geographic 2D or 3D.
PjHandle Hub(const ProjSession& session, Target target, int dimension, std::string* error) {
  if (target == Target::kCgcs2000) {
    return Checked(
        proj_create_from_database(session.context(), "EPSG", dimension == 3 ? "4480" : "4490",
                                  PJ_CATEGORY_CRS, 0, nullptr),
        session, NoTr("CGCS2000 from its database (is proj.db installed?)"), error);
  }
  return Checked(
      proj_create_from_database(session.context(), "EPSG", dimension == 3 ? "4979" : "4326",
                                PJ_CATEGORY_CRS, 0, nullptr),
      session, NoTr("WGS 84 from its database (is proj.db installed?)"), error);
}

PjHandle HelmertToWgs84(const ProjSession& session, const Helmert& shift, const std::string& name,
                        PJ* source, PJ* target, std::string* error) {
  const std::array<PJ_PARAM_DESCRIPTION, 7> parameters = {{
      {"X-axis translation", "EPSG", "8605", shift.tx, "metre", 1.0, PJ_UT_LINEAR},
      {"Y-axis translation", "EPSG", "8606", shift.ty, "metre", 1.0, PJ_UT_LINEAR},
      {"Z-axis translation", "EPSG", "8607", shift.tz, "metre", 1.0, PJ_UT_LINEAR},
      {"X-axis rotation", "EPSG", "8608", shift.rx, "arc-second", kArcSecond, PJ_UT_ANGULAR},
      {"Y-axis rotation", "EPSG", "8609", shift.ry, "arc-second", kArcSecond, PJ_UT_ANGULAR},
      {"Z-axis rotation", "EPSG", "8610", shift.rz, "arc-second", kArcSecond, PJ_UT_ANGULAR},
      {"Scale difference", "EPSG", "8611", shift.scale_ppm, "parts per million", kPpm, PJ_UT_SCALE},
  }};
  const char* method = shift.seven ? "Position Vector transformation (geog2D domain)"
                                   : "Geocentric translations (geog2D domain)";
  const char* method_code = shift.seven ? "9606" : "9603";
  const int count = shift.seven ? 7 : 3;
  // Accuracy -1: unknown to PROJ; the fit's own statistics say how good it is.
  return Checked(proj_create_transformation(session.context(), name.c_str(), nullptr, nullptr,
                                            source, target, nullptr, method, "EPSG", method_code,
                                            count, parameters.data(), -1.0),
                 session, NoTr("the Helmert transformation"), error);
}

}  // namespace

PjHandle BuildBoundCrs(const ProjSession& session, const Helmert& shift, const Grid& grid,
                       const CrsNames& names, int dimension, std::string* error) {
  PJ_CONTEXT* const context = session.context();
  const PjHandle ellipsoidal_cs = Checked(
      proj_create_ellipsoidal_2D_cs(context, PJ_ELLPS2D_LATITUDE_LONGITUDE, "degree", kDegree),
      session, NoTr("the ellipsoidal coordinate system"), error);
  if (!ellipsoidal_cs) {
    return nullptr;
  }
  const GridSystem& system = grid.system;
  const std::string ellipsoid = EllipsoidName(system.ellipsoid);
  const PjHandle geographic =
      Checked(proj_create_geographic_crs(context, names.geographic.c_str(),
                                         names.geographic.c_str(), ellipsoid.c_str(),
                                         system.ellipsoid.a, system.ellipsoid.inverse_flattening,
                                         "Greenwich", 0.0, "degree", kDegree, ellipsoidal_cs.get()),
              session, NoTr("the local geographic CRS"), error);
  if (!geographic) {
    return nullptr;
  }
  // Gauss-Krueger: transverse Mercator (EPSG method 9807), origin on the equator; for a
  // Gauss-Krueger grid scale 1 and no false northing. A projection height enters as the scale
  // (grid_system.h). Built with the general conversion builder, as the transverse Mercator one
  // cannot be given a name.
  const double false_easting = grid.zone * 1e6 + system.false_easting;
  const std::array<PJ_PARAM_DESCRIPTION, 5> tmerc = {{
      {"Latitude of natural origin", "EPSG", "8801", 0.0, "degree", kDegree, PJ_UT_ANGULAR},
      {"Longitude of natural origin", "EPSG", "8802", grid.central_meridian, "degree", kDegree,
       PJ_UT_ANGULAR},
      {"Scale factor at natural origin", "EPSG", "8805", system.projection_scale(), "unity", 1.0,
       PJ_UT_SCALE},
      {"False easting", "EPSG", "8806", false_easting, "metre", 1.0, PJ_UT_LINEAR},
      {"False northing", "EPSG", "8807", system.false_northing, "metre", 1.0, PJ_UT_LINEAR},
  }};
  const PjHandle conversion =
      Checked(proj_create_conversion(context, names.conversion.c_str(), nullptr, nullptr,
                                     "Transverse Mercator", "EPSG", "9807",
                                     static_cast<int>(tmerc.size()), tmerc.data()),
              session, NoTr("the Gauss-Kruger conversion"), error);
  // Easting first: the order of a surveyor's E,N,H files and of x, y in GIS layers.
  const PjHandle cartesian_cs =
      Checked(proj_create_cartesian_2D_cs(context, PJ_CART2D_EASTING_NORTHING, "metre", 1.0),
              session, NoTr("the grid's coordinate system"), error);
  if (!conversion || !cartesian_cs) {
    return nullptr;
  }
  PjHandle projected =
      Checked(proj_create_projected_crs(context, names.projected.c_str(), geographic.get(),
                                        conversion.get(), cartesian_cs.get()),
              session, NoTr("the projected CRS"), error);
  if (!projected) {
    return nullptr;
  }
  if (dimension == 3) {
    // Adds the ellipsoidal height as third axis to the grid and to its geographic CRS.
    projected = Checked(proj_crs_promote_to_3D(context, nullptr, projected.get()), session,
                        NoTr("the 3D projected CRS"), error);
    if (!projected) {
      return nullptr;
    }
  }
  const PjHandle base = Checked(proj_crs_get_geodetic_crs(context, projected.get()), session,
                                NoTr("the local geographic CRS"), error);
  const PjHandle hub = Hub(session, shift.target, dimension, error);
  if (!base || !hub) {
    return nullptr;
  }
  const PjHandle transformation =
      HelmertToWgs84(session, shift, names.transformation, base.get(), hub.get(), error);
  if (!transformation) {
    return nullptr;
  }
  return Checked(
      proj_crs_create_bound_crs(context, projected.get(), hub.get(), transformation.get()), session,
      NoTr("the CRS bound to WGS 84"), error);
}

PjHandle BuildOperationToHub(const ProjSession& session, const PJ* bound_3d, Target hub,
                             std::string* error) {
  PJ_CONTEXT* const context = session.context();
  const PjHandle target = Hub(session, hub, 3, error);
  if (!target) {
    return nullptr;
  }
  PJ_OPERATION_FACTORY_CONTEXT* const factory =
      proj_create_operation_factory_context(context, nullptr);
  if (factory == nullptr) {
    *error = Fill(Tr("PROJ could not start looking for the operation to WGS 84: {1}."),
                  session.Reason());
    return nullptr;
  }
  PJ_OBJ_LIST* const operations = proj_create_operations(context, bound_3d, target.get(), factory);
  proj_operation_factory_context_destroy(factory);
  PjHandle operation;
  if (operations != nullptr && proj_list_get_count(operations) > 0) {
    operation = PjHandle(proj_list_get(context, operations, 0));
  }
  proj_list_destroy(operations);
  if (!operation) {
    *error = Fill(Tr("PROJ found no operation from the grid to WGS 84: {1}."), session.Reason());
    return nullptr;
  }
  // A ballpark operation would drop the fitted shift: the definition would be tens of metres off.
  if (proj_coordoperation_has_ballpark_transformation(context, operation.get())) {
    *error =
        Tr("PROJ offered only a ballpark operation from the grid to WGS 84, without the shift.");
    return nullptr;
  }
  // EPSG:4979 is latitude first; cct and the grid files take longitude first.
  return Checked(proj_normalize_for_visualization(context, operation.get()), session,
                 NoTr("the operation in longitude, latitude order"), error);
}

}  // namespace zerb::crs
