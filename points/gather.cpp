// The three ways in of zerb-shift; see input.h.
#include "points/gather.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>

#include "crs/projection.h"
#include "pairing/repeated_names.h"
#include "pairing/two_files.h"
#include "points/projection_domain.h"
#include "readers/input_file.h"
#include "text/translate.h"

namespace zerb {
namespace {

// How a file is named in messages: a name that is not UTF-8 would make them invalid.
std::string SourceName(const std::string& file) {
  return file.empty() || file == "-" ? "<stdin>" : Printable(file);
}

// Collects the central meridian and zone of the points, warns about points far from L0 where the
// dialog's series is the projection (the exact one holds there: grid_projection.h).
class Meridians {
 public:
  Meridians(Diagnostics* d, InputSummary* s, ProjectionKind projection)
      : diagnostics_(d), summary_(s), series_(projection == ProjectionKind::kDialog) {}

  void Note(const std::string& source, std::uint64_t line, std::string_view name,
            const CommonPoint& point) {
    const GridPoint& grid = point.grid;
    const double distance = point.meridian_distance;
    if (first_) {
      summary_->meridian = point.central_meridian;
      summary_->zone = grid.zone;
      first_ = false;
    } else if (summary_->meridian != point.central_meridian || summary_->zone != grid.zone) {
      summary_->mixed_zones = true;
    }
    if (!series_ || !(distance > kWarnMeridianDistance))
      return;
    const double error = ExpectedInverseError(Degrees(point.wgs84.latitude), distance);
    ++summary_->far_points;
    summary_->worst_expected_error = std::max(summary_->worst_expected_error, error);
    char degrees[32];
    std::snprintf(degrees, sizeof degrees, "%.2f", distance);
    char millimetres[32];
    std::snprintf(millimetres, sizeof millimetres, "%.1f", std::ceil(error * 10000) / 10);
    diagnostics_->Warn(
        source, line,
        // TRANSLATORS: {1} is a number of degrees, {2} the central meridian in degrees, {3} a
        // number of millimetres; {4} is the point's name in quotes.
        name.empty()
            ? Fill(Tr("the point lies {1} degrees from the central meridian {2} (more "
                      "than 3): the inverse projection there is good to {3} mm"),
                   degrees, crs::Shortest(point.central_meridian), millimetres)
            // TRANSLATORS: {1} is a number of degrees, {2} the central meridian in
            // degrees, {3} a number of millimetres; {4} is the point's name in quotes.
            : Fill(Tr("{4} lies {1} degrees from the central meridian {2} (more than 3): "
                      "the inverse projection there is good to {3} mm"),
                   degrees, crs::Shortest(point.central_meridian), millimetres, Quoted(name)));
  }

 private:
  Diagnostics* diagnostics_;
  InputSummary* summary_;
  bool series_;
  bool first_ = true;
};

// The names given with --check, --horizontal-only and --vertical-only, and which of them the
// input had.
class NamedRoles {
 public:
  explicit NamedRoles(const InputSettings& s)
      : lists_{{{&s.check_names, Role::kCheck, "--check"},
                {&s.horizontal_names, Role::kHorizontal, "--horizontal-only"},
                {&s.vertical_names, Role::kVertical, "--vertical-only"}}},
        left_out_(s.left_out_names) {
    for (std::size_t k = 0; k < lists_.size(); ++k)
      found_[k].assign(lists_[k].names->size(), false);
    left_out_found_.assign(left_out_.size(), false);
  }
  // Whether the user left the point of that name out.
  bool LeftOut(std::string_view name) {
    bool named = false;
    for (std::size_t i = 0; i < left_out_.size(); ++i) {
      if (left_out_[i] == name) {
        left_out_found_[i] = true;
        named = true;
      }
    }
    return named;
  }
  // The role the options give name, or why they disagree; kControl when none names it.
  Reason RoleOf(std::string_view name, Role* role) {
    *role = Role::kControl;
    for (std::size_t k = 0; k < lists_.size(); ++k) {
      const std::vector<std::string>& names = *lists_[k].names;
      for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] != name)
          continue;
        found_[k][i] = true;
        if (Reason r = CombineRoles(*role, lists_[k].role, role); !r.empty())
          return r;
      }
    }
    return {};
  }
  // Reports every name the input lacks; false when there was one. A typo must not leave the
  // intended check point in the fit unnoticed.
  bool AllFound(const std::string& source, const std::string& second, Diagnostics* d) const {
    bool all = true;
    for (std::size_t k = 0; k < lists_.size(); ++k) {
      const std::vector<std::string>& names = *lists_[k].names;
      for (std::size_t i = 0; i < names.size(); ++i) {
        if (found_[k][i])
          continue;
        // TRANSLATORS: {1} is an option (--check), {2} a name in quotes, {3} and {4} file names.
        d->Say(second.empty() ? Fill(Tr("{1} {2}: no point of that name in {3}"), lists_[k].option,
                                     Quoted(names[i]), source)
                              : Fill(Tr("{1} {2}: no point of that name in {3} and {4}"),
                                     lists_[k].option, Quoted(names[i]), source, second));
        all = false;
      }
    }
    for (std::size_t i = 0; i < left_out_.size(); ++i) {
      if (left_out_found_[i])
        continue;
      d->Say(second.empty()
                 // TRANSLATORS: {1} is a point name in quotes, {2} a file name.
                 ? Fill(Tr("{1} is to be left out, but no point of that name is in {2}"),
                        Quoted(left_out_[i]), source)
                 // TRANSLATORS: {1} is a point name in quotes, {2} and {3} file names.
                 : Fill(Tr("{1} is to be left out, but no point of that name is in {2} and {3}"),
                        Quoted(left_out_[i]), source, second));
      all = false;
    }
    return all;
  }

 private:
  struct List {
    const std::vector<std::string>* names;
    Role role;
    const char* option;
  };
  std::array<List, 3> lists_;
  std::array<std::vector<bool>, 3> found_;
  const std::vector<std::string>& left_out_;
  std::vector<bool> left_out_found_;
};

// The role of a point from its line, its partner's line and the options naming it. Horizontal or
// vertical use only is a role of the plane model alone.
Reason PointRole(const Record& record, const Columns& columns, Role partner, Role named,
                 bool plane_model, Role* role) {
  Role own;
  Role both;
  if (Reason r = ReadRole(record, columns, &own); !r.empty())
    return r;
  if (Reason r = CombineRoles(own, partner, &both); !r.empty())
    return r;
  if (Reason r = CombineRoles(both, named, role); !r.empty())
    return r;
  if (!plane_model && (*role == Role::kHorizontal || *role == Role::kVertical)) {
    // TRANSLATORS: {1} is the role as the role column writes it (horizontal or vertical).
    return Fill(Tr("a point used {1} only belongs to the plane model (--model 4)"),
                Tr(RoleName(*role)));
  }
  return {};
}

PlaneRecord PlaneRecordOf(const CommonPoint& point, Role role) {
  PlaneRecord p;
  p.north = point.grid.x;
  p.east = point.grid.y;
  p.height = point.grid.h;
  p.latitude = Degrees(point.wgs84.latitude) * (std::numbers::pi / 180);
  p.longitude = Degrees(point.wgs84.longitude) * (std::numbers::pi / 180);
  p.gnss_height = point.wgs84.height;
  p.meridian = point.central_meridian;
  p.role = role;
  return p;
}

// Every point the input gave was left out by the user.
Gathered NoneLeft(const InputSummary& summary, Diagnostics* d) {
  const std::size_t n = summary.left_out.size();
  // TRANSLATORS: {1} is the number of points read, every one of them left out by the user.
  d->Say(Fill(TrN("no point to fit: the {1} point read is left out",
                  "no point to fit: all {1} points read are left out", n),
              n));
  return Gathered::kNoPoint;
}

// An input file opened with its reader started; status is that of a failure already reported.
struct OpenedInput {
  std::unique_ptr<InputFile> file;
  std::unique_ptr<RecordReader> reader;
  Gathered status = Gathered::kPoints;
};

OpenedInput OpenInput(const InputSettings& s, const std::string& name, Side side, InputForm form,
                      std::FILE* in, Diagnostics* d) {
  OpenedInput o;
  o.file = std::make_unique<InputFile>();
  if (Reason r = o.file->Open(name, in); !r.empty()) {
    d->Say(r);
    o.status = Gathered::kUnusable;
    return o;
  }
  ReaderSettings rs;
  rs.side = side;
  rs.form = form;
  rs.encoding = s.encoding;
  rs.delimiter = s.delimiter;
  rs.pipe = o.file->pipe();
  o.reader = MakeReader(o.file->get(), name, rs);
  if (Reason r = o.reader->Start(); !r.empty()) {
    // Before the first line (an empty file, an unreadable one) there is no line to name.
    const std::uint64_t line = o.reader->line();
    if (line > 0)
      d->Say(Fill(Tr("{1}, line {2}: {3}"), SourceName(name), line, r));
    else
      d->Say(Fill(Tr("{1}: {2}"), SourceName(name), r));
    o.status = o.reader->failed() ? Gathered::kUnusable : Gathered::kNoPoint;
  }
  return o;
}

// The common point of a record holding both sides. The grid side is looked at first, so that a
// row with faults on both sides is refused for the first, as it reads from the left.
Reason ReadBothSides(const Record& record, const Columns& columns, const PointReading& reading,
                     const GridProjection& projection, Wgs84Point* wgs84, CommonPoint* point) {
  if (Reason r = ReadWgs84Point(record, columns, reading.angle_format, wgs84); !r.empty()) {
    GridPoint grid;
    Reason g = ReadGridPoint(record, columns, reading.easting_form, &grid);
    return g.empty() ? r : g;
  }
  return MakeCommonPoint(record, columns, *wgs84, reading, projection, point);
}

Gathered ReadSingle(const InputSettings& s, Diagnostics* d, PointSet* points,
                    InputSummary* summary) {
  if (!s.check_names.empty() || !s.horizontal_names.empty() || !s.vertical_names.empty()) {
    d->Say(
        Tr("--check, --horizontal-only and --vertical-only name points of a file; one point "
           "given as options has no name"));
    return Gathered::kUnusable;
  }
  if (!s.left_out_names.empty()) {
    d->Say(Tr("one point given as options has no name by which to leave it out"));
    return Gathered::kUnusable;
  }
  Record record;
  Columns columns;
  // The options that give each field, so that a refusal names the one to mend.
  static constexpr const char* kOptions[kFieldCount] = {"",    "--x", "--y", "--h", "--L0",
                                                        "--B", "--L", "--H", ""};
  columns.options = true;
  for (int f = 0; f < kFieldCount; ++f) {
    columns.index[f] = f;
    columns.titles.emplace_back(kOptions[f]);
    if (s.value[f])
      record.value[f] = *s.value[f];
  }
  Wgs84Point wgs84;
  CommonPoint point;
  const GridProjection projection(s.projection, s.grid_system);
  const Reason r = ReadBothSides(record, columns, s.reading, projection, &wgs84, &point);
  if (!r.empty()) {
    d->Say(Fill(Tr("the point is refused: {1}"), r));
    return Gathered::kNoPoint;
  }
  Meridians(d, summary, s.projection).Note("options", 0, "", point);
  if (Reason e = points->Open({}, false, false, s.grid_positions); !e.empty()) {
    d->Say(e);
    return Gathered::kUnusable;
  }
  if (Reason e = points->Add(Compute(ShiftOf(point, s.gnss_datum, s.grid_system)), 0, 0, false,
                             point.grid.x, point.grid.y, {});
      !e.empty()) {
    d->Say(e);
    return Gathered::kUnusable;
  }
  if (s.plane_model || s.both_sides)
    points->AddPlane(PlaneRecordOf(point, Role::kControl));
  return Gathered::kPoints;
}

// The text columns a point carries to the output: its name, then the passed-through columns.
std::vector<std::string> TextTitles(const Columns& columns, const std::vector<std::string>* more) {
  std::vector<std::string> titles;
  if (columns.index[kName] >= 0)
    titles.push_back(columns.titles[columns.index[kName]]);
  for (int c : columns.passed)
    titles.push_back(columns.titles[c]);
  if (more != nullptr)
    titles.insert(titles.end(), more->begin(), more->end());
  return titles;
}

Gathered ReadOneTable(const InputSettings& s, std::FILE* in, Diagnostics* d, PointSet* points,
                      InputSummary* summary) {
  const std::string source = SourceName(s.table);
  summary->source = source;
  const GridProjection projection(s.projection, s.grid_system);
  // A table holding both sides is always a CSV table: a CASS file holds the grid only.
  const OpenedInput input = OpenInput(s, s.table, Side::kBoth, InputForm::kCsv, in, d);
  if (input.status != Gathered::kPoints)
    return input.status;
  RecordReader* reader = input.reader.get();
  const Columns& columns = reader->columns();
  const bool has_name = columns.index[kName] >= 0;
  if (Reason r = points->Open(TextTitles(columns, nullptr), has_name, false, s.grid_positions);
      !r.empty()) {
    d->Say(r);
    return Gathered::kUnusable;
  }
  Meridians meridians(d, summary, s.projection);
  NamedRoles named(s);
  RepeatedNames names;
  Record record;
  Reason reason;
  std::vector<std::string_view> texts;
  while (reader->Next(&record, &reason)) {
    // A refused line leaves the record unfilled: its views belong to an earlier line's buffer.
    const std::string_view name =
        reason.empty() && has_name ? Trim(record.value[kName]) : std::string_view();
    Role named_role = Role::kControl;
    if (reason.empty() && !name.empty())
      reason = named.RoleOf(name, &named_role);
    const bool left_out = reason.empty() && !name.empty() && named.LeftOut(name);
    Wgs84Point wgs84;
    CommonPoint point;
    Role role = Role::kControl;
    if (reason.empty())
      reason = ReadBothSides(record, columns, s.reading, projection, &wgs84, &point);
    if (reason.empty())
      reason = PointRole(record, columns, Role::kControl, named_role, s.plane_model, &role);
    if (!name.empty())
      names.Note(name, record.line, reason.empty() && !left_out);
    if (!reason.empty()) {
      d->Refused(source, reader->line(), reason);
      continue;
    }
    if (left_out) {
      summary->left_out.push_back({std::string(name), record.line, PlaneRecordOf(point, role)});
      continue;
    }
    meridians.Note(source, record.line, name, point);
    texts.clear();
    if (has_name)
      texts.push_back(record.value[kName]);
    texts.insert(texts.end(), record.passed.begin(), record.passed.end());
    if (Reason r = points->Add(Compute(ShiftOf(point, s.gnss_datum, s.grid_system)), record.line, 0,
                               role == Role::kCheck, point.grid.x, point.grid.y, texts);
        !r.empty()) {
      d->Say(r);
      return Gathered::kUnusable;
    }
    if (s.plane_model || s.both_sides)
      points->AddPlane(PlaneRecordOf(point, role));
  }
  if (reader->failed()) {
    d->Say(Fill(Tr("{1}: read error: {2}"), source, ErrnoText(reader->error())));
    return Gathered::kUnusable;
  }
  // A name given twice is handled as in two files: which row is meant cannot be known, so every
  // row of it is refused.
  std::vector<RepeatedNames::Repeat> repeats;
  std::vector<std::size_t> withdraw;
  const auto line_of_point = [points](std::size_t i) { return points->line(i); };
  if (has_name &&
      !names.Find(points->spool(), points->added(), line_of_point, &repeats, &withdraw)) {
    d->Say(Fill(Tr("{1}: cannot read the temporary file of names back"), source));
    return Gathered::kUnusable;
  }
  for (std::size_t i : withdraw)
    points->Withdraw(i);
  // Rows of a name left out are refused as repeats as much as rows that gave a point: which of
  // them the user meant cannot be known either.
  std::vector<std::string> refused_names;
  for (const RepeatedNames::Repeat& r : repeats) {
    const bool left_out = std::any_of(summary->left_out.begin(), summary->left_out.end(),
                                      [&r](const LeftOut& l) { return l.line == r.line; });
    if (r.gave_point || left_out) {
      d->Refused(source, r.line,
                 Fill(Tr("name {1} occurs again (first at line {2}): both lines are refused"),
                      Quoted(r.name), r.first_line));
      refused_names.push_back(r.name);
    }
  }
  std::erase_if(summary->left_out, [&refused_names](const LeftOut& l) {
    return std::find(refused_names.begin(), refused_names.end(), l.name) != refused_names.end();
  });
  if (!named.AllFound(source, {}, d))
    return Gathered::kUnusable;
  if (points->usable() == 0 && !summary->left_out.empty())
    return NoneLeft(*summary, d);
  if (points->usable() == 0) {
    // TRANSLATORS: {1} is a file name, {2} the number of lines refused.
    d->Say(Fill(TrN("{1}: no usable point ({2} line refused)",
                    "{1}: no usable point ({2} lines refused)", d->refused()),
                source, d->refused()));
    return Gathered::kNoPoint;
  }
  return Gathered::kPoints;
}

Gathered ReadTwoFiles(const InputSettings& s, std::FILE* in, Diagnostics* d, PointSet* points,
                      InputSummary* summary) {
  summary->source = SourceName(s.grid);
  summary->wgs84_source = SourceName(s.wgs84);
  const GridProjection projection(s.projection, s.grid_system);
  if (summary->source == "<stdin>" && summary->wgs84_source == "<stdin>") {
    d->Say(Tr("--grid and --wgs84 cannot both read standard input"));
    return Gathered::kUnusable;
  }
  const std::string& source = summary->source;
  TwoFiles pairing(source, summary->wgs84_source, s.reading.easting_form, d);
  {
    const OpenedInput wgs84 = OpenInput(s, s.wgs84, Side::kWgs84, s.wgs84_form, in, d);
    if (wgs84.status != Gathered::kPoints)
      return wgs84.status;
    if (!pairing.ReadWgs84(wgs84.reader.get(), s.reading.angle_format))
      return Gathered::kUnusable;
  }

  const OpenedInput input = OpenInput(s, s.grid, Side::kGrid, s.grid_form, in, d);
  if (input.status != Gathered::kPoints)
    return input.status;
  RecordReader* reader = input.reader.get();
  const Columns& columns = reader->columns();
  // The WGS-84 file's own columns follow the grid file's, told apart where a title repeats.
  std::vector<std::string> grid_titles = TextTitles(columns, nullptr);
  std::vector<std::string> wgs84_titles = pairing.wgs84_titles();
  for (std::string& t : wgs84_titles) {
    if (std::find(grid_titles.begin(), grid_titles.end(), t) != grid_titles.end())
      t = "wgs84 " + t;
  }
  if (Reason r = points->Open(TextTitles(columns, &wgs84_titles), true, true, s.grid_positions);
      !r.empty()) {
    d->Say(r);
    return Gathered::kUnusable;
  }
  Meridians meridians(d, summary, s.projection);
  NamedRoles named(s);
  Record record;
  Reason reason;
  std::vector<std::string_view> texts;
  while (reader->Next(&record, &reason)) {
    // A refused line leaves the record unfilled: its views belong to an earlier line's buffer.
    const std::string_view name = reason.empty() ? Trim(record.value[kName]) : std::string_view();
    Role named_role = Role::kControl;
    if (reason.empty() && !name.empty())
      reason = named.RoleOf(name, &named_role);
    const bool left_out = reason.empty() && !name.empty() && named.LeftOut(name);
    std::size_t withdraw;
    const Wgs84Index::Entry* partner = pairing.Partner(*reader, record, reason, &withdraw);
    if (withdraw != TwoFiles::kNoPoint)
      points->Withdraw(withdraw);
    if (partner == nullptr) {
      // A line repeating the name of one left out: Partner refused both lines, and said so.
      if (left_out)
        std::erase_if(summary->left_out, [name](const LeftOut& l) { return l.name == name; });
      continue;
    }
    CommonPoint point;
    Role role = Role::kControl;
    reason = MakeCommonPoint(record, columns, partner->point, s.reading, projection, &point);
    if (reason.empty())
      reason = PointRole(record, columns, partner->role, named_role, s.plane_model, &role);
    if (!reason.empty()) {
      d->Refused(source, record.line, pairing.AtPartner(reason, *partner));
      continue;
    }
    // Not made a point: a later line of the same name is refused as a repeat of a refused one.
    if (left_out) {
      summary->left_out.push_back({std::string(name), record.line, PlaneRecordOf(point, role)});
      continue;
    }
    meridians.Note(source, record.line, name, point);
    texts.assign(1, record.value[kName]);
    texts.insert(texts.end(), record.passed.begin(), record.passed.end());
    texts.insert(texts.end(), partner->passed.begin(), partner->passed.end());
    pairing.Made(name, points->added());
    if (Reason r =
            points->Add(Compute(ShiftOf(point, s.gnss_datum, s.grid_system)), record.line,
                        partner->line, role == Role::kCheck, point.grid.x, point.grid.y, texts);
        !r.empty()) {
      d->Say(r);
      return Gathered::kUnusable;
    }
    if (s.plane_model || s.both_sides)
      points->AddPlane(PlaneRecordOf(point, role));
  }
  if (reader->failed()) {
    d->Say(Fill(Tr("{1}: read error: {2}"), source, ErrnoText(reader->error())));
    return Gathered::kUnusable;
  }
  summary->unpaired = pairing.Finish();
  if (!named.AllFound(source, summary->wgs84_source, d))
    return Gathered::kUnusable;
  if (points->usable() == 0 && !summary->left_out.empty())
    return NoneLeft(*summary, d);
  if (points->usable() == 0 && d->refused() > 0) {
    d->Say(Fill(
        TrN("no usable pair: {1} line refused", "no usable pair: {1} lines refused", d->refused()),
        d->refused()));
    return Gathered::kNoPoint;
  }
  if (points->usable() == 0) {
    // TRANSLATORS: {1} and {2} are file names.
    d->Say(Fill(Tr("no pair: no usable point name occurs in both {1} and {2}"), source,
                summary->wgs84_source));
    return Gathered::kNoPoint;
  }
  return Gathered::kPoints;
}

}  // namespace

Gathered GatherPoints(const InputSettings& given, std::FILE* in, Diagnostics* diagnostics,
                      PointSet* points, InputSummary* summary) {
  // A zone number in front of an easting goes with the zones' own false easting only.
  InputSettings settings = given;
  settings.reading.easting_form =
      given.grid_system.zoned() ? EastingForm::kZoned : EastingForm::kPlain;
  summary->projection = settings.projection;
  summary->gnss_datum = settings.gnss_datum;
  summary->grid_system = settings.grid_system;
  for (const Reason& r : {ProjectionForDatum(settings.projection, settings.gnss_datum),
                          ProjectionForSystem(settings.projection, settings.grid_system,
                                              settings.reading.default_meridian)}) {
    if (!r.empty()) {
      diagnostics->Say(r);
      return Gathered::kUnusable;
    }
  }
  if (settings.single)
    return ReadSingle(settings, diagnostics, points, summary);
  if (!settings.grid.empty())
    return ReadTwoFiles(settings, in, diagnostics, points, summary);
  return ReadOneTable(settings, in, diagnostics, points, summary);
}

}  // namespace zerb
