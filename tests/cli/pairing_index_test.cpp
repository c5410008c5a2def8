// The index the WGS-84 file is paired from, and the grid names kept in it: names filed by a hash
// must still be told apart by their text, every value must come back bit for bit whatever form
// it was packed in, and the lists the messages are made from keep their order. Held against a
// plain map of the same names, with hashes that make every name meet.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "pairing/pairing.h"
#include "pairing/repeated_names.h"
#include "text/text_spool.h"

namespace zerb::test {
namespace {

// Every name in one slot chain: each lookup must compare the real names.
std::uint64_t SameHash(std::string_view) {
  return 42;
}
// Two names a hash apart in few bits: neighbours meet in a small table.
std::uint64_t FirstByte(std::string_view name) {
  return name.empty() ? 0 : static_cast<unsigned char>(name[0]);
}

Wgs84Index::Entry MakeEntry(std::uint64_t line, int i) {
  Wgs84Index::Entry e;
  e.line = line;
  e.point.latitude = {i % 3 == 0, 30 + i % 50, i % 60, 0.1 * i + 1e-9, i % 5 == 0};
  e.point.longitude = {i % 7 == 0, 100 + i % 80, (i * 7) % 60, 59.99999 - 0.01 * (i % 100),
                       i % 4 == 0};
  e.point.height = -20.5 + 3.25 * i;
  // Every role, so that each is packed and unpacked (a duplicate name's packing shares the byte).
  e.role = i % 11 == 0  ? Role::kCheck
           : i % 5 == 1 ? Role::kHorizontal
           : i % 5 == 2 ? Role::kVertical
                        : Role::kControl;
  if (i % 2 == 0)
    e.passed = {"code " + std::to_string(i), "", std::string(300, 'x')};
  return e;
}

void ExpectSameAngle(const Angle& a, const Angle& b) {
  EXPECT_EQ(a.negative, b.negative);
  EXPECT_EQ(a.deg, b.deg);
  EXPECT_EQ(a.min, b.min);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(a.sec), std::bit_cast<std::uint64_t>(b.sec));
  EXPECT_EQ(a.bare_number, b.bare_number);
}

void ExpectSameEntry(const Wgs84Index::Entry& got, const Wgs84Index::Entry& want) {
  EXPECT_EQ(got.line, want.line);
  ExpectSameAngle(got.point.latitude, want.point.latitude);
  ExpectSameAngle(got.point.longitude, want.point.longitude);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(got.point.height),
            std::bit_cast<std::uint64_t>(want.point.height));
  EXPECT_EQ(got.passed, want.passed);
  EXPECT_EQ(got.role, want.role);
}

// Names that differ in their last byte only, all under one hash, and enough of them for the
// table to grow several times: each is found as itself, a name never added is not found.
TEST(PairingIndex, NamesUnderOneHashAreToldApartByTheirText) {
  for (const NameHash hash : {NameHash{SameHash}, NameHash{FirstByte}, NameHash{DefaultNameHash}}) {
    Wgs84Index index(hash);
    std::map<std::string, Wgs84Index::Entry> model;
    for (int i = 0; i < 600; ++i) {
      const std::string name = "GP" + std::to_string(i);
      model[name] = MakeEntry(2 + i, i);
      ASSERT_EQ(index.Add(name, model[name]), "") << name;
    }
    EXPECT_EQ(index.Pair("GP600"), nullptr);
    EXPECT_EQ(index.Pair("GP"), nullptr);
    EXPECT_EQ(index.Pair("GP01"), nullptr);  // not GP1
    for (const auto& [name, want] : model) {
      const Wgs84Index::Entry* got = index.Pair(name);
      ASSERT_NE(got, nullptr) << name;
      ExpectSameEntry(*got, want);
      EXPECT_TRUE(got->paired);
      EXPECT_EQ(got->duplicate_line, 0u);
    }
    EXPECT_TRUE(index.NeverPaired().empty());
  }
}

// A name given again is refused with its first line, however often it comes; the first line's
// entry names the second line (the one the message of the pairing names), and a name repeated is
// never listed as unpaired, while the others are, in line order.
TEST(PairingIndex, RepeatedNamesNameTheFirstLineAndAreNeverListedUnpaired) {
  Wgs84Index index(FirstByte);
  std::vector<std::string> expected_unpaired;
  for (int i = 0; i < 100; ++i) {
    const std::string name = "N" + std::to_string(i);
    ASSERT_EQ(index.Add(name, MakeEntry(10 + i, i)), "");
    if (i % 3 != 0 && i % 5 != 0)
      expected_unpaired.push_back(name);
  }
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 100; i += 3) {
      const std::string name = "N" + std::to_string(i);
      EXPECT_EQ(index.Add(name, MakeEntry(1000 + 100 * round + i, i)),
                "name '" + name + "' occurs again (first at line " + std::to_string(10 + i) +
                    "): both lines are refused");
    }
  }
  for (int i = 0; i < 100; i += 3) {
    const Wgs84Index::Entry* e = index.Pair("N" + std::to_string(i));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->line, 10u + i);
    EXPECT_EQ(e->duplicate_line, 1000u + i);  // the first repeat, not a later one
  }
  for (int i = 0; i < 100; i += 5)
    ASSERT_NE(index.Pair("N" + std::to_string(i)), nullptr);
  const std::vector<Unpaired> unpaired = index.NeverPaired();
  ASSERT_EQ(unpaired.size(), expected_unpaired.size());
  for (std::size_t k = 0; k < unpaired.size(); ++k) {
    EXPECT_EQ(unpaired[k].name, expected_unpaired[k]);
    EXPECT_FALSE(unpaired[k].in_grid);
    if (k > 0) {
      EXPECT_LT(unpaired[k - 1].line, unpaired[k].line);
    }
  }
}

// What the packed form cannot hold (a line past 2^32, degrees past 16 bits, a passed column
// longer than a text block, names beside them in the same hash chain) comes back as it was given.
TEST(PairingIndex, ValuesBeyondThePackedFormComeBackWhole) {
  Wgs84Index index(SameHash);
  std::map<std::string, Wgs84Index::Entry> model;
  model["far line"] = MakeEntry(std::uint64_t{1} << 33, 1);
  model["wide angle"] = MakeEntry(7, 2);
  model["wide angle"].point.longitude.deg = 70000;
  model["long text"] = MakeEntry(8, 3);
  model["long text"].passed = {std::string((std::size_t{1} << 20) + 5, 'y')};
  model["plain"] = MakeEntry(9, 4);
  for (const auto& [name, entry] : model)
    ASSERT_EQ(index.Add(name, entry), "");
  EXPECT_EQ(index.Add("far line", MakeEntry(10, 5)),
            "name 'far line' occurs again (first at line 8589934592): both lines are refused");
  for (const auto& [name, want] : model) {
    const Wgs84Index::Entry* got = index.Pair(name);
    ASSERT_NE(got, nullptr) << name;
    ExpectSameEntry(*got, want);
  }
}

// The grid file's names, kept in the entries of the names they pair with or on their own: the
// first occurrence comes back with the point it was given later, whether or not the WGS-84 file
// has the name; and a grid name entered takes its WGS-84 values to Pair intact.
TEST(PairingIndex, GridNamesFindTheirFirstOccurrenceInOrBesideTheIndex) {
  Wgs84Index index(FirstByte);
  for (int i = 0; i < 50; ++i)
    ASSERT_EQ(index.Add("P" + std::to_string(i), MakeEntry(2 + i, i)), "");
  GridNames names(&index);
  std::size_t point = 0;
  for (int i = 0; i < 60; ++i) {  // P50..P59 are in the grid file only
    const std::string name = "P" + std::to_string(i);
    ASSERT_EQ(names.Enter(name, 100 + i, GridNames::kNoPoint), nullptr) << name;
    const Wgs84Index::Entry* partner = index.Pair(name);
    if (i >= 50) {
      EXPECT_EQ(partner, nullptr);
      continue;
    }
    ASSERT_NE(partner, nullptr);
    ExpectSameEntry(*partner, MakeEntry(2 + i, i));
    if (i % 4 != 0)  // the others' lines gave no point
      names.SetPoint(name, point++);
  }
  std::size_t expected_point = 0;
  for (int i = 0; i < 60; ++i) {
    const std::string name = "P" + std::to_string(i);
    const GridNames::Seen* seen = names.Enter(name, 500 + i, GridNames::kNoPoint);
    ASSERT_NE(seen, nullptr) << name;
    EXPECT_EQ(seen->line, 100u + i);
    if (i < 50 && i % 4 != 0) {
      EXPECT_EQ(seen->point, expected_point++);
    } else {
      EXPECT_EQ(seen->point, GridNames::kNoPoint);
    }
  }
  const std::vector<Unpaired> unpaired = index.NeverPaired();
  EXPECT_TRUE(unpaired.empty());
}

// One table's repeated names, found from the hashes of its rows: under any hash, rows are the same
// name only when their names are (points' names read back from the spool, refused rows' kept),
// every row of a repeated name is withdrawn and listed after its first, in line order, and a row
// without a name repeats nothing.
TEST(RepeatedNamesInOneTable, RowsAreRepeatsByTheirNamesUnderAnyHash) {
  struct Row {
    const char* name;
    std::uint64_t line;
    bool gave_point;
  };
  const Row rows[] = {{"A", 2, true},  {"B", 3, true},  {"C", 4, false},  {"A", 5, true},
                      {"D", 6, true},  {"D", 7, false}, {"", 8, true},    {"E", 9, true},
                      {"C", 10, true}, {"B", 11, true}, {" B ", 12, true}};
  for (const NameHash hash : {NameHash{SameHash}, NameHash{FirstByte}, NameHash{DefaultNameHash}}) {
    RepeatedNames names(hash);
    TextSpool spool;
    ASSERT_TRUE(spool.Open());
    std::vector<std::uint64_t> point_lines;
    for (const Row& r : rows) {
      const std::string_view name = Trim(r.name);
      if (!name.empty())
        names.Note(name, r.line, r.gave_point);
      if (r.gave_point) {
        ASSERT_TRUE(spool.Append({r.name, "passed"}));
        point_lines.push_back(r.line);
      }
    }
    std::vector<RepeatedNames::Repeat> repeats;
    std::vector<std::size_t> withdraw;
    ASSERT_TRUE(names.Find(
        &spool, point_lines.size(), [&](std::size_t i) { return point_lines.at(i); }, &repeats,
        &withdraw));
    EXPECT_EQ(withdraw, (std::vector<std::size_t>{0, 1, 2, 3, 6, 7, 8}));
    struct Want {
      const char* name;
      std::uint64_t line, first_line;
      bool gave_point;
    };
    const Want want[] = {{"A", 5, 2, true},
                         {"D", 7, 6, false},
                         {"C", 10, 4, true},
                         {"B", 11, 3, true},
                         {"B", 12, 3, true}};
    ASSERT_EQ(repeats.size(), std::size(want));
    for (std::size_t k = 0; k < repeats.size(); ++k) {
      EXPECT_EQ(repeats[k].name, want[k].name);
      EXPECT_EQ(repeats[k].line, want[k].line);
      EXPECT_EQ(repeats[k].first_line, want[k].first_line);
      EXPECT_EQ(repeats[k].gave_point, want[k].gave_point);
    }
  }
  // Names that all meet under the hash but none twice: nothing is a repeat.
  RepeatedNames names(SameHash);
  TextSpool spool;
  ASSERT_TRUE(spool.Open());
  for (std::uint64_t i = 0; i < 300; ++i) {
    const std::string name = "P" + std::to_string(i);
    names.Note(name, 2 + i, i % 10 != 0);
    if (i % 10 != 0) {
      ASSERT_TRUE(spool.Append({name}));
    }
  }
  std::vector<RepeatedNames::Repeat> repeats;
  std::vector<std::size_t> withdraw;
  ASSERT_TRUE(names.Find(
      &spool, 270, [](std::size_t i) { return i; }, &repeats, &withdraw));
  EXPECT_TRUE(repeats.empty());
  EXPECT_TRUE(withdraw.empty());
}

}  // namespace
}  // namespace zerb::test
