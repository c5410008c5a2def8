// zerb-fit under a Chinese locale: the library's reasons in the message panel and its report come
// from the build tree's catalogue in Chinese, as zerb-shift's do. The locale is the process's, so
// the test puts it back to C for whatever runs after it.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPlainTextEdit>

#include <clocale>
#include <cstdlib>
#include <string>

#include "fit/main_window.h"
#include "tests/cli/temp_folder.h"
#include "text/translate.h"

namespace zerb::fit {
namespace {

class FitChineseTest : public test::TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    if (std::setlocale(LC_ALL, "zh_CN.UTF-8") == nullptr)
      GTEST_SKIP() << "the zh_CN.UTF-8 locale is not installed (scripts/deps generates it)";
    for (const char* v : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
      unsetenv(v);
    setenv("LANG", "zh_CN.UTF-8", 1);
    setenv("ZERB_LOCALEDIR", ZERB_BUILD_LOCALEDIR, 1);
    // As main does it; the place given is never looked at, for ZERB_LOCALEDIR names the build's.
    UseLanguageOfEnvironment("/nonexistent");
  }
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    TempFolder::TearDown();
  }
};

TEST_F(FitChineseTest, TheLibrarysReasonsAreInChinese) {
  const std::string grid = Write("control.dat",
                                 "GP01,,39458259.110,4419971.693,92.591\n"
                                 "GP02,,39477300.914,4435312.960,89.003\n"
                                 "GP07,,39512000.000,4428000.000,95.100\n");
  const std::string gnss = Write("gnss.csv",
                                 "点名,纬度,经度,大地高\n"
                                 "GP02,40:03:04.4424,116:44:04.2432,48.902\n"
                                 "GP01,39:54:44.4420,116:30:44.4420,52.317\n");
  MainWindow window;
  window.OpenPair(QString::fromStdString(grid), QString::fromStdString(gnss));
  window.WaitForFit();
  ASSERT_TRUE(window.session().has_fit());
  auto* messages = window.findChild<QListWidget*>(QStringLiteral("messages"));
  ASSERT_EQ(messages->count(), 1);
  EXPECT_EQ(messages->item(0)->text().toStdString(),
            grid + "，第 3 行：'GP07' 不在 " + gnss + " 中：未配对");
  const QString report = window.findChild<QPlainTextEdit*>(QStringLiteral("report"))->toPlainText();
  EXPECT_TRUE(report.contains(QStringLiteral("未配对"))) << report.toStdString();
}

}  // namespace
}  // namespace zerb::fit
