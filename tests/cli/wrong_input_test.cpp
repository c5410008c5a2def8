// Input read wrongly never comes out as a result: angles in the dd.mmss form, a wrong central
// meridian or zone, northing and easting swapped, a mistyped value, parameters no datum shift can
// have. And the exit status, the outlier test's report and the options say what happened.
#include <gtest/gtest.h>

#include <boost/math/distributions/fisher_f.hpp>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "geodesy/geodesy.h"
#include "readers/angle.h"
#include "tests/cli/support.h"
#include "tests/cli/temp_folder.h"

namespace zerb::test {
namespace {

// The README's six points (GP04 with a 0.7 m blunder), grid in zone 39 (L0 117).
const std::string kGrid =
    "name,x,y,h\n"
    "GP01,4419971.693,39458259.110,92.591\n"
    "GP02,4435312.960,39477300.914,89.003\n"
    "GP03,4400117.957,39508728.211,101.427\n"
    "GP04,4443360.124,39530367.371,114.734\n"
    "GP05,4385320.078,39491472.066,85.002\n"
    "GP06,4413718.251,39520977.912,98.070\n";
const std::string kGnssDms =
    "name,B,L,H\n"
    "GP01,39:54:44.4420,116:30:44.4420,52.317\n"
    "GP02,40:03:04.4424,116:44:04.2432,48.902\n"
    "GP03,39:44:04.2432,117:06:08.4420,61.455\n"
    "GP04,40:07:24.4416,117:21:24.4404,75.030\n"
    "GP05,39:36:04.4424,116:54:04.4424,44.871\n"
    "GP06,39:51:24.4404,117:14:44.4408,58.220\n";
// The same angles as a controller writes them, dd.mmss.
const std::string kGnssDdMmss =
    "name,B,L,H\n"
    "GP01,39.54444420,116.30444420,52.317\n"
    "GP02,40.03044424,116.44042432,48.902\n"
    "GP03,39.44042432,117.06084420,61.455\n"
    "GP04,40.07244416,117.21244404,75.030\n"
    "GP05,39.36044424,116.54044424,44.871\n"
    "GP06,39.51244404,117.14444408,58.220\n";

class WrongInput : public TempFolder {
 protected:
  // The grid file with its eastings' zone number replaced and no zone: 458259.110 and so on.
  static std::string GridWithoutZone() {
    std::string g = kGrid;
    for (std::size_t at; (at = g.find(",39")) != std::string::npos;)
      g.erase(at + 1, 2);
    return g;
  }
};

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

TEST_F(WrongInput, DdMmssAnglesAreRefusedWithTheFormNamedNotFittedAsKilometres) {
  const std::string grid = Write("grid.csv", kGrid);
  const std::string gnss = Write("gnss.csv", kGnssDdMmss);
  const RunResult r =
      RunZerbShift({"--grid", grid, "--wgs84", gnss, "--model", "7", "-f", "towgs84"});
  EXPECT_EQ(r.status, kExitNoPoint) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Count(r.err, "give --angle-format dd.mmss"), 6u) << r.err;
  EXPECT_NE(r.err.find("39.5444442 is then 39\u00b054\u203244.442\u2033"), std::string::npos)
      << r.err;

  // Read as dd.mmss, the same angles give the DMS file's parameters to the last digit.
  const RunResult dd = RunZerbShift({"--grid", grid, "--wgs84", gnss, "--angle-format", "dd.mmss",
                                     "--model", "7", "-f", "towgs84"});
  const RunResult dms = RunZerbShift({"--grid", grid, "--wgs84", Write("gnss_dms.csv", kGnssDms),
                                      "--model", "7", "-f", "towgs84"});
  EXPECT_EQ(dd.status, kExitOk) << dd.err;
  EXPECT_EQ(dd.out, dms.out);
  EXPECT_TRUE(dd.out.starts_with("+towgs84=")) << dd.out;
}

// One point typed as options: formerly dx = 4367 m with exit status 0.
TEST_F(WrongInput, OnePointInDdMmssPrintsNoShift) {
  const RunResult r = RunZerbShift({"--x", "4419971.693", "--y", "39458259.110", "--h", "92.591",
                                    "--B", "39.54444420", "--L", "116.30444420", "--H", "52.317"});
  EXPECT_EQ(r.status, kExitNoPoint);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("--angle-format dd.mmss"), std::string::npos) << r.err;
  // With the form given, the dialog's bits for the same typed degrees, minutes and seconds.
  const RunResult ok =
      RunZerbShift({"--projection", "dialog", "-f", "csv", "--angle-format", "dd.mmss", "--x",
                    "4419971.693", "--y", "39458259.110", "--h", "92.591", "--B", "39.54444420",
                    "--L", "116.30444420", "--H", "52.317"});
  ASSERT_EQ(ok.status, kExitOk) << ok.err;
  const geodesy::ShiftResult dialog = geodesy::Shift(
      {.latitude = {39, 54, 44.4420}, .longitude = {116, 30, 44.4420}, .height = 52.317},
      {.x = 4419971.693, .y = 458259.110, .h = 92.591}, 117);
  const auto rows = Rows(ok.out);
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(Bits(Number(rows[1].at(1))), Bits(dialog.dx));
  EXPECT_EQ(Bits(Number(rows[1].at(2))), Bits(dialog.dy));
  EXPECT_EQ(Bits(Number(rows[1].at(3))), Bits(dialog.dz));
}

TEST(AngleFormat, DdMmssIsReadExactlyAndOnlyWithProperMinutesAndSeconds) {
  const auto read = [](std::string_view text, AngleFormat format, Angle* a) {
    return ParseAngle(text, AngleAxis::kLatitude, format, a);
  };
  Angle a;
  ASSERT_EQ(read("39.54444420", AngleFormat::kDdMmss, &a), "");
  EXPECT_EQ(a.deg, 39);
  EXPECT_EQ(a.min, 54);
  EXPECT_EQ(Bits(a.sec), Bits(44.4420));  // the double the dialog reads for "44.4420"
  ASSERT_EQ(read("39.5", AngleFormat::kDdMmss, &a), "");  // 39.50: fifty minutes
  EXPECT_EQ(a.min, 50);
  EXPECT_EQ(a.sec, 0);
  ASSERT_EQ(read("-0.0030", AngleFormat::kDdMmss, &a), "");
  EXPECT_TRUE(a.negative);
  EXPECT_EQ(a.deg, 0);
  EXPECT_EQ(a.sec, 30);
  // A form with minutes says what it is, whatever the format.
  ASSERT_EQ(read("39:54:44.442", AngleFormat::kDdMmss, &a), "");
  EXPECT_EQ(a.min, 54);
  EXPECT_NE(read("39.6", AngleFormat::kDdMmss, &a).find("minutes 60"), std::string::npos);
  EXPECT_NE(read("39.5960", AngleFormat::kDdMmss, &a).find("seconds 60"), std::string::npos);
  // dms wants minutes and seconds, degrees wants decimal degrees.
  EXPECT_NE(read("39.5", AngleFormat::kDms, &a), "");
  EXPECT_NE(read("39.5\u00b0", AngleFormat::kDms, &a), "");
  EXPECT_EQ(read("39 54 44.442", AngleFormat::kDms, &a), "");
  EXPECT_NE(read("39:54:44.442", AngleFormat::kDegrees, &a), "");
  ASSERT_EQ(read("39.5", AngleFormat::kDegrees, &a), "");
  EXPECT_EQ(a.min, 30);
  EXPECT_NE(RunZerbShift({"--angle-format", "ddmmss"}).err.find("unknown angle format"),
            std::string::npos);
}

TEST_F(WrongInput, AWrongCentralMeridianOrZoneIsNamedNotFitted) {
  // No zone in the eastings and --L0 114 for points at 117: formerly rz = 10795", exit 0.
  std::string table = "name,x,y,h,B,L,H\n";
  const std::string grid = GridWithoutZone();
  const std::string gnss = kGnssDms;
  for (std::size_t g = grid.find('\n') + 1, w = gnss.find('\n') + 1; g < grid.size();) {
    const std::size_t ge = grid.find('\n', g), we = gnss.find('\n', w);
    table += grid.substr(g, ge - g) + gnss.substr(gnss.find(',', w), we - gnss.find(',', w)) + "\n";
    g = ge + 1;
    w = we + 1;
  }
  const RunResult r = RunZerbShift({"--L0", "114", "--model", "7", "-f", "towgs84"}, table);
  EXPECT_EQ(r.status, kExitNoPoint);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Count(r.err,
                  "fits central meridian 117 (3-degree zone 39, 6-degree zone 20): give "
                  "--L0 117"),
            6u)
      << r.err;
  EXPECT_EQ(RunZerbShift({"--L0", "117", "-f", "towgs84"}, table).status, kExitOk);

  // A zone number in the easting that says 38 (L0 114) for the same points.
  std::string zone38 = kGrid;
  for (std::size_t at; (at = zone38.find(",39")) != std::string::npos;)
    zone38.replace(at, 3, ",38");
  const RunResult z = RunZerbShift(
      {"--grid", Write("zone38.csv", zone38), "--wgs84", Write("gnss38.csv", kGnssDms)});
  EXPECT_EQ(z.status, kExitNoPoint);
  EXPECT_NE(z.err.find("fits central meridian 117 (3-degree zone 39, 6-degree zone 20), not 114 "
                       "of zone 38 in its easting"),
            std::string::npos)
      << z.err;
}

TEST_F(WrongInput, SwappedNorthAndEastAndAMistypedValueAreNamed) {
  std::string swapped = "name,x,y,h\nGP01,39458259.110,4419971.693,92.591\n";
  const std::string gnss = Write("gnss_swap.csv", kGnssDms);
  const RunResult r = RunZerbShift({"--grid", Write("swapped.csv", swapped), "--wgs84", gnss});
  EXPECT_NE(r.err.find("fits with x and y swapped"), std::string::npos) << r.err;
  // Swapped without a zone number, the values still read, but describe another place.
  swapped = "name,x,y,h,L0\nGP01,458259.110,4419971.693,92.591,117\n";
  EXPECT_NE(RunZerbShift({"--grid", Write("swapped2.csv", swapped), "--wgs84", gnss})
                .err.find("fits with x and y swapped"),
            std::string::npos);
  // A northing mistyped by a kilometre: no cause fits, the distance is given.
  const std::string typo = "name,x,y,h\nGP01,4418971.693,39458259.110,92.591\n";
  const RunResult t = RunZerbShift({"--grid", Write("typo.csv", typo), "--wgs84", gnss});
  EXPECT_EQ(t.status, kExitNoPoint);
  // A kilometre of typo and some 20 m of datum shift.
  const std::size_t lie = t.err.find(" lie ");
  ASSERT_NE(lie, std::string::npos) << t.err;
  EXPECT_NEAR(std::atof(t.err.c_str() + lie + 5), 1000, 40) << t.err;
  // A height in feet: H - h far beyond a datum shift and a height anomaly.
  const std::string feet = "name,x,y,h\nGP01,4419971.693,39458259.110,2303.7\n";
  const RunResult f = RunZerbShift({"--grid", Write("feet.csv", feet), "--wgs84", gnss});
  EXPECT_NE(f.err.find("H - h is -2251.4 m"), std::string::npos) << f.err;
  // Within the limits a point is used: 290 m north is still a datum shift.
  const std::string near = "name,x,y,h\nGP01,4420261.693,39458259.110,92.591\n";
  EXPECT_EQ(RunZerbShift({"--grid", Write("near.csv", near), "--wgs84", gnss}).status,
            kExitRefused);  // the other five names are unpaired
}

// A CASS file's 6-digit eastings carry no zone and the file no L0 column: the WGS-84 longitude
// tells which --L0 the point fits, where the refusal told only to give one.
TEST_F(WrongInput, GridWithoutCentralMeridianIsToldTheOneItFits) {
  const std::string dat = Write("six.dat", "GP01,,458259.110,4419971.693,92.591\n");
  const std::string gnss =
      Write("six-gnss.csv", "name,B,L,H\nGP01,39:54:44.4420,116:30:44.4420,52.317\n");
  const RunResult r = RunZerbShift({"--grid", dat, "--wgs84", gnss});
  EXPECT_EQ(r.status, kExitNoPoint);
  EXPECT_NE(r.err.find("no central meridian: give --L0 117, where the point fits (3-degree zone "
                       "39, 6-degree zone 20)"),
            std::string::npos)
      << r.err;
}

// Shifts that each pass the same-place test but alternate by 380 m between neighbouring points:
// no datum transformation bends like that.
TEST_F(WrongInput, ImplausibleParametersExitFourAndExportNothing) {
  std::string gnss = "name,B,L,H\n";
  const double lat[6] = {39.912345, 40.051234, 39.734512, 40.123456, 39.601234, 39.856779};
  const char* rest[6] = {"116:30:44.4420,52.317", "116:44:04.2432,48.902", "117:06:08.4420,61.455",
                         "117:21:24.4404,75.030", "116:54:04.4424,44.871", "117:14:44.4408,58.220"};
  for (int i = 0; i < 6; ++i) {
    char line[128];
    std::snprintf(line, sizeof line, "GP%02d,%.9f,%s\n", i + 1, lat[i] + (i % 2 ? 0.0017 : -0.0017),
                  rest[i]);
    gnss += line;
  }
  const std::string grid = Write("grid_bent.csv", kGrid);
  const std::string bent = Write("gnss_bent.csv", gnss);
  for (const char* format : {"towgs84", "proj", "wkt", "crs-wkt2", "pipeline"}) {
    const RunResult r = RunZerbShift({"--grid", grid, "--wgs84", bent, "-f", format});
    EXPECT_EQ(r.status, kExitImplausible) << format;
    EXPECT_EQ(r.out, "") << format;
    EXPECT_NE(r.err.find("cannot be a transformation between two geodetic datums (sigma0 = "),
              std::string::npos)
        << r.err;
  }
  const RunResult text = RunZerbShift({"--grid", grid, "--wgs84", bent, "--model", "7"});
  EXPECT_EQ(text.status, kExitImplausible);
  EXPECT_NE(text.out.find("NOT A DATUM TRANSFORMATION"), std::string::npos);
  EXPECT_EQ(text.out.find("+towgs84="), std::string::npos) << text.out;
  const RunResult json = RunZerbShift({"--grid", grid, "--wgs84", bent, "-f", "json"});
  rapidjson::Document report;
  ASSERT_TRUE(ParseJson(json.out, &report)) << json.out;
  EXPECT_TRUE(At(report, "/towgs84").IsNull()) << json.out;
  EXPECT_GT(At(report, "/implausible").Size(), 0u) << json.out;
  // The README's points are a datum shift: status 0.
  EXPECT_EQ(RunZerbShift({"--grid", grid, "--wgs84", Write("gnss_ok.csv", kGnssDms), "-f",
                          "towgs84", "--keep-all"})
                .status,
            kExitOk);
}

TEST_F(WrongInput, OptionsFollowTheFileInGnuOrder) {
  const std::string table = Write("table.csv",
                                  "name,x,y,h,B,L,H\n"
                                  "GP01,4419971.693,39458259.110,92.591,39:54:44.4420,"
                                  "116:30:44.4420,52.317\n"
                                  "GP03,4400117.957,39508728.211,101.427,39:44:04."
                                  "2432,117:06:08.4420,61.455\n"
                                  "GP05,4385320.078,39491472.066,85.002,39:36:04."
                                  "4424,116:54:04.4424,44.871\n");
  const RunResult after = RunZerbShift({table, "--model", "7", "-f", "json"});
  EXPECT_EQ(after.status, kExitOk) << after.err;  // was "cannot open 7"
  EXPECT_EQ(after.out, RunZerbShift({"--model", "7", "-f", "json", table}).out);
}

TEST_F(WrongInput, ACheckNameNoPointHasIsAnErrorNamingIt) {
  const std::string grid = Write("grid_check.csv", kGrid);
  const std::string gnss = Write("gnss_check.csv", kGnssDms);
  const RunResult typo = RunZerbShift({"--grid", grid, "--wgs84", gnss, "--check", "GP6"});
  EXPECT_EQ(typo.status, kExitUsage);
  EXPECT_NE(typo.err.find("--check 'GP6': no point of that name"), std::string::npos) << typo.err;
  EXPECT_EQ(typo.out, "");
  const RunResult ok = RunZerbShift({"--grid", grid, "--wgs84", gnss, "--check", "GP06"});
  EXPECT_EQ(ok.status, kExitOk) << ok.err;
  EXPECT_NE(ok.out.find("fitted to 4 of 5 points (1 check point left out)"), std::string::npos)
      << ok.out;
  // The same in one table, and a table without names cannot have check points by name.
  EXPECT_EQ(RunZerbShift({"--check", "GP6", "-"}, "name,x,y,h,B,L,H\n").status, kExitUsage);
}

// Two blunders: each is flagged in its own round, against the fit of that round. The critical
// value printed with it must be that round's F(3, f - 3) quantile, and the statistic must exceed
// it; formerly --keep-all printed "test 3.78 > 7.36".
TEST_F(WrongInput, EachFlaggedPointShowsTheTestThatFlaggedIt) {
  std::string grid = kGrid;
  grid.replace(grid.find("4385320.078"), 11, "4385322.078");  // GP05 2 m north: a second blunder
  const std::string g = Write("grid_two.csv", grid);
  const std::string w = Write("gnss_two.csv", kGnssDms);
  for (bool keep : {false, true}) {
    std::vector<std::string_view> args = {"--grid", g, "--wgs84", w};
    if (keep)
      args.push_back("--keep-all");
    const RunResult r = RunZerbShift(args);
    SCOPED_TRACE(r.out);
    int flagged = 0;
    for (std::size_t at = r.out.find("flagged: line"); at != std::string::npos;
         at = r.out.find("flagged: line", at + 1)) {
      unsigned round = 0;
      double statistic = 0;
      double critical = 0;
      const std::string line = r.out.substr(at, r.out.find('\n', at) - at);
      const std::size_t in = line.find(" in round ");
      ASSERT_NE(in, std::string::npos) << line;
      ASSERT_EQ(std::sscanf(line.c_str() + in, " in round %u: test %lf > %lf", &round, &statistic,
                            &critical),
                3)
          << line;
      EXPECT_GT(statistic, critical) << line;
      // Round k fits 6 - (k - 1) points with three parameters: f = 3 n - 3, against F(3, f - 3).
      const double f = 3.0 * (6 - (round - 1)) - 3;
      const boost::math::fisher_f_distribution<double> dist(3, f - 3);
      EXPECT_NEAR(critical, boost::math::quantile(boost::math::complement(dist, 0.001)), 0.005)
          << line;
      EXPECT_NE(line.find(keep ? "kept in the fit (--keep-all)" : "left out of the fit"),
                std::string::npos)
          << line;
      ++flagged;
    }
    EXPECT_EQ(flagged, 2);
  }
}

TEST_F(WrongInput, ExitStatusSaysWhenALineWasNotUsed) {
  const std::string grid = Write("grid_unpaired.csv", kGrid);
  std::string gnss = kGnssDms;
  gnss.erase(gnss.find("GP06"));
  const RunResult unpaired =
      RunZerbShift({"--grid", grid, "--wgs84", Write("gnss_unpaired.csv", gnss)});
  EXPECT_EQ(unpaired.status, kExitRefused);  // was 0
  EXPECT_NE(unpaired.err.find("'GP06' is not in"), std::string::npos);

  // A row given twice in one table refuses both, as a name twice in two files does.
  const std::string twice =
      "name,x,y,h,B,L,H\n"
      "GP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,"
      "52.317\n"
      "GP03,4400117.957,39508728.211,101.427,39:44:04.2432,117:06:08.4420,"
      "61.455\n"
      "GP05,4385320.078,39491472.066,85.002,39:36:04.4424,116:54:04.4424,"
      "44.871\n"
      "GP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,"
      "52.317\n";
  const RunResult r = RunZerbShift({"-f", "json"}, twice);
  EXPECT_EQ(r.status, kExitRefused);
  EXPECT_NE(r.err.find("<stdin>, line 5: name 'GP01' occurs again (first at line 2): both lines "
                       "are refused"),
            std::string::npos)
      << r.err;
  rapidjson::Document json;
  ASSERT_TRUE(ParseJson(r.out, &json)) << r.out;
  EXPECT_EQ(NumberAt(json, "/count"), 2);
  EXPECT_EQ(NumberAt(json, "/used"), 2);
  // The first row of a name refused for its values, the second good: which one is meant is
  // still unknown, so the good one is refused too; a name given three times refuses all three.
  std::string refused_first = twice;
  refused_first.replace(refused_first.find("92.591"), 6, "9x.591");
  const RunResult rf = RunZerbShift({"-f", "json"}, refused_first);
  EXPECT_NE(rf.err.find("line 5: name 'GP01' occurs again (first at line 2)"), std::string::npos)
      << rf.err;
  ASSERT_TRUE(ParseJson(rf.out, &json)) << rf.out;
  EXPECT_EQ(NumberAt(json, "/count"), 2);
  EXPECT_EQ(NumberAt(json, "/used"), 2);
  const RunResult thrice = RunZerbShift(
      {"-f", "json"}, twice + twice.substr(twice.rfind("GP01")) + twice.substr(twice.find("GP03")));
  EXPECT_NE(thrice.err.find("line 6: name 'GP01' occurs again (first at line 2)"),
            std::string::npos)
      << thrice.err;
}

// A row with an empty name gives a point like any other; the rows of a name repeated after it
// were matched to the wrong points of the spool (numbered without the unnamed one), so the
// repeat went unnoticed and both rows stayed in the fit.
TEST_F(WrongInput, NameRepeatedAfterAnUnnamedRowIsStillRefused) {
  const std::string table =
      "name,x,y,h,B,L,H\n"
      "GP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,52.317\n"
      ",4400117.957,39508728.211,101.427,39:44:04.2432,117:06:08.4420,61.455\n"
      "GP05,4385320.078,39491472.066,85.002,39:36:04.4424,116:54:04.4424,44.871\n"
      "GP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,52.317\n";
  const RunResult r = RunZerbShift({"-f", "json"}, table);
  EXPECT_EQ(r.status, kExitRefused) << r.err;
  EXPECT_NE(r.err.find("<stdin>, line 5: name 'GP01' occurs again (first at line 2): both lines "
                       "are refused"),
            std::string::npos)
      << r.err;
  rapidjson::Document json;
  ASSERT_TRUE(ParseJson(r.out, &json)) << r.out;
  EXPECT_EQ(NumberAt(json, "/count"), 2);
  EXPECT_EQ(NumberAt(json, "/used"), 2);
}

TEST(OptionNumbers, ProbabilitiesAndLengthsTakeAnyNumberForm) {
  const std::string table =
      "x,y,h,B,L,H\n4419971.693,39458259.110,92.591,39:54:44.4420,"
      "116:30:44.4420,52.317\n"
      "4400117.957,39508728.211,101.427,39:44:04.2432,117:06:08.4420,61.455\n"
      "4385320.078,39491472.066,85.002,39:36:04.4424,116:54:04.4424,44.871\n";
  EXPECT_EQ(RunZerbShift({"--alpha", "1e-3"}, table).status, kExitOk);
  EXPECT_EQ(RunZerbShift({"--alpha", "1e-3"}, table).out, RunZerbShift({}, table).out);
  EXPECT_EQ(RunZerbShift({"--sigma", "5e-3,1E-2", "--max-residual", "2.5e-1"}, table).status,
            kExitOk);
  for (const char* bad : {"inf", "nan", "0.5", "0", "1e-3x"})
    EXPECT_EQ(RunZerbShift({"--alpha", bad}, table).status, kExitUsage) << bad;
}

}  // namespace
}  // namespace zerb::test
