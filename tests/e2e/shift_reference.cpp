// Prints dx, dy, dz for one point as the dialog should show them: ComputeShift on the given form
// values, each result in the shortest text that reads back to the same double. The end-to-end
// test compares these texts with what the running program writes into its result fields.
//
// Arguments, in the form's tab order: x y h Bdeg Bmin Bsec Ldeg Lmin Lsec H L0.
#include <charconv>
#include <cstdio>
#include <string_view>
#include <system_error>

#include "geodesy/geodesy.h"

namespace {

using zerb::geodesy::ComputeShift;
using zerb::geodesy::ShiftForm;

template <typename T>
bool Parse(std::string_view text, T* value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return ec == std::errc() && end == text.data() + text.size();
}

void Print(double value) {
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  std::printf("%.*s\n", static_cast<int>(end - text), text);
}

}  // namespace

int main(int argc, char** argv) {
  ShiftForm form;
  const bool ok = argc == 12 && Parse(argv[1], &form.m_gridX) && Parse(argv[2], &form.m_gridY) &&
                  Parse(argv[3], &form.m_gridH) && Parse(argv[4], &form.m_latDeg) &&
                  Parse(argv[5], &form.m_latMin) && Parse(argv[6], &form.m_latSec) &&
                  Parse(argv[7], &form.m_lonDeg) && Parse(argv[8], &form.m_lonMin) &&
                  Parse(argv[9], &form.m_lonSec) && Parse(argv[10], &form.m_geoH) &&
                  Parse(argv[11], &form.m_centralMeridian);
  if (!ok) {
    std::fprintf(stderr, "usage: %s x y h Bdeg Bmin Bsec Ldeg Lmin Lsec H L0 (plain numbers)\n",
                 argv[0]);
    return 2;
  }
  ComputeShift(form);
  Print(form.m_dx);
  Print(form.m_dy);
  Print(form.m_dz);
  return 0;
}
