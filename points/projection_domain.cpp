// The inverse projection's measured error as data, and its lookup by cell: see
// projection_domain.h for the method and the accuracy of the table.
#include "points/projection_domain.h"

#include <cmath>
#include <limits>

namespace zerb {

// Printed by bench/projection/run; millimetres, rounded up to 0.01 mm.
const InverseErrorTable kInverseErrorMillimetres = {{
    {0.71, 0.71, 0.71, 0.73, 0.75, 0.81, 0.98, 1.55, 2.99, 5.96},   // 18-21
    {0.86, 0.86, 0.86, 0.87, 0.90, 0.95, 1.13, 1.75, 3.37, 6.72},   // 21-24
    {1.00, 1.01, 1.01, 1.02, 1.04, 1.09, 1.28, 1.96, 3.76, 7.53},   // 24-27
    {1.14, 1.14, 1.14, 1.15, 1.17, 1.22, 1.41, 2.15, 4.16, 8.37},   // 27-30
    {1.26, 1.26, 1.26, 1.27, 1.28, 1.33, 1.53, 2.34, 4.57, 9.22},   // 30-33
    {1.36, 1.36, 1.36, 1.37, 1.38, 1.42, 1.63, 2.52, 4.97, 10.06},  // 33-36
    {1.44, 1.44, 1.44, 1.45, 1.45, 1.49, 1.71, 2.69, 5.34, 10.85},  // 36-39
    {1.51, 1.51, 1.51, 1.51, 1.52, 1.55, 1.79, 2.84, 5.69, 11.59},  // 39-42
    {1.56, 1.56, 1.57, 1.57, 1.57, 1.61, 1.86, 2.98, 5.99, 12.22},  // 42-45
    {1.62, 1.62, 1.62, 1.62, 1.63, 1.66, 1.92, 3.10, 6.25, 12.74},  // 45-48
    {1.69, 1.69, 1.69, 1.69, 1.69, 1.72, 1.99, 3.20, 6.43, 13.11},  // 48-51
    {1.77, 1.77, 1.77, 1.77, 1.77, 1.80, 2.07, 3.28, 6.54, 13.31},  // 51-54
    {1.86, 1.86, 1.86, 1.86, 1.87, 1.90, 2.16, 3.34, 6.58, 13.34},  // 54-57
    {1.98, 1.98, 1.98, 1.98, 1.98, 2.01, 2.25, 3.37, 6.58, 13.32},  // 57-60
}};

namespace {

// The cell, of count cells of width step, that holds distance (measured from the table's near
// edge), clamped to the table: a value on an edge belongs to the nearer cell, whose lattice
// sampled that edge.
int CellIndex(double distance, double step, int count) {
  const double cells = std::ceil(distance / step);
  if (cells <= 1) {
    return 0;
  }
  return cells >= count ? count - 1 : static_cast<int>(cells) - 1;
}

}  // namespace

double ExpectedInverseError(double latitude_degrees, double offset_degrees) {
  const double latitude = std::abs(latitude_degrees);
  const double offset = std::abs(offset_degrees);
  if (std::isnan(latitude) || std::isnan(offset)) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  if (offset > kInverseErrorColumns * kInverseErrorOffsetStep) {
    return std::numeric_limits<double>::infinity();
  }
  const int row = CellIndex(latitude - kInverseErrorFirstLatitude, kInverseErrorLatitudeStep,
                            kInverseErrorRows);
  const int column = CellIndex(offset, kInverseErrorOffsetStep, kInverseErrorColumns);
  return kInverseErrorMillimetres[row][column] * 1e-3;
}

}  // namespace zerb
