// The HTML report (--format html), as a client receives it: the built program run as a process,
// its file parsed by html5lib, a parser of the HTML5 standard in strict mode (any parse error
// fails), and its content checked against the text report of the same run.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <clocale>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/exit_status.h"
#include "tests/cli/temp_folder.h"

namespace zerb::test {
namespace {

// The README's six points; GP04 is 0.7 m off and flagged. GP05's name holds markup, which the
// report must show as text.
const std::string kPoints =
    "name,x,y,h,B,L,H\n"
    "GP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,52.317\n"
    "GP02,4435312.960,39477300.914,89.003,40:03:04.4424,116:44:04.2432,48.902\n"
    "GP03,4400117.957,39508728.211,101.427,39:44:04.2432,117:06:08.4420,61.455\n"
    "GP04,4443360.124,39530367.371,114.734,40:07:24.4416,117:21:24.4404,75.030\n"
    "<b>GP05 & co</b>,4385320.078,39491472.066,85.002,39:36:04.4424,116:54:04.4424,44.871\n"
    "GP06,4413718.251,39520977.912,98.070,39:51:24.4404,117:14:44.4408,58.220\n"
    "GP07,4428000.000,39512000.000,95.100,39:75:00,117:00:00,55.000\n";

struct Process {
  int status = -1;
  std::string out;
};

class HtmlReport : public TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    Write("points.csv", kPoints);
  }

  // The program in the folder, under LANG=lang, with the date fixed so that runs compare.
  Process Run(const std::string& lang, const std::string& args) const {
    const std::string command =
        "cd '" + dir_ + "' && env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LC_CTYPE LANG=" + lang +
        " SOURCE_DATE_EPOCH=1765000000 ZERB_LOCALEDIR='" +
        ZERB_BUILD_LOCALEDIR "' '" ZERB_SHIFT_PROGRAM "' " + args + " </dev/null 2>/dev/null";
    Process p;
    std::FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    if (pipe == nullptr)
      return p;
    for (int c; (c = std::fgetc(pipe)) != EOF;)
      p.out += static_cast<char>(c);
    const int status = pclose(pipe);
    p.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return p;
  }

  // What html5lib in strict mode says of the document: empty when it parses without an error.
  std::string ParseErrors(const std::string& html) const {
    const std::string path = Write("report.html", html);
    const std::string command = "'" SYSTEM_PYTHON
                                "' -c \"import html5lib,sys\n"
                                "p = html5lib.HTMLParser(strict=True)\n"
                                "try:\n"
                                "  p.parse(open(sys.argv[1], 'rb').read())\n"
                                "except Exception as e:\n"
                                "  print(e, p.errors[:3])\" '" +
                                path + "' 2>&1";
    std::string said;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
      return "cannot run python3";
    for (int c; (c = std::fgetc(pipe)) != EOF;)
      said += static_cast<char>(c);
    pclose(pipe);
    return said;
  }
};

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

TEST_F(HtmlReport, IsValidHtml5AndHoldsTheFitThePointsThePictureAndTheDefinitions) {
  const Process html = Run("C.UTF-8", "--model 7 -f html points.csv");
  EXPECT_EQ(html.status, kExitRefused);  // GP07's minutes are 75
  EXPECT_EQ(ParseErrors(html.out), "");
  EXPECT_TRUE(html.out.starts_with("<!DOCTYPE html>\n<html lang=\"en\">"));
  // The same parameters as the text report's, to the digit.
  const Process text = Run("C.UTF-8", "--model 7 points.csv");
  for (const char* name : {"tx", "ty", "tz"}) {
    const std::size_t at = text.out.find(std::string("  ") + name + " = ");
    ASSERT_NE(at, std::string::npos) << text.out;
    std::istringstream row(text.out.substr(at));
    std::string n, eq, value;
    row >> n >> eq >> value;
    EXPECT_NE(html.out.find("<tr><td>" + std::string(name) + "</td><td class=\"z-num\">" + value +
                            "</td>"),
              std::string::npos)
        << name << " " << value;
  }
  // Every point in the residual table, the flagged one marked, the markup in a name as text.
  EXPECT_EQ(Count(html.out, "<tr class=\"z-flagged\">"), 1u);
  EXPECT_NE(html.out.find("&lt;b&gt;GP05 &amp; co&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(html.out.find("<b>GP05"), std::string::npos);
  // The refused line with its reason, the picture inline, and both definitions.
  EXPECT_NE(html.out.find("points.csv, line 8: column B"), std::string::npos);
  EXPECT_EQ(Count(html.out, "<svg "), 1u);
  EXPECT_EQ(html.out.find("<?xml"), std::string::npos);
  EXPECT_NE(html.out.find("<pre>BOUNDCRS["), std::string::npos);
  EXPECT_NE(html.out.find("<pre>+proj=pipeline"), std::string::npos);
  EXPECT_NE(html.out.find("@media print"), std::string::npos);
  EXPECT_NE(html.out.find("made 2025-12-06 05:46 UTC by zerb-shift "), std::string::npos);
  // A fixed date makes the file reproducible.
  EXPECT_EQ(Run("C.UTF-8", "--model 7 -f html points.csv").out, html.out);
}

TEST_F(HtmlReport, SpeaksTheUsersLanguage) {
  if (std::setlocale(LC_ALL, "zh_CN.UTF-8") == nullptr)
    GTEST_SKIP() << "the zh_CN.UTF-8 locale is not installed (scripts/deps generates it)";
  std::setlocale(LC_ALL, "C");
  const Process html = Run("zh_CN.UTF-8", "-f html points.csv");
  EXPECT_EQ(ParseErrors(html.out), "");
  EXPECT_TRUE(html.out.starts_with("<!DOCTYPE html>\n<html lang=\"zh-CN\">"));
  EXPECT_NE(html.out.find("<h2>残差</h2>"), std::string::npos);
  // The refused line is worded as on standard error, without an English colon.
  EXPECT_NE(html.out.find("<li>points.csv，第 8 行：列 B"), std::string::npos) << html.out;
}

// The plane model's report: both fits' statistics, each point in the fits it is in, the
// projection's constants a controller needs, and its pipeline and listing.
TEST_F(HtmlReport, ThePlaneModelsIsValidHtml5WithBothFits) {
  const Process html = Run("C.UTF-8", "--model 4 --height-fit plane -f html points.csv");
  EXPECT_EQ(html.status, kExitRefused);
  EXPECT_EQ(ParseErrors(html.out), "");
  EXPECT_EQ(Count(html.out, "<tr class=\"z-flagged\">"), 1u) << html.out;
  EXPECT_NE(html.out.find("flagged horizontally"), std::string::npos);
  EXPECT_NE(html.out.find("<tr><th>false easting</th><td>500000 m</td></tr>"), std::string::npos);
  EXPECT_NE(html.out.find("<pre>four parameters (grid from GNSS"), std::string::npos);
  EXPECT_NE(html.out.find("<pre>+proj=pipeline"), std::string::npos);
  EXPECT_NE(html.out.find("&lt;b&gt;GP05 &amp; co&lt;/b&gt;"), std::string::npos);
}

// Residual limits: the point outside them says so in its status, and the verdict and the point
// follow the table, in both models' reports.
TEST_F(HtmlReport, TheLimitsVerdictFollowsTheResiduals) {
  for (const char* model : {"--model 3", "--model 4 --height-fit plane"}) {
    const Process html = Run("C.UTF-8", std::string(model) +
                                            " --horizontal-limit 0.03 --vertical-limit 0.05 "
                                            "-f html points.csv");
    EXPECT_EQ(ParseErrors(html.out), "") << model;
    EXPECT_EQ(Count(html.out, "outside the limits</td></tr>"), 1u) << html.out;
    EXPECT_NE(html.out.find("<p class=\"z-warning\">residual limits: horizontal 0.0300 m, "
                            "vertical 0.0500 m: 5 of 6 points within</p>\n<ul>\n<li>outside the "
                            "limits: line 5 (GP04)"),
              std::string::npos)
        << html.out;
  }
}

}  // namespace
}  // namespace zerb::test
