// zerb-convert's arithmetic against cct running the pipeline of the same parameters: the
// conversion is PROJ's, so anything beyond rounding is a fault of reading the definition, of the
// order of axes, of units or of the direction.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "crs/grid_conversion.h"
#include "crs/plane_pipeline.h"
#include "tests/cli/temp_folder.h"
#include "tests/convert/support.h"

namespace zerb::convert_test {
namespace {

// 0.01 mm: PROJ's arithmetic is the same on both sides; what differs is cct's printing to 12
// decimals (1e-12 degree, 0.1 nm) and the order of PROJ's internal steps, nanometres.
constexpr double kAgreement = 1e-5;

std::vector<Xyz> Forward(const std::string& definition, const std::vector<Xyz>& points,
                         bool inverse = false, bool exact = true) {
  crs::GridConversion conversion;
  EXPECT_EQ(conversion.Open(definition), "");
  std::vector<double> x, y, z;
  for (const Xyz& p : points) {
    x.push_back(p.x);
    y.push_back(p.y);
    z.push_back(p.z);
  }
  conversion.Convert(x.data(), y.data(), z.data(), x.size(), inverse, exact);
  std::vector<Xyz> out;
  for (std::size_t i = 0; i < x.size(); ++i)
    out.push_back({x[i], y[i], z[i]});
  return out;
}

void ExpectSameGeographic(const std::vector<Xyz>& ours, const std::vector<Xyz>& cct,
                          double horizontal, double vertical) {
  ASSERT_EQ(ours.size(), cct.size());
  for (std::size_t i = 0; i < ours.size(); ++i) {
    EXPECT_LT(GroundMetres(ours[i], cct[i]), horizontal) << "point " << i;
    EXPECT_LT(std::fabs(ours[i].z - cct[i].z), vertical) << "point " << i;
  }
}

struct Case {
  const char* name;
  crs::Form form;
  crs::Helmert shift;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class DefinitionAgreesWithCct : public ::testing::TestWithParam<Case> {};

TEST_P(DefinitionAgreesWithCct, GridToGnssWithinOneHundredthMillimetre) {
  const Case& c = GetParam();
  const std::string definition = Definition(c.form, c.shift);
  ASSERT_EQ(definition.find("refused"), std::string::npos) << definition;
  const std::vector<Xyz> grid = GridPoints();
  const std::vector<Xyz> cct = Cct(Definition(crs::Form::kPipeline, c.shift), grid, false);
  ExpectSameGeographic(Forward(definition, grid), cct, kAgreement, kAgreement);
}

TEST_P(DefinitionAgreesWithCct, GnssToGridComesBackThroughCctForward) {
  // cct -I is PROJ's approximate inverse; the exact inverse is checked the other way: cct
  // carries each converted grid point forward onto the GNSS point it came from.
  const Case& c = GetParam();
  const std::string definition = Definition(c.form, c.shift);
  const std::vector<Xyz> gnss = Cct(Definition(crs::Form::kPipeline, c.shift), GridPoints(), false);
  const std::vector<Xyz> grid = Forward(definition, gnss, true);
  ExpectSameGeographic(Cct(Definition(crs::Form::kPipeline, c.shift), grid, false), gnss,
                       kAgreement, kAgreement);
}

INSTANTIATE_TEST_SUITE_P(
    Models, DefinitionAgreesWithCct,
    ::testing::Values(Case{"ThreeParameterWkt2", crs::Form::kCrsWkt2, ThreeParameters()},
                      Case{"ThreeParameterProjJson", crs::Form::kCrsProjJson, ThreeParameters()},
                      Case{"ThreeParameterPipeline", crs::Form::kPipeline, ThreeParameters()},
                      Case{"SevenParameterWkt2", crs::Form::kCrsWkt2, SevenParameters()},
                      Case{"SevenParameterProjJson", crs::Form::kCrsProjJson, SevenParameters()},
                      Case{"SevenParameterPipeline", crs::Form::kPipeline, SevenParameters()},
                      Case{"LargeSevenParameterWkt2", crs::Form::kCrsWkt2, LargeSevenParameters()}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

// The plane model's pipeline (four parameters and an inclined height plane), as zerb-shift
// --model 4 writes it.
std::string PlaneDefinition() {
  crs::TransverseMercator gnss;
  gnss.central_meridian = 117;
  gnss.false_easting = 39500000;
  const crs::PlaneSimilarity similarity = {
      .north = 12.3456, .east = -45.6789, .rotation = 2.5, .scale = 1.0000123};
  const crs::HeightPlane height = {.fitted = true,
                                   .constant = -31.25,
                                   .north_slope = 1.2e-5,
                                   .east_slope = -2.3e-5,
                                   .reference_north = 4000000,
                                   .reference_east = 39500000};
  std::string text;
  EXPECT_EQ(crs::PlanePipeline(gnss, similarity, height, &text), "");
  return text;
}

TEST(PlaneModelAgreesWithCct, GridToGnssWithinOneHundredthMillimetre) {
  const std::string definition = PlaneDefinition();
  const std::vector<Xyz> grid = GridPoints();
  ExpectSameGeographic(Forward(definition, grid), Cct(definition, grid, false), kAgreement,
                       kAgreement);
}

TEST(PlaneModelAgreesWithCct, GnssToGridAsCctInverse) {
  // Every step of the plane pipeline has an exact inverse in PROJ, so cct -I is the reference.
  const std::string definition = PlaneDefinition();
  const std::vector<Xyz> gnss = Cct(definition, GridPoints(), false);
  const std::vector<Xyz> ours = Forward(definition, gnss, true);
  const std::vector<Xyz> cct = Cct(definition, gnss, true);
  ASSERT_EQ(ours.size(), cct.size());
  for (std::size_t i = 0; i < ours.size(); ++i) {
    EXPECT_LT(std::hypot(ours[i].x - cct[i].x, ours[i].y - cct[i].y), kAgreement);
    EXPECT_LT(std::fabs(ours[i].z - cct[i].z), kAgreement);
  }
}

class ProgramAgreesWithCct : public zerb::test::TempFolder {};

TEST_F(ProgramAgreesWithCct, PrintedCoordinatesWithinTheirRounding) {
  // What the program prints: degrees to 1e-10 (half of it is 5.6 um on the ground) and heights
  // to 0.1 mm (half: 0.05 mm), on top of the 0.01 mm agreement.
  const std::string definition =
      Write("grid.wkt2", Definition(crs::Form::kCrsWkt2, SevenParameters()));
  std::string csv = "name,E,N,h\n";
  std::vector<Xyz> printed;
  int n = 0;
  for (const Xyz& p : GridPoints()) {
    char line[160];
    std::snprintf(line, sizeof line, "P%d,%.4f,%.4f,%.4f\n", ++n, p.x, p.y, p.z);
    csv += line;
    Xyz q{};
    std::sscanf(line, "%*[^,],%lf,%lf,%lf", &q.x, &q.y, &q.z);
    printed.push_back(q);
  }
  const RunResult r = RunZerbConvert({definition, Write("grid.csv", csv)});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<Xyz> cct =
      Cct(Definition(crs::Form::kPipeline, SevenParameters()), printed, false);
  std::vector<Xyz> ours;
  std::size_t at = r.out.find('\n') + 1;
  EXPECT_EQ(r.out.substr(0, at), "name,E,N,h,B,L,H\n");
  while (at < r.out.size()) {
    const std::size_t end = r.out.find('\n', at);
    Xyz g{};
    EXPECT_EQ(std::sscanf(r.out.substr(at, end - at).c_str(),
                          "%*[^,],%*[^,],%*[^,],%*[^,],%lf,%lf,%lf", &g.y, &g.x, &g.z),
              3);
    ours.push_back(g);
    at = end + 1;
  }
  ExpectSameGeographic(ours, cct, kAgreement, 0.5e-4 + kAgreement);
}

}  // namespace
}  // namespace zerb::convert_test
