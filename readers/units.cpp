// Units in column titles; see units.h.
#include "readers/units.h"

#include "text/translate.h"

namespace zerb {
namespace {

struct Unit {
  std::string_view text;
  bool any_case;
};

constexpr Unit kLengthUnits[] = {{"m", false},     {"米", false},   {"metre", true},
                                 {"metres", true}, {"meter", true}, {"meters", true}};
constexpr Unit kDegreeUnits[] = {
    {"°", false}, {"deg", true}, {"degree", true}, {"degrees", true}, {"度", false}};
constexpr Unit kDmsUnits[] = {{"dms", true},       {"d:m:s", true}, {"dd:mm:ss", true},
                              {"ddd:mm:ss", true}, {"°′″", false},  {"度分秒", false}};

constexpr std::string_view kOpen[] = {"(", "\xEF\xBC\x88"};   // ( and its full-width form
constexpr std::string_view kClose[] = {")", "\xEF\xBC\x89"};  // ) and its full-width form

template <std::size_t N>
bool Listed(std::string_view unit, const Unit (&units)[N]) {
  for (const Unit& u : units) {
    if (u.any_case ? EqualsIgnoringCase(unit, u.text) : unit == u.text)
      return true;
  }
  return false;
}

template <std::size_t N>
std::string List(const Unit (&units)[N]) {
  std::string list;
  for (const Unit& u : units) {
    list += list.empty() ? "" : ", ";
    list += u.text;
  }
  return list;
}

}  // namespace

TitleUnit SplitUnit(std::string_view title) {
  title = Trim(title);
  for (std::string_view close : kClose) {
    if (!title.ends_with(close))
      continue;
    const std::string_view inside = title.substr(0, title.size() - close.size());
    std::size_t open = std::string_view::npos;
    std::size_t open_size = 0;
    for (std::string_view o : kOpen) {
      const std::size_t at = inside.rfind(o);
      if (at != std::string_view::npos && (open == std::string_view::npos || at > open)) {
        open = at;
        open_size = o.size();
      }
    }
    if (open == std::string_view::npos)
      return {title, {}};
    return {Trim(inside.substr(0, open)), Trim(inside.substr(open + open_size))};
  }
  return {title, {}};
}

Reason CheckUnit(std::string_view unit, Quantity quantity, bool* dms) {
  *dms = false;
  if (unit.empty())
    return {};
  switch (quantity) {
    case Quantity::kText:
      return Fill(Tr("the column takes no unit, yet gives {1}"), Quoted(unit));
    case Quantity::kLength:
      if (Listed(unit, kLengthUnits))
        return {};
      // TRANSLATORS: {1} is the unit given, in quotes, {2} the list of units taken.
      return Fill(Tr("the unit {1} is not metres: lengths are read in {2} (convert the column to "
                     "metres)"),
                  Quoted(unit), LengthUnits());
    case Quantity::kAngle:
      if (Listed(unit, kDegreeUnits))
        return {};
      if (Listed(unit, kDmsUnits)) {
        *dms = true;
        return {};
      }
      // TRANSLATORS: {1} is the unit given, in quotes, {2} and {3} lists of units taken.
      return Fill(Tr("the unit {1} is not degrees: angles are read in {2}, or written apart in {3} "
                     "(convert the column to degrees)"),
                  Quoted(unit), DegreeUnits(), DmsUnits());
  }
  return {};
}

std::string LengthUnits() {
  return List(kLengthUnits);
}

std::string DegreeUnits() {
  return List(kDegreeUnits);
}

std::string DmsUnits() {
  return List(kDmsUnits);
}

}  // namespace zerb
