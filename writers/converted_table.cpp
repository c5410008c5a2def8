// The converted table; see converted_table.h.
#include "writers/converted_table.h"

#include <cerrno>
#include <cmath>
#include <cstdint>

#include "text/translate.h"

namespace zerb {
namespace {

bool IsAscii(std::string_view s) {
  return SkipAscii(s, 0) == s.size();
}

// |degrees| in whole units of 1e-6 arc-second, so that rounding carries into the seconds,
// minutes and degrees as it should (59.9999996" is 1' 00.000000").
std::int64_t Microseconds(double degrees) {
  return std::llround(std::fabs(degrees) * 3600e6);
}

}  // namespace

Reason ParseOutputEncoding(std::string_view text, OutputEncoding* encoding) {
  if (EqualsIgnoringCase(text, "utf-8") || EqualsIgnoringCase(text, "utf8")) {
    *encoding = OutputEncoding::kUtf8;
  } else if (EqualsIgnoringCase(text, "utf-8-bom") || EqualsIgnoringCase(text, "utf8-bom")) {
    *encoding = OutputEncoding::kUtf8Bom;
  } else if (EqualsIgnoringCase(text, "gb18030") || EqualsIgnoringCase(text, "gbk")) {
    *encoding = OutputEncoding::kGb18030;
  } else {
    return Fill(Tr("unknown output encoding {1} (utf-8, utf-8-bom or gb18030)"), Quoted(text));
  }
  return {};
}

Reason ParseOutputForm(std::string_view text, OutputForm* form) {
  if (text == "csv") {
    *form = OutputForm::kCsv;
  } else if (text == "cass") {
    *form = OutputForm::kCass;
  } else {
    return Fill(Tr("unknown output form {1} (csv or cass)"), Quoted(text));
  }
  return {};
}

std::string FormatAngle(double degrees, AngleFormat format) {
  char text[64];
  if (format == AngleFormat::kAuto || format == AngleFormat::kDegrees) {
    std::snprintf(text, sizeof text, "%.10f", degrees);
    return text;
  }
  const std::int64_t total = Microseconds(degrees);
  const std::int64_t per_minute = 60'000'000;
  const std::int64_t per_degree = 60 * per_minute;
  const long long d = total / per_degree;
  const long long m = total % per_degree / per_minute;
  const long long s = total % per_minute / 1'000'000;
  const long long fraction = total % 1'000'000;
  const char* sign = degrees < 0 && total != 0 ? "-" : "";
  if (format == AngleFormat::kDms) {
    std::snprintf(text, sizeof text, "%s%lld:%02lld:%02lld.%06lld", sign, d, m, s, fraction);
  } else {
    std::snprintf(text, sizeof text, "%s%lld.%02lld%02lld%06lld", sign, d, m, s, fraction);
  }
  return text;
}

std::string FormatMetres(double metres) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", metres);
  return text;
}

std::vector<std::string> AddedTitles(const Columns& columns, bool to_gnss) {
  bool chinese = false;
  if (columns.titles_read) {
    for (int f = 0; f < kFieldCount; ++f) {
      const int i = columns.index[f];
      if (i >= 0 && static_cast<std::size_t>(i) < columns.titles.size() &&
          !IsAscii(columns.titles[i]))
        chinese = true;
    }
  }
  if (to_gnss)
    return chinese ? std::vector<std::string>{"纬度", "经度", "大地高"}
                   : std::vector<std::string>{"B", "L", "H"};
  return chinese ? std::vector<std::string>{"X坐标", "Y坐标", "高程"}
                 : std::vector<std::string>{"E", "N", "h"};
}

bool OtherSideColumns(const Columns& columns, bool to_gnss, int index[3]) {
  if (!columns.titles_read)
    return false;
  const std::vector<std::string_view> titles(columns.titles.begin(), columns.titles.end());
  Columns other;
  if (!ReadHeader(titles, to_gnss ? Side::kWgs84 : Side::kGrid, &other).empty())
    return false;
  const Field fields[2][3] = {{kNorth, kEast, kGridHeight},
                              {kLatitude, kLongitude, kEllipsoidalHeight}};
  for (int i = 0; i < 3; ++i) {
    index[i] = other.index[fields[to_gnss][i]];
    if (index[i] < 0)
      return false;
  }
  return true;
}

int CodeColumn(const Columns& columns) {
  if (!columns.titles_read)
    return 1;  // a CASS .dat: name, code, ...
  for (int i : columns.passed) {
    const std::string_view t = Trim(columns.titles[i]);
    if (EqualsIgnoringCase(t, "code") || t == "编码" || t == "代码" || t == "编码/代码")
      return i;
  }
  return -1;
}

ConvertedTableWriter::ConvertedTableWriter(std::FILE* out, OutputEncoding encoding, char delimiter)
    : out_(out), encoding_(encoding), delimiter_(delimiter) {
  if (encoding_ == OutputEncoding::kGb18030)
    to_gb18030_ = iconv_open("GB18030", "UTF-8");
}

ConvertedTableWriter::~ConvertedTableWriter() {
  if (to_gb18030_ != reinterpret_cast<iconv_t>(-1))
    iconv_close(to_gb18030_);
}

Reason ConvertedTableWriter::Row(const std::vector<std::string>& cells) {
  static const std::vector<std::string> kNone;
  return Row(cells, kNone);
}

Reason ConvertedTableWriter::Row(const std::vector<std::string>& cells,
                                 const std::vector<std::string>& more) {
  line_.clear();
  bool first = true;
  for (const std::vector<std::string>* part : {&cells, &more}) {
    for (const std::string& cell : *part) {
      if (!first)
        line_ += delimiter_;
      first = false;
      if (cell.find(delimiter_) == std::string::npos && cell.find('"') == std::string::npos) {
        line_ += cell;
        continue;
      }
      line_ += '"';
      for (char c : cell) {
        if (c == '"')
          line_ += '"';
        line_ += c;
      }
      line_ += '"';
    }
  }
  line_ += line_end_;
  return Write(line_);
}

Reason ConvertedTableWriter::Write(const std::string& line) {
  if (!started_) {
    started_ = true;
    if (encoding_ == OutputEncoding::kUtf8Bom)
      std::fputs("\xEF\xBB\xBF", out_);
    if (encoding_ == OutputEncoding::kGb18030 && to_gb18030_ == reinterpret_cast<iconv_t>(-1))
      // TRANSLATORS: {1} is the system's reason.
      return Fill(Tr("cannot write GB18030: {1}"), ErrnoText(errno));
  }
  if (encoding_ != OutputEncoding::kGb18030 || IsAscii(line)) {
    std::fwrite(line.data(), 1, line.size(), out_);
    return {};
  }
  // GB18030 takes at most 4 bytes for any character, UTF-8 at least 1.
  converted_.resize(line.size() * 4);
  char* in = const_cast<char*>(line.data());
  std::size_t in_left = line.size();
  char* out = converted_.data();
  std::size_t out_left = converted_.size();
  iconv(to_gb18030_, nullptr, nullptr, nullptr, nullptr);
  if (iconv(to_gb18030_, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1))
    // TRANSLATORS: {1} is the system's reason.
    return Fill(Tr("cannot write GB18030: {1}"), ErrnoText(errno));
  std::fwrite(converted_.data(), 1, converted_.size() - out_left, out_);
  return {};
}

}  // namespace zerb
