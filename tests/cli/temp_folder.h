// A fixture for tests that write input files: a fresh folder of their own, removed afterwards,
// so that two test runs at once (two builds, or ctest -j) never share a file.
#ifndef ZERB_TESTS_CLI_TEMP_FOLDER_H
#define ZERB_TESTS_CLI_TEMP_FOLDER_H

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace zerb::test {

class TempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zerb-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }
  // Writes bytes to the file name in the folder; returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string path = dir_ + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr) << path;
    if (f != nullptr) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    return path;
  }
  std::string dir_;
};

}  // namespace zerb::test

#endif  // ZERB_TESTS_CLI_TEMP_FOLDER_H
