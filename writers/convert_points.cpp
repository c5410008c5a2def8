// The conversion of a table of points; see convert_points.h.
#include "writers/convert_points.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "points/projection_domain.h"
#include "readers/convert_table.h"
#include "text/translate.h"

namespace zerb {
namespace {

// The ground distance of two nearby geographic positions in metres, for the round trip's
// report only: the sphere of WGS 84's semi-major axis is within 0.7 % of the ellipsoid's radii.
double GroundMetres(double lon1, double lat1, double lon2, double lat2) {
  constexpr double kRadius = 6378137.0;
  constexpr double kRadian = std::numbers::pi / 180;
  const double north = (lat2 - lat1) * kRadian * kRadius;
  const double east = (lon2 - lon1) * kRadian * kRadius * std::cos(lat1 * kRadian);
  return std::hypot(north, east);
}

class Converter {
 public:
  Converter(const ConvertSettings& o, crs::GridConversion* conversion, const GridArea* area,
            Diagnostics* diagnostics, std::string source)
      : o_(o),
        conversion_(conversion),
        area_(area),
        diagnostics_(diagnostics),
        source_(std::move(source)) {
    has_meridian_ = conversion_->central_meridian(&meridian_);
    if (!conversion_->false_easting(&false_easting_))
      false_easting_ = 0;
  }

  // Converts and writes one block; the reason when the output failed, else an empty text.
  Reason Block(std::vector<ConvertRow>& rows, std::size_t count, const Columns& columns,
               ConvertedTableWriter* writer) {
    x_.clear();
    y_.clear();
    z_.clear();
    index_.clear();
    for (std::size_t i = 0; i < count; ++i) {
      const ConvertRow& row = rows[i];
      double x = row.x;
      if (!o_.inverse) {
        if (has_meridian_) {
          if (Reason r = GridEasting(row, meridian_, false_easting_, &x); !r.empty()) {
            Refuse(row.line, r);
            continue;
          }
        } else {
          x = row.x + row.zone * 1e6;
        }
      }
      x_.push_back(x);
      y_.push_back(row.y);
      z_.push_back(row.z);
      index_.push_back(i);
    }
    in_x_ = x_;
    in_y_ = y_;
    in_z_ = z_;
    conversion_->Convert(x_.data(), y_.data(), z_.data(), x_.size(), o_.inverse);
    if (o_.round_trip) {
      back_x_ = x_;
      back_y_ = y_;
      back_z_ = z_;
      conversion_->Convert(back_x_.data(), back_y_.data(), back_z_.data(), back_x_.size(),
                           !o_.inverse);
    }
    const int name = columns.index[kName];
    for (std::size_t k = 0; k < index_.size(); ++k) {
      const ConvertRow& row = rows[index_[k]];
      if (x_[k] == HUGE_VAL || !std::isfinite(x_[k]) || !std::isfinite(y_[k]) ||
          !std::isfinite(z_[k])) {
        Refuse(row.line, Tr("PROJ cannot convert the point (outside the projection's domain)"));
        continue;
      }
      const std::string_view point_name =
          name >= 0 && static_cast<std::size_t>(name) < row.cells.size()
              ? std::string_view(row.cells[name])
              : std::string_view();
      const double lon = o_.inverse ? in_x_[k] : x_[k];
      const double east = o_.inverse ? x_[k] : in_x_[k];
      const double north = o_.inverse ? y_[k] : in_y_[k];
      CheckMeridian(row.line, point_name, lon);
      CheckArea(row.line, point_name, east, north);
      if (o_.round_trip)
        NoteRoundTrip(row.line, k);
      added_.clear();
      if (o_.inverse) {
        if (o_.output_form == OutputForm::kCass) {
          cass_.assign({point_name.empty() ? std::string() : std::string(point_name),
                        code_ >= 0 && static_cast<std::size_t>(code_) < row.cells.size()
                            ? row.cells[code_]
                            : std::string(),
                        FormatMetres(x_[k]), FormatMetres(y_[k]), FormatMetres(z_[k])});
          if (Reason r = writer->Row(cass_); !r.empty())
            return r;
          ++converted_;
          continue;
        }
        // North, east, height: the order of the other side's columns found in the table.
        added_ = {FormatMetres(y_[k]), FormatMetres(x_[k]), FormatMetres(z_[k])};
        if (!in_place_ && !chinese_north_first_)
          std::swap(added_[0], added_[1]);  // E,N,h
      } else {
        added_ = {FormatAngle(y_[k], o_.angles), FormatAngle(x_[k], o_.angles),
                  FormatMetres(z_[k])};
      }
      if (in_place_) {
        ConvertRow& filled = rows[index_[k]];
        for (int c = 0; c < 3; ++c) {
          if (static_cast<std::size_t>(other_[c]) < filled.cells.size())
            filled.cells[other_[c]] = std::move(added_[c]);
        }
        added_.clear();
      }
      if (Reason r = writer->Row(row.cells, added_); !r.empty())
        return r;
      ++converted_;
    }
    return {};
  }

  void set_code_column(int code) { code_ = code; }
  void set_north_first(bool north_first) { chinese_north_first_ = north_first; }
  // The converted values go into these columns (north, east, height or latitude, longitude,
  // height) rather than after the others.
  void set_in_place(const int other[3]) {
    in_place_ = true;
    std::copy(other, other + 3, other_);
  }
  std::uint64_t converted() const { return converted_; }
  std::uint64_t refused() const { return refused_; }
  std::uint64_t outside() const { return outside_; }
  std::uint64_t far_from_meridian() const { return far_; }
  const RoundTrip& round_trip() const { return trip_; }

 private:
  void Refuse(std::uint64_t line, const std::string& reason) {
    ++refused_;
    diagnostics_->Refused(source_, line, reason);
  }

  void CheckMeridian(std::uint64_t line, std::string_view name, double lon) {
    if (!has_meridian_)
      return;
    double distance = std::fabs(lon - meridian_);
    distance = std::min(distance, std::fabs(360 - distance));
    if (!(distance > kWarnMeridianDistance))
      return;
    ++far_;
    char degrees[32];
    std::snprintf(degrees, sizeof degrees, "%.2f", distance);
    char meridian[32];
    std::snprintf(meridian, sizeof meridian, "%g", meridian_);
    diagnostics_->Warn(
        source_, line,
        // TRANSLATORS: {1} is a number of degrees, {2} the central meridian in degrees, {3} the
        // point's name in quotes.
        Fill(Tr("{3} lies {1} degrees from the central meridian {2} (more than 3): outside the "
                "zone the grid is meant for; check the zone and the definition"),
             degrees, meridian, Quoted(name)));
  }

  void CheckArea(std::uint64_t line, std::string_view name, double east, double north) {
    if (area_ == nullptr)
      return;
    const double distance = area_->Distance(east, north);
    if (!(distance > area_->margin()))
      return;
    ++outside_;
    char km[32];
    std::snprintf(km, sizeof km, "%.1f", distance / 1000);
    diagnostics_->Warn(
        source_, line,
        // TRANSLATORS: {1} is the point's name in quotes, {2} a number of kilometres, {3} the
        // number of common points.
        Fill(Tr("{1} lies {2} km outside the area of the {3} common points the definition was "
                "fitted to: the parameters are extrapolated there"),
             Quoted(name), km, area_->points));
  }

  void NoteRoundTrip(std::uint64_t line, std::size_t k) {
    if (!std::isfinite(back_x_[k]) || back_x_[k] == HUGE_VAL)
      return;
    const double horizontal = o_.inverse ? GroundMetres(in_x_[k], in_y_[k], back_x_[k], back_y_[k])
                                         : std::hypot(back_x_[k] - in_x_[k], back_y_[k] - in_y_[k]);
    const double vertical = std::fabs(back_z_[k] - in_z_[k]);
    if (trip_.horizontal_line == 0 || horizontal > trip_.horizontal) {
      trip_.horizontal = horizontal;
      trip_.horizontal_line = line;
    }
    if (trip_.vertical_line == 0 || vertical > trip_.vertical) {
      trip_.vertical = vertical;
      trip_.vertical_line = line;
    }
  }

  const ConvertSettings& o_;
  crs::GridConversion* conversion_;
  const GridArea* area_;
  Diagnostics* diagnostics_;
  std::string source_;
  bool has_meridian_ = false;
  double meridian_ = 0;
  double false_easting_ = 0;
  int code_ = -1;
  bool chinese_north_first_ = false;
  bool in_place_ = false;
  int other_[3] = {-1, -1, -1};
  std::vector<double> x_, y_, z_, in_x_, in_y_, in_z_, back_x_, back_y_, back_z_;
  std::vector<std::size_t> index_;
  std::vector<std::string> added_, cass_;
  std::uint64_t converted_ = 0;
  std::uint64_t refused_ = 0;
  std::uint64_t outside_ = 0;
  std::uint64_t far_ = 0;
  RoundTrip trip_;
};

// How the input's grid eastings are read: with a zone number only in a grid of the zones.
EastingForm EastingsOf(const crs::GridConversion& conversion) {
  double meridian = 0, false_easting = 0;
  if (!conversion.central_meridian(&meridian) || !conversion.false_easting(&false_easting))
    return EastingForm::kZoned;
  return GridEastingForm(meridian, false_easting);
}

std::string Millimetres(double metres) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", metres * 1000);
  return text;
}

}  // namespace

Reason ConvertPoints(crs::GridConversion* conversion, const ConvertSettings& settings,
                     const InputFile& input, const std::string& source, Diagnostics* diagnostics,
                     ConvertedOutput* output, ConvertCounts* counts) {
  *counts = ConvertCounts();
  ReaderSettings reading;
  reading.side = settings.inverse ? Side::kWgs84 : Side::kGrid;
  reading.form = settings.input_form;
  reading.encoding = settings.encoding;
  reading.delimiter = settings.delimiter;
  reading.pipe = input.pipe();
  const std::unique_ptr<RecordReader> reader = MakeReader(input.get(), source, reading);
  if (Reason r = reader->Start(); !r.empty())
    return Fill(Tr("{1}: {2}"), source, r);
  const Columns& columns = reader->columns();
  const bool cass_in = !columns.titles_read;
  if (cass_in && settings.inverse) {
    // TRANSLATORS: {1} is a file name.
    return Fill(Tr("{1}: a CASS .dat holds grid points (name,code,E,N,H); convert it "
                   "without --inverse"),
                source);
  }

  std::FILE* sink = nullptr;
  if (Reason r = output->Open(&sink); !r.empty())
    return r;
  ConvertedTableWriter writer(sink, settings.output_encoding, reader->delimiter());
  Converter converter(settings, conversion, settings.area, diagnostics, source);
  std::vector<std::string> added = AddedTitles(columns, !settings.inverse);
  converter.set_north_first(added[0] == "X坐标");
  if (int other[3]; OtherSideColumns(columns, !settings.inverse, other)) {
    converter.set_in_place(other);
    added.clear();
  }
  std::vector<std::string> titles;
  if (settings.output_form == OutputForm::kCass) {
    converter.set_code_column(CodeColumn(columns));
  } else {
    titles = columns.titles;
    if (cass_in)
      titles = {"name", "code", "E", "N", "h"};
  }
  // The header waits for the first block: a CASS file's line ends are known once a line is read.
  bool started = false;
  auto start = [&]() -> Reason {
    if (started)
      return {};
    started = true;
    writer.set_crlf(reader->crlf());
    return titles.empty() ? Reason() : writer.Row(titles, added);
  };

  ConvertTable table(reader.get(), reading.side, settings.angles, EastingsOf(*conversion), source,
                     diagnostics);
  const auto count = [&] {
    counts->read = table.records();
    counts->converted = converter.converted();
    counts->refused = table.refused() + converter.refused();
    counts->outside = converter.outside();
    counts->far_from_meridian = converter.far_from_meridian();
    counts->round_trip = converter.round_trip();
  };
  std::vector<ConvertRow> rows;
  while (true) {
    const std::size_t n = table.ReadBlock(kConvertBlock, &rows);
    Reason r = start();
    if (r.empty() && n > 0)
      r = converter.Block(rows, n, columns, &writer);
    if (!r.empty()) {
      count();
      return r;
    }
    if (n == 0)
      break;
  }
  count();
  if (table.failed())
    return Fill(Tr("{1}: read error: {2}"), source, ErrnoText(reader->error()));
  std::fflush(sink);
  if (writer.failed())
    return Fill(Tr("cannot write {1}: {2}"), output->Name(), ErrnoText(errno));
  return {};
}

std::string ConvertSummary(const ConvertCounts& counts, bool area_known) {
  std::string summary =
      // TRANSLATORS: {1} is a count of points ("5 points"), {2} and {3} numbers of them.
      Fill(Tr("{1} read: {2} converted, {3} refused"),
           Counted(counts.read, "{1} point", "{1} points"), counts.converted, counts.refused);
  if (area_known) {
    summary =
        // TRANSLATORS: {1} is the summary so far, {2} a number of points.
        Fill(Tr("{1}; {2} outside the area of the common points"), summary, counts.outside);
  }
  return summary;
}

std::string RoundTripSummary(const RoundTrip& t) {
  // TRANSLATORS: {1} and {3} are millimetres, {2} and {4} line numbers.
  return Fill(Tr("round trip: largest difference {1} mm horizontally (line {2}), {3} "
                 "mm in height (line {4})"),
              Millimetres(t.horizontal), t.horizontal_line, Millimetres(t.vertical),
              t.vertical_line);
}

}  // namespace zerb
