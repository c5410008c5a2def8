// zerb-fit's table of both sides, the plane model's one-fit uses, the settings of the model
// panel, the check points' panel and fits made off the window's thread. The settings are held
// against zerb-shift given the same options: its JSON report, every number of the fit, must be
// the window's byte for byte, so that the panel reads each field as the option means it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fit/main_window.h"
#include "tests/cli/temp_folder.h"
#include "tests/crs/run_program.h"
#include "tests/fit/readme_window.h"

namespace zerb::fit {
namespace {

class PanelsTest : public ReadmeWindowTest {
 public:
  void SetUp() override {
    ReadmeWindowTest::SetUp();
    ASSERT_TRUE(window_->session().has_fit());
  }

  PointTableModel* model() { return window_->points(); }
  int Row(const char* name) { return model()->RowOf(QString::fromLatin1(name)); }
  QString Cell(const char* name, int column) {
    return model()->data(model()->index(Row(name), column), Qt::DisplayRole).toString();
  }
  const PointRow& RowOf(const char* name) {
    return window_->session().rows()[static_cast<std::size_t>(Row(name))];
  }
  bool SetUse(const char* name, const QString& use) {
    return model()->setData(model()->index(Row(name), PointTableModel::kUse), use, Qt::EditRole);
  }
  template <typename T>
  T* Field(const char* name) {
    T* field = window_->findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(field, nullptr) << name;
    return field;
  }
  // The central meridian is taken when the user leaves the field, as typing goes.
  void TypeMeridian(const QString& text) {
    QLineEdit* field = Field<QLineEdit>("central meridian");
    field->setText(text);
    field->setModified(true);
    emit field->editingFinished();
  }
  std::string WindowJson() {
    std::string json;
    EXPECT_EQ(window_->session().Render(Format::kJson, &json), "");
    return json;
  }
};

// The README's file as typed: the table shows what was read, the eastings with their zone
// number, the angles in degrees, minutes and seconds; a point not used keeps its coordinates.
TEST_F(PanelsTest, TheTableShowsBothSidesAsRead) {
  ASSERT_TRUE(SetUse("GP04", QStringLiteral("不用")));
  window_->WaitForFit();
  EXPECT_EQ(Cell("GP01", PointTableModel::kGridNorth), QStringLiteral("4419971.6930"));
  EXPECT_EQ(Cell("GP01", PointTableModel::kGridEast), QStringLiteral("39458259.1100"));
  EXPECT_EQ(Cell("GP01", PointTableModel::kGridHeight), QStringLiteral("92.5910"));
  EXPECT_EQ(Cell("GP01", PointTableModel::kLatitude), QStringLiteral("39°54′44.442000″"));
  EXPECT_EQ(Cell("GP01", PointTableModel::kLongitude), QStringLiteral("116°30′44.442000″"));
  EXPECT_EQ(Cell("GP01", PointTableModel::kGnssHeight), QStringLiteral("52.3170"));
  EXPECT_EQ(Cell("GP04", PointTableModel::kUse), QStringLiteral("不用"));
  EXPECT_EQ(Cell("GP04", PointTableModel::kGridNorth), QStringLiteral("4443360.1240"));
  EXPECT_EQ(Cell("GP04", PointTableModel::kLatitude), QStringLiteral("40°07′24.441600″"));
  EXPECT_EQ(Cell("GP04", PointTableModel::kGnssHeight), QStringLiteral("75.0300"));
  EXPECT_EQ(model()->headerData(PointTableModel::kLatitude, Qt::Horizontal, Qt::DisplayRole),
            QStringLiteral("B"));

  // Sorted by latitude as numbers: GP05 (39°36′) lies furthest south, GP04 (40°07′) north.
  QSortFilterProxyModel* sorted = window_->sorted();
  sorted->sort(PointTableModel::kLatitude, Qt::AscendingOrder);
  const auto name_at = [sorted](int row) {
    return sorted->index(row, PointTableModel::kName).data().toString();
  };
  EXPECT_EQ(name_at(0), QStringLiteral("GP05"));
  EXPECT_EQ(name_at(5), QStringLiteral("GP04"));
}

// The plane model takes a point into one of its fits only; the space key goes through every
// use, and the geocentric models, which have no such fits, refuse them.
TEST_F(PanelsTest, ThePlaneModelsUsesGoIntoOneFitOnly) {
  EXPECT_FALSE(SetUse("GP02", QStringLiteral("仅平面")));
  ChooseModel(2);
  window_->WaitForFit();
  ASSERT_TRUE(window_->session().has_fit());
  window_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  auto* table = window_->findChild<QTableView*>(QStringLiteral("points"));
  table->setFocus();
  table->setCurrentIndex(
      window_->sorted()->mapFromSource(model()->index(Row("GP02"), PointTableModel::kName)));
  const char* const cycle[] = {"检核点", "仅平面", "仅高程", "不用", "控制点"};
  for (const char* use : cycle) {
    QTest::keyClick(table, Qt::Key_Space);
    window_->WaitForFit();
    ASSERT_TRUE(window_->session().has_fit()) << use;
    EXPECT_EQ(Cell("GP02", PointTableModel::kUse), QString::fromUtf8(use));
    const PointRow& row = RowOf("GP02");
    if (std::string(use) == "仅平面") {
      EXPECT_TRUE(row.plane.in_horizontal);
      EXPECT_FALSE(row.plane.in_vertical);
    } else if (std::string(use) == "仅高程") {
      EXPECT_FALSE(row.plane.in_horizontal);
      EXPECT_TRUE(row.plane.in_vertical);
    }
  }
  // A one-fit use left from the plane model is no use the geocentric models refuse to fit.
  ASSERT_TRUE(SetUse("GP03", QStringLiteral("仅高程")));
  window_->WaitForFit();
  ChooseModel(0);
  window_->WaitForFit();
  ASSERT_TRUE(window_->session().has_fit());
  EXPECT_EQ(Cell("GP03", PointTableModel::kUse), QStringLiteral("控制点"));
}

struct OptionCase {
  const char* name;
  std::function<void(PanelsTest&)> set;  // the fields as a user sets them
  std::vector<std::string> options;      // zerb-shift's options for the same
  char angles = ':';  // the table's angles: ':' as the README's, 'm' dd.mmss, 'd' degrees
};

// Each setting as zerb-shift's option of the same meaning: the window's JSON report is the same
// bytes. Each case starts from the defaults: a field the panel reads wrongly, or not at all,
// changes a number of the fit or of its settings.
TEST_F(PanelsTest, EverySettingFitsAsZerbShiftsOptionDoes) {
  const std::vector<OptionCase> cases = {
      {"a-priori accuracy and alpha",
       [](PanelsTest& t) {
         t.Field<QDoubleSpinBox>("sigma horizontal")->setValue(0.002);
         t.Field<QDoubleSpinBox>("sigma vertical")->setValue(0.004);
         t.Field<QDoubleSpinBox>("alpha")->setValue(0.01);
       },
       {"--sigma", "0.002,0.004", "--alpha", "0.01"}},
      {"one accuracy for both",
       [](PanelsTest& t) { t.Field<QDoubleSpinBox>("sigma horizontal")->setValue(0.003); },
       {"--sigma", "0.003"}},
      {"Xi'an 1980's ellipsoid, the meridian given",
       [](PanelsTest& t) {
         t.Field<QComboBox>("ellipsoid")->setCurrentIndex(1);
         t.TypeMeridian(QStringLiteral("117"));
       },
       {"--ellipsoid", "iag75", "--central-meridian", "117"}},
      {"an ellipsoid of one's own",
       [](PanelsTest& t) {
         t.Field<QComboBox>("ellipsoid")->setCurrentIndex(4);
         t.Field<QDoubleSpinBox>("semi-major axis")->setValue(6378200);
         t.Field<QDoubleSpinBox>("inverse flattening")->setValue(298.25);
       },
       {"--ellipsoid", "6378200,298.25"}},
      {"a projection height",
       [](PanelsTest& t) { t.Field<QDoubleSpinBox>("projection height")->setValue(50); },
       {"--projection-height", "50"}},
      {"CGCS2000 on the GNSS side",
       [](PanelsTest& t) { t.Field<QComboBox>("gnss datum")->setCurrentIndex(1); },
       {"--gnss-datum", "cgcs2000"}},
      {"the plane model on CGCS2000, projected on GRS80",
       [](PanelsTest& t) {
         t.ChooseModel(2);
         t.Field<QComboBox>("gnss datum")->setCurrentIndex(1);
       },
       {"--model", "4", "--gnss-datum", "cgcs2000"}},
      {"a scale factor and a false northing",
       [](PanelsTest& t) {
         t.Field<QDoubleSpinBox>("scale factor")->setValue(0.99999);
         t.Field<QDoubleSpinBox>("false northing")->setValue(-10);
       },
       {"--scale-factor", "0.99999", "--false-northing", "-10"}},
      {"seven parameters in the coordinate-frame convention",
       [](PanelsTest& t) {
         t.ChooseModel(1);
         t.Field<QComboBox>("convention")->setCurrentIndex(1);
       },
       {"--model", "7", "--convention", "coordinate-frame"}},
      {"angles read as dd.mmss",
       [](PanelsTest& t) { t.Field<QComboBox>("angle format")->setCurrentIndex(3); },
       {"--angle-format", "dd.mmss"},
       'm'},
      {"angles read as decimal degrees",
       [](PanelsTest& t) { t.Field<QComboBox>("angle format")->setCurrentIndex(2); },
       {"--angle-format", "degrees"},
       'd'},
      {"angles read as dms",
       [](PanelsTest& t) { t.Field<QComboBox>("angle format")->setCurrentIndex(1); },
       {"--angle-format", "dms"}},
      {"the plane model with a constant height and its scale fixed",
       [](PanelsTest& t) {
         t.ChooseModel(2);
         t.Field<QComboBox>("height fit")->setCurrentIndex(2);
         t.Field<QCheckBox>("fix scale")->setChecked(true);
       },
       {"--model", "4", "--height-fit", "constant", "--fix-scale"}},
  };
  for (const OptionCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string table =
        c.angles == ':' ? points_ : Write("angles.csv", WithAngles(kPoints, c.angles));
    window_ = std::make_unique<MainWindow>();
    window_->OpenTable(QString::fromStdString(table));
    c.set(*this);
    window_->WaitForFit();
    ASSERT_TRUE(window_->session().has_fit()) << window_->session().fit_error();
    std::vector<std::string> arguments = c.options;
    arguments.insert(arguments.end(), {"--format", "json", table});
    const crs_test::ProgramResult shift = crs_test::RunProgram(ZERB_SHIFT_PROGRAM, arguments, "");
    ASSERT_EQ(shift.exit_code, 0) << shift.output;
    EXPECT_EQ(WindowJson(), shift.output);
  }
}

// A setting that cannot be used leaves the fit of the last one that could, and the status bar
// says why; a meridian the eastings' zone contradicts refuses the points, with the reason.
TEST_F(PanelsTest, ASettingThatCannotBeUsedIsSaidAndTheFitStays) {
  const double sigma0 = window_->session().solution().sigma0;
  TypeMeridian(QStringLiteral("东经一百一十七度"));
  window_->WaitForFit();
  EXPECT_TRUE(
      window_->statusBar()->currentMessage().startsWith(QStringLiteral("设置未采用：中央子午线")))
      << window_->statusBar()->currentMessage().toStdString();
  ASSERT_TRUE(window_->session().has_fit());
  EXPECT_EQ(window_->session().solution().sigma0, sigma0);

  // Nothing is saved while the fields on the screen are not those of the fit, and a refit meanwhile
  // (a point's use changed) does not make the refusal go unsaid.
  const std::string path = dir_ + "/refused.wkt";
  EXPECT_TRUE(window_->Save(Format::kCrsWkt2, QString::fromStdString(path))
                  .contains(QStringLiteral("设置未采用")));
  EXPECT_FALSE(std::ifstream(path).good());
  ASSERT_TRUE(SetUse("GP02", QStringLiteral("检核点")));
  window_->WaitForFit();
  EXPECT_TRUE(window_->statusBar()->currentMessage().startsWith(QStringLiteral("设置未采用")));
  TypeMeridian(QString());
  window_->WaitForFit();
  EXPECT_EQ(window_->Save(Format::kCrsWkt2, QString::fromStdString(path)), QString());

  Field<QDoubleSpinBox>("sigma vertical")->setValue(0.004);
  EXPECT_TRUE(window_->statusBar()->currentMessage().contains(QStringLiteral("高程中误差")));
  Field<QDoubleSpinBox>("sigma vertical")->setValue(0);

  TypeMeridian(QStringLiteral("116"));
  window_->WaitForFit();
  EXPECT_FALSE(window_->session().has_fit());
  ASSERT_FALSE(window_->session().messages().empty());
  // Every line names its zone's meridian against the one given.
  EXPECT_NE(window_->session().messages()[0].find("116"), std::string::npos)
      << window_->session().messages()[0];

  // The meridian typed is the grid's own: an L0 column that says otherwise is refused, not
  // taken over it (eastings without a zone number, L0 117 on every line).
  std::string with_l0 = "name,x,y,h,B,L,H,L0\n";
  std::istringstream lines(kPoints);
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line)) {
    const std::size_t y = line.find(",39") + 1;
    with_l0 += line.erase(y, 2) + ",117\n";
  }
  window_->OpenTable(QString::fromStdString(Write("l0.csv", with_l0)));
  window_->WaitForFit();
  EXPECT_FALSE(window_->session().has_fit());
  TypeMeridian(QStringLiteral("117"));
  window_->WaitForFit();
  EXPECT_TRUE(window_->session().has_fit()) << window_->session().fit_error();
}

// The panel sums up exactly the check points: their horizontal and vertical residuals as the
// table shows them (to 0.1 mm, the table's rounding).
TEST_F(PanelsTest, TheCheckPanelSumsUpTheChecksOnly) {
  auto* count = Field<QLabel>("check count");
  auto* horizontal = Field<QLabel>("check horizontal");
  auto* vertical = Field<QLabel>("check vertical");
  EXPECT_TRUE(count->text().startsWith(QStringLiteral("无")));
  ASSERT_TRUE(SetUse("GP02", QStringLiteral("检核点")));
  ASSERT_TRUE(SetUse("GP05", QStringLiteral("检核点")));
  window_->WaitForFit();
  EXPECT_EQ(count->text(), QStringLiteral("2 个"));
  double squares = 0, largest = 0, up_squares = 0, up_largest = 0;
  for (const char* name : {"GP02", "GP05"}) {
    const double h = std::hypot(Cell(name, PointTableModel::kNorth).toDouble(),
                                Cell(name, PointTableModel::kEast).toDouble());
    const double u = std::fabs(Cell(name, PointTableModel::kUp).toDouble());
    squares += h * h;
    largest = std::max(largest, h);
    up_squares += u * u;
    up_largest = std::max(up_largest, u);
  }
  const auto numbers = [](const QString& text) {
    const QStringList words = text.split(QLatin1Char(' '));
    return std::vector<double>{words[1].toDouble(), words[3].toDouble()};
  };
  const std::vector<double> h = numbers(horizontal->text());
  const std::vector<double> v = numbers(vertical->text());
  constexpr double kTableRounding = 2e-4;  // two cells each rounded to 0.1 mm
  EXPECT_NEAR(h[0], std::sqrt(squares / 2), kTableRounding) << horizontal->text().toStdString();
  EXPECT_NEAR(h[1], largest, kTableRounding);
  EXPECT_NEAR(v[0], std::sqrt(up_squares / 2), kTableRounding) << vertical->text().toStdString();
  EXPECT_NEAR(v[1], up_largest, kTableRounding);
}

// Between opening another input and its fit, the table still shows the points of the one before:
// a use set on one of them must not land on a point of the same name in the new input.
TEST_F(PanelsTest, AUseSetBeforeTheNewInputIsShownIsRefused) {
  std::string other = kPoints;
  other.replace(other.find("GP01"), 4, "GQ01");
  window_->OpenTable(QString::fromStdString(Write("other.csv", other)));
  EXPECT_FALSE(SetUse("GP02", QStringLiteral("不用")));
  window_->WaitForFit();
  ASSERT_TRUE(window_->session().has_fit());
  EXPECT_EQ(Cell("GP02", PointTableModel::kUse), QStringLiteral("控制点"));
  EXPECT_TRUE(SetUse("GP02", QStringLiteral("不用")));
}

// Changes made while a fit is being made are not lost: the fit shown in the end is that of all
// of them, and the point the user was on stays the current one.
TEST_F(PanelsTest, ChangesWhileAFitIsMadeEndInTheFitOfAllOfThem) {
  ASSERT_TRUE(SetUse("GP02", QStringLiteral("检核点")));
  EXPECT_TRUE(model()->busy());
  ChooseModel(1);
  ASSERT_TRUE(SetUse("GP03", QStringLiteral("检核点")));
  window_->WaitForFit();
  EXPECT_FALSE(model()->busy());
  ASSERT_TRUE(window_->session().has_fit());
  EXPECT_FALSE(window_->session().plane());
  EXPECT_EQ(window_->session().solution().points_check, 2u);
  // Seven parameters were fitted: rotations and scale are never exactly 0 from real points.
  EXPECT_NE(window_->session().solution().parameters.rx, 0);
  EXPECT_NE(window_->session().solution().parameters.s, 0);
  EXPECT_EQ(Cell("GP03", PointTableModel::kUse), QStringLiteral("检核点"));

  auto* table = window_->findChild<QTableView*>(QStringLiteral("points"));
  table->setCurrentIndex(
      window_->sorted()->mapFromSource(model()->index(Row("GP06"), PointTableModel::kUse)));
  ChooseModel(0);
  window_->WaitForFit();
  EXPECT_EQ(window_->sorted()->index(table->currentIndex().row(), PointTableModel::kName).data(),
            QStringLiteral("GP06"));
  EXPECT_EQ(table->currentIndex().column(), PointTableModel::kUse);
}

}  // namespace
}  // namespace zerb::fit
