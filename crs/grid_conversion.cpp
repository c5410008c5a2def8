// Points through a definition, forward and exactly back; see grid_conversion.h.
#include "crs/grid_conversion.h"

#include <proj.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "crs/bound_crs.h"
#include "text/translate.h"

namespace zerb::crs {
namespace {

std::string_view TrimText(std::string_view s) {
  while (!s.empty() && std::strchr(" \t\r\n", s.front()) != nullptr)
    s.remove_prefix(1);
  while (!s.empty() && std::strchr(" \t\r\n", s.back()) != nullptr)
    s.remove_suffix(1);
  return s;
}

// The words of a PROJ string, each without its leading '+'.
std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  for (std::size_t at = 0; at < text.size();) {
    while (at < text.size() && text[at] == ' ')
      ++at;
    std::size_t end = text.find(' ', at);
    if (end == std::string_view::npos)
      end = text.size();
    std::string_view word = text.substr(at, end - at);
    at = end;
    if (!word.empty() && word.front() == '+')
      word.remove_prefix(1);
    if (!word.empty())
      words.push_back(word);
  }
  return words;
}

// The value of key (e.g. "lon_0") in the first transverse Mercator step of a PROJ string.
bool TmercValue(std::string_view pipeline, std::string_view key, double* value) {
  bool in_tmerc = false;
  bool found = false;
  double seen = 0;
  for (const std::string_view word : Words(pipeline)) {
    if (word == "step") {
      if (in_tmerc && found)
        break;
      in_tmerc = false;
      found = false;
      continue;
    }
    if (word == "proj=tmerc" || word == "proj=etmerc") {
      in_tmerc = true;
      continue;
    }
    if (word.size() > key.size() && word.substr(0, key.size()) == key && word[key.size()] == '=') {
      const std::string number(word.substr(key.size() + 1));
      char* stop = nullptr;
      seen = std::strtod(number.c_str(), &stop);
      found = stop != number.c_str() && *stop == '\0';
    }
  }
  if (in_tmerc && found) {
    *value = seen;
    return true;
  }
  return false;
}

// The operation with each Helmert step of translations, small rotations and a scale (the
// Bursa-Wolf steps zerb-shift writes) replaced by the affine step of the same matrix,
//   X' = T + (1 + s) R X,  R = [1 -rz ry; rz 1 -rx; -ry rx 1] (position vector; transposed for
//   the coordinate frame), rotations in radians,
// which goes forward as the Helmert step does (to rounding) and which PROJ inverts exactly, by
// the inverse of the matrix. PROJ's own inverse of the Helmert step applies the transposed
// matrix, the inverse only to first order: 1.7 mm horizontally and 4.0 mm in height with
// rotations of 3" and 3.5 ppm. Sets *refusal, worded for a person, when a Helmert step holds
// anything else (rates, an epoch, a plane rotation with rotations about the axes): it could not
// be taken back exactly. Returns the operation unchanged when it has no such step.
std::string WithAffineHelmert(std::string_view pipeline, std::string* refusal) {
  const std::vector<std::string_view> words = Words(pipeline);
  std::string out;
  for (std::size_t i = 0; i < words.size();) {
    std::size_t end = i + 1;
    while (end < words.size() && words[end] != "step")
      ++end;
    const auto first = words.begin() + static_cast<std::ptrdiff_t>(i);
    const auto last = words.begin() + static_cast<std::ptrdiff_t>(end);
    double t[3] = {0, 0, 0}, r[3] = {0, 0, 0}, scale = 0;
    bool plain = true, inverse = false, frame = false, plane = false;
    for (auto w = first; w != last; ++w) {
      const std::size_t eq = w->find('=');
      const std::string_view key = w->substr(0, eq);
      const std::string value(eq == std::string_view::npos ? "" : w->substr(eq + 1));
      double* const slot = key == "x"    ? &t[0]
                           : key == "y"  ? &t[1]
                           : key == "z"  ? &t[2]
                           : key == "rx" ? &r[0]
                           : key == "ry" ? &r[1]
                           : key == "rz" ? &r[2]
                           : key == "s"  ? &scale
                                         : nullptr;
      if (slot != nullptr) {
        char* stop = nullptr;
        *slot = std::strtod(value.c_str(), &stop);
        plain = plain && stop != value.c_str() && *stop == '\0';
      } else if (key == "convention") {
        frame = value == "coordinate_frame";
        plain = plain && (frame || value == "position_vector");
      } else if (key == "theta") {
        plane = true;  // a similarity of the plane, which PROJ inverts exactly
      } else if (key == "inv") {
        inverse = true;
      } else if (key != "step" && key != "proj") {
        plain = false;
      }
    }
    const bool helmert = std::find(first, last, "proj=helmert") != last;
    const bool rotated = r[0] != 0 || r[1] != 0 || r[2] != 0;
    if (helmert && (!plain || (plane && rotated))) {
      const char* const from = words[i].data();
      const char* const to = words[end - 1].data() + words[end - 1].size();
      // TRANSLATORS: {1} is a step of a PROJ pipeline, as text.
      *refusal = Fill(Tr("the definition's Helmert step cannot be taken back exactly: it holds "
                         "more than translations, rotations about the axes and a scale ({1})"),
                      std::string(from, to));
      return {};
    }
    out += out.empty() ? "+" : " +";
    if (!helmert || plane) {
      for (auto w = first; w != last; ++w)
        out.append(w == first ? "" : " +").append(*w);
    } else {
      constexpr double kArcSecond = 3.14159265358979323846 / (180.0 * 3600.0);
      const double sign = frame ? -kArcSecond : kArcSecond;
      const double rx = sign * r[0], ry = sign * r[1], rz = sign * r[2];
      const double k = 1 + scale * 1e-6;
      char step[640];
      std::snprintf(step, sizeof step,
                    "%s%sproj=affine +xoff=%.17g +yoff=%.17g +zoff=%.17g +s11=%.17g +s12=%.17g "
                    "+s13=%.17g +s21=%.17g +s22=%.17g +s23=%.17g +s31=%.17g +s32=%.17g "
                    "+s33=%.17g",
                    words[i] == "step" ? "step +" : "", inverse ? "inv +" : "", t[0], t[1], t[2], k,
                    -k * rz, k * ry, k * rz, k, -k * rx, -k * ry, k * rx, k);
      out += step;
    }
    i = end;
  }
  return out;
}

}  // namespace

std::string GridConversion::Open(std::string_view definition) {
  PJ_CONTEXT* const context = session_.context();
  const std::string text(TrimText(definition));
  if (text.empty())
    return Tr("the definition is empty");
  PjHandle object(proj_create(context, text.c_str()));
  if (!object) {
    // TRANSLATORS: {1} is PROJ's reason.
    return Fill(Tr("PROJ cannot read the definition: {1}"), session_.Reason());
  }
  if (proj_get_type(object.get()) == PJ_TYPE_BOUND_CRS) {
    const PjHandle hub(proj_get_target_crs(context, object.get()));
    const char* code = hub ? proj_get_id_code(hub.get(), 0) : nullptr;
    const char* authority = hub ? proj_get_id_auth_name(hub.get(), 0) : nullptr;
    const bool epsg = authority != nullptr && std::strcmp(authority, "EPSG") == 0;
    Target target;
    if (epsg && code != nullptr && std::strcmp(code, "4979") == 0) {
      target = Target::kWgs84;
      hub_ = "WGS 84";
    } else if (epsg && code != nullptr && std::strcmp(code, "4480") == 0) {
      target = Target::kCgcs2000;
      hub_ = "CGCS2000";
    } else {
      return Tr(
          "the definition's CRS is not bound to WGS 84 3D (EPSG:4979) or CGCS2000 3D "
          "(EPSG:4480), as zerb-shift writes crs-wkt2 and crs-projjson");
    }
    std::string error;
    operation_ = BuildOperationToHub(session_, object.get(), target, &error);
    if (!operation_)
      return error;
  } else if (proj_is_crs(object.get())) {
    return Tr(
        "the definition is a CRS without a transformation to WGS 84 or CGCS2000: give the "
        "crs-wkt2, crs-projjson or pipeline form zerb-shift writes");
  } else {
    operation_ = std::move(object);
  }
  const PJ_PROJ_INFO info = proj_pj_info(operation_.get());
  if (const char* s = proj_as_proj_string(context, operation_.get(), PJ_PROJ_5, nullptr);
      s != nullptr) {
    pipeline_ = s;
  } else if (info.definition != nullptr) {
    pipeline_ = info.definition;
  }
  has_meridian_ = TmercValue(pipeline_, "lon_0", &central_meridian_);
  // Every grid zerb-shift defines is a transverse Mercator; an operation without one (a bare
  // helmert step, the proj form) would take eastings for geocentric metres.
  if (!has_meridian_) {
    operation_.reset();
    return Tr(
        "the definition has no transverse Mercator step: not a grid zerb-shift defines (give the "
        "crs-wkt2, crs-projjson or pipeline form)");
  }
  std::string refusal;
  const std::string way_back = WithAffineHelmert(pipeline_, &refusal);
  if (!refusal.empty()) {
    operation_.reset();
    return refusal;
  }
  inverse_.reset(proj_create(context, way_back.c_str()));
  if (!inverse_) {
    operation_.reset();
    // TRANSLATORS: {1} is PROJ's reason.
    return Fill(Tr("PROJ cannot build the way back of the definition: {1}"), session_.Reason());
  }
  has_false_easting_ = TmercValue(pipeline_, "x_0", &false_easting_);
  if (!has_false_easting_ && has_meridian_) {
    false_easting_ = 0;  // PROJ's default
    has_false_easting_ = true;
  }
  return {};
}

bool GridConversion::central_meridian(double* degrees) const {
  if (has_meridian_)
    *degrees = central_meridian_;
  return has_meridian_;
}

bool GridConversion::false_easting(double* metres) const {
  if (has_false_easting_)
    *metres = false_easting_;
  return has_false_easting_;
}

void GridConversion::Pass(PJ* operation, double* x, double* y, double* z, std::size_t count,
                          PJ_DIRECTION direction) {
  proj_errno_reset(operation);
  proj_trans_generic(operation, direction, x, sizeof(double), count, y, sizeof(double), count, z,
                     sizeof(double), count, nullptr, 0, 0);
}

void GridConversion::Convert(double* x, double* y, double* z, std::size_t count, bool inverse,
                             bool exact) {
  if (!inverse)
    Pass(operation_.get(), x, y, z, count, PJ_FWD);
  else
    Pass(exact ? inverse_.get() : operation_.get(), x, y, z, count, PJ_INV);
}

}  // namespace zerb::crs
