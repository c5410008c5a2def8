// The plausibility of fitted parameters; see plausibility.h.
#include "models/plausibility.h"

#include <cmath>
#include <cstdio>

namespace zerb {
namespace {

void Check(const char* name, double value, double sd, double limit, const char* unit,
           std::vector<Implausible>* beyond) {
  if (!(std::fabs(value) - 3 * sd <= limit))
    beyond->push_back({name, value, sd, limit, unit});
}

std::string Number(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::vector<Implausible> ImplausibleParameters(const adjust::FitResult& fit,
                                               const adjust::Settings& settings) {
  const adjust::Solution& s = fit.solution();
  std::vector<Implausible> beyond;
  const adjust::Vec3 c = s.centroid;
  const adjust::Vec3 w = fit.Transform(c);
  const double shift[3] = {w.x - c.x, w.y - c.y, w.z - c.z};
  const char* shift_names[3] = {NoTr("the shift at the points' centre dx"), "dy", "dz"};
  for (int k = 0; k < 3; ++k)
    Check(shift_names[k], shift[k], 0, kMaxCentroidShift, "m", &beyond);
  if (s.model == adjust::Model::kSevenParameter) {
    const adjust::BursaWolf& p = s.parameters;
    const double* sd = s.standard_deviation.data();
    const char* arc_seconds = NoTr("arc-seconds");
    Check("rx", p.rx, sd[adjust::kRx], kMaxRotation, arc_seconds, &beyond);
    Check("ry", p.ry, sd[adjust::kRy], kMaxRotation, arc_seconds, &beyond);
    Check("rz", p.rz, sd[adjust::kRz], kMaxRotation, arc_seconds, &beyond);
    Check(NoTr("scale"), p.s, sd[adjust::kScale], kMaxScale, "ppm", &beyond);
  }
  if (s.dof > 0) {
    const double sigma0 = s.a_priori ? s.sigma0 * settings.sigma_horizontal : s.sigma0;
    Check("sigma0", sigma0, 0, kMaxSigma0, "m", &beyond);
  }
  return beyond;
}

std::string ImplausibleText(const Implausible& b, Translate translate) {
  // A name or unit that is no message ("rz", "m") comes back from Tr as it is.
  const char* unit = translate(b.unit);
  // TRANSLATORS: {1} is a parameter's name, {2} its value, {3} its unit, {4} its standard
  // deviation, {5} its limit.
  return Fill(b.standard_deviation > 0 ? translate(NoTr("{1} = {2} {3} +- {4} (limit {5} {3})"))
                                       : translate(NoTr("{1} = {2} {3} (limit {5} {3})")),
              translate(b.name), Number("%.4f", b.value), unit,
              Number("%.4f", b.standard_deviation), Number("%g", b.limit));
}

std::string ImplausibleList(const std::vector<Implausible>& beyond, Translate translate) {
  std::string list;
  for (const Implausible& b : beyond)
    // TRANSLATORS: what stands between two items of a list of statements.
    list += (list.empty() ? "" : translate(NoTr("; "))) + ImplausibleText(b, translate);
  return list;
}

}  // namespace zerb
