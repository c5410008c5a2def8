// The definitions as the PROJ programs take them from a user: cct runs the pipeline forward and
// back (cct -I), cs2cs carries the grid to WGS 84 3D with the CRS forms, projinfo accepts every
// form. Same points and the same 1 mm as the library read-back (see read_back_test.cpp); the
// programs print 10 decimals, 1e-10 degree being 0.01 mm.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "crs/crs_definitions.h"
#include "crs_test_support.h"
#include "run_program.h"

namespace {

using zerb::crs::Form;
using zerb::crs::Grid;
using zerb::crs::Helmert;

constexpr double kToleranceMetres = 1e-3;
constexpr Grid kZone39{117, 39};

std::string Define(Form form, const Helmert& shift) {
  std::string text;
  const std::string error = zerb::crs::Define(form, shift, kZone39, 5, &text);
  EXPECT_EQ(error, "");
  return text;
}

// The words of a pipeline as the shell splits `cct $(cat file)`: cct 9.1 takes the operation as
// separate arguments, not as one.
std::vector<std::string> Words(const std::string& text) {
  std::istringstream stream(text);
  std::vector<std::string> words;
  std::string word;
  while (stream >> word) {
    words.push_back(word);
  }
  return words;
}

std::string Line(double a, double b, double c) {
  char text[128];
  std::snprintf(text, sizeof text, "%.12f %.12f %.6f\n", a, b, c);
  return text;
}

// The first three numbers of each output line.
std::vector<std::vector<double>> Rows(const std::string& output) {
  std::vector<std::vector<double>> rows;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream numbers(line);
    std::vector<double> row(3);
    if (numbers >> row[0] >> row[1] >> row[2]) {
      rows.push_back(row);
    }
  }
  return rows;
}

class ProgramsBothModels : public testing::TestWithParam<bool> {
 protected:
  Helmert shift() const {
    return GetParam() ? crs_test::SevenParameters() : crs_test::ThreeParameters();
  }
};

TEST_P(ProgramsBothModels, CctRunsPipelineForwardAndBack) {
  const std::vector<crs_test::CommonPoint> points = crs_test::CommonPoints(shift(), kZone39);
  std::string grid_input;
  std::string wgs84_input;
  for (const crs_test::CommonPoint& point : points) {
    grid_input += Line(point.grid.easting, point.grid.northing, point.grid.h);
    wgs84_input += Line(point.wgs84.lon_deg, point.wgs84.lat_deg, point.wgs84.h);
  }
  std::vector<std::string> arguments = {"-d", "10"};
  for (const std::string& word : Words(Define(Form::kPipeline, shift()))) {
    arguments.push_back(word);
  }
  const crs_test::ProgramResult forward = crs_test::RunProgram(PROJ_CCT, arguments, grid_input);
  ASSERT_EQ(forward.exit_code, 0);
  const std::vector<std::vector<double>> wgs84 = Rows(forward.output);
  ASSERT_EQ(wgs84.size(), points.size()) << forward.output;

  arguments.insert(arguments.begin(), "-I");
  const crs_test::ProgramResult back = crs_test::RunProgram(PROJ_CCT, arguments, wgs84_input);
  ASSERT_EQ(back.exit_code, 0);
  const std::vector<std::vector<double>> grid = Rows(back.output);
  ASSERT_EQ(grid.size(), points.size()) << back.output;

  for (std::size_t i = 0; i < points.size(); ++i) {
    const crs_test::Geographic got{wgs84[i][0], wgs84[i][1], wgs84[i][2]};
    EXPECT_LT(crs_test::HorizontalMetres(got, points[i].wgs84), kToleranceMetres);
    EXPECT_NEAR(got.h, points[i].wgs84.h, kToleranceMetres);
    EXPECT_NEAR(grid[i][0], points[i].grid.easting, kToleranceMetres);
    EXPECT_NEAR(grid[i][1], points[i].grid.northing, kToleranceMetres);
    EXPECT_NEAR(grid[i][2], points[i].grid.h, kToleranceMetres);
  }
}

// cs2cs the way the README tells: the 3D WKT2 toward EPSG:4979 (latitude first out), the PROJ
// string toward the PROJ string of WGS 84 (cs2cs 9.1 takes a PROJ-string source only with a
// PROJ-string target; longitude first out). Both carry the height through the shift.
TEST_P(ProgramsBothModels, Cs2csCarriesGridToWgs84In3d) {
  const std::vector<crs_test::CommonPoint> points = crs_test::CommonPoints(shift(), kZone39);
  std::string grid_input;
  for (const crs_test::CommonPoint& point : points) {
    grid_input += Line(point.grid.easting, point.grid.northing, point.grid.h);
  }
  struct Use {
    Form form;
    const char* target;
    bool latitude_first;
  };
  for (const Use use : {Use{Form::kCrsWkt2, "EPSG:4979", true},
                        Use{Form::kCrsProj, "+proj=longlat +datum=WGS84 +type=crs", false}}) {
    const char* const name = zerb::crs::FormName(use.form).data();
    const crs_test::ProgramResult result = crs_test::RunProgram(
        PROJ_CS2CS, {"-f", "%.10f", Define(use.form, shift()), use.target}, grid_input);
    ASSERT_EQ(result.exit_code, 0) << name;
    const std::vector<std::vector<double>> rows = Rows(result.output);
    ASSERT_EQ(rows.size(), points.size()) << result.output;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const crs_test::Geographic got =
          use.latitude_first ? crs_test::Geographic{rows[i][1], rows[i][0], rows[i][2]}
                             : crs_test::Geographic{rows[i][0], rows[i][1], rows[i][2]};
      EXPECT_LT(crs_test::HorizontalMetres(got, points[i].wgs84), kToleranceMetres) << name;
      EXPECT_NEAR(got.h, points[i].wgs84.h, kToleranceMetres) << name;
    }
  }
}

TEST_P(ProgramsBothModels, ProjinfoAcceptsEveryForm) {
  for (const Form form :
       {Form::kCrsProj, Form::kCrsWkt1, Form::kCrsWkt2, Form::kCrsProjJson, Form::kPipeline}) {
    const crs_test::ProgramResult result =
        crs_test::RunProgram(PROJ_PROJINFO, {Define(form, shift())}, "");
    EXPECT_EQ(result.exit_code, 0) << zerb::crs::FormName(form);
    // projinfo prints the definition again as PROJ understood it, here the grid's projection.
    EXPECT_NE(result.output.find("+proj=tmerc"), std::string::npos)
        << zerb::crs::FormName(form) << "\n"
        << result.output;
  }
}

INSTANTIATE_TEST_SUITE_P(ThreeAndSeven, ProgramsBothModels, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& model) {
                           return std::string(model.param ? "Seven" : "Three");
                         });

}  // namespace
