// zerb-fit's window driven as a user drives it: the README's points opened, the flagged GP04 and
// the roles changed through the table's model (what a double-click or the space key does), the
// model switched in its panel, the definition and the report saved. The numbers are checked
// against the closed form of the three-parameter fit over shifts PROJ computes, and the saved
// WKT2 is read back by PROJ and must bring the points to their GNSS positions.
#include <gtest/gtest.h>
#include <proj.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSortFilterProxyModel>
#include <QSvgRenderer>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fit/main_window.h"
#include "fit/residual_picture.h"
#include "fit/svg_styles.h"
#include "tests/cli/temp_folder.h"
#include "tests/crs/crs_test_support.h"
#include "tests/fit/readme_window.h"

namespace zerb::fit {
namespace {

struct Translation {
  double t[3];
  double sigma0;
};

// The three-parameter fit in closed form: the mean of the shifts WGS-84 minus Krassovsky, and
// sigma0 from the residuals over 3n - 3 degrees of freedom; each shift computed by PROJ (its
// exact transverse Mercator, its geocentric conversions), not by the library under test.
Translation ClosedForm(const std::vector<std::string>& names) {
  std::vector<std::array<double, 3>> shifts;
  for (const Known& k : kKnown) {
    if (std::find(names.begin(), names.end(), k.name) != names.end())
      shifts.push_back(ShiftByProj(k));
  }
  Translation out{};
  for (const auto& d : shifts) {
    for (int c = 0; c < 3; ++c)
      out.t[c] += d[c] / static_cast<double>(shifts.size());
  }
  double squares = 0;
  for (const auto& d : shifts) {
    for (int c = 0; c < 3; ++c)
      squares += (d[c] - out.t[c]) * (d[c] - out.t[c]);
  }
  out.sigma0 = std::sqrt(squares / (3.0 * static_cast<double>(shifts.size()) - 3));
  return out;
}

// The library's exact transverse Mercator agrees with PROJ's to some 20 nm; a mean of such shifts,
// and sigma0 made of them, agree to well within a micrometre.
constexpr double kAgree = 1e-6;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class FitWindowTest : public ReadmeWindowTest {
 protected:
  PointTableModel* model() { return window_->points(); }
  int Row(const char* name) { return model()->RowOf(QString::fromLatin1(name)); }
  QString Cell(const char* name, int column, int role = Qt::DisplayRole) {
    return model()->data(model()->index(Row(name), column), role).toString();
  }
  void SetUse(const char* name, const QString& use) {
    ASSERT_GE(Row(name), 0) << name;
    ASSERT_TRUE(
        model()->setData(model()->index(Row(name), PointTableModel::kUse), use, Qt::EditRole));
    window_->WaitForFit();
  }
  const adjust::Solution& solution() { return window_->session().solution(); }
  QString Sigma0Text() { return window_->findChild<QLabel*>(QStringLiteral("sigma0"))->text(); }
};

TEST_F(FitWindowTest, OpensTheReadmePointsAndMarksGP04) {
  ASSERT_TRUE(window_->session().has_fit());
  ASSERT_EQ(model()->rowCount(), 6);
  EXPECT_EQ(Cell("GP04", PointTableModel::kFlagged), QStringLiteral("是"));
  EXPECT_TRUE(model()->data(model()->index(Row("GP04"), 0), Qt::BackgroundRole).isValid());
  EXPECT_FALSE(model()->data(model()->index(Row("GP03"), 0), Qt::BackgroundRole).isValid());
  EXPECT_EQ(Cell("GP04", PointTableModel::kUse), QStringLiteral("控制点"));
  // The outlier test already left GP04 out: the fit is that of the other five.
  const Translation five = ClosedForm({"GP01", "GP02", "GP03", "GP05", "GP06"});
  EXPECT_NEAR(solution().sigma0, five.sigma0, kAgree);
  EXPECT_NEAR(solution().parameters.tx, five.t[0], kAgree);
  EXPECT_NEAR(solution().parameters.ty, five.t[1], kAgree);
  EXPECT_NEAR(solution().parameters.tz, five.t[2], kAgree);
  EXPECT_EQ(solution().dof, 12);
  EXPECT_EQ(Sigma0Text(), QStringLiteral("σ0 = 0.0003 m（自由度 12）"));
  const QString report =
      window_->findChild<QPlainTextEdit*>(QStringLiteral("report"))->toPlainText();
  EXPECT_TRUE(report.contains(QStringLiteral("+towgs84="))) << report.toStdString();
}

// The limits of the model panel judge every fitted point as the reports do: GP04's 0.7 m blunder
// is outside 3 cm, the others' sub-millimetre residuals within; the fit does not change.
TEST_F(FitWindowTest, ResidualLimitsMarkThePointOutsideThem) {
  EXPECT_EQ(Cell("GP04", PointTableModel::kLimits), QString());  // no limit set
  const double sigma0 = solution().sigma0;
  window_->findChild<QDoubleSpinBox*>(QStringLiteral("horizontal limit"))->setValue(0.03);
  window_->WaitForFit();
  window_->findChild<QDoubleSpinBox*>(QStringLiteral("vertical limit"))->setValue(0.05);
  window_->WaitForFit();
  EXPECT_EQ(window_->session().limits().horizontal, 0.03);
  EXPECT_EQ(Cell("GP04", PointTableModel::kLimits), QStringLiteral("超限"));
  for (const char* name : {"GP01", "GP02", "GP03", "GP05", "GP06"})
    EXPECT_EQ(Cell(name, PointTableModel::kLimits), QStringLiteral("通过")) << name;
  EXPECT_EQ(solution().sigma0, sigma0);
  EXPECT_TRUE(Sigma0Text().endsWith(QStringLiteral("；限差：6 个点中 1 个超限")))
      << Sigma0Text().toStdString();
  const std::string report =
      window_->findChild<QPlainTextEdit*>(QStringLiteral("report"))->toPlainText().toStdString();
  EXPECT_NE(report.find("outside the limits: line 5 (GP04)"), std::string::npos) << report;
  // The plane model holds its own fits' residuals against the same limits.
  window_->findChild<QComboBox*>(QStringLiteral("model"))->setCurrentIndex(2);
  window_->WaitForFit();
  EXPECT_EQ(Cell("GP04", PointTableModel::kLimits), QStringLiteral("超限"));
  EXPECT_EQ(Cell("GP01", PointTableModel::kLimits), QStringLiteral("通过"));
}

// The residual picture is the library's own SVG (the one --plot writes), shown by Qt SVG; the
// wheel zooms about the pointer, and the plane model, whose residuals it does not draw, has none.
TEST_F(FitWindowTest, TheResidualPictureIsTheLibrarysAndZooms) {
  auto* picture = window_->findChild<ResidualPicture*>(QStringLiteral("picture"));
  ASSERT_NE(picture, nullptr);
  EXPECT_TRUE(picture->has_picture());
  std::string svg;
  ASSERT_EQ(window_->session().Picture(&svg), "");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("GP04"), std::string::npos);
  picture->resize(400, 300);
  QWheelEvent wheel(QPointF(200, 150), picture->mapToGlobal(QPointF(200, 150)), QPoint(),
                    QPoint(0, 240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(picture->viewport(), &wheel);
  EXPECT_NEAR(picture->zoom(), 1.44, 1e-9);  // two notches, a fifth each
  window_->findChild<QComboBox*>(QStringLiteral("model"))->setCurrentIndex(2);
  window_->WaitForFit();
  EXPECT_FALSE(picture->has_picture());
}

// Qt SVG has no style sheets and no clipping: it drew the picture's panel (#fcfcfc in the sheet)
// black under the clip path's rectangle, and every classed shape in black.
TEST_F(FitWindowTest, ThePictureIsDrawnInItsOwnColoursNotBlack) {
  std::string svg;
  ASSERT_EQ(window_->session().Picture(&svg), "");
  QSvgRenderer renderer(InlineStyles(QByteArray::fromStdString(svg)));
  ASSERT_TRUE(renderer.isValid());
  QImage image(1000, 800, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  renderer.render(&painter);
  painter.end();
  // (100, 700) lies inside the panel (x 90 to 760, y 60 to 745), away from the points.
  EXPECT_EQ(image.pixelColor(100, 700), QColor(0xfc, 0xfc, 0xfc));
  const QByteArray styled = InlineStyles(QByteArrayLiteral(
      "<svg><style>\ntext{fill:#222}\n.k{font-size:12px}\n.o{fill:none;stroke:red}\n</style>\n"
      "<clipPath id=\"m\">\n<rect width=\"9\"/>\n</clipPath>\n"
      "<text class=\"k\" x=\"1\">a</text><circle class=\"o\" r=\"3\"/></svg>"));
  EXPECT_EQ(styled, QByteArrayLiteral("<svg><text class=\"k\" x=\"1\" style=\"fill:#222;"
                                      "font-size:12px\">a</text><circle class=\"o\" r=\"3\" "
                                      "style=\"fill:none;stroke:red\"/></svg>"));
}

TEST_F(FitWindowTest, SortsByTheTestStatistic) {
  QSortFilterProxyModel* sorted = window_->sorted();
  sorted->sort(PointTableModel::kTest, Qt::DescendingOrder);
  EXPECT_EQ(sorted->index(0, PointTableModel::kName).data().toString(), QStringLiteral("GP04"));
  sorted->sort(PointTableModel::kLine, Qt::AscendingOrder);
  EXPECT_EQ(sorted->index(0, PointTableModel::kName).data().toString(), QStringLiteral("GP01"));
}

TEST_F(FitWindowTest, AFlaggedPointSetToNotUsedIsOutOfTheFit) {
  ASSERT_EQ(solution().points, 6u);
  ASSERT_EQ(solution().points_flagged, 1u);
  SetUse("GP04", QStringLiteral("不用"));
  ASSERT_TRUE(window_->session().has_fit());
  EXPECT_EQ(Cell("GP04", PointTableModel::kUse), QStringLiteral("不用"));
  EXPECT_EQ(Cell("GP04", PointTableModel::kFlagged), QString());
  EXPECT_EQ(Cell("GP04", PointTableModel::kLength), QString());
  EXPECT_EQ(solution().points, 5u);
  EXPECT_EQ(solution().points_used, 5u);
  EXPECT_EQ(solution().points_flagged, 0u);
  // The snooping had left GP04 out already, so sigma0 is that of the same five points.
  const Translation five = ClosedForm({"GP01", "GP02", "GP03", "GP05", "GP06"});
  EXPECT_NEAR(solution().sigma0, five.sigma0, kAgree);
  const std::string report =
      window_->findChild<QPlainTextEdit*>(QStringLiteral("report"))->toPlainText().toStdString();
  EXPECT_NE(report.find("left out by the user: GP04"), std::string::npos) << report;
}

TEST_F(FitWindowTest, EveryRoleChangeRefitsAtOnce) {
  const double before = solution().sigma0;
  SetUse("GP03", QStringLiteral("不用"));
  const Translation four = ClosedForm({"GP01", "GP02", "GP05", "GP06"});
  EXPECT_NE(solution().sigma0, before);
  EXPECT_NEAR(solution().sigma0, four.sigma0, kAgree);
  EXPECT_EQ(solution().dof, 9);
  SetUse("GP03", QStringLiteral("检核点"));
  EXPECT_EQ(Cell("GP03", PointTableModel::kUse), QStringLiteral("检核点"));
  EXPECT_EQ(solution().points_check, 1u);
  EXPECT_NEAR(solution().sigma0, four.sigma0, kAgree);
  // A check point is reported against the fit: its residual is the shift minus the fit's.
  EXPECT_NE(Cell("GP03", PointTableModel::kLength), QString());
  SetUse("GP03", QStringLiteral("控制点"));
  EXPECT_EQ(solution().points_used, 5u);
  EXPECT_NEAR(solution().sigma0, before, kAgree);
}

TEST_F(FitWindowTest, TheSpaceKeyAndADoubleClickChangeTheUse) {
  window_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  auto* table = window_->findChild<QTableView*>(QStringLiteral("points"));
  table->setFocus();
  const QModelIndex gp02 =
      window_->sorted()->mapFromSource(model()->index(Row("GP02"), PointTableModel::kName));
  table->setCurrentIndex(gp02);
  QTest::keyClick(table, Qt::Key_Space);
  window_->WaitForFit();
  EXPECT_EQ(Cell("GP02", PointTableModel::kUse), QStringLiteral("检核点"));
  QTest::keyClick(table, Qt::Key_Space);
  window_->WaitForFit();
  EXPECT_EQ(Cell("GP02", PointTableModel::kUse), QStringLiteral("不用"));
  const QModelIndex again =
      window_->sorted()->mapFromSource(model()->index(Row("GP02"), PointTableModel::kName));
  const QRect cell = table->visualRect(again);
  // The view takes a double-click on the item its last press was on: the press comes first, as
  // the window system sends it.
  QTest::mousePress(table->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  window_->WaitForFit();
  EXPECT_EQ(Cell("GP02", PointTableModel::kUse), QStringLiteral("控制点"));
}

TEST_F(FitWindowTest, SevenParametersSavedAsWkt2ReadBackByProj) {
  SetUse("GP04", QStringLiteral("不用"));
  auto* choice = window_->findChild<QComboBox*>(QStringLiteral("model"));
  auto* convention = window_->findChild<QComboBox*>(QStringLiteral("convention"));
  EXPECT_FALSE(convention->isEnabled());
  choice->setCurrentIndex(1);
  window_->WaitForFit();
  ASSERT_TRUE(window_->session().has_fit());
  EXPECT_TRUE(convention->isEnabled());
  EXPECT_EQ(solution().model, adjust::Model::kSevenParameter);
  EXPECT_EQ(solution().dof, 3 * 5 - 7);
  EXPECT_EQ(Cell("GP04", PointTableModel::kUse), QStringLiteral("不用"));
  convention->setCurrentIndex(1);
  window_->WaitForFit();
  EXPECT_EQ(window_->session().convention(), Convention::kCoordinateFrame);

  const std::string wkt = dir_ + "/fit.wkt";
  ASSERT_EQ(window_->Save(Format::kCrsWkt2, QString::fromStdString(wkt)), QString());
  const std::string definition = ReadFile(wkt);
  const crs_test::Context context;
  const crs_test::Pj crs(proj_create(context.get(), definition.c_str()));
  ASSERT_NE(crs, nullptr) << definition;
  EXPECT_TRUE(proj_is_crs(crs.get()));
  const crs_test::Pj operation =
      crs_test::OperationFromDefinition(context.get(), definition, "EPSG:4979");
  ASSERT_NE(operation, nullptr) << definition;
  // The five points fit to about a millimetre; PROJ applying the definition must bring each to
  // its GNSS position as closely. GP04, 0.7 m off, must stay off.
  for (const Known& k : kKnown) {
    const crs_test::Geographic got = crs_test::ToWgs84(operation.get(), k.grid);
    const double horizontal = crs_test::HorizontalMetres(got, k.gnss);
    if (std::string(k.name) == "GP04") {
      EXPECT_GT(horizontal, 0.5) << k.name;
    } else {
      EXPECT_LT(horizontal, 0.002) << k.name;
      EXPECT_NEAR(got.h, k.gnss.h, 0.002) << k.name;
    }
  }

  const std::string html = dir_ + "/report.html";
  ASSERT_EQ(window_->Save(Format::kHtml, QString::fromStdString(html)), QString());
  const std::string page = ReadFile(html);
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("left out by the user: GP04"), std::string::npos);
  const std::string pipeline = dir_ + "/pipeline.txt";
  ASSERT_EQ(window_->Save(Format::kPipeline, QString::fromStdString(pipeline)), QString());
  EXPECT_NE(crs_test::Pj(proj_create(context.get(), ReadFile(pipeline).c_str())), nullptr);
}

TEST_F(FitWindowTest, ThePlaneModelFitsAndSavesItsPipeline) {
  window_->findChild<QComboBox*>(QStringLiteral("model"))->setCurrentIndex(2);
  window_->WaitForFit();
  ASSERT_TRUE(window_->session().has_fit());
  ASSERT_TRUE(window_->session().plane());
  EXPECT_EQ(model()->headerData(PointTableModel::kMdb, Qt::Horizontal, Qt::DisplayRole),
            QStringLiteral("T（高程）"));
  // GP04's 0.7 m in the northing is a horizontal blunder.
  EXPECT_EQ(Cell("GP04", PointTableModel::kFlagged), QStringLiteral("是"));
  EXPECT_EQ(Cell("GP03", PointTableModel::kFlagged), QString());
  EXPECT_TRUE(Sigma0Text().startsWith(QStringLiteral("平面 σ0 = 0.0003 m（自由度 6）；高程 σ0 = ")))
      << Sigma0Text().toStdString();
  SetUse("GP04", QStringLiteral("不用"));
  const PlaneFit& fit = window_->session().plane_fit();
  EXPECT_EQ(fit.horizontal.solution().points, 5u);
  EXPECT_EQ(fit.horizontal.solution().points_flagged, 0u);
  const std::string report =
      window_->findChild<QPlainTextEdit*>(QStringLiteral("report"))->toPlainText().toStdString();
  EXPECT_NE(report.find("left out by the user: GP04"), std::string::npos) << report;
  // No CRS form: the definition is the pipeline, which PROJ must apply to within the fit's
  // millimetre at each point the fit used, grid (easting without its zone) to GNSS.
  EXPECT_FALSE(
      window_->Save(Format::kCrsWkt2, QString::fromStdString(dir_ + "/plane.wkt")).isEmpty());
  const std::string path = dir_ + "/plane.txt";
  ASSERT_EQ(window_->Save(Format::kPipeline, QString::fromStdString(path)), QString());
  const crs_test::Context context;
  const crs_test::Pj pipeline(proj_create(context.get(), ReadFile(path).c_str()));
  ASSERT_NE(pipeline, nullptr) << ReadFile(path);
  for (const Known& k : kKnown) {
    if (std::string(k.name) == "GP04")
      continue;
    const crs_test::GridPoint grid = {k.grid.easting - 39e6, k.grid.northing, k.grid.h};
    const crs_test::Geographic got = crs_test::ToWgs84(pipeline.get(), grid);
    EXPECT_LT(crs_test::HorizontalMetres(got, k.gnss), 0.002) << k.name;
    EXPECT_NEAR(got.h, k.gnss.h, 0.003) << k.name;
  }
  const std::string html = dir_ + "/plane.html";
  ASSERT_EQ(window_->Save(Format::kHtml, QString::fromStdString(html)), QString());
  EXPECT_NE(ReadFile(html).find("left out by the user: GP04"), std::string::npos);
}

TEST_F(FitWindowTest, NothingIsSavedWithoutAFit) {
  MainWindow empty;
  const std::string path = dir_ + "/none.wkt";
  EXPECT_FALSE(empty.Save(Format::kCrsWkt2, QString::fromStdString(path)).isEmpty());
  EXPECT_FALSE(std::ifstream(path).good());
  // Seven parameters from a single point cannot be fitted: the library's reason is shown.
  const std::string one =
      Write("one.csv", std::string(kPoints).substr(0, std::string(kPoints).find("GP02")));
  empty.OpenTable(QString::fromStdString(one));
  empty.WaitForFit();
  empty.findChild<QComboBox*>(QStringLiteral("model"))->setCurrentIndex(1);
  empty.WaitForFit();
  EXPECT_FALSE(empty.session().has_fit());
  EXPECT_FALSE(empty.session().fit_error().empty());
  auto* messages = empty.findChild<QListWidget*>(QStringLiteral("messages"));
  ASSERT_GT(messages->count(), 0);
  EXPECT_EQ(messages->item(messages->count() - 1)->text().toStdString(),
            empty.session().fit_error());
  EXPECT_FALSE(empty.Save(Format::kHtml, QString::fromStdString(path)).isEmpty());
  EXPECT_FALSE(std::ifstream(path).good());
}

// Northings tens of metres off, each its own way (within the 300 m the same-place check allows):
// a sigma0 of tens of metres, which no fit between two geodetic datums can have.
TEST_F(FitWindowTest, ImplausibleParametersAreNeverSaved) {
  std::string csv = kPoints;
  const char* const off[][2] = {{"4419971.693", "4420011.693"},
                                {"4435312.960", "4435282.960"},
                                {"4400117.957", "4400142.957"},
                                {"4385320.078", "4385275.078"},
                                {"4413718.251", "4413753.251"}};
  for (const auto& o : off)
    csv.replace(csv.find(o[0]), std::string(o[0]).size(), o[1]);
  window_->OpenTable(QString::fromStdString(Write("wrong.csv", csv)));
  window_->WaitForFit();
  ASSERT_TRUE(window_->session().has_fit());
  EXPECT_GT(solution().sigma0, 5.0);
  for (Format f : {Format::kCrsWkt2, Format::kPipeline, Format::kHtml}) {
    const std::string path = dir_ + "/wrong.out";
    const QString why = window_->Save(f, QString::fromStdString(path));
    EXPECT_TRUE(
        why.contains(QStringLiteral("cannot be a transformation between two geodetic datums")))
        << why.toStdString();
    EXPECT_FALSE(std::ifstream(path).good());
  }
  // The report on the screen says so in place of the parameters' export.
  const QString report =
      window_->findChild<QPlainTextEdit*>(QStringLiteral("report"))->toPlainText();
  EXPECT_FALSE(report.contains(QStringLiteral("+towgs84="))) << report.toStdString();
}

TEST_F(FitWindowTest, APointWithoutANameKeepsItsUse) {
  // The table without its name column: nothing could name a point to the library.
  std::string csv;
  std::istringstream lines(kPoints);
  for (std::string line; std::getline(lines, line);)
    csv += line.substr(line.find(',') + 1) + "\n";
  window_->OpenTable(QString::fromStdString(Write("nameless.csv", csv)));
  window_->WaitForFit();
  ASSERT_TRUE(window_->session().has_fit());
  const QModelIndex use = model()->index(0, PointTableModel::kUse);
  EXPECT_FALSE(model()->flags(use) & Qt::ItemIsEditable);
  EXPECT_FALSE(model()->setData(use, QStringLiteral("不用"), Qt::EditRole));
  EXPECT_EQ(solution().points, 6u);
}

TEST_F(FitWindowTest, AFileThatCannotBeReadIsSaid) {
  window_->OpenTable(QString::fromStdString(dir_ + "/missing.csv"));
  window_->WaitForFit();
  EXPECT_FALSE(window_->session().has_fit());
  EXPECT_EQ(model()->rowCount(), 0);
  auto* messages = window_->findChild<QListWidget*>(QStringLiteral("messages"));
  ASSERT_EQ(messages->count(), 1);
  EXPECT_NE(messages->item(0)->text().toStdString().find("missing.csv"), std::string::npos);
  EXPECT_EQ(Sigma0Text(), QStringLiteral("σ0：—"));
}

TEST_F(FitWindowTest, TwoFilesListTheUnpairedNames) {
  const std::string grid = Write("control.dat",
                                 "GP01,,39458259.110,4419971.693,92.591\n"
                                 "GP02,,39477300.914,4435312.960,89.003\n"
                                 "GP03,,39508728.211,4400117.957,101.427\n"
                                 "GP04,,39530367.371,4443360.124,114.734\n"
                                 "GP07,,39512000.000,4428000.000,95.100\n");
  const std::string gnss = Write("gnss.csv",
                                 "点名,纬度,经度,大地高\n"
                                 "GP04,40:07:24.4416,117:21:24.4404,75.030\n"
                                 "GP03,39:44:04.2432,117:06:08.4420,61.455\n"
                                 "GP02,40:03:04.4424,116:44:04.2432,48.902\n"
                                 "GP01,39:54:44.4420,116:30:44.4420,52.317\n"
                                 "GP06,39:51:24.4404,117:14:44.4408,58.220\n");
  window_->OpenPair(QString::fromStdString(grid), QString::fromStdString(gnss));
  window_->WaitForFit();
  ASSERT_TRUE(window_->session().has_fit());
  EXPECT_EQ(model()->rowCount(), 4);
  auto* messages = window_->findChild<QListWidget*>(QStringLiteral("messages"));
  ASSERT_EQ(messages->count(), 2);
  EXPECT_EQ(messages->item(0)->text().toStdString(),
            grid + ", line 5: 'GP07' is not in " + gnss + ": left unpaired");
  EXPECT_EQ(messages->item(1)->text().toStdString(),
            gnss + ", line 6: 'GP06' is not in " + grid + ": left unpaired");
  // The panel is filled anew on every fit, not added to.
  SetUse("GP02", QStringLiteral("不用"));
  EXPECT_EQ(messages->count(), 2);
  EXPECT_EQ(solution().points, 3u);
}

}  // namespace
}  // namespace zerb::fit
