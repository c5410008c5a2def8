// Measures the error of the inverse Gauss-Krueger projection (GaussKrugerInverse) by latitude and
// distance from the central meridian and prints the table kept in points/projection_domain.h.
//
// Method: each sample point (B, L) on Krassovsky 1940 is projected to the grid with
// GeographicLib::TransverseMercator and taken back with GaussKrugerInverse; the latitude and
// longitude differences become metres on the ground with the meridian radius M and the
// prime-vertical radius N at B. The reference is Krueger's series to sixth order (Karney 2011,
// "Transverse Mercator with an accuracy of a few nanometers"), accurate to 5 nm within 3900 km of
// the central meridian, a thousand times finer than the 0.01 mm the table is rounded to; the
// program checks this against GeographicLib's exact projection (Lee 1976, elliptic functions) at
// every sample point and prints the largest difference. A cell's value is its worst sample,
// rounded up to 0.01 mm so that the table never understates a sample.
//
// Usage: measure_inverse [--markdown]. The table rows are printed as text, or as Markdown for the
// README; both are followed by the reference check and by the bands outside the table, which the
// lookup replaces with its nearest row.
#include <GeographicLib/TransverseMercator.hpp>
#include <GeographicLib/TransverseMercatorExact.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "geodesy/geodesy.h"
#include "points/projection_domain.h"

namespace {

using zerb::geodesy::DEG_TO_RAD;
using zerb::geodesy::GaussKrugerInverse;
using zerb::geodesy::kKrassovsky;

// The zone's meridian is arbitrary (the error depends only on L - L0); the dialog's default
// keeps the final addition of L0 as it is in use.
constexpr double kCentralMeridian = 117;
constexpr double kFalseEasting = 500000;
// The flattening that belongs to the stored e^2 (1/f = 298.3 to twelve digits).
const double kFlattening = 1 - std::sqrt(1 - kKrassovsky.e2);

const GeographicLib::TransverseMercator kGrid(kKrassovsky.a, kFlattening, 1);
const GeographicLib::TransverseMercatorExact kExactGrid(kKrassovsky.a, kFlattening, 1);

// The largest difference between the series and the exact projection seen so far, metres.
double largest_reference_difference = 0;

// Horizontal error (metres) of GaussKrugerInverse at latitude B and offset from L0 (degrees).
double InverseError(double B, double offset) {
  double easting, northing;
  kGrid.Forward(kCentralMeridian, B, kCentralMeridian + offset, easting, northing);
  double exact_easting, exact_northing;
  kExactGrid.Forward(kCentralMeridian, B, kCentralMeridian + offset, exact_easting, exact_northing);
  largest_reference_difference = std::max(
      largest_reference_difference, std::hypot(easting - exact_easting, northing - exact_northing));

  const double L0 = kCentralMeridian * DEG_TO_RAD;
  double lat, lon;
  GaussKrugerInverse(kKrassovsky.a, kKrassovsky.e, L0, northing, easting + kFalseEasting, &lat,
                     &lon);

  const double sinB = std::sin(B * DEG_TO_RAD);
  const double w = std::sqrt(1 - kKrassovsky.e2 * sinB * sinB);
  const double M = kKrassovsky.a * (1 - kKrassovsky.e2) / (w * w * w);
  const double N = kKrassovsky.a / w;
  const double north = M * (lat - B * DEG_TO_RAD);
  const double east = N * std::cos(B * DEG_TO_RAD) * ((lon - L0) - offset * DEG_TO_RAD);
  return std::hypot(north, east);
}

// The worst error (millimetres, rounded up to 0.01 mm) over the lattice of a cell whose southern
// edge is at latitude south and whose edge nearer L0 is at offset near (degrees).
double CellWorstMillimetres(double south, double near) {
  constexpr int n = zerb::kInverseErrorSamples;
  double worst = 0;
  for (int i = 0; i < n; ++i) {
    const double B = south + zerb::kInverseErrorLatitudeStep * i / (n - 1);
    for (int j = 0; j < n; ++j) {
      const double offset = near + zerb::kInverseErrorOffsetStep * j / (n - 1);
      worst = std::max(worst, InverseError(B, offset));
    }
  }
  return std::ceil(worst * 1e5) / 100;
}

void PrintHeader(bool markdown) {
  if (markdown) {
    std::printf("| latitude / distance from L0, degrees |");
  } else {
    std::printf("latitude ");
  }
  for (int column = 0; column < zerb::kInverseErrorColumns; ++column) {
    const double near = column * zerb::kInverseErrorOffsetStep;
    char label[32];
    std::snprintf(label, sizeof label, "%g-%g", near, near + zerb::kInverseErrorOffsetStep);
    std::printf(markdown ? " %s |" : " %7s", label);
  }
  std::printf("\n");
  if (markdown) {
    std::printf("|---|");
    for (int column = 0; column < zerb::kInverseErrorColumns; ++column) {
      std::printf("---:|");
    }
    std::printf("\n");
  }
}

// One band of latitude [south, south + step]: its label and the worst error of each column.
void PrintBand(double south, bool markdown) {
  char label[32];
  std::snprintf(label, sizeof label, "%g-%g", south, south + zerb::kInverseErrorLatitudeStep);
  std::printf(markdown ? "| %s |" : "%-8s ", label);
  for (int column = 0; column < zerb::kInverseErrorColumns; ++column) {
    const double worst = CellWorstMillimetres(south, column * zerb::kInverseErrorOffsetStep);
    std::printf(markdown ? " %.2f |" : " %7.2f", worst);
  }
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  const bool markdown = argc == 2 && std::string_view(argv[1]) == "--markdown";
  if (argc > 2 || (argc == 2 && !markdown)) {
    std::fprintf(stderr, "usage: measure_inverse [--markdown]\n");
    return 2;
  }

  std::printf(
      "Worst horizontal error of GaussKrugerInverse on the ground, mm, %d x %d points per "
      "cell;\nrows latitude (degrees), columns distance from L0 (degrees):\n\n",
      zerb::kInverseErrorSamples, zerb::kInverseErrorSamples);
  PrintHeader(markdown);
  for (int row = 0; row < zerb::kInverseErrorRows; ++row) {
    PrintBand(zerb::kInverseErrorFirstLatitude + row * zerb::kInverseErrorLatitudeStep, markdown);
  }

  std::printf(
      "\nReference check: the series and the exact transverse Mercator projection differ "
      "by at most %.1e m at these points.\n",
      largest_reference_difference);

  std::printf("\nOutside the table (the lookup uses the nearest row instead):\n\n");
  PrintHeader(markdown);
  const double north_edge =
      zerb::kInverseErrorFirstLatitude + zerb::kInverseErrorRows * zerb::kInverseErrorLatitudeStep;
  for (double south = 0; south < zerb::kInverseErrorFirstLatitude;
       south += zerb::kInverseErrorLatitudeStep) {
    PrintBand(south, markdown);
  }
  for (double south = north_edge; south < 75; south += zerb::kInverseErrorLatitudeStep) {
    PrintBand(south, markdown);
  }
  return 0;
}
