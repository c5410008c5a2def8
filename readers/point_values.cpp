// Reading the two sides of a point from a record's cells; see point_values.h.
#include "readers/point_values.h"

#include <cmath>
#include <string>
#include <tuple>

#include "numtext/number_text.h"
#include "readers/grid_values.h"
#include "text/translate.h"

namespace zerb {
namespace {

std::string Refusal(const Columns& columns, const Record& record, Field field, const Reason& why) {
  const std::string value = Quoted(Trim(record.value[field]));
  // TRANSLATORS: {1} is an option (--x), {2} its value in quotes, {3} what is wrong with it.
  if (columns.options)
    return Fill(Tr("{1} {2}: {3}"), columns.Label(field), value, why);
  // TRANSLATORS: {1} is the column's title, {2} the cell in quotes, {3} what is wrong with it.
  return Fill(Tr("column {1} {2}: {3}"), columns.Label(field), value, why);
}

}  // namespace

Reason ReadGridPoint(const Record& record, const Columns& columns, EastingForm form,
                     GridPoint* point) {
  *point = GridPoint();
  if (Reason r = ParseLength(record.value[kNorth], &point->x); !r.empty())
    return Refusal(columns, record, kNorth, r);
  if (!(std::fabs(point->x) <= kMaxNorthing)) {
    return Refusal(columns, record, kNorth,
                   Tr("northing beyond 9000000 m (the polar caps are outside the grid)"));
  }
  Easting easting;
  if (Reason r = form == EastingForm::kZoned ? ParseEasting(record.value[kEast], &easting)
                                             : ParsePlainEasting(record.value[kEast], &easting.y);
      !r.empty())
    return Refusal(columns, record, kEast, r);
  point->y = easting.y;
  point->zone = easting.zone;
  point->zone_meridian = easting.zone_meridian;
  if (Reason r = ParseLength(record.value[kGridHeight], &point->h); !r.empty())
    return Refusal(columns, record, kGridHeight, r);
  if (!Trim(record.value[kMeridian]).empty()) {
    if (Reason r = ParseCentralMeridian(record.value[kMeridian], &point->meridian); !r.empty())
      return Refusal(columns, record, kMeridian, r);
    if (point->zone != 0 && point->meridian != point->zone_meridian) {
      // TRANSLATORS: {1} is the column's title, {2} its value in degrees, {3} the zone number,
      // {4} the easting in quotes, {5} the central meridian of that zone in degrees.
      return Fill(Tr("central meridian {1} {2} disagrees with zone {3} of easting {4} (L0 {5})"),
                  columns.Label(kMeridian), point->meridian, point->zone,
                  Quoted(Trim(record.value[kEast])), point->zone_meridian);
    }
  }
  return {};
}

Reason ReadWgs84Point(const Record& record, const Columns& columns, AngleFormat format,
                      Wgs84Point* point) {
  for (const auto& [field, axis, angle] :
       {std::tuple(kLatitude, AngleAxis::kLatitude, &point->latitude),
        std::tuple(kLongitude, AngleAxis::kLongitude, &point->longitude)}) {
    if (Reason r = ParseAngle(record.value[field], axis, format, angle); !r.empty())
      return Refusal(columns, record, field, r);
    // A title that says degrees, minutes and seconds over a bare number with a fraction: packed
    // dd.mmss, not decimal degrees, unless the user has said which.
    if (format == AngleFormat::kAuto && columns.dms[field] && angle->bare_number &&
        (angle->min != 0 || angle->sec != 0)) {
      return Refusal(columns, record, field,
                     Tr("a decimal number where the title says degrees, minutes and seconds: "
                        "give --angle-format dd.mmss for packed dd.mmss, or write 39:54:44.442"));
    }
  }
  if (Reason r = ParseLength(record.value[kEllipsoidalHeight], &point->height); !r.empty())
    return Refusal(columns, record, kEllipsoidalHeight, r);
  return {};
}

Reason ReadRole(const Record& record, const Columns& columns, Role* role) {
  const std::string folded = numtext::FoldToAscii(Trim(record.value[kRole]));
  std::string word(Trim(folded));
  for (char& c : word)
    c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  if (word.empty() || word == "control" || word == "fit" || word == "控制" || word == "控制点") {
    *role = Role::kControl;
  } else if (word == "check" || word == "检核" || word == "检核点") {
    *role = Role::kCheck;
  } else if (word == "horizontal" || word == "平面") {
    *role = Role::kHorizontal;
  } else if (word == "vertical" || word == "height" || word == "高程") {
    *role = Role::kVertical;
  } else {
    // TRANSLATORS: the words in parentheses are typed as they stand.
    return Refusal(columns, record, kRole,
                   Tr("not a role (empty, control or 控制; check or 检核; horizontal or 平面; "
                      "vertical or 高程)"));
  }
  return {};
}

Reason CombineRoles(Role a, Role b, Role* combined) {
  if (a == b || b == Role::kControl) {
    *combined = a;
    return {};
  }
  if (a == Role::kControl) {
    *combined = b;
    return {};
  }
  // A check point is checked in every fit; one also kept out of a fit cannot be that.
  // TRANSLATORS: {1} and {2} are roles (check, horizontal, vertical) as the messages name them.
  return Fill(Tr("the point is given two roles, {1} in one place and {2} in another"),
              Tr(RoleName(a)), Tr(RoleName(b)));
}

const char* RoleName(Role role) {
  switch (role) {
    case Role::kCheck:
      // TRANSLATORS: a role of a point, as a message names it.
      return NoTr("check");
    case Role::kHorizontal:
      // TRANSLATORS: a role of a point, as a message names it.
      return NoTr("horizontal");
    case Role::kVertical:
      // TRANSLATORS: a role of a point, as a message names it.
      return NoTr("vertical");
    case Role::kControl:
      break;
  }
  // TRANSLATORS: a role of a point, as a message names it.
  return NoTr("control");
}

}  // namespace zerb
