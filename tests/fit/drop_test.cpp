// Files dropped on the window, as a file manager drops them: one opens as a table, two as the
// grid file and the GNSS file in the order of the drop (the wrong order fits nothing and says
// why); any other drop is refused with a reason in the status bar, and the input shown stays.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

#include <memory>
#include <string>

#include "fit/main_window.h"
#include "fit/recent_files.h"
#include "tests/cli/temp_folder.h"
#include "tests/fit/readme_points.h"

namespace zerb::fit {
namespace {

class DropTest : public test::TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    window_ = std::make_unique<MainWindow>();
  }
  void TearDown() override {
    window_.reset();
    TempFolder::TearDown();
  }

  // Drags the URLs onto the window and, when the window takes them, drops them; whether it took
  // them.
  bool Drop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    return Drop(data);
  }
  bool Drop(const QMimeData& data) {
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window_.get(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window_.get(), &drop);
    window_->WaitForFit();
    EXPECT_EQ(enter.isAccepted(), drop.isAccepted());
    return drop.isAccepted();
  }
  QUrl File(const std::string& name, const std::string& bytes) {
    return QUrl::fromLocalFile(QString::fromStdString(Write(name, bytes)));
  }
  QString Status() { return window_->statusBar()->currentMessage(); }

  std::unique_ptr<MainWindow> window_;
};

TEST_F(DropTest, OneFileOpensAsATable) {
  const QUrl table = File("points.csv", kPoints);
  EXPECT_TRUE(window_->acceptDrops());
  ASSERT_TRUE(Drop({table}));
  EXPECT_EQ(window_->session().input_name(), table.toLocalFile().toStdString());
  ASSERT_TRUE(window_->session().has_fit());
  EXPECT_EQ(window_->points()->rowCount(), 6);
  ASSERT_FALSE(RecentFiles().List().isEmpty());
  EXPECT_EQ(RecentFiles().List()[0].table, table.toLocalFile());
}

TEST_F(DropTest, TwoFilesOpenAsTheGridThenTheGnssFile) {
  // GP07 is in the grid file alone.
  const QUrl grid =
      File("control.dat", std::string(kGridFile) + "GP07,,39512000.000,4428000.000,95.100\n");
  const QUrl gnss = File("gnss.csv", kGnssFile);
  ASSERT_TRUE(Drop({grid, gnss}));
  const std::string g = grid.toLocalFile().toStdString();
  const std::string w = gnss.toLocalFile().toStdString();
  EXPECT_EQ(window_->session().input_name(), g + " + " + w);
  ASSERT_TRUE(window_->session().has_fit());
  EXPECT_EQ(window_->points()->rowCount(), 3);
  auto* messages = window_->findChild<QListWidget*>(QStringLiteral("messages"));
  ASSERT_EQ(messages->count(), 1);
  EXPECT_EQ(messages->item(0)->text().toStdString(),
            g + ", line 4: 'GP07' is not in " + w + ": left unpaired");
}

TEST_F(DropTest, TwoFilesInTheWrongOrderFitNothing) {
  const QUrl grid = File("control.dat", kGridFile);
  const QUrl gnss = File("gnss.csv", kGnssFile);
  ASSERT_TRUE(Drop({gnss, grid}));
  EXPECT_FALSE(window_->session().has_fit());
  auto* messages = window_->findChild<QListWidget*>(QStringLiteral("messages"));
  // The GNSS file read as the grid file: its header has no grid columns, said with its name.
  bool said = false;
  for (int i = 0; i < messages->count(); ++i) {
    const std::string m = messages->item(i)->text().toStdString();
    said = said || (m.rfind(gnss.toLocalFile().toStdString() + ", line 1: ", 0) == 0 &&
                    m.find("lacks the column(s) north") != std::string::npos);
  }
  EXPECT_TRUE(said);
}

TEST_F(DropTest, ThreeFilesAreRefusedAndTheInputStays) {
  const QUrl table = File("points.csv", kPoints);
  ASSERT_TRUE(Drop({table}));
  EXPECT_FALSE(Drop({File("a.csv", kPoints), File("b.csv", kPoints), File("c.csv", kPoints)}));
  EXPECT_TRUE(Status().startsWith(QStringLiteral("拖入了 3 个文件"))) << Status().toStdString();
  EXPECT_EQ(window_->session().input_name(), table.toLocalFile().toStdString());
  EXPECT_EQ(window_->points()->rowCount(), 6);
}

TEST_F(DropTest, WhatIsNoLocalFileIsRefused) {
  EXPECT_FALSE(Drop({QUrl(QStringLiteral("https://example.org/points.csv"))}));
  EXPECT_EQ(Status(), QStringLiteral("https://example.org/points.csv 不是本机上的文件"));
  EXPECT_FALSE(window_->session().has_input());
  QMimeData text;
  text.setText(QStringLiteral("GP01,4419971.693"));
  EXPECT_FALSE(Drop(text));
  EXPECT_EQ(Status(), QStringLiteral("拖入的不是文件"));
  EXPECT_FALSE(window_->session().has_input());
}

}  // namespace
}  // namespace zerb::fit
