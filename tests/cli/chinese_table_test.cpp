// A long UTF-8 table with Chinese names and roles, as a surveyor's software exports it: the file
// is checked whole for UTF-8 before it is read, in blocks of 64 KiB, and a character cut by a
// block's end is still UTF-8; a role of 检核 makes a check point as "check" does.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/exit_status.h"
#include "tests/cli/support.h"
#include "text/text.h"

namespace zerb::test {
namespace {

// One common point (the run tests' point on the equator side of zone 38), the same in every row:
// the rows differ in their names and roles only.
constexpr const char* kValues = ",3375650,38500000,50,30:30:00,114:00:00,40,";

// Where the scan of a file cuts it into blocks.
constexpr std::size_t kBlock = std::size_t{1} << 16;

// A table of 1000 rows named 控制点N (three bytes a character) with a note column, its first
// note padded so that a name's first byte is the last byte of the first block.
std::string Table() {
  std::string rows;
  for (int i = 1; i <= 1000; ++i)
    rows += "控制点" + std::to_string(i) + kValues + (i % 7 == 0 ? "检核" : "fit") + ",备注\n";
  const std::string header = "点名,x,y,h,B,L,H,role,note\n";
  // The last first byte of a multi-byte character at or before the block's last byte.
  std::size_t start = kBlock - 1 - header.size();
  while ((static_cast<unsigned char>(rows[start]) & 0xC0) != 0xC0)
    --start;
  const std::size_t pad = kBlock - 1 - header.size() - start;
  const std::size_t note = rows.find("备注");
  return header + rows.substr(0, note) + std::string(pad, 'x') + rows.substr(note);
}

TEST(ChineseTable, CharacterCutByTheScanBlockStaysUtf8AndRolesMarkCheckPoints) {
  const std::string table = Table();
  ASSERT_GT(table.size(), kBlock);
  // The character at the block's end begins there and goes on into the next block.
  ASSERT_EQ(static_cast<unsigned char>(table[kBlock - 1]) & 0xF0, 0xE0u);
  ASSERT_TRUE(IsValidUtf8(table));
  char pattern[] = "/tmp/zerb-table-XXXXXX";
  const std::string dir = mkdtemp(pattern);
  const std::string path = dir + "/控制点.csv";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(table.data(), 1, table.size(), f);
  std::fclose(f);
  const RunResult r = RunZerbShift({"-f", "csv", path});
  std::system(("rm -rf " + dir).c_str());
  ASSERT_EQ(r.status, kExitOk) << r.err.substr(0, 400);
  const auto rows = Rows(r.out);
  // The header, 1000 points and the rows of the mean and sigma0.
  ASSERT_EQ(rows.size(), 1003u);
  for (int i = 1; i <= 1000; ++i) {
    const auto& row = rows[i];
    ASSERT_GE(row.size(), 3u);
    EXPECT_EQ(row[1], "控制点" + std::to_string(i)) << i;
    EXPECT_EQ(row.back(), i % 7 == 0 ? "1" : "0") << i;  // the check column
  }
  EXPECT_TRUE(IsValidUtf8(r.out));
}

}  // namespace
}  // namespace zerb::test
