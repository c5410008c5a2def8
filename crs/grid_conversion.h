// The conversion of points between the fitted grid and the GNSS side with a definition
// zerb-shift wrote: a WKT2 or PROJJSON BoundCRS (the operation is PROJ's from it to its hub,
// WGS 84 3D or CGCS2000 3D, as BuildOperationToHub finds it) or a PROJ pipeline, taken as it
// stands. Forward is the definition's own direction: easting, northing, height in; longitude,
// latitude (degrees) and ellipsoidal height out.
//
// All arithmetic is PROJ's (proj_trans_generic over whole blocks). The way back is made exact
// here: PROJ inverts a seven-parameter Helmert step with the transposed rotation matrix, which
// is the inverse of the rotation only to first order; the small-angle matrix PROJ applies
// forward is not orthogonal, and a 3.5 ppm, 1" fit comes back about 1 mm off in height. So the
// way back runs the same operation with each such step written as PROJ's affine step of the
// same matrix, which PROJ inverts by the matrix's inverse: one pass, as cct -I takes. Measured
// over the tests' 64 points from 25 to 45 N (tests/convert): with rotations of 3" and 3.5 ppm
// PROJ's inverse alone misses by 1.7 mm horizontally and 4.0 mm in height, the affine way back
// by nanometres.
#ifndef ZERB_CRS_GRID_CONVERSION_H
#define ZERB_CRS_GRID_CONVERSION_H

#include <cstddef>
#include <string>
#include <string_view>

#include "crs/proj_session.h"

namespace zerb::crs {

class GridConversion {
 public:
  // Reads definition (the text of a crs-wkt2, crs-projjson or pipeline file). Returns why it
  // cannot be used, worded through text/translate.h, or an empty string.
  std::string Open(std::string_view definition);

  // Converts count points in place: x easting (forward) or longitude in degrees (inverse), y
  // northing or latitude, z the height. inverse takes GNSS points to the grid; exact takes the
  // affine way back above (false only to measure PROJ's inverse alone). A point PROJ cannot
  // convert gets HUGE_VAL in every coordinate.
  void Convert(double* x, double* y, double* z, std::size_t count, bool inverse, bool exact = true);

  // The grid's central meridian (degrees) and false easting (metres), read from the
  // transverse Mercator step of the operation as PROJ writes it; false when it has none.
  bool central_meridian(double* degrees) const;
  bool false_easting(double* metres) const;
  // "WGS 84" or "CGCS2000" for a CRS definition, empty for a pipeline.
  const std::string& hub() const { return hub_; }
  // The operation as a PROJ string, as cct would take it.
  const std::string& pipeline() const { return pipeline_; }

 private:
  static void Pass(PJ* operation, double* x, double* y, double* z, std::size_t count,
                   PJ_DIRECTION direction);

  ProjSession session_;
  PjHandle operation_;
  PjHandle inverse_;  // the operation with its Bursa-Wolf steps as affine steps (the way back)
  std::string hub_;
  std::string pipeline_;
  double central_meridian_ = 0;
  double false_easting_ = 0;
  bool has_meridian_ = false;
  bool has_false_easting_ = false;
};

}  // namespace zerb::crs

#endif  // ZERB_CRS_GRID_CONVERSION_H
