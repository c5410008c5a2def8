// zerb-shift as a process: the program forwards its arguments, standard streams and exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Process {
  int status;
  std::string out;
  std::string err;
};

std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs the program with arguments (shell words) and the given standard input.
Process Start(const std::string& arguments, const std::string& input) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("zerb-shift-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "in") << input;
  const std::string command = std::string("'") + ZERB_SHIFT_PROGRAM + "' " + arguments + " <'" +
                              (dir / "in").string() + "' >'" + (dir / "out").string() + "' 2>'" +
                              (dir / "err").string() + "'";
  const int raw = std::system(command.c_str());
  Process p{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir / "out"), Slurp(dir / "err")};
  std::filesystem::remove_all(dir);
  return p;
}

TEST(ZerbShiftProcess, ReadsStandardInputAndReportsRefusedLines) {
  const Process p = Start("--format towgs84",
                          "name,x,y,h,B,L,H\n"
                          "P1,3375626.2259,38519160.5061,91.9123,30:30:00,114:12:00,50\n"
                          "P2,3375626.2259,38519160.5061,91.9123,30:30:00,114:72:00,50\n");
  EXPECT_EQ(p.status, 1);
  EXPECT_EQ(p.out, "+towgs84=14.9998,-129.9995,-85.0010\n");
  EXPECT_EQ(p.err, "zerb-shift: <stdin>, line 3: column L '114:72:00': minutes outside 0 to 59\n");
}

TEST(ZerbShiftProcess, HelpAndUsageError) {
  const Process help = Start("--help", "");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: zerb-shift")) << help.out;
  const Process usage = Start("--nonsense", "");
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(usage.out, "");
  EXPECT_NE(usage.err.find("unknown option --nonsense"), std::string::npos);
}

}  // namespace
