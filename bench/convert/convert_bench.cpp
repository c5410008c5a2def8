// zerb-convert against PROJ's cct on the same pipeline and the same points: one million grid
// points of zone 39 through a seven-parameter definition, forward (E, N, h to B, L, H) and back
// (the exact inverse against cct -I, PROJ's approximate one), each run writing to /dev/null.
// zerb-convert runs in this process through RunConvert, cct as a program, as a user runs it.
// The points are written once, before the first run; ZERB_CONVERT_POINTS changes their number.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "convert/run.h"
#include "crs/crs_definitions.h"

extern char** environ;

namespace {

struct Data {
  std::string dir;
  std::string wkt2;      // the definition
  std::string pipeline;  // the same parameters as a pipeline, for cct
  std::string grid_csv;  // name,E,N,h
  std::string grid_txt;  // E N h, for cct
  std::string gnss_csv;  // zerb-convert's forward output: both sides
  std::string gnss_txt;  // lon lat h, for cct -I
  std::size_t points = 0;
};

void WriteFile(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

int Convert(const std::vector<std::string>& words) {
  const std::vector<std::string_view> args(words.begin(), words.end());
  std::FILE* err = std::tmpfile();
  const int status = zerb::RunConvert(args, stdin, stdout, err);
  std::fclose(err);
  return status;
}

// cct with the pipeline's words, input from a file, output to /dev/null.
int Cct(const Data& d, const std::string& input, bool inverse) {
  std::vector<std::string> words = {"cct", "-d", "10"};
  if (inverse)
    words.push_back("-I");
  std::istringstream in(d.pipeline);
  for (std::string w; in >> w;)
    words.push_back(w);
  std::vector<char*> argv;
  for (std::string& w : words)
    argv.push_back(w.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, "cct", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0)
    return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const Data& Points() {
  static const Data data = [] {
    Data d;
    char pattern[] = "/tmp/zerb-convert-bench-XXXXXX";
    d.dir = mkdtemp(pattern);
    const char* n = std::getenv("ZERB_CONVERT_POINTS");
    d.points = n != nullptr ? std::strtoull(n, nullptr, 10) : 1000000;
    const zerb::crs::Helmert shift = {.seven = true,
                                      .tx = 15.8,
                                      .ty = -130.4,
                                      .tz = -84.9,
                                      .rx = 0.3,
                                      .ry = -0.6,
                                      .rz = 1.0,
                                      .scale_ppm = 0.4};
    const zerb::crs::Grid grid = {117, 39};
    std::string text;
    zerb::crs::Define(zerb::crs::Form::kCrsWkt2, shift, grid, 10, &text);
    d.wkt2 = d.dir + "/grid.wkt2";
    WriteFile(d.wkt2, text);
    zerb::crs::Define(zerb::crs::Form::kPipeline, shift, grid, 10, &d.pipeline);
    std::string csv = "name,E,N,h\n", txt;
    csv.reserve(d.points * 48);
    txt.reserve(d.points * 40);
    unsigned state = 20261209;
    auto next = [&state] {
      state = state * 1664525u + 1013904223u;
      return (state >> 8) / 16777216.0;
    };
    char line[128];
    for (std::size_t i = 0; i < d.points; ++i) {
      const double e = 39300000 + 400000 * next(), north = 3000000 + 1800000 * next(),
                   h = 2000 * next();
      std::snprintf(line, sizeof line, "%.4f %.4f %.4f\n", e, north, h);
      txt += line;
      std::snprintf(line, sizeof line, "P%zu,%.4f,%.4f,%.4f\n", i, e, north, h);
      csv += line;
    }
    d.grid_csv = d.dir + "/grid.csv";
    d.grid_txt = d.dir + "/grid.txt";
    WriteFile(d.grid_csv, csv);
    WriteFile(d.grid_txt, txt);
    d.gnss_csv = d.dir + "/gnss.csv";
    Convert({d.wkt2, d.grid_csv, "-o", d.gnss_csv});
    // lon lat h for cct -I, from the table's B, L, H.
    std::FILE* in = std::fopen(d.gnss_csv.c_str(), "rb");
    std::string gnss;
    char row[256];
    std::fgets(row, sizeof row, in);
    while (std::fgets(row, sizeof row, in) != nullptr) {
      double lat = 0, lon = 0, h = 0;
      if (std::sscanf(row, "%*[^,],%*[^,],%*[^,],%*[^,],%lf,%lf,%lf", &lat, &lon, &h) == 3) {
        std::snprintf(line, sizeof line, "%.10f %.10f %.4f\n", lon, lat, h);
        gnss += line;
      }
    }
    std::fclose(in);
    d.gnss_txt = d.dir + "/gnss.txt";
    WriteFile(d.gnss_txt, gnss);
    return d;
  }();
  return data;
}

void BM_ZerbConvertForward(benchmark::State& state) {
  const Data& d = Points();
  for (auto _ : state) {
    if (Convert({d.wkt2, d.grid_csv, "-o", "/dev/null"}) != 0)
      state.SkipWithError("zerb-convert failed");
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * d.points));
}

void BM_CctForward(benchmark::State& state) {
  const Data& d = Points();
  for (auto _ : state) {
    if (Cct(d, d.grid_txt, false) != 0)
      state.SkipWithError("cct failed");
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * d.points));
}

void BM_ZerbConvertInverse(benchmark::State& state) {
  const Data& d = Points();
  for (auto _ : state) {
    if (Convert({"--inverse", d.wkt2, d.gnss_csv, "-o", "/dev/null"}) != 0)
      state.SkipWithError("zerb-convert failed");
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * d.points));
}

void BM_CctInverse(benchmark::State& state) {
  const Data& d = Points();
  for (auto _ : state) {
    if (Cct(d, d.gnss_txt, true) != 0)
      state.SkipWithError("cct failed");
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * d.points));
}

// Whole runs of seconds: one iteration each, wall time (cct runs in a child process).
BENCHMARK(BM_ZerbConvertForward)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_CctForward)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_ZerbConvertInverse)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_CctInverse)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
