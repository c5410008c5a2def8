// The common-point table; see csv.h.
#include "cli/csv.h"

#include <cmath>
#include <cstdio>

#include "cli/angle.h"
#include "cli/grid.h"
#include "cli/text.h"

namespace zerb {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i]))
      return false;
  }
  return true;
}

// The cell as it appears in a message: control characters, which could move a terminal's
// cursor, shown as '?', and a long cell cut to 40 bytes.
std::string Quoted(std::string_view s) {
  constexpr std::size_t kShown = 40;
  std::string q = "'";
  for (char c : s.substr(0, kShown)) {
    const auto u = static_cast<unsigned char>(c);
    q += u < 0x20 || u == 0x7f ? '?' : c;
  }
  return q + (s.size() > kShown ? "...'" : "'");
}

}  // namespace

std::string SplitCsvLine(std::string_view line, char delim, std::vector<std::string_view>* fields,
                         std::string* scratch) {
  fields->clear();
  scratch->clear();
  scratch->reserve(line.size());
  std::size_t i = 0;
  while (true) {
    std::size_t start = i;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t') &&
           line[start] != delim) {
      ++start;
    }
    if (start < line.size() && line[start] == '"') {
      const std::size_t begin = scratch->size();
      std::size_t j = start + 1;
      while (true) {
        if (j >= line.size())
          return "unterminated quoted field";
        if (line[j] == '"') {
          if (j + 1 < line.size() && line[j + 1] == '"') {
            scratch->push_back('"');
            j += 2;
            continue;
          }
          ++j;
          break;
        }
        scratch->push_back(line[j++]);
      }
      while (j < line.size() && (line[j] == ' ' || line[j] == '\t') && line[j] != delim)
        ++j;
      if (j < line.size() && line[j] != delim)
        return "text after a closing quote";
      fields->emplace_back(scratch->data() + begin, scratch->size() - begin);
      if (j >= line.size())
        return {};
      i = j + 1;
    } else {
      const std::size_t end = line.find(delim, i);
      if (end == std::string_view::npos) {
        fields->push_back(line.substr(i));
        return {};
      }
      fields->push_back(line.substr(i, end - i));
      i = end + 1;
    }
  }
}

std::string ParseHeader(const std::vector<std::string_view>& fields, CsvHeader* header) {
  *header = CsvHeader();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string_view title = Trim(fields[i]);
    header->titles.emplace_back(title);
    const int index = static_cast<int>(i);
    bool known = false;
    for (int c = 0; c < kColumnCount; ++c) {
      if (title == kColumnNames[c]) {
        if (header->column[c] >= 0)
          return "column " + std::string(title) + " appears twice";
        header->column[c] = index;
        known = true;
      }
    }
    if (known)
      continue;
    if (EqualsIgnoringCase(title, "name") || EqualsIgnoringCase(title, "id")) {
      if (header->name >= 0)
        return "more than one name or id column";
      header->name = index;
    } else {
      header->passed_through.push_back(index);
    }
  }
  std::string missing;
  for (int c = 0; c < kColumnCount; ++c) {
    if (c != kL0 && header->column[c] < 0) {
      missing += missing.empty() ? "" : ", ";
      missing += kColumnNames[c];
    }
  }
  if (!missing.empty()) {
    return "header lacks column(s) " + missing +
           " (expected x, y, h, B, L, H and optionally L0, name; names are case-sensitive)";
  }
  return {};
}

std::string BuildForm(const PointText& text, int default_meridian, ShiftForm* form) {
  const auto refuse = [&text](Column c, const std::string& why) {
    return "column " + std::string(kColumnNames[c]) + " " + Quoted(Trim(text.value[c])) + ": " +
           why;
  };
  std::string error;
  if (!(error = ParseLength(text.value[kX], &form->m_gridX)).empty())
    return refuse(kX, error);
  if (!(form->m_gridX >= -kMaxNorthing && form->m_gridX <= kMaxNorthing)) {
    return refuse(kX, "northing beyond 9000000 m (the polar caps are outside the grid)");
  }
  const Easting easting = ParseEasting(text.value[kY]);
  if (!easting.error.empty())
    return refuse(kY, easting.error);
  form->m_gridY = easting.y;
  if (!(error = ParseLength(text.value[kGridH], &form->m_gridH)).empty()) {
    return refuse(kGridH, error);
  }

  int meridian = default_meridian;
  const bool typed = !Trim(text.value[kL0]).empty();
  if (typed && !(error = ParseCentralMeridian(text.value[kL0], &meridian)).empty()) {
    return refuse(kL0, error);
  }
  if (easting.zone != 0) {
    if ((typed || default_meridian != kNoMeridian) && meridian != easting.zone_meridian) {
      return std::string(typed ? "central meridian L0 " : "default central meridian --L0 ") +
             std::to_string(meridian) + " disagrees with zone " + std::to_string(easting.zone) +
             " of easting " + Quoted(Trim(text.value[kY])) + " (L0 " +
             std::to_string(easting.zone_meridian) + ")";
    }
    meridian = easting.zone_meridian;
  }
  if (meridian == kNoMeridian) {
    return "no central meridian: give L0, or an 8-digit easting with the zone number in front";
  }
  form->m_centralMeridian = meridian;

  const Angle lat = ParseAngle(text.value[kB], AngleAxis::kLatitude);
  if (!lat.error.empty())
    return refuse(kB, lat.error);
  const FormDms b = ToFormDms(lat);
  form->m_latDeg = b.deg;
  form->m_latMin = b.min;
  form->m_latSec = b.sec;
  const Angle lon = ParseAngle(text.value[kL], AngleAxis::kLongitude);
  if (!lon.error.empty())
    return refuse(kL, lon.error);
  const FormDms l = ToFormDms(lon);
  form->m_lonDeg = l.deg;
  form->m_lonMin = l.min;
  form->m_lonSec = l.sec;
  const double degrees = (lon.deg + lon.min / 60.0 + lon.sec / 3600.0) * (lon.negative ? -1 : 1);
  const double off = std::fabs(std::remainder(degrees - meridian, 360.0));
  if (off > kMaxMeridianDistance) {
    char distance[16];
    std::snprintf(distance, sizeof distance, "%.2f", off);
    return "WGS-84 longitude L " + Quoted(Trim(text.value[kL])) + " lies " + distance +
           " degrees from the central meridian " + std::to_string(meridian) +
           " (more than 5): not the same point (wrong L0 or zone?)";
  }
  if (!(error = ParseLength(text.value[kGeoH], &form->m_geoH)).empty()) {
    return refuse(kGeoH, error);
  }
  return {};
}

}  // namespace zerb
