// A front end of its own over the library, as the window and zerb-convert use it: this test
// links the library's stages and nothing of zerb-shift's cli/. It gathers the points of two
// field files through a sink that collects the messages instead of printing them, fits them and
// writes a report, and checks that every refusal reaches the sink with its file and line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "models/model.h"
#include "points/gather.h"
#include "tests/cli/temp_folder.h"
#include "writers/report.h"

namespace zerb {
namespace {

// What a window keeps of each message: it shows them in a list, next to the line they name.
struct Message {
  Diagnostics::Kind kind;
  std::string source;
  std::uint64_t line;
  std::string text;
};

class CollectingDiagnostics : public Diagnostics {
 public:
  std::vector<Message> messages;

 protected:
  void Emit(Kind kind, std::string_view source, std::uint64_t line,
            std::string_view text) override {
    messages.push_back({kind, std::string(source), line, std::string(text)});
  }
};

// The field office's files of the README: a CASS .dat and a GNSS table, here with one GNSS line
// that cannot be read and one grid point no GNSS line names.
constexpr const char* kControl =
    "GP01,,39458259.110,4419971.693,92.591\n"
    "GP02,,39477300.914,4435312.960,89.003\n"
    "GP03,,39508728.211,4400117.957,101.427\n"
    "GP04,,39530367.371,4443360.124,114.734\n"
    "GP07,,39512000.000,4428000.000,95.100\n";
constexpr const char* kGnss =
    "点名,纬度,经度,大地高\n"
    "GP04,40:07:24.4416,117:21:24.4404,75.030\n"
    "GP03,39:44:04.2432,117:06:08.4420,61.455\n"
    "GP02,40:03:04.4424,116:44:04.2432,48.902\n"
    "GP01,39:54:44.4420,116:30:44.4420,52.317\n"
    "GP08,39:51:24.4404,x,58.220\n";

using FrontEnd = test::TempFolder;

TEST_F(FrontEnd, GathersFitsAndWritesWithEveryRefusalInItsOwnSink) {
  InputSettings settings;
  settings.grid = Write("control.dat", kControl);
  settings.wgs84 = Write("gnss.csv", kGnss);
  CollectingDiagnostics sink;
  PointSet points;
  InputSummary summary;
  ASSERT_EQ(GatherPoints(settings, nullptr, &sink, &points, &summary), Gathered::kPoints);
  EXPECT_EQ(points.usable(), 4u);

  // The unreadable GNSS line is refused with its file and line, and counted; the grid point
  // without a partner is a message of its own, and listed in the summary.
  ASSERT_EQ(sink.messages.size(), 2u);
  EXPECT_EQ(sink.messages[0].kind, Diagnostics::Kind::kRefused);
  EXPECT_EQ(sink.messages[0].source, settings.wgs84);
  EXPECT_EQ(sink.messages[0].line, 6u);
  EXPECT_NE(sink.messages[0].text.find("'x'"), std::string::npos) << sink.messages[0].text;
  EXPECT_EQ(sink.messages[1].kind, Diagnostics::Kind::kMessage);
  EXPECT_NE(sink.messages[1].text.find("'GP07' is not in"), std::string::npos);
  EXPECT_EQ(sink.refused(), 1u);
  ASSERT_EQ(summary.unpaired.size(), 1u);
  EXPECT_EQ(summary.unpaired[0].name, "GP07");
  EXPECT_EQ(summary.unpaired[0].line, 5u);

  // The fit of the README's example: GP04 carries a 0.7 m blunder and is left out; the others
  // give the translation the points were made with, 15.8, -130.4, -84.9, to the exports'
  // rounding (0.1 mm).
  adjust::Settings fit_settings;
  adjust::FitResult fit;
  ASSERT_EQ(FitPoints(points, fit_settings, &fit), "");
  const adjust::BursaWolf& p = fit.solution().exported;
  EXPECT_NEAR(p.tx, 15.8000, 1e-9);
  EXPECT_NEAR(p.ty, -130.3999, 1e-9);
  EXPECT_NEAR(p.tz, -84.9001, 1e-9);
  EXPECT_EQ(fit.solution().points_used, 3u);

  // The report goes wherever the front end says; its rows carry the names from the spool.
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  ReportInput report;
  report.format = Format::kCsv;
  report.points = &points;
  report.fit = &fit;
  report.settings = &fit_settings;
  report.input = &summary;
  report.refused = sink.refused();
  EXPECT_EQ(WriteReport(report, out), "");
  std::string text(static_cast<std::size_t>(std::ftell(out)), '\0');
  std::rewind(out);
  ASSERT_EQ(std::fread(text.data(), 1, text.size(), out), text.size());
  std::fclose(out);
  for (const char* name : {"GP01", "GP02", "GP03", "GP04"})
    EXPECT_NE(text.find(name), std::string::npos) << name << " missing from\n" << text;
}

}  // namespace
}  // namespace zerb
