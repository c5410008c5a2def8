// Points through a definition, forward and exactly back; see grid_conversion.h.
#include "crs/grid_conversion.h"

#include <proj.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

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

// The value of key (e.g. "lon_0") in the first transverse Mercator step of a PROJ string.
bool TmercValue(std::string_view pipeline, std::string_view key, double* value) {
  std::size_t at = 0;
  bool in_tmerc = false;
  bool found = false;
  double seen = 0;
  while (at < pipeline.size()) {
    while (at < pipeline.size() && pipeline[at] == ' ')
      ++at;
    std::size_t end = pipeline.find(' ', at);
    if (end == std::string_view::npos)
      end = pipeline.size();
    std::string_view word = pipeline.substr(at, end - at);
    at = end;
    if (!word.empty() && word.front() == '+')
      word.remove_prefix(1);
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

// Whether PROJ's inverse of the operation is only approximate: a helmert step with anything
// beyond the three translations (rotations, scale, a plane rotation). A translation alone, the
// projections and the affine height step PROJ inverts exactly, and the correction step would
// only cost two more passes.
bool InverseIsApproximate(std::string_view pipeline) {
  bool in_helmert = false;
  for (std::size_t at = 0; at < pipeline.size();) {
    while (at < pipeline.size() && pipeline[at] == ' ')
      ++at;
    std::size_t end = pipeline.find(' ', at);
    if (end == std::string_view::npos)
      end = pipeline.size();
    std::string_view word = pipeline.substr(at, end - at);
    at = end;
    if (!word.empty() && word.front() == '+')
      word.remove_prefix(1);
    if (word == "step") {
      in_helmert = false;
      continue;
    }
    if (word == "proj=helmert") {
      in_helmert = true;
      continue;
    }
    const std::string_view key = word.substr(0, word.find('='));
    if (in_helmert && key != "x" && key != "y" && key != "z" && key != "convention" &&
        key != "inv" && !key.empty())
      return true;
  }
  return false;
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
  approximate_inverse_ = InverseIsApproximate(pipeline_);
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

void GridConversion::Pass(double* x, double* y, double* z, std::size_t count,
                          PJ_DIRECTION direction) {
  proj_errno_reset(operation_.get());
  proj_trans_generic(operation_.get(), direction, x, sizeof(double), count, y, sizeof(double),
                     count, z, sizeof(double), count, nullptr, 0, 0);
}

void GridConversion::Convert(double* x, double* y, double* z, std::size_t count, bool inverse,
                             bool exact) {
  if (!inverse) {
    Pass(x, y, z, count, PJ_FWD);
    return;
  }
  Pass(x, y, z, count, PJ_INV);
  if (!exact || !approximate_inverse_)
    return;
  scratch_.assign(x, x + count);
  scratch_.insert(scratch_.end(), y, y + count);
  scratch_.insert(scratch_.end(), z, z + count);
  double* const sx = scratch_.data();
  double* const sy = sx + count;
  double* const sz = sy + count;
  Pass(sx, sy, sz, count, PJ_FWD);
  Pass(sx, sy, sz, count, PJ_INV);
  for (std::size_t i = 0; i < count; ++i) {
    if (x[i] == HUGE_VAL || sx[i] == HUGE_VAL || sy[i] == HUGE_VAL || sz[i] == HUGE_VAL) {
      x[i] = y[i] = z[i] = HUGE_VAL;
      continue;
    }
    x[i] += x[i] - sx[i];
    y[i] += y[i] - sy[i];
    z[i] += z[i] - sz[i];
  }
}

}  // namespace zerb::crs
