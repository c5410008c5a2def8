// The PROJ objects behind every definition: the transverse Mercator projected CRS on the local
// datum of the grid's ellipsoid, bound to WGS 84 by the fitted Helmert transformation (a
// BoundCRS, what WKT1 writes as TOWGS84 and a PROJ string as +towgs84) or to CGCS2000 (WKT2 and
// PROJJSON only), and the operation from it to that hub.
#ifndef ZERB_CRS_BOUND_CRS_H
#define ZERB_CRS_BOUND_CRS_H

#include <string>

#include "crs/crs_definitions.h"
#include "crs/proj_session.h"

namespace zerb::crs {

// What the objects are called; the projected CRS's name is the one users see in their tools.
struct CrsNames {
  std::string projected;       // e.g. "Local datum (Krassovsky 1940) / Gauss-Kruger CM 117E, ..."
  std::string geographic;      // the geographic CRS and its datum
  std::string conversion;      // e.g. "Gauss-Kruger zone 39 (CM 117E)"
  std::string transformation;  // the Helmert transformation to WGS 84
};

// The projected CRS bound to the shift's target. Dimension 2: easting, northing on a 2D
// geographic CRS, hub WGS 84 2D (EPSG:4326) or CGCS2000 2D (EPSG:4490). Dimension 3: easting,
// northing, ellipsoidal height on a 3D geographic CRS, hub WGS 84 3D (EPSG:4979) or CGCS2000 3D
// (EPSG:4480), so that PROJ carries the height through the shift.
// shift and grid must be checked and rounded already. Null with *error set if PROJ refuses.
PjHandle BuildBoundCrs(const ProjSession& session, const Helmert& shift, const Grid& grid,
                       const CrsNames& names, int dimension, std::string* error);

// The operation from the 3D bound CRS to its hub in 3D (WGS 84 or CGCS2000), easting first and
// longitude before latitude, as cct takes and gives coordinates. Null with *error set if PROJ
// finds no operation.
PjHandle BuildOperationToHub(const ProjSession& session, const PJ* bound_3d, Target hub,
                             std::string* error);

}  // namespace zerb::crs

#endif  // ZERB_CRS_BOUND_CRS_H
