// zerb-shift in Chinese: the built program run as a process under LANG=zh_CN.UTF-8 with the build
// tree's catalogue says why a line is refused, gives its help and labels its report in Chinese,
// as valid UTF-8; under LANG=C the same runs are English, and what programs read (CSV, JSON,
// +towgs84) is the same bytes in either language.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/exit_status.h"
#include "tests/cli/support.h"
#include "tests/cli/temp_folder.h"
#include "text/text.h"

namespace zerb::test {
namespace {

// The README's six points; GP04 is 0.7 m off and flagged.
const std::string kPoints =
    "name,x,y,h,B,L,H\n"
    "GP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,52.317\n"
    "GP02,4435312.960,39477300.914,89.003,40:03:04.4424,116:44:04.2432,48.902\n"
    "GP03,4400117.957,39508728.211,101.427,39:44:04.2432,117:06:08.4420,61.455\n"
    "GP04,4443360.124,39530367.371,114.734,40:07:24.4416,117:21:24.4404,75.030\n"
    "GP05,4385320.078,39491472.066,85.002,39:36:04.4424,116:54:04.4424,44.871\n"
    "GP06,4413718.251,39520977.912,98.070,39:51:24.4404,117:14:44.4408,58.220\n";
// Line 8: minutes 75.
const std::string kBadLine = "GP07,4428000.000,39512000.000,95.100,39:75:00,117:00:00,55.000\n";

struct Process {
  int status = -1;
  std::string out;
  std::string err;
};

class ChineseMessages : public TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    // Only C, C.UTF-8 and POSIX exist until the locales package has generated zh_CN.UTF-8, and
    // gettext translates nothing under C.
    if (std::setlocale(LC_ALL, "zh_CN.UTF-8") == nullptr)
      GTEST_SKIP() << "the zh_CN.UTF-8 locale is not installed (scripts/deps generates it)";
    std::setlocale(LC_ALL, "C");
  }

  // zerb-shift in cwd dir_ with only LANG deciding the language (LANGUAGE would override it),
  // the catalogue taken from the build tree.
  Process Run(const std::string& lang, const std::string& args) const {
    const std::string err_path = dir_ + "/stderr";
    const std::string command =
        "cd '" + dir_ + "' && env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LC_CTYPE LANG=" + lang +
        " ZERB_LOCALEDIR='" ZERB_BUILD_LOCALEDIR "' '" ZERB_SHIFT_PROGRAM "' " + args +
        " </dev/null 2>'" + err_path + "'";
    Process p;
    std::FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    if (pipe == nullptr)
      return p;
    for (int c; (c = std::fgetc(pipe)) != EOF;)
      p.out += static_cast<char>(c);
    const int status = pclose(pipe);
    p.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(err_path, std::ios::binary);
    std::ostringstream text;
    text << err.rdbuf();
    p.err = text.str();
    return p;
  }
};

TEST_F(ChineseMessages, RefusedLineNamesFileAndLineInChinese) {
  Write("points.csv", kPoints + kBadLine);
  const Process zh = Run("zh_CN.UTF-8", "--format towgs84 points.csv");
  EXPECT_EQ(zh.status, kExitRefused);
  EXPECT_TRUE(IsValidUtf8(zh.err));
  EXPECT_NE(zh.err.find("zerb-shift: points.csv，第 8 行：列 B '39:75:00'：分不在 0 到 59 之间\n"),
            std::string::npos)
      << zh.err;
  EXPECT_NE(zh.err.find("zerb-shift: 注意：粗差检验标记了 1 个点，已剔除出平差（第 5 行）"),
            std::string::npos)
      << zh.err;

  const Process c = Run("C", "--format towgs84 points.csv");
  EXPECT_EQ(c.status, kExitRefused);
  EXPECT_NE(c.err.find("zerb-shift: points.csv, line 8: column B '39:75:00': minutes outside 0 "
                       "to 59\n"),
            std::string::npos)
      << c.err;
  // The export is read by programs: the same bytes in both languages.
  EXPECT_EQ(zh.out, c.out);
  EXPECT_EQ(c.out, "+towgs84=15.8000,-130.4000,-84.9001\n");
}

// The C library words its errors in the locale's character set: under a GB18030 locale the
// reason a file cannot be opened came as GB18030 bytes inside a UTF-8 message.
TEST_F(ChineseMessages, SystemErrorUnderAGb18030LocaleIsStillUtf8) {
  const std::string locales = dir_ + "/locales";
  const std::string make = "mkdir -p '" + locales + "' && localedef -i zh_CN -f GB18030 '" +
                           locales + "/zh_CN.GB18030' >/dev/null 2>&1";
  if (std::system(make.c_str()) != 0)
    GTEST_SKIP() << "localedef cannot make a GB18030 locale here";
  // glibc keeps the LOCPATH it splits for good, which LeakSanitizer would call a leak of ours.
  const Process zh = Run("zh_CN.GB18030 LOCPATH='" + locales +
                             "' ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\"",
                         "missing.csv");
  EXPECT_EQ(zh.status, kExitUsage);
  EXPECT_TRUE(IsValidUtf8(zh.err)) << zh.err;
  EXPECT_NE(zh.err.find("missing.csv"), std::string::npos) << zh.err;
}

TEST_F(ChineseMessages, UsageErrorAndHelpInChinese) {
  const Process zh = Run("zh_CN.UTF-8", "--alpha 2");
  EXPECT_EQ(zh.status, kExitUsage);
  EXPECT_EQ(zh.err,
            "zerb-shift: --alpha 需要介于 0 和 0.5 之间的显著性水平，而不是 '2'\n"
            "请用 'zerb-shift --help' 获取更多信息。\n");

  const Process help = Run("zh_CN.UTF-8", "--help");
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_TRUE(IsValidUtf8(help.out));
  EXPECT_EQ(help.out.rfind("用法：zerb-shift [选项]... [FILE]\n", 0), 0u) << help.out;
  for (const char* section : {"输入，以下之一：", "模型与统计：", "退出状态：", "示例："})
    EXPECT_NE(help.out.find(section), std::string::npos) << section;
  // The tables the help takes from the readers stay as they are read.
  EXPECT_NE(help.out.find("  name                     name, id, 点名, 点号\n"), std::string::npos);

  const Process english = Run("C", "--help");
  EXPECT_EQ(english.out, RunZerbShift({"--help"}).out);
  EXPECT_EQ(english.out.rfind("Usage: zerb-shift [OPTION]... [FILE]\n", 0), 0u);
}

TEST_F(ChineseMessages, TextReportLabelsInChineseAndMachineOutputsUnchanged) {
  Write("points.csv", kPoints);
  const Process zh = Run("zh_CN.UTF-8", "points.csv");
  EXPECT_EQ(zh.status, kExitOk);
  EXPECT_TRUE(IsValidUtf8(zh.out));
  for (const char* label :
       {"    行号          dx", "  点名\n", "模型：三参数平移，由 6 个点中的 5 个拟合\n",
        "验后单位权中误差 sigma0：0.0003 m，自由度 12\n",
        "参数（由本地坐标到 WGS-84）及其中误差：\n",
        "已标记：第 5 行（GP04），第 1 轮：检验量 1548059.59 > 10.80，估计粗差 0.7000 "
        "m；已剔除出平差\n",
        "+towgs84=15.8000,-130.4000,-84.9001\n"}) {
    EXPECT_NE(zh.out.find(label), std::string::npos) << label << "\n" << zh.out;
  }
  // Numbers keep their decimal point and columns whatever the language.
  EXPECT_NE(zh.out.find("       2     15.7998   -130.3998    -84.9002"), std::string::npos);

  const Process c = Run("C", "points.csv");
  EXPECT_NE(c.out.find("model: three-parameter translation, fitted to 5 of 6 points\n"),
            std::string::npos);
  for (const char* format : {"csv", "json", "proj", "wkt"}) {
    EXPECT_EQ(Run("zh_CN.UTF-8", std::string("--format ") + format + " points.csv").out,
              Run("C", std::string("--format ") + format + " points.csv").out)
        << format;
  }
}

// A CASS file has no titles of its own: a refusal named its column by the English word.
TEST_F(ChineseMessages, CassRefusalNamesTheColumnInChinese) {
  Write("c.dat", "GP01,,458259.110,44199x71.693,92.591\n");
  Write("w.csv", "name,B,L,H\nGP01,39:54:44.4420,116:30:44.4420,52.317\n");
  const Process zh = Run("zh_CN.UTF-8", "--grid c.dat --wgs84 w.csv --L0 117");
  EXPECT_NE(zh.err.find("c.dat，第 1 行：列 北坐标 '44199x71.693'：不是十进制数"),
            std::string::npos)
      << zh.err;
  const Process c = Run("C", "--grid c.dat --wgs84 w.csv --L0 117");
  EXPECT_NE(c.err.find("c.dat, line 1: column north '44199x71.693': not a decimal number"),
            std::string::npos)
      << c.err;
}

// The fit's notes come from one place for every form: worded in Chinese where a person reads
// them, English where a program does.
TEST_F(ChineseMessages, FitNotesInChineseInTheReportAndEnglishInJson) {
  Write("two.csv", kPoints.substr(0, kPoints.find("GP03")));
  const Process zh = Run("zh_CN.UTF-8", "two.csv");
  EXPECT_EQ(zh.status, kExitOk);
  EXPECT_NE(zh.out.find("粗差检验：未进行（粗差检验要求拟合中至少有 3 个点）\n"), std::string::npos)
      << zh.out;
  const Process json = Run("zh_CN.UTF-8", "--format json two.csv");
  EXPECT_EQ(json.out, Run("C", "--format json two.csv").out);
  EXPECT_NE(json.out.find(R"("reason":"the outlier test needs at least 3 points in the fit")"),
            std::string::npos)
      << json.out;
}

// The tests that run the driver in their own process never set a locale: English, whatever the
// environment says.
TEST(ChineseMessagesInProcess, DriverRunInTheTestProcessStaysEnglish) {
  const RunResult r = RunZerbShift({"--alpha", "2"});
  EXPECT_EQ(r.err,
            "zerb-shift: --alpha needs a significance between 0 and 0.5, not '2'\n"
            "Try 'zerb-shift --help' for more information.\n");
}

}  // namespace
}  // namespace zerb::test
