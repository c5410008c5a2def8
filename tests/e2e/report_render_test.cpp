// The HTML report as a client opens it: rendered by headless Chromium (Debian's chromium) to a
// screenshot and printed to PDF on A4, then the pixels examined. A report can parse cleanly and
// still show nothing a client can read (a style that hides a table, a picture that fails to
// draw); the screenshot tells.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/cli/temp_folder.h"
#include "tests/readme_points.h"

namespace zerb::test {
namespace {

const std::string kPoints = kReadmePoints;

int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Pixels of exactly this colour.
int Count(const QImage& image, QColor colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x)
      n += image.pixelColor(x, y) == colour;
  }
  return n;
}

class ReportRender : public TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    Write("points.csv", kPoints);
    ASSERT_EQ(Shell("cd '" + dir_ +
                    "' && SOURCE_DATE_EPOCH=1765000000 '" ZERB_SHIFT_PROGRAM
                    "' --model 7 --horizontal-limit 0.03 -f html points.csv > report.html"),
              0);
  }
  // Chromium as root in a container needs its sandbox off; its own messages go to a log.
  int Chromium(const std::string& what) const {
    return Shell("cd '" + dir_ +
                 "' && '" CHROMIUM_PROGRAM
                 "' --headless --no-sandbox --disable-gpu --hide-scrollbars "
                 "--user-data-dir='" +
                 dir_ + "/profile' " + what + " 'file://" + dir_ +
                 "/report.html' > chromium.log 2>&1");
  }
};

TEST_F(ReportRender, TheFlaggedRowAndThePictureShowInTheBrowser) {
  ASSERT_EQ(Chromium("--window-size=900,2400 --screenshot='" + dir_ + "/report.png'"), 0);
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(dir_ + "/report.png")));
  ASSERT_EQ(image.width(), 900);
  // The flagged row's cells (#fbe0e0): ten cells of a line of text, thousands of pixels.
  EXPECT_GT(Count(image, QColor(0xfb, 0xe0, 0xe0)), 2000);
  // The picture's panel (#fcfcfc), inline SVG drawn by the browser: a large square.
  EXPECT_GT(Count(image, QColor(0xfc, 0xfc, 0xfc)), 100000);
  // GP04's flagged mark and its residual arrow (#d01010 and #1f4fbf in the picture's sheet).
  EXPECT_GT(Count(image, QColor(0xd0, 0x10, 0x10)), 10);
  EXPECT_GT(Count(image, QColor(0x1f, 0x4f, 0xbf)), 10);
}

TEST_F(ReportRender, ItPrintsOnA4Pages) {
  ASSERT_EQ(Chromium("--no-pdf-header-footer --print-to-pdf='" + dir_ + "/report.pdf'"), 0);
  std::ifstream pdf(dir_ + "/report.pdf", std::ios::binary);
  std::stringstream bytes;
  bytes << pdf.rdbuf();
  const std::string text = bytes.str();
  ASSERT_TRUE(text.starts_with("%PDF-")) << text.substr(0, 20);
  // A4 is 595 x 842 points (to rounding); the print style sheet asks for it, and the report
  // with its picture and definitions takes more than one page.
  std::size_t pages = 0;
  for (std::size_t at = text.find("/MediaBox"); at != std::string::npos;
       at = text.find("/MediaBox", at + 1)) {
    ++pages;
    double x0 = -1, y0 = -1, width = 0, height = 0;
    ASSERT_EQ(
        std::sscanf(text.c_str() + at, "/MediaBox [%lf %lf %lf %lf", &x0, &y0, &width, &height), 4)
        << text.substr(at, 40);
    EXPECT_NEAR(width, 595.28, 1.0);   // 210 mm
    EXPECT_NEAR(height, 841.89, 1.0);  // 297 mm
  }
  EXPECT_GE(pages, 2u);
}

}  // namespace
}  // namespace zerb::test
