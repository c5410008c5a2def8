#include "tests/convert/support.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>

#include "convert/run.h"
#include "tests/crs/run_program.h"

namespace zerb::convert_test {

RunResult RunZerbConvert(const std::vector<std::string_view>& args, const std::string& input) {
  std::FILE* in = std::tmpfile();
  std::fwrite(input.data(), 1, input.size(), in);
  std::rewind(in);
  std::FILE* files[2] = {std::tmpfile(), std::tmpfile()};
  RunResult r;
  r.status = RunConvert(args, in, files[0], files[1]);
  std::string* const texts[2] = {&r.out, &r.err};
  for (int i = 0; i < 2; ++i) {
    std::rewind(files[i]);
    for (int c; (c = std::fgetc(files[i])) != EOF;)
      *texts[i] += static_cast<char>(c);
    std::fclose(files[i]);
  }
  std::fclose(in);
  return r;
}

crs::Helmert ThreeParameters() {
  return {.seven = false, .tx = 15.8, .ty = -130.4, .tz = -84.9};
}

crs::Helmert SevenParameters() {
  return {.seven = true,
          .tx = 15.8,
          .ty = -130.4,
          .tz = -84.9,
          .rx = 0.3,
          .ry = -0.6,
          .rz = 1.0,
          .scale_ppm = 0.4};
}

crs::Helmert LargeSevenParameters() {
  return {.seven = true,
          .tx = 24.1,
          .ty = -120.7,
          .tz = -91.3,
          .rx = 3.0,
          .ry = -3.0,
          .rz = 3.0,
          .scale_ppm = 3.5};
}

std::string Definition(crs::Form form, const crs::Helmert& shift) {
  std::string text;
  const std::string refused = crs::Define(form, shift, kGrid, 10, &text);
  return refused.empty() ? text : "refused: " + refused;
}

std::vector<Xyz> GridPoints() {
  std::vector<Xyz> points;
  for (int i = 0; i < 8; ++i) {
    for (int j = 0; j < 8; ++j) {
      // Northings 2.77e6 to 4.99e6 m (25 to 45 N), eastings 500 km +- 250 km (about 2.7 degrees
      // at 35 N), with decimals that are not round in binary.
      const double north = 2770000.1234 + i * 317142.8571;
      const double east = 39250000.4321 + j * 71428.5713;
      const double h = -20.0 + (i * 8 + j) * 47.3107;
      points.push_back({east, north, h});
    }
  }
  return points;
}

std::vector<Xyz> Cct(const std::string& pipeline, const std::vector<Xyz>& points, bool inverse) {
  std::vector<std::string> args = {"-d", "12"};
  if (inverse)
    args.push_back("-I");
  std::istringstream words(pipeline);
  for (std::string w; words >> w;)
    args.push_back(w);
  std::string input;
  char line[128];
  for (const Xyz& p : points) {
    std::snprintf(line, sizeof line, "%.12f %.12f %.12f\n", p.x, p.y, p.z);
    input += line;
  }
  const crs_test::ProgramResult r = crs_test::RunProgram(PROJ_CCT, args, input);
  std::vector<Xyz> out;
  if (r.exit_code != 0)
    return out;
  std::istringstream text(r.output);
  for (std::string row; std::getline(text, row);) {
    Xyz p{};
    if (std::sscanf(row.c_str(), "%lf %lf %lf", &p.x, &p.y, &p.z) == 3)
      out.push_back(p);
  }
  return out;
}

double GroundMetres(const Xyz& a, const Xyz& b) {
  constexpr double kRadius = 6378137.0;
  constexpr double kRadian = std::numbers::pi / 180;
  const double north = (b.y - a.y) * kRadian * kRadius;
  const double east = (b.x - a.x) * kRadian * kRadius * std::cos(a.y * kRadian);
  return std::hypot(north, east);
}

}  // namespace zerb::convert_test
