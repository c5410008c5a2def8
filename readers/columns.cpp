// Header titles and the CASS column order; see columns.h.
#include "readers/columns.h"

#include "readers/units.h"
#include "text/translate.h"

namespace zerb {
namespace {

struct Title {
  std::string_view text;
  bool any_case;
};

constexpr Title kNameTitles[] = {{"name", true}, {"id", true}, {"点名", false}, {"点号", false}};
// 纵坐标 and 横坐标, the ordinate and the abscissa, are x north and y east in Chinese surveying.
constexpr Title kNorthTitles[] = {{"x", false},      {"X", false},     {"N", false},
                                  {"北坐标", false}, {"X坐标", false}, {"纵坐标", false},
                                  {"Northing", true}};
constexpr Title kEastTitles[] = {{"y", false},      {"Y", false},     {"E", false},
                                 {"东坐标", false}, {"Y坐标", false}, {"横坐标", false},
                                 {"Easting", true}};
constexpr Title kGridHTitles[] = {
    {"h", false}, {"高程", false}, {"正常高", false}, {"高程h", false}, {"正常高h", false}};
constexpr Title kMeridianTitles[] = {{"L0", false}, {"中央子午线", false}};
constexpr Title kLatitudeTitles[] = {
    {"B", false}, {"lat", true}, {"Latitude", true}, {"纬度", false}, {"纬度B", false}};
constexpr Title kLongitudeTitles[] = {
    {"L", false}, {"lon", true}, {"Longitude", true}, {"经度", false}, {"经度L", false}};
constexpr Title kGeoHTitles[] = {
    {"H", false}, {"大地高", false}, {"椭球高", false}, {"大地高H", false}};
constexpr Title kRoleTitles[] = {{"role", true}};

struct Titles {
  const Title* begin;
  const Title* end;
};

template <std::size_t N>
constexpr Titles Of(const Title (&t)[N]) {
  return {t, t + N};
}

// The fields a file of this side takes, with their titles; a one-side file's height takes every
// height title.
bool Takes(Side side, Field field) {
  switch (field) {
    case kName:
    case kRole:
      return true;
    case kNorth:
    case kEast:
    case kGridHeight:
    case kMeridian:
      return side != Side::kWgs84;
    case kLatitude:
    case kLongitude:
    case kEllipsoidalHeight:
      return side != Side::kGrid;
    case kFieldCount:
      break;
  }
  return false;
}

std::vector<Titles> TitlesOf(Field field, Side side) {
  switch (field) {
    case kName:
      return {Of(kNameTitles)};
    case kNorth:
      return {Of(kNorthTitles)};
    case kEast:
      return {Of(kEastTitles)};
    case kGridHeight:
      return side == Side::kGrid ? std::vector<Titles>{Of(kGridHTitles), Of(kGeoHTitles)}
                                 : std::vector<Titles>{Of(kGridHTitles)};
    case kMeridian:
      return {Of(kMeridianTitles)};
    case kLatitude:
      return {Of(kLatitudeTitles)};
    case kLongitude:
      return {Of(kLongitudeTitles)};
    case kEllipsoidalHeight:
      return side == Side::kWgs84 ? std::vector<Titles>{Of(kGeoHTitles), Of(kGridHTitles)}
                                  : std::vector<Titles>{Of(kGeoHTitles)};
    case kRole:
      return {Of(kRoleTitles)};
    case kFieldCount:
      break;
  }
  return {};
}

Quantity QuantityOf(Field field) {
  switch (field) {
    case kNorth:
    case kEast:
    case kGridHeight:
    case kEllipsoidalHeight:
      return Quantity::kLength;
    case kMeridian:
    case kLatitude:
    case kLongitude:
      return Quantity::kAngle;
    case kName:
    case kRole:
    case kFieldCount:
      break;
  }
  return Quantity::kText;
}

bool Matches(std::string_view title, Field field, Side side) {
  if (!Takes(side, field))
    return false;
  for (const Titles& list : TitlesOf(field, side)) {
    for (const Title* t = list.begin; t != list.end; ++t) {
      if (t->any_case ? EqualsIgnoringCase(title, t->text) : title == t->text)
        return true;
    }
  }
  return false;
}

bool Required(Side side, Field field) {
  switch (side) {
    case Side::kBoth:
      return field != kName && field != kMeridian && field != kRole;
    case Side::kGrid:
      return field == kName || field == kNorth || field == kEast || field == kGridHeight;
    case Side::kWgs84:
      return field == kName || field == kLatitude || field == kLongitude ||
             field == kEllipsoidalHeight;
  }
  return false;
}

// The fields' names; those that are words are marked for translation, for the messages.
constexpr const char* kFieldNames[kFieldCount] = {
    NoTr("name"), NoTr("north"), NoTr("east"), "h", "L0", "B", "L", "H", "role"};

// The field's name as a message calls it, in the language of the messages.
std::string FieldWord(Field field) {
  return Tr(kFieldNames[field]);
}

}  // namespace

std::string AcceptedTitles(Field field, Side side) {
  std::string s;
  for (const Titles& list : TitlesOf(field, side)) {
    for (const Title* t = list.begin; t != list.end; ++t) {
      s += s.empty() ? "" : ", ";
      s += t->text;
    }
  }
  return s;
}

std::string Columns::Label(Field field) const {
  const int i = index[field];
  if (i >= 0 && static_cast<std::size_t>(i) < titles.size() && !titles[i].empty())
    return titles_read ? titles[i] : std::string(Tr(titles[i].c_str()));
  return FieldWord(field);
}

Reason ReadHeader(std::vector<std::string_view> fields, Side side, Columns* columns) {
  *columns = Columns();
  while (!fields.empty() && Trim(fields.back()).empty())
    fields.pop_back();
  // A one-side file's height takes the other side's height titles too, unless one of its own
  // is there: then the other height is a column of its own, passed through (a table holding
  // both sides, as zerb-convert writes it, read for one of them).
  const Field own_height = side == Side::kGrid ? kGridHeight : kEllipsoidalHeight;
  bool own_height_titled = false;
  for (std::string_view f : fields) {
    if (side != Side::kBoth && Matches(SplitUnit(Trim(f)).title, own_height, Side::kBoth))
      own_height_titled = true;
  }
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string_view title = Trim(fields[i]);
    columns->titles.emplace_back(title);
    const TitleUnit parts = SplitUnit(title);
    bool known = false;
    for (int f = 0; f < kFieldCount && !known; ++f) {
      const Field field = static_cast<Field>(f);
      const bool height = field == kGridHeight || field == kEllipsoidalHeight;
      if (!Takes(side, field) ||
          !Matches(parts.title, field, own_height_titled && height ? Side::kBoth : side))
        continue;
      if (Reason r = CheckUnit(parts.unit, QuantityOf(field), &columns->dms[field]); !r.empty()) {
        // TRANSLATORS: {1} is the title in quotes, {2} the field's name (north, L0, ...), {3} the
        // reason.
        return Fill(Tr("column {1} ({2}): {3}"), Quoted(title), FieldWord(field), r);
      }
      if (const int first = columns->index[field]; first >= 0) {
        // Two titles may read alike ('H' and 'H'): their places tell them apart.
        // TRANSLATORS: {1} and {2} are titles in quotes, {3} a field's name (north, L0, ...), {4}
        // and {5} the columns' numbers, counted from 1.
        return Fill(Tr("columns {4} ({1}) and {5} ({2}) both name the {3} column"),
                    Quoted(columns->titles[first]), Quoted(title), FieldWord(field), first + 1,
                    i + 1);
      }
      columns->index[field] = static_cast<int>(i);
      known = true;
    }
    if (!known)
      columns->passed.push_back(static_cast<int>(i));
  }
  std::string missing;
  for (int f = 0; f < kFieldCount; ++f) {
    const Field field = static_cast<Field>(f);
    if (Required(side, field) && columns->index[field] < 0) {
      // TRANSLATORS: what stands between two items of a list of statements.
      missing += missing.empty() ? "" : Tr("; ");
      // TRANSLATORS: {1} is a field's name, {2} the titles it is read from.
      missing += Fill(Tr("{1} ({2})"), FieldWord(field), AcceptedTitles(field, side));
    }
  }
  if (!missing.empty()) {
    std::string read;
    for (const std::string& t : columns->titles)
      read += (read.empty() ? "" : ",") + t;
    // TRANSLATORS: {1} is the header in quotes, {2} the missing fields, each with the titles
    // it may have: "north (x, X, N, ...); east (y, Y, E, ...)".
    return Fill(Tr("the header {1} lacks the column(s) {2}"), Quoted(read), missing);
  }
  return {};
}

Columns CassColumns(Side side) {
  Columns c;
  c.titles = {NoTr("name"), "code", NoTr("east"), NoTr("north"), NoTr("height")};
  c.titles_read = false;
  c.index[kName] = 0;
  c.passed = {1};
  c.index[kEast] = 2;
  c.index[kNorth] = 3;
  c.index[side == Side::kWgs84 ? kEllipsoidalHeight : kGridHeight] = 4;
  return c;
}

}  // namespace zerb
