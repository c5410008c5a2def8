// Points the user leaves out by name (InputSettings::left_out_names): read and checked like every
// point, kept out of the fit, and named in the report. Leaving a point out must give the fit of
// the table without its line, and no line may vanish unsaid.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "models/model.h"
#include "points/gather.h"
#include "tests/cli/temp_folder.h"
#include "writers/output.h"
#include "writers/report.h"

namespace zerb::test {
namespace {

// The README's example points: GP04 carries a 0.7 m blunder in its northing.
constexpr const char* kHeader = "name,x,y,h,B,L,H\n";
constexpr const char* kRows[] = {
    "GP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,52.317\n",
    "GP02,4435312.960,39477300.914,89.003,40:03:04.4424,116:44:04.2432,48.902\n",
    "GP03,4400117.957,39508728.211,101.427,39:44:04.2432,117:06:08.4420,61.455\n",
    "GP04,4443360.124,39530367.371,114.734,40:07:24.4416,117:21:24.4404,75.030\n",
    "GP05,4385320.078,39491472.066,85.002,39:36:04.4424,116:54:04.4424,44.871\n",
    "GP06,4413718.251,39520977.912,98.070,39:51:24.4404,117:14:44.4408,58.220\n",
};

std::string Table(int without) {
  std::string csv = kHeader;
  for (int i = 0; i < 6; ++i) {
    if (i != without)
      csv += kRows[i];
  }
  return csv;
}

class Said : public Diagnostics {
 public:
  std::vector<std::string> lines;

 protected:
  void Emit(Kind, std::string_view, std::uint64_t line, std::string_view text) override {
    lines.push_back(std::to_string(line) + ": " + std::string(text));
  }
};

struct Gather {
  PointSet points;
  InputSummary summary;
  Said said;
  Gathered status;
  Gather(const std::string& path, InputSettings s) {
    s.table = path;
    status = GatherPoints(s, nullptr, &said, &points, &summary);
  }
};

using LeftOutTest = TempFolder;

TEST_F(LeftOutTest, GivesTheFitOfTheTableWithoutTheLine) {
  InputSettings s;
  s.left_out_names = {"GP03"};
  Gather left(Write("points.csv", Table(-1)), s);
  Gather deleted(Write("without.csv", Table(2)), InputSettings());
  ASSERT_EQ(left.status, Gathered::kPoints);
  ASSERT_EQ(deleted.status, Gathered::kPoints);
  EXPECT_TRUE(left.said.lines.empty());
  ASSERT_EQ(left.summary.left_out.size(), 1u);
  EXPECT_EQ(left.summary.left_out[0].name, "GP03");
  EXPECT_EQ(left.summary.left_out[0].line, 4u);
  EXPECT_EQ(left.points.usable(), 5u);
  for (adjust::Model model : {adjust::Model::kThreeParameter, adjust::Model::kSevenParameter}) {
    adjust::Settings settings;
    settings.model = model;
    adjust::FitResult a, b;
    ASSERT_EQ(FitPoints(left.points, settings, &a), "");
    ASSERT_EQ(FitPoints(deleted.points, settings, &b), "");
    // The same points in the same order: the same arithmetic, to the last bit.
    EXPECT_EQ(a.solution().sigma0, b.solution().sigma0);
    EXPECT_EQ(a.solution().dof, b.solution().dof);
    EXPECT_EQ(a.solution().parameters.tx, b.solution().parameters.tx);
    EXPECT_EQ(a.solution().points_flagged, 1u);  // GP04 is still found
  }
}

TEST_F(LeftOutTest, IsNamedInTheTextAndHtmlReports) {
  InputSettings s;
  s.left_out_names = {"GP04"};
  s.grid_positions = true;
  const std::string path = Write("points.csv", Table(-1));
  Gather g(path, s);
  ASSERT_EQ(g.status, Gathered::kPoints);
  adjust::Settings settings;
  adjust::FitResult fit;
  ASSERT_EQ(FitPoints(g.points, settings, &fit), "");
  // Without GP04 nothing is flagged.
  EXPECT_EQ(fit.solution().points_flagged, 0u);
  EXPECT_EQ(fit.solution().points, 5u);
  ReportInput report;
  report.points = &g.points;
  report.fit = &fit;
  report.settings = &settings;
  report.input = &g.summary;
  const std::string said = "left out by the user: GP04 (" + path + ", line 5)";
  OutputString text;
  ASSERT_EQ(WriteText(report, text.output()), "");
  EXPECT_NE(text.text().find(said + "\n"), std::string::npos) << text.text();
  EXPECT_EQ(text.text().find("GP04  "), std::string::npos) << "not in the point table";
  OutputString html;
  ASSERT_EQ(WriteHtml(report, html.output()), "");
  EXPECT_NE(html.text().find("<p>" + said + "</p>"), std::string::npos);
  EXPECT_NE(html.text().find("left out by the user"), std::string::npos);
}

TEST_F(LeftOutTest, StandsOverTheCheckRole) {
  InputSettings s;
  s.check_names = {"GP02"};
  s.left_out_names = {"GP02"};
  Gather g(Write("points.csv", Table(-1)), s);
  ASSERT_EQ(g.status, Gathered::kPoints);
  EXPECT_EQ(g.points.usable(), 5u);
  ASSERT_EQ(g.summary.left_out.size(), 1u);
  EXPECT_EQ(g.summary.left_out[0].name, "GP02");
}

TEST_F(LeftOutTest, AFaultyLineIsStillRefused) {
  std::string csv = Table(-1);
  csv.replace(csv.find("39:44:04.2432"), 13, "39:64:04.2432");  // GP03: minutes 64
  InputSettings s;
  s.left_out_names = {"GP03"};
  Gather g(Write("points.csv", csv), s);
  ASSERT_EQ(g.status, Gathered::kPoints);
  EXPECT_TRUE(g.summary.left_out.empty());
  EXPECT_EQ(g.said.refused(), 1u);
  ASSERT_EQ(g.said.lines.size(), 1u);
  EXPECT_EQ(g.said.lines[0].substr(0, 3), "4: ");
}

TEST_F(LeftOutTest, ARepeatedNameIsRefusedNotLeftOut) {
  std::string csv = Table(-1);
  csv += std::string(kRows[2]).replace(0, 4, "GP05");  // line 8: GP05 again
  InputSettings s;
  s.left_out_names = {"GP05"};
  Gather g(Write("points.csv", csv), s);
  ASSERT_EQ(g.status, Gathered::kPoints);
  EXPECT_TRUE(g.summary.left_out.empty());
  EXPECT_EQ(g.points.usable(), 5u);
  ASSERT_EQ(g.said.lines.size(), 1u);
  EXPECT_EQ(g.said.lines[0],
            "8: name 'GP05' occurs again (first at line 6): both lines are refused");
  EXPECT_EQ(g.said.refused(), 1u);
}

TEST_F(LeftOutTest, ANameNoPointHasIsRefused) {
  InputSettings s;
  s.left_out_names = {"GP4"};
  const std::string path = Write("points.csv", Table(-1));
  Gather g(path, s);
  EXPECT_EQ(g.status, Gathered::kUnusable);
  ASSERT_EQ(g.said.lines.size(), 1u);
  EXPECT_EQ(g.said.lines[0], "0: 'GP4' is to be left out, but no point of that name is in " + path);
}

TEST_F(LeftOutTest, AllLeftOutSaysSo) {
  InputSettings s;
  s.left_out_names = {"GP01", "GP02", "GP03", "GP04", "GP05", "GP06"};
  Gather g(Write("points.csv", Table(-1)), s);
  EXPECT_EQ(g.status, Gathered::kNoPoint);
  ASSERT_EQ(g.said.lines.size(), 1u);
  EXPECT_EQ(g.said.lines[0], "0: no point to fit: all 6 points read are left out");
}

TEST_F(LeftOutTest, PairedFilesLeaveTheGridLineOut) {
  const std::string grid = Write("control.dat",
                                 "GP01,,39458259.110,4419971.693,92.591\n"
                                 "GP02,,39477300.914,4435312.960,89.003\n"
                                 "GP03,,39508728.211,4400117.957,101.427\n");
  const std::string gnss = Write("gnss.csv",
                                 "点名,纬度,经度,大地高\n"
                                 "GP03,39:44:04.2432,117:06:08.4420,61.455\n"
                                 "GP02,40:03:04.4424,116:44:04.2432,48.902\n"
                                 "GP01,39:54:44.4420,116:30:44.4420,52.317\n");
  InputSettings s;
  s.grid = grid;
  s.wgs84 = gnss;
  s.left_out_names = {"GP02"};
  PointSet points;
  InputSummary summary;
  Said said;
  ASSERT_EQ(GatherPoints(s, nullptr, &said, &points, &summary), Gathered::kPoints);
  EXPECT_TRUE(said.lines.empty()) << "the left-out point's partner is not unpaired";
  EXPECT_TRUE(summary.unpaired.empty());
  EXPECT_EQ(points.usable(), 2u);
  ASSERT_EQ(summary.left_out.size(), 1u);
  EXPECT_EQ(summary.left_out[0].line, 2u);
}

TEST_F(LeftOutTest, PairedFilesRefuseARepeatedNameLeftOut) {
  const std::string grid = Write("control.dat",
                                 "GP01,,39458259.110,4419971.693,92.591\n"
                                 "GP02,,39477300.914,4435312.960,89.003\n"
                                 "GP03,,39508728.211,4400117.957,101.427\n"
                                 "GP02,,39477300.914,4435312.960,89.003\n");
  const std::string gnss = Write("gnss.csv",
                                 "点名,纬度,经度,大地高\n"
                                 "GP03,39:44:04.2432,117:06:08.4420,61.455\n"
                                 "GP02,40:03:04.4424,116:44:04.2432,48.902\n"
                                 "GP01,39:54:44.4420,116:30:44.4420,52.317\n");
  InputSettings s;
  s.grid = grid;
  s.wgs84 = gnss;
  s.left_out_names = {"GP02"};
  PointSet points;
  InputSummary summary;
  Said said;
  ASSERT_EQ(GatherPoints(s, nullptr, &said, &points, &summary), Gathered::kPoints);
  EXPECT_TRUE(summary.left_out.empty());
  EXPECT_EQ(points.usable(), 2u);
  ASSERT_EQ(said.lines.size(), 1u);
  EXPECT_EQ(said.lines[0], "4: name 'GP02' occurs again (first at line 2): both lines are refused");
}

}  // namespace
}  // namespace zerb::test
