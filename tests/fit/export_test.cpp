// The parameters' menu: every export form the model has, copied to the clipboard as the user
// copies it and read back by PROJ, which must bring the README's points to their GNSS positions;
// the forms a model has not are off, and implausible parameters are neither copied nor saved.
#include <gtest/gtest.h>
#include <proj.h>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>

#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "fit/export_forms.h"
#include "fit/main_window.h"
#include "tests/cli/temp_folder.h"
#include "tests/crs/crs_test_support.h"
#include "tests/fit/readme_window.h"

namespace zerb::fit {
namespace {

class ExportTest : public ReadmeWindowTest {
 protected:
  void SetUp() override {
    ReadmeWindowTest::SetUp();
    ASSERT_TRUE(window_->session().has_fit());
  }
  void ChooseModel(int index) {
    ReadmeWindowTest::ChooseModel(index);
    ASSERT_TRUE(window_->session().has_fit());
  }
  // The entries of 参数 → 复制 or 参数 → 保存, by their label.
  std::map<QString, QAction*> Entries(const QString& submenu) {
    std::map<QString, QAction*> out;
    for (QAction* top : window_->menuBar()->actions()) {
      if (top->text() != QStringLiteral("参数(&A)"))
        continue;
      for (QAction* sub : top->menu()->actions()) {
        if (sub->text() != submenu)
          continue;
        for (QAction* entry : sub->menu()->actions()) {
          QString label = entry->text();
          label.remove(QStringLiteral("…"));
          out[label] = entry;
        }
      }
    }
    return out;
  }
  std::string Copied(Format format) {
    const QString why = CopyExport(window_->session(), format);
    EXPECT_EQ(why, QString());
    return QGuiApplication::clipboard()->text().toStdString();
  }
  // Every point but GP04, 0.7 m off and left out by the outlier test, must come within 2 mm of
  // its GNSS position through the operation.
  static void BringsThePoints(PJ* operation, const std::string& what) {
    ASSERT_NE(operation, nullptr) << what;
    for (const Known& k : kKnown) {
      if (std::string(k.name) == "GP04")
        continue;
      const crs_test::Geographic got = crs_test::ToWgs84(operation, k.grid);
      EXPECT_LT(crs_test::HorizontalMetres(got, k.gnss), 0.002) << k.name << " " << what;
      EXPECT_NEAR(got.h, k.gnss.h, 0.002) << k.name << " " << what;
    }
  }
};

TEST_F(ExportTest, EveryCrsFormCopiedIsReadByProj) {
  ChooseModel(1);
  const crs_test::Context context;
  for (Format f : {Format::kCrsProj, Format::kCrsWkt1, Format::kCrsWkt2, Format::kCrsProjJson}) {
    const std::string text = Copied(f);
    const crs_test::Pj crs(proj_create(context.get(), text.c_str()));
    ASSERT_NE(crs, nullptr) << text;
    EXPECT_TRUE(proj_is_crs(crs.get())) << text;
    // The forms of PROJ 4 and WKT1 are two-dimensional: given a height axis as cs2cs gives it.
    const bool flat = f == Format::kCrsProj || f == Format::kCrsWkt1;
    BringsThePoints(crs_test::OperationFromDefinition(context.get(), text, "EPSG:4979", flat).get(),
                    text);
  }
}

TEST_F(ExportTest, TheBareParametersCopiedBringThePointsThroughProj) {
  ChooseModel(1);
  const crs_test::Context context;
  // +towgs84 on a grid definition written out here.
  std::string towgs84 = Copied(Format::kTowgs84);
  ASSERT_EQ(towgs84.rfind("+towgs84=", 0), 0u) << towgs84;
  towgs84.pop_back();
  const std::string grid =
      "+proj=tmerc +lon_0=117 +x_0=39500000 +k=1 +ellps=krass +units=m " + towgs84 + " +type=crs";
  BringsThePoints(crs_test::OperationFromDefinition(context.get(), grid, "EPSG:4979", true).get(),
                  grid);
  // The Helmert step between the two ellipsoids' geocentric positions.
  std::string helmert = Copied(Format::kProj);
  ASSERT_EQ(helmert.rfind("+proj=helmert ", 0), 0u) << helmert;
  helmert.pop_back();
  const std::string pipeline =
      "+proj=pipeline +step +inv +proj=tmerc +lon_0=117 +x_0=39500000 +k=1 +ellps=krass "
      "+step +proj=cart +ellps=krass +step " +
      helmert +
      " +step +inv +proj=cart +ellps=WGS84 +step +proj=unitconvert +xy_in=rad +xy_out=deg";
  const crs_test::Pj step(proj_create(context.get(), pipeline.c_str()));
  BringsThePoints(step.get(), pipeline);
  // TOWGS84 holds the same seven numbers as +towgs84.
  const std::string wkt = Copied(Format::kWkt);
  EXPECT_EQ(wkt, "TOWGS84[" + towgs84.substr(9) + "]\n");
  // The pipeline runs grid to GNSS.
  const std::string copied = Copied(Format::kPipeline);
  BringsThePoints(crs_test::Pj(proj_create(context.get(), copied.c_str())).get(), copied);
}

TEST_F(ExportTest, TheMenuOffersTheFormsOfTheModel) {
  for (const QString& submenu : {QStringLiteral("复制(&C)"), QStringLiteral("保存(&S)")}) {
    ChooseModel(0);
    std::map<QString, QAction*> entries = Entries(submenu);
    ASSERT_EQ(entries.size(), ExportForms().size()) << submenu.toStdString();
    for (const ExportForm& form : ExportForms()) {
      ASSERT_EQ(entries.count(form.label), 1u) << form.label.toStdString();
      EXPECT_EQ(entries[form.label]->isEnabled(), form.format != Format::kParameters)
          << form.label.toStdString();
    }
    ChooseModel(2);
    for (const ExportForm& form : ExportForms()) {
      EXPECT_EQ(entries[form.label]->isEnabled(),
                form.format == Format::kPipeline || form.format == Format::kParameters)
          << form.label.toStdString();
    }
  }
  // Each suffix is what the programs reading the form look for.
  std::map<Format, QString> suffix;
  for (const ExportForm& form : ExportForms())
    suffix[form.format] = form.suffix;
  EXPECT_EQ(suffix[Format::kCrsWkt1], QStringLiteral("prj"));
  EXPECT_EQ(suffix[Format::kCrsWkt2], QStringLiteral("wkt"));
  EXPECT_EQ(suffix[Format::kWkt], QStringLiteral("wkt"));
  EXPECT_EQ(suffix[Format::kCrsProjJson], QStringLiteral("json"));
  EXPECT_EQ(suffix[Format::kTowgs84], QStringLiteral("txt"));
}

TEST_F(ExportTest, TheCopyEntryPutsTheDefinitionOnTheClipboard) {
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  QAction* wkt2 = Entries(QStringLiteral("复制(&C)"))[QStringLiteral("坐标系定义 WKT2")];
  ASSERT_NE(wkt2, nullptr);
  wkt2->trigger();
  const std::string text = QGuiApplication::clipboard()->text().toStdString();
  const crs_test::Context context;
  BringsThePoints(crs_test::OperationFromDefinition(context.get(), text, "EPSG:4979").get(), text);
}

TEST_F(ExportTest, ThePlaneModelCopiesItsParametersAndRefusesTheRest) {
  QString text;
  EXPECT_FALSE(ExportText(window_->session(), Format::kParameters, &text).isEmpty());
  EXPECT_TRUE(text.isEmpty());
  ChooseModel(2);
  EXPECT_EQ(ExportText(window_->session(), Format::kParameters, &text), QString());
  EXPECT_TRUE(text.startsWith(QStringLiteral("four parameters"))) << text.toStdString();
  const QString why = ExportText(window_->session(), Format::kTowgs84, &text);
  EXPECT_TRUE(why.contains(QStringLiteral("no geocentric parameters"))) << why.toStdString();
  EXPECT_TRUE(text.isEmpty());
}

TEST_F(ExportTest, ImplausibleParametersAreNeitherCopiedNorSaved) {
  std::string csv = kPoints;
  // Northings 25 to 45 m off in turn: the fit twists the grid far more than a datum does.
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
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  for (const ExportForm& form : ExportForms()) {
    if (!ModelHasForm(form.format, false))
      continue;
    const QString why = CopyExport(window_->session(), form.format);
    EXPECT_TRUE(
        why.contains(QStringLiteral("cannot be a transformation between two geodetic datums")))
        << form.label.toStdString() << ": " << why.toStdString();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    const std::string path = dir_ + "/wrong." + form.suffix.toStdString();
    EXPECT_FALSE(window_->Save(form.format, QString::fromStdString(path)).isEmpty());
    EXPECT_FALSE(std::ifstream(path).good()) << path;
  }
}

}  // namespace
}  // namespace zerb::fit
