// The point table copied for a spreadsheet: the titles, then the selected rows (or all) in the
// order shown, one cell a column. Checked on a plain model for the text's shape, and on the
// window as a user copies it with Ctrl+C from the table; and the table left with Tab, without
// which a keyboard user never reaches the report to read sigma0.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <memory>

#include "fit/main_window.h"
#include "fit/table_copy.h"
#include "tests/cli/temp_folder.h"
#include "tests/fit/readme_window.h"

namespace zerb::fit {
namespace {

QStringList Lines(const QString& text) {
  EXPECT_TRUE(text.endsWith(QLatin1Char('\n'))) << text.toStdString();
  QStringList lines = text.split(QLatin1Char('\n'));
  lines.removeLast();
  return lines;
}

// Three rows of three columns, one cell with a tab and one with a line break, one empty.
std::unique_ptr<QStandardItemModel> Small() {
  auto model = std::make_unique<QStandardItemModel>(3, 3);
  model->setHorizontalHeaderLabels(
      {QStringLiteral("点名"), QStringLiteral("v (m)"), QStringLiteral("备\t注")});
  const char* cells[3][3] = {{"A", "0.0010", ""}, {"B", "0.0020", "x\ty"}, {"C", "", "p\r\nq"}};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c)
      model->setItem(r, c, new QStandardItem(QString::fromUtf8(cells[r][c])));
  }
  return model;
}

TEST(TableText, TitlesThenEveryRowWhenNoneIsSelected) {
  const auto model = Small();
  // Every line has the same number of cells: a tab or line break inside a cell would shift the
  // columns after it, or split the row, when pasted.
  EXPECT_EQ(TableText(*model, {}), QStringLiteral("点名\tv (m)\t备 注\n"
                                                  "A\t0.0010\t\n"
                                                  "B\t0.0020\tx y\n"
                                                  "C\t\tp  q\n"));
}

TEST(TableText, SelectedRowsOnceEachInTheModelsOrder) {
  const auto model = Small();
  // Selected bottom first, the last row by two of its cells: each row once, top to bottom.
  const QModelIndexList selected = {model->index(2, 1), model->index(0, 0), model->index(2, 0)};
  EXPECT_EQ(Lines(TableText(*model, selected)),
            QStringList({QStringLiteral("点名\tv (m)\t备 注"), QStringLiteral("A\t0.0010\t"),
                         QStringLiteral("C\t\tp  q")}));
  // An index of another model names no row of this one: as if nothing were selected.
  const auto other = Small();
  EXPECT_EQ(Lines(TableText(*model, {other->index(1, 0)})).size(), 4);
}

TEST(TableText, ATableWithoutRowsGivesItsTitles) {
  QStandardItemModel empty(0, 2);
  empty.setHorizontalHeaderLabels({QStringLiteral("a"), QStringLiteral("b")});
  EXPECT_EQ(TableText(empty, {}), QStringLiteral("a\tb\n"));
}

class TableCopyWindow : public ReadmeWindowTest {
 protected:
  void SetUp() override {
    ReadmeWindowTest::SetUp();
    // A shortcut of the table's own works only while its window is active and it has the keyboard.
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    table_ = window_->findChild<QTableView*>(QStringLiteral("points"));
    ASSERT_NE(table_, nullptr);
    table_->setFocus();
    // The fit may come from another thread: wait for its table, GP04 flagged.
    ASSERT_TRUE(QTest::qWaitFor([this] { return Copied().size() == 7; }, 10000));
  }
  // Ctrl+C pressed in the table, as the user presses it; the clipboard's lines.
  QStringList Copied() {
    QGuiApplication::clipboard()->setText(QStringLiteral("before\n"));
    QTest::keyClick(table_, Qt::Key_C, Qt::ControlModifier);
    return Lines(QGuiApplication::clipboard()->text());
  }
  // The cell under the title in a copied row.
  static QString Under(const QStringList& lines, int row, const QString& title) {
    const int column = static_cast<int>(lines[0].split(QLatin1Char('\t')).indexOf(title));
    EXPECT_GE(column, 0) << title.toStdString();
    return lines[row].split(QLatin1Char('\t')).value(column);
  }

  QTableView* table_ = nullptr;
};

TEST_F(TableCopyWindow, CtrlCInTheTableCopiesAllRowsThenTheSelectedOne) {
  const QStringList all = Copied();
  ASSERT_EQ(all.size(), 7);
  EXPECT_EQ(all[0].split(QLatin1Char('\t')).size(), window_->points()->columnCount());
  for (int row = 1; row <= 6; ++row) {
    EXPECT_EQ(Under(all, row, QStringLiteral("点名")), QStringLiteral("GP0%1").arg(row));
    EXPECT_EQ(Under(all, row, QStringLiteral("粗差标记")),
              row == 4 ? QStringLiteral("是") : QString());
    EXPECT_EQ(Under(all, row, QStringLiteral("用途")), QStringLiteral("控制点"));
  }
  // GP04's residual as the table shows it: the 0.7 m blunder in its northing.
  EXPECT_EQ(Under(all, 4, QStringLiteral("v (m)")), QStringLiteral("0.7000"));

  // Sorted by name, last first: GP04 is the third row shown, and it alone is copied.
  table_->sortByColumn(PointTableModel::kName, Qt::DescendingOrder);
  QTest::keyClick(table_, Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(table_, Qt::Key_Down);
  QTest::keyClick(table_, Qt::Key_Down);
  const QStringList one = Copied();
  ASSERT_EQ(one.size(), 2);
  EXPECT_EQ(one[0], all[0]);
  EXPECT_EQ(Under(one, 1, QStringLiteral("点名")), QStringLiteral("GP04"));
  EXPECT_EQ(one[1], all[4]);
}

// Tab went round the table's cells for ever: the model panel and the report were out of reach.
TEST_F(TableCopyWindow, TabLeavesThePointTableAndShiftTabComesBack) {
  QTest::keyClick(table_, Qt::Key_Tab);
  QWidget* next = QApplication::focusWidget();
  ASSERT_NE(next, nullptr);
  EXPECT_NE(next, table_);
  QTest::keyClick(next, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), table_);
}

TEST_F(TableCopyWindow, CtrlCInTheReportStillCopiesItsText) {
  auto* report = window_->findChild<QPlainTextEdit*>(QStringLiteral("report"));
  ASSERT_NE(report, nullptr);
  report->setFocus();
  report->selectAll();
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  QTest::keyClick(report, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), report->toPlainText());
}

}  // namespace
}  // namespace zerb::fit
