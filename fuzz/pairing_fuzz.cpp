// Fuzzes the pairing of a grid file and a WGS-84 file by point name, through GatherPoints: both
// files read, names matched, duplicates withdrawn, every point computed. Every message must be
// valid UTF-8, every point kept must have a finite shift, and a success must leave a point.
// Input: one settings byte (forms, encoding, whether the grid file comes on standard input),
// then the WGS-84 file, a NUL byte, and the grid file.
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "points/gather.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zerb;
  using namespace zerb::fuzz;
  Input input(data, size);
  const unsigned settings = input.Byte();
  const std::string_view wgs84_text = input.Until('\0');
  const std::string_view grid_text = input.rest();
  constexpr Encoding kEncodings[] = {Encoding::kAuto, Encoding::kUtf8, Encoding::kGb18030};

  InputSettings s;
  s.encoding = kEncodings[settings % 3];
  const bool grid_cass = (settings & 4) != 0;  // by its name
  const bool grid_on_stdin = (settings & 8) != 0;
  s.grid_form = grid_on_stdin && grid_cass ? InputForm::kCass : InputForm::kAuto;
  s.wgs84 = WriteTempFile("wgs84.csv", wgs84_text);
  s.grid = grid_on_stdin ? "-" : WriteTempFile(grid_cass ? "grid.dat" : "grid.csv", grid_text);
  if ((settings & 16) != 0)
    s.reading.default_meridian = 117;
  if ((settings & 32) != 0)
    s.check_names = {"P1", "检核"};

  std::FILE* in = OpenBytes(grid_on_stdin ? grid_text : std::string_view(), (settings & 64) == 0);
  std::FILE* err = std::tmpfile();
  Require(err != nullptr, "cannot make a temporary file");
  StreamDiagnostics diagnostics(err, "zerb-shift");
  PointSet points;
  InputSummary summary;
  const Gathered status = GatherPoints(s, in, &diagnostics, &points, &summary);
  RequireUtf8(ReadBack(err), "the messages");
  if (status == Gathered::kPoints)
    Require(points.usable() > 0, "success without a usable point");
  for (std::size_t i = 0; i < points.added(); ++i) {
    const adjust::Vec3 shift = points.adjustment().shift(i);
    Require(std::isfinite(shift.x) && std::isfinite(shift.y) && std::isfinite(shift.z),
            "a point kept with a shift that is not finite");
    Require(points.adjustment().tag(i) > 0 && points.wgs84_line(i) > 0,
            "a point without its lines");
  }
  for (const Unpaired& u : summary.unpaired)
    RequireUtf8(u.name, "an unpaired name");
  std::fclose(err);
  std::fclose(in);
  return 0;
}
