// The README's worked examples, run as they stand: every "$ cat FILE" block becomes a file, every
// "$ zerb-shift ARGS" and "$ zerb-convert ARGS" line is run in that folder and what it prints
// (standard error first, as a terminal shows it: standard output is flushed at the end) must be
// the README's text byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "convert/run.h"
#include "tests/cli/support.h"

namespace zerb::test {
namespace {

std::vector<std::string> Words(const std::string& s) {
  std::vector<std::string> words;
  std::istringstream in(s);
  for (std::string w; in >> w;)
    words.push_back(w);
  return words;
}

struct Step {
  bool command;      // else a file
  bool convert;      // the command is zerb-convert
  std::string text;  // the file name or the arguments
  std::string body;  // the file's bytes or the expected output
};

// The indented lines of the README that belong to "$ " steps, in order.
std::vector<Step> Steps(const std::string& readme) {
  std::vector<Step> steps;
  std::istringstream in(readme);
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.starts_with("    ")) {
      inside = false;
      continue;
    }
    const std::string text = line.substr(4);
    if (text.starts_with("$ cat ")) {
      steps.push_back({false, false, text.substr(6), ""});
      inside = true;
    } else if (text.starts_with("$ zerb-shift")) {
      steps.push_back({true, false, text.substr(std::string("$ zerb-shift").size()), ""});
      inside = true;
    } else if (text.starts_with("$ zerb-convert")) {
      steps.push_back({true, true, text.substr(std::string("$ zerb-convert").size()), ""});
      inside = true;
    } else if (text.starts_with("$ ")) {
      inside = false;
    } else if (inside) {
      steps.back().body += text + "\n";
    }
  }
  return steps;
}

// zerb-convert in this process, as RunZerbShift runs zerb-shift.
RunResult RunConvertHere(const std::vector<std::string_view>& args) {
  std::FILE* files[3] = {std::tmpfile(), std::tmpfile(), std::tmpfile()};  // in, out, err
  RunResult r;
  r.status = RunConvert(args, files[0], files[1], files[2]);
  std::string* const texts[2] = {&r.out, &r.err};
  for (int i = 0; i < 2; ++i) {
    std::rewind(files[i + 1]);
    for (int c; (c = std::fgetc(files[i + 1])) != EOF;)
      *texts[i] += static_cast<char>(c);
  }
  for (std::FILE* f : files)
    std::fclose(f);
  return r;
}

TEST(ReadmeExample, EveryCommandPrintsWhatTheReadmeShows) {
  std::ifstream file(ZERB_README);
  ASSERT_TRUE(file) << ZERB_README;
  std::stringstream readme;
  readme << file.rdbuf();
  const std::vector<Step> steps = Steps(readme.str());
  char pattern[] = "/tmp/zerb-readme-XXXXXX";
  const std::string dir = mkdtemp(pattern);
  char here[4096];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  int commands = 0;
  for (const Step& s : steps) {
    if (!s.command) {
      std::ofstream(s.text, std::ios::binary) << s.body;
      continue;
    }
    const std::vector<std::string> words = Words(s.text);
    const std::vector<std::string_view> args(words.begin(), words.end());
    const RunResult r = s.convert ? RunConvertHere(args) : RunZerbShift(args);
    EXPECT_EQ(r.err + r.out, s.body) << (s.convert ? "zerb-convert" : "zerb-shift") << s.text;
    ++commands;
  }
  EXPECT_EQ(chdir(here), 0);
  std::system(("rm -rf " + dir).c_str());
  EXPECT_GE(commands, 3);  // the README's examples were found at all
}

}  // namespace
}  // namespace zerb::test
