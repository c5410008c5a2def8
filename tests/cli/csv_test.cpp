// The common-point table: splitting lines, reading the header, and the form a row yields.
#include "cli/csv.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

namespace zerb {
namespace {

std::vector<std::string_view> Split(std::string_view line, char delim = ',',
                                    std::string* error = nullptr) {
  static std::string scratch;
  std::vector<std::string_view> fields;
  std::string e = SplitCsvLine(line, delim, &fields, &scratch);
  if (error != nullptr)
    *error = e;
  return fields;
}

TEST(SplitCsvLine, QuotedAndEmptyFields) {
  using V = std::vector<std::string_view>;
  EXPECT_EQ(Split("a,b,c"), (V{"a", "b", "c"}));
  EXPECT_EQ(Split(",,"), (V{"", "", ""}));
  EXPECT_EQ(Split("\"a, b\",c"), (V{"a, b", "c"}));
  EXPECT_EQ(Split("\"say \"\"hi\"\"\",  \"x\" "), (V{"say \"hi\"", "x"}));
  EXPECT_EQ(Split("30 15 0\t1", '\t'), (V{"30 15 0", "1"}));
  EXPECT_EQ(Split("a;\"b;c\"", ';'), (V{"a", "b;c"}));
  std::string error;
  Split("\"open,b", ',', &error);
  EXPECT_NE(error, "");
  Split("\"a\"b,c", ',', &error);
  EXPECT_NE(error, "");
}

TEST(ParseHeader, ColumnsInAnyOrderWithNameAndPassThrough) {
  CsvHeader h;
  ASSERT_EQ(ParseHeader(Split("H,L,B,code,h,y,x,ID,remark"), &h), "");
  EXPECT_EQ(h.column[kGeoH], 0);
  EXPECT_EQ(h.column[kL], 1);
  EXPECT_EQ(h.column[kB], 2);
  EXPECT_EQ(h.column[kGridH], 4);
  EXPECT_EQ(h.column[kY], 5);
  EXPECT_EQ(h.column[kX], 6);
  EXPECT_EQ(h.column[kL0], -1);
  EXPECT_EQ(h.name, 7);
  EXPECT_EQ(h.passed_through, (std::vector<int>{3, 8}));
}

TEST(ParseHeader, RefusesMissingAndRepeatedColumns) {
  CsvHeader h;
  // The heights differ only by case: "X" and "b" are no grid or WGS-84 columns.
  const std::string missing = ParseHeader(Split("X,y,h,b,L,H"), &h);
  EXPECT_NE(missing.find("lacks column(s) x, B"), std::string::npos) << missing;
  EXPECT_NE(ParseHeader(Split("x,y,h,B,L,H,x"), &h), "");
  EXPECT_NE(ParseHeader(Split("x,y,h,B,L,H,name,id"), &h), "");
  EXPECT_EQ(ParseHeader(Split(" x , y ,h,B,L,H"), &h), "");
}

// The dialog holds what the user typed: D, M as ints and S as a double. The same values typed
// into the table must give a form with which ComputeShift produces the same bits.
TEST(BuildForm, SameBitsAsTheDialogForTheSameTypedValues) {
  PointText t;
  t.value[kX] = "3375626.2259";
  t.value[kY] = "38519160.5061";
  t.value[kGridH] = "91.9123";
  t.value[kB] = "30:30:00.123";
  t.value[kL] = "114.2";
  t.value[kGeoH] = "50";
  ShiftForm table;
  ASSERT_EQ(BuildForm(t, kNoMeridian, &table), "");
  ComputeShift(table);

  ShiftForm dialog;
  dialog.m_gridX = 3375626.2259;
  dialog.m_gridY = 519160.5061;
  dialog.m_gridH = 91.9123;
  dialog.m_latDeg = 30;
  dialog.m_latMin = 30;
  dialog.m_latSec = 0.123;
  dialog.m_lonDeg = 114;
  dialog.m_lonMin = 12;
  dialog.m_lonSec = 0;
  dialog.m_geoH = 50;
  dialog.m_centralMeridian = 114;
  ComputeShift(dialog);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(table.m_dx), std::bit_cast<std::uint64_t>(dialog.m_dx));
  EXPECT_EQ(std::bit_cast<std::uint64_t>(table.m_dy), std::bit_cast<std::uint64_t>(dialog.m_dy));
  EXPECT_EQ(std::bit_cast<std::uint64_t>(table.m_dz), std::bit_cast<std::uint64_t>(dialog.m_dz));
}

}  // namespace
}  // namespace zerb
