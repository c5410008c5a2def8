// Inputs on which the fuzz targets (fuzz/) found zerb-shift at fault, kept as tests of the
// symptom. The memory faults among them show as a sanitizer report in the sanitizer build; the
// assertions check what the program must say instead.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/cli/support.h"
#include "text/text.h"

namespace zerb::test {
namespace {

std::string WriteFile(const std::string& name, const std::string& bytes) {
  // The process id keeps two test runs at once (two builds) apart.
  const std::string path = ::testing::TempDir() + std::to_string(getpid()) + "-" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

// A short option that is a byte of a multi-byte character was echoed raw into the message.
TEST(FuzzRegression, UnknownNonAsciiShortOptionIsReportedAsUtf8) {
  const RunResult r = RunZerbShift({"-\xD3\xD3"});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(IsValidUtf8(r.err)) << r.err;
  EXPECT_NE(r.err.find("unknown option"), std::string::npos) << r.err;
}

// A file name that is not UTF-8 went raw into the message saying it cannot be read.
TEST(FuzzRegression, UnreadableNonUtf8FileNameIsReportedAsUtf8) {
  const RunResult r = RunZerbShift({"--",
                                    "--h\xDD"
                                    "3380=12.3"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "zerb-shift: cannot read --h?3380=12.3: no such file or directory\n");
}

// A WGS-84 line refused as not GB18030, after a line that was converted, had its name read from
// the conversion buffer of the earlier line, already freed when the longer line grew it
// (heap-use-after-free). The grid file is read in the same way and must not do it either.
TEST(FuzzRegression, RefusedGb18030LineAfterConvertedOneIsOnlyRefused) {
  const std::string converted = "\xB5\xE3,30.5,114.3,1\n";           // 点 in GBK
  const std::string refused = std::string(40, '\xFF') + ",1,2,3\n";  // no GB18030 character
  const std::string wgs84 = WriteFile("fuzz_wgs84.csv", "name,B,L,H\n" + converted + refused);
  const std::string grid =
      WriteFile("fuzz_grid.csv", "name,x,y,h\n\xB5\xE3,3380000,38500000,1\n" + refused);
  const RunResult r = RunZerbShift({"--grid", grid, "--wgs84", wgs84, "--format", "csv"});
  EXPECT_TRUE(IsValidUtf8(r.err)) << r.err;
  EXPECT_NE(r.err.find("fuzz_wgs84.csv, line 3: neither valid UTF-8 nor valid GB18030"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("fuzz_grid.csv, line 3: neither valid UTF-8 nor valid GB18030"),
            std::string::npos)
      << r.err;
}

}  // namespace
}  // namespace zerb::test
