// zerb-fit's 转换点文件: a file of grid points converted with the window's fit of the README's
// points. The converted coordinates are checked against cct running the pipeline the window
// renders for the same fit, and the file byte for byte against zerb-convert run on the
// definition the window saves; refused lines must be named and counted, and a file that cannot
// be written must say so and leave what was there.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fit/converted_points.h"
#include "fit/main_window.h"
#include "tests/cli/temp_folder.h"
#include "tests/convert/support.h"
#include "tests/fit/readme_window.h"
#include "writers/saved_definition.h"

namespace zerb::fit {
namespace {

using convert_test::Xyz;

// cct and the window both run PROJ on the same parameters: they differ by the order of PROJ's
// steps (nanometres) and the file's printing of degrees to 1e-10, half of which is 5.6 um in
// latitude and less in longitude; 0.01 mm holds both.
constexpr double kHorizontal = 1e-5;
// Heights are printed to 0.1 mm: half of it on top of the 0.01 mm agreement.
constexpr double kVertical = 0.5e-4 + 1e-5;

// The README's six common points and four more up to 12 km from them (within the fitted area's
// margin, so that none is warned about); eastings with the zone number 39.
std::vector<std::pair<std::string, Xyz>> SurveyPoints() {
  std::vector<std::pair<std::string, Xyz>> points;
  for (const Known& k : kKnown)
    points.push_back({k.name, {k.grid.easting, k.grid.northing, k.grid.h}});
  points.push_back({"N1", {39466012.345, 4427004.321, 120.456}});
  points.push_back({"N2", {39499876.543, 4409123.987, 75.002}});
  points.push_back({"N3", {39524567.891, 4391234.567, 60.789}});
  points.push_back({"N4", {39505432.109, 4439876.543, 101.111}});
  return points;
}

std::string Table(const std::vector<std::pair<std::string, Xyz>>& points) {
  std::string csv = "name,E,N,h\n";
  for (const auto& [name, p] : points) {
    char line[160];
    std::snprintf(line, sizeof line, "%s,%.3f,%.3f,%.3f\n", name.c_str(), p.x, p.y, p.z);
    csv += line;
  }
  return csv;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

class ConvertedPointsTest : public ReadmeWindowTest {
 protected:
  ConvertedFile Convert(const std::string& input, const std::string& output,
                        Direction direction = Direction::kToGnss) {
    return ConvertPointFile(window_->session(), QString::fromStdString(input),
                            QString::fromStdString(output), direction);
  }
  std::string Messages(const ConvertedFile& c) {
    return c.messages.join(QLatin1Char('\n')).toStdString();
  }
};

class ConvertedPointsAgree : public ConvertedPointsTest,
                             public ::testing::WithParamInterface<int> {};

TEST_P(ConvertedPointsAgree, WithCctAndWithZerbConvert) {
  ChooseModel(GetParam());
  ASSERT_TRUE(window_->session().has_fit());
  const bool plane = window_->session().plane();
  const auto points = SurveyPoints();
  const std::string input = Write("grid.csv", Table(points));
  const std::string output = dir_ + "/grid-wgs84.csv";
  const ConvertedFile converted = Convert(input, output);
  ASSERT_EQ(converted.reason.toStdString(), "") << Messages(converted);
  EXPECT_EQ(converted.read, points.size());
  EXPECT_EQ(converted.converted, points.size());
  EXPECT_EQ(converted.refused, 0u);
  EXPECT_EQ(converted.warnings, 0u) << Messages(converted);

  // cct on the pipeline of the same fit; the plane model's similarity is fitted to eastings
  // without the zone number.
  std::string pipeline;
  ASSERT_EQ(window_->session().Render(Format::kPipeline, &pipeline), "");
  std::vector<Xyz> grid;
  for (const auto& [name, p] : points)
    grid.push_back({plane ? p.x - 39e6 : p.x, p.y, p.z});
  const std::vector<Xyz> cct = convert_test::Cct(pipeline, grid, false);
  ASSERT_EQ(cct.size(), points.size()) << pipeline;

  const std::string table = ReadFile(output);
  const std::vector<std::string> lines = Lines(table);
  ASSERT_EQ(lines.size(), points.size() + 1) << table;
  EXPECT_EQ(lines[0], "name,E,N,h,B,L,H");
  for (std::size_t i = 0; i < points.size(); ++i) {
    char name[32];
    Xyz got{};
    ASSERT_EQ(std::sscanf(lines[i + 1].c_str(), "%31[^,],%*[^,],%*[^,],%*[^,],%lf,%lf,%lf", name,
                          &got.y, &got.x, &got.z),
              4)
        << lines[i + 1];
    EXPECT_EQ(name, points[i].first);
    EXPECT_LT(convert_test::GroundMetres(got, cct[i]), kHorizontal) << name;
    EXPECT_NEAR(got.z, cct[i].z, kVertical) << name;
  }

  // zerb-convert on the definition the window saves for this fit writes the same bytes.
  const std::string definition = dir_ + "/definition";
  ASSERT_EQ(window_->Save(SavedForm(Format::kText, plane), QString::fromStdString(definition)),
            QString());
  const convert_test::RunResult r = convert_test::RunZerbConvert({definition, input});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(table, r.out);
}

INSTANTIATE_TEST_SUITE_P(Models, ConvertedPointsAgree, ::testing::Values(0, 1, 2),
                         [](const ::testing::TestParamInfo<int>& model) {
                           return std::string(model.param == 0   ? "ThreeParameters"
                                              : model.param == 1 ? "SevenParameters"
                                                                 : "FourParameters");
                         });

// A GNSS file in dd.mmss, the form the fit was told to read: the way back reads it so too, and
// lands on the grid points (within the fit's sub-millimetre residuals; GP04 keeps its 0.7 m
// blunder), not kilometres away as decimal degrees would.
TEST_F(ConvertedPointsTest, TheWayBackReadsAnglesAsTheFitDid) {
  const std::string table = Write("ddmmss.csv", WithAngles(kPoints, 'm'));
  window_->OpenTable(QString::fromStdString(table));
  window_->findChild<QComboBox*>(QStringLiteral("angle format"))->setCurrentIndex(3);
  window_->WaitForFit();
  ASSERT_TRUE(window_->session().has_fit()) << window_->session().fit_error();
  const std::string back = dir_ + "/back.csv";
  const ConvertedFile converted = Convert(table, back, Direction::kToGrid);
  ASSERT_EQ(converted.reason.toStdString(), "") << Messages(converted);
  ASSERT_EQ(converted.converted, 6u);
  const std::vector<std::string> lines = Lines(ReadFile(back));
  ASSERT_EQ(lines.size(), 7u);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    char name[16];
    Xyz got{};
    ASSERT_EQ(std::sscanf(lines[i].c_str(), "%15[^,],%lf,%lf,%lf", name, &got.x, &got.y, &got.z), 4)
        << lines[i];
    const Known& want = kKnown[i - 1];
    const double off = std::hypot(got.x - want.grid.northing, got.y - want.grid.easting);
    EXPECT_LT(off, std::string(name) == "GP04" ? 0.71 : 1e-3) << lines[i];
  }
}

TEST_F(ConvertedPointsTest, BackToTheGridGivesTheGridPointsAgain) {
  ChooseModel(1);
  ASSERT_TRUE(window_->session().has_fit());
  const auto points = SurveyPoints();
  const std::string gnss = dir_ + "/gnss.csv";
  ASSERT_EQ(Convert(Write("grid.csv", Table(points)), gnss).reason.toStdString(), "");
  const std::string back = dir_ + "/back.csv";
  const ConvertedFile converted = Convert(gnss, back, Direction::kToGrid);
  ASSERT_EQ(converted.reason.toStdString(), "") << Messages(converted);
  EXPECT_EQ(converted.converted, points.size());
  // The E, N, h columns are replaced in place; the way back is exact to nanometres, so what is
  // left is the printing: 1e-10 degree (under 0.01 mm) in, 0.1 mm out.
  const std::vector<std::string> lines = Lines(ReadFile(back));
  ASSERT_EQ(lines.size(), points.size() + 1);
  EXPECT_EQ(lines[0], "name,E,N,h,B,L,H");
  for (std::size_t i = 0; i < points.size(); ++i) {
    Xyz got{};
    ASSERT_EQ(std::sscanf(lines[i + 1].c_str(), "%*[^,],%lf,%lf,%lf", &got.x, &got.y, &got.z), 3);
    const Xyz& want = points[i].second;
    EXPECT_LT(std::hypot(got.x - want.x, got.y - want.y), 0.5e-4 + 1e-5) << lines[i + 1];
    EXPECT_NEAR(got.z, want.z, 0.5e-4 + 1e-5) << lines[i + 1];
  }
}

// Two kinds of refusal, the reader's (a cell that is no number) and the conversion's (a zone of
// another central meridian), and a point far outside the fitted points: every line read is
// either in the file or named, and the far one is converted and warned about.
TEST_F(ConvertedPointsTest, RefusedLinesAreNamedAndCounted) {
  const std::string input = Write("mixed.csv",
                                  "name,E,N,h\n"
                                  "A,39458259.110,4419971.693,92.591\n"
                                  "BAD,39x,4419971.693,1\n"
                                  "Z,40500000,4400000,3\n"
                                  "FAR,39700000,4500000,10\n"
                                  "C,39477300.914,4435312.960,89.003\n");
  const std::string output = dir_ + "/mixed-wgs84.csv";
  const ConvertedFile converted = Convert(input, output);
  ASSERT_EQ(converted.reason.toStdString(), "") << Messages(converted);
  EXPECT_EQ(converted.read, 5u);
  EXPECT_EQ(converted.converted, 3u);
  EXPECT_EQ(converted.refused, 2u);
  EXPECT_EQ(converted.read, converted.converted + converted.refused);
  EXPECT_EQ(converted.warnings, 1u);
  const std::string messages = Messages(converted);
  EXPECT_NE(messages.find(input + ", line 3: column E '39x': not a decimal number"),
            std::string::npos)
      << messages;
  EXPECT_NE(messages.find(input + ", line 4: the easting's zone 40 has the central meridian 120"),
            std::string::npos)
      << messages;
  // The fit left GP04 out: its area is that of the other five.
  EXPECT_NE(messages.find(input + ", line 5: warning: 'FAR' lies"), std::string::npos) << messages;
  EXPECT_NE(messages.find("outside the area of the 5 common points"), std::string::npos)
      << messages;
  EXPECT_NE(messages.find("5 points read: 3 converted, 2 refused; 1 outside the area"),
            std::string::npos)
      << messages;
  const std::vector<std::string> lines = Lines(ReadFile(output));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1].substr(0, 2), "A,");
  EXPECT_EQ(lines[2].substr(0, 4), "FAR,");
  EXPECT_EQ(lines[3].substr(0, 2), "C,");
  const QString outcome = Outcome(converted, QString::fromStdString(output));
  EXPECT_TRUE(outcome.contains(QStringLiteral("已转换 3 个点")) &&
              outcome.contains(QStringLiteral("2 行被拒绝")))
      << outcome.toStdString();
}

TEST_F(ConvertedPointsTest, NothingConvertedIsNoSuccessAndWritesNothing) {
  const std::string output = dir_ + "/none.csv";
  const ConvertedFile converted =
      Convert(Write("bad.csv", "name,E,N,h\nA,x,4419971.693,1\nB,39458259.110,,1\n"), output);
  EXPECT_FALSE(converted.reason.isEmpty());
  EXPECT_EQ(converted.read, 2u);
  EXPECT_EQ(converted.refused, 2u);
  EXPECT_EQ(converted.messages.size(), 3);  // two lines named, and the counts
  EXPECT_FALSE(std::ifstream(output).good());
}

TEST_F(ConvertedPointsTest, AnOutputThatCannotBeWrittenGivesAReason) {
  const std::string input = Write("grid.csv", Table(SurveyPoints()));
  for (const std::string& output : {dir_ + "/no such folder/out.csv", dir_}) {
    const ConvertedFile converted = Convert(input, output);
    EXPECT_TRUE(converted.reason.startsWith(QStringLiteral("无法写入 "))) << output;
    EXPECT_EQ(converted.converted, 0u) << output;
  }
  EXPECT_FALSE(std::ifstream(dir_ + "/no such folder/out.csv").good());
}

// The file is written whole or not at all: an input refused whole leaves the old file as it was.
TEST_F(ConvertedPointsTest, AFailedConversionLeavesTheOldFile) {
  const std::string output = Write("out.csv", "kept\n");
  const ConvertedFile converted = Convert(Write("odd.csv", "a,b\n1,2\n"), output);
  EXPECT_FALSE(converted.reason.isEmpty());
  EXPECT_NE(converted.reason.toStdString().find("odd.csv"), std::string::npos)
      << converted.reason.toStdString();
  EXPECT_EQ(ReadFile(output), "kept\n");
  const ConvertedFile missing = Convert(dir_ + "/missing.csv", output);
  EXPECT_NE(missing.reason.toStdString().find("missing.csv"), std::string::npos);
  EXPECT_EQ(ReadFile(output), "kept\n");
}

TEST_F(ConvertedPointsTest, NoFitNoConversionAndTheActionFollowsTheFit) {
  const auto action = [](MainWindow& window) -> QAction* {
    for (QAction* a : window.findChildren<QAction*>()) {
      if (a->text() == QStringLiteral("转换点文件(&C)…"))
        return a;
    }
    return nullptr;
  };
  MainWindow empty;
  ASSERT_NE(action(empty), nullptr);
  EXPECT_FALSE(action(empty)->isEnabled());
  const std::string output = dir_ + "/none.csv";
  const ConvertedFile converted = ConvertPointFile(
      empty.session(), QString::fromStdString(Write("grid.csv", Table(SurveyPoints()))),
      QString::fromStdString(output), Direction::kToGnss);
  EXPECT_FALSE(converted.reason.isEmpty());
  EXPECT_FALSE(std::ifstream(output).good());
  EXPECT_TRUE(action(*window_)->isEnabled());
  EXPECT_EQ(SuggestedOutput(QStringLiteral("/data/控制点.csv"), Direction::kToGnss),
            QStringLiteral("/data/控制点-wgs84.csv"));
}

}  // namespace
}  // namespace zerb::fit
