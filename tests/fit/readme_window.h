// The window the tests of zerb-fit start from: the README's six points opened as one table, their
// fit shown. The fit is made off the window's thread, so every step that refits waits for it.
#ifndef ZERB_TESTS_FIT_README_WINDOW_H
#define ZERB_TESTS_FIT_README_WINDOW_H

#include <QComboBox>
#include <QString>

#include <memory>
#include <string>

#include "fit/main_window.h"
#include "tests/cli/temp_folder.h"
#include "tests/fit/readme_points.h"

namespace zerb::fit {

class ReadmeWindowTest : public test::TempFolder {
 public:
  void SetUp() override {
    TempFolder::SetUp();
    points_ = Write("points.csv", kPoints);
    window_ = std::make_unique<MainWindow>();
    window_->OpenTable(QString::fromStdString(points_));
    window_->WaitForFit();
  }
  void TearDown() override {
    window_.reset();
    TempFolder::TearDown();
  }
  // 0: three parameters, 1: seven, 2: the plane model, as the model panel lists them.
  void ChooseModel(int index) {
    window_->findChild<QComboBox*>(QStringLiteral("model"))->setCurrentIndex(index);
    window_->WaitForFit();
  }

 protected:
  std::string points_;  // the README's table
  std::unique_ptr<MainWindow> window_;
};

}  // namespace zerb::fit

#endif  // ZERB_TESTS_FIT_README_WINDOW_H
