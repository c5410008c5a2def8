// 文件 → 最近打开: the inputs opened, newest first and at most eight, kept in the settings of the
// run's own folder; an entry chosen opens its input again, one whose file is gone is said and
// dropped.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include <memory>
#include <string>

#include "fit/main_window.h"
#include "fit/recent_files.h"
#include "tests/cli/temp_folder.h"
#include "tests/fit/readme_points.h"

namespace zerb::fit {
namespace {

QSettings Settings() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("zerb"),
                   QStringLiteral("zerb-fit"));
}

class RecentFilesTest : public test::TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    Settings().clear();
    window_ = std::make_unique<MainWindow>();
  }
  void TearDown() override {
    window_.reset();
    TempFolder::TearDown();
  }

  QString Table(const std::string& name) { return QString::fromStdString(Write(name, kPoints)); }
  // The entries of 文件 → 最近打开 as the user sees them when it opens.
  QList<QAction*> Entries() {
    for (QAction* top : window_->menuBar()->actions()) {
      for (QAction* sub : top->menu()->actions()) {
        if (sub->menu() != nullptr && sub->text() == QStringLiteral("最近打开(&L)")) {
          emit sub->menu()->aboutToShow();
          return sub->menu()->actions();
        }
      }
    }
    ADD_FAILURE() << "no 最近打开";
    return {};
  }

  std::unique_ptr<MainWindow> window_;
};

TEST_F(RecentFilesTest, TheSettingsAreTheRunsOwn) {
  const QString file = Settings().fileName();
  EXPECT_FALSE(file.startsWith(qEnvironmentVariable("HOME") + QStringLiteral("/.config")))
      << file.toStdString();
  EXPECT_TRUE(file.endsWith(QStringLiteral("/zerb/zerb-fit.ini"))) << file.toStdString();
}

TEST_F(RecentFilesTest, TheLastEightNewestFirst) {
  const QList<QAction*> none = Entries();
  ASSERT_EQ(none.size(), 1);
  EXPECT_FALSE(none[0]->isEnabled());
  QList<QString> opened;
  for (int i = 0; i < 10; ++i) {
    opened.append(Table("points" + std::to_string(i) + ".csv"));
    window_->OpenTable(opened.back());
    window_->WaitForFit();
  }
  // Opening one again moves it to the front, once.
  window_->OpenTable(opened[5]);
  window_->WaitForFit();
  const QList<RecentInput> recent = RecentFiles().List();
  ASSERT_EQ(recent.size(), 8);
  EXPECT_EQ(recent[0].table, opened[5]);
  EXPECT_EQ(recent[1].table, opened[9]);
  EXPECT_EQ(recent[7].table, opened[2]);
  const QList<QAction*> entries = Entries();
  ASSERT_EQ(entries.size(), 8);
  EXPECT_EQ(entries[0]->text(), QStringLiteral("&1 ") + opened[5]);
  EXPECT_EQ(entries[7]->text(), QStringLiteral("&8 ") + opened[2]);
  // Kept for the next window.
  window_ = std::make_unique<MainWindow>();
  EXPECT_EQ(Entries().size(), 8);
}

TEST_F(RecentFilesTest, AnEntryChosenOpensItsInputAgain) {
  const QString grid = QString::fromStdString(Write("control.dat", kGridFile));
  const QString gnss = QString::fromStdString(Write("gnss.csv", kGnssFile));
  window_->OpenPair(grid, gnss);
  window_->WaitForFit();
  const QString table = Table("points.csv");
  window_->OpenTable(table);
  window_->WaitForFit();
  ASSERT_EQ(window_->points()->rowCount(), 6);
  const QList<QAction*> entries = Entries();
  ASSERT_EQ(entries.size(), 2);
  EXPECT_EQ(entries[1]->text(), QStringLiteral("&2 ") + grid + QStringLiteral(" + ") + gnss);
  entries[1]->trigger();
  window_->WaitForFit();
  EXPECT_EQ(window_->session().input_name(), (grid + QStringLiteral(" + ") + gnss).toStdString());
  ASSERT_TRUE(window_->session().has_fit());
  EXPECT_EQ(window_->points()->rowCount(), 3);
  // The pair is first now, as a pair.
  const QList<RecentInput> recent = RecentFiles().List();
  ASSERT_EQ(recent.size(), 2);
  EXPECT_TRUE(recent[0].pair());
  EXPECT_EQ(recent[0].grid, grid);
  EXPECT_EQ(recent[0].gnss, gnss);
  EXPECT_EQ(recent[1].table, table);
}

TEST_F(RecentFilesTest, AFileGoneIsSaidAndDropped) {
  const QString kept = Table("kept.csv");
  const QString gone = Table("gone.csv");
  window_->OpenTable(kept);
  window_->WaitForFit();
  window_->OpenTable(gone);
  window_->WaitForFit();
  ASSERT_TRUE(QFile::remove(gone));
  const QString why = window_->OpenRecent(RecentFiles().List()[0]);
  window_->WaitForFit();
  EXPECT_TRUE(why.startsWith(gone + QStringLiteral(" 已不存在"))) << why.toStdString();
  // The window still shows the input it had; the list holds only the file still there.
  EXPECT_EQ(window_->points()->rowCount(), 6);
  const QList<RecentInput> recent = RecentFiles().List();
  ASSERT_EQ(recent.size(), 1);
  EXPECT_EQ(recent[0].table, kept);
}

TEST_F(RecentFilesTest, AFileNeverFoundIsNotKept) {
  window_->OpenTable(QString::fromStdString(dir_ + "/missing.csv"));
  window_->WaitForFit();
  EXPECT_TRUE(RecentFiles().List().isEmpty());
}

}  // namespace
}  // namespace zerb::fit
