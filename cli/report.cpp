// The output formats of zerb-shift; see report.h.
#include "cli/report.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace zerb {
namespace {

// Collects output in a string and hands it to stdio in large pieces.
class Writer {
 public:
  explicit Writer(std::FILE* f) : file_(f) { buffer_.reserve(kChunk + 4096); }
  ~Writer() { Flush(); }
  std::string* buffer() { return &buffer_; }
  Writer& operator<<(std::string_view s) {
    buffer_ += s;
    if (buffer_.size() >= kChunk)
      Flush();
    return *this;
  }
  Writer& operator<<(char c) {
    buffer_ += c;
    return *this;
  }
  Writer& operator<<(std::uint64_t n) {
    char text[24];
    const auto r = std::to_chars(text, text + sizeof text, n);
    buffer_.append(text, r.ptr);
    return *this;
  }
  void Flush() {
    std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    buffer_.clear();
  }

 private:
  static constexpr std::size_t kChunk = std::size_t{1} << 16;
  std::FILE* file_;
  std::string buffer_;
};

void AppendShortest(std::string* s, double value) {
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, value);
  s->append(text, r.ptr);
}

// Right-aligned in width characters.
void AppendFixedWidth(std::string* s, double value, std::size_t width) {
  std::string number;
  AppendFixed(&number, value);
  if (number.size() < width)
    s->append(width - number.size(), ' ');
  *s += number;
}

void AppendCsvField(std::string* s, std::string_view field, char delimiter) {
  if (field.find_first_of(std::string{delimiter, '"', '\n', '\r'}) == std::string_view::npos) {
    *s += field;
    return;
  }
  *s += '"';
  for (char c : field) {
    if (c == '"')
      *s += '"';
    *s += c;
  }
  *s += '"';
}

void AppendJsonString(std::string* s, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  *s += '"';
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      *s += '\\';
      *s += c;
    } else if (u < 0x20) {
      *s += "\\u00";
      *s += kHex[u >> 4];
      *s += kHex[u & 15];
    } else {
      *s += c;
    }
  }
  *s += '"';
}

std::string Fixed(double value) {
  std::string s;
  AppendFixed(&s, value);
  return s;
}

std::string Triple(const Vec3& v, std::string_view separator) {
  std::string s;
  AppendFixed(&s, v.x);
  s += separator;
  AppendFixed(&s, v.y);
  s += separator;
  AppendFixed(&s, v.z);
  return s;
}

double Length(const Vec3& v) {
  return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

std::string RuleText(const ResidualRule& rule) {
  if (rule.max_residual > 0) {
    std::string s = "farther than ";
    AppendFixed(&s, rule.max_residual);
    return s + " m from the mean of the other points";
  }
  return "farther from the mean of the other points than 3 x their RMS (at least 0.001 m)";
}

// Walks the points in input order with their text columns, if any.
class PointWalk {
 public:
  explicit PointWalk(const ReportInput& in) : in_(in) {
    if (in_.spool != nullptr)
      ok_ = in_.spool->Rewind();
  }
  // Moves to the next point, in input order, with its passed-through text and its flag.
  bool Next() {
    const std::vector<Flag>& flags = in_.summary->flags;
    flag_ = next_flag_ < flags.size() && flags[next_flag_].index == points_ ? &flags[next_flag_++]
                                                                            : nullptr;
    ++points_;
    if (in_.spool != nullptr && ok_)
      ok_ = in_.spool->Read(&fields_);
    return ok_;
  }
  const std::vector<std::string>& fields() const { return fields_; }
  // The residual test's flag on this point, or null when it passed.
  const Flag* flag() const { return flag_; }
  std::string_view name() const {
    return in_.has_name && !fields_.empty() ? std::string_view(fields_[0]) : std::string_view();
  }

 private:
  const ReportInput& in_;
  bool ok_ = true;
  std::vector<std::string> fields_;
  std::size_t points_ = 0;     // points walked so far
  std::size_t next_flag_ = 0;  // the flags are in input order
  const Flag* flag_ = nullptr;
};

struct FlagNote {
  std::uint64_t line;
  std::string name;
  double distance;
  double limit;
};

bool WriteText(const ReportInput& in, Writer& w) {
  const Summary& s = *in.summary;
  const std::vector<Vec3>& shifts = *in.shifts;
  std::string& b = *w.buffer();
  if (s.count_all == 1) {
    b += "dx = ";
    AppendFixedWidth(&b, shifts[0].x, 12);
    b += " m\ndy = ";
    AppendFixedWidth(&b, shifts[0].y, 12);
    b += " m\ndz = ";
    AppendFixedWidth(&b, shifts[0].z, 12);
    w << " m\n";
    return true;
  }
  w << "    line          dx          dy          dz        vx        vy        vz         v"
    << (in.has_name ? "  name\n" : "\n");
  PointWalk walk(in);
  std::vector<FlagNote> notes;
  for (std::size_t i = 0; i < shifts.size(); ++i) {
    if (!walk.Next())
      return false;
    const std::uint64_t line = (*in.lines)[i];
    std::string number = std::to_string(line);
    if (number.size() < 8)
      b.append(8 - number.size(), ' ');
    b += number;
    AppendFixedWidth(&b, shifts[i].x, 12);
    AppendFixedWidth(&b, shifts[i].y, 12);
    AppendFixedWidth(&b, shifts[i].z, 12);
    const Vec3 v = Residual(shifts[i], s);
    AppendFixedWidth(&b, v.x, 10);
    AppendFixedWidth(&b, v.y, 10);
    AppendFixedWidth(&b, v.z, 10);
    AppendFixedWidth(&b, Length(v), 10);
    if (in.has_name) {
      b += "  ";
      b += walk.name();
    }
    if (const Flag* f = walk.flag(); f != nullptr) {
      notes.push_back({line, std::string(walk.name()), f->distance, f->limit});
      b += "  (flagged)";
    }
    w << '\n';
  }

  w << "\nresidual test: ";
  if (s.tested) {
    w << RuleText(in.rule) << '\n';
  } else {
    w << (in.rule.max_residual > 0 ? "not run (needs at least 2 points)\n"
                                   : "not run (needs at least 4 points)\n");
  }
  w << "mean of all " << static_cast<std::uint64_t>(s.count_all)
    << " points: dx, dy, dz = " << Triple(s.mean_all, ", ") << " m\n";
  for (const FlagNote& n : notes) {
    w << "flagged: line " << n.line;
    if (!n.name.empty())
      w << " (" << n.name << ")";
    std::string d;
    AppendFixed(&d, n.distance);
    d += " m from the mean of the others, limit ";
    AppendFixed(&d, n.limit);
    w << ", " << d << " m\n";
  }
  if (!notes.empty()) {
    if (in.rule.keep_all) {
      w << "flagged points kept in the mean (--keep-all)\n";
    } else if (s.undecided) {
      w << "the last 2 points disagree beyond the limit, neither can be singled out: both kept in "
           "the mean\n";
    }
    w << "mean of " << static_cast<std::uint64_t>(s.count_used)
      << " points: dx, dy, dz = " << Triple(s.mean, ", ") << " m\n";
  }
  std::string r;
  AppendFixed(&r, s.rms);
  w << "RMS of the residuals: " << r << " m (dx, dy, dz: " << Triple(s.rms_axis, ", ") << " m)\n";
  w << "+towgs84=" << Triple(s.mean, ",") << '\n';
  if (in.refused > 0)
    w << "lines refused: " << in.refused << " (see standard error)\n";
  return true;
}

bool WriteCsv(const ReportInput& in, Writer& w) {
  const Summary& s = *in.summary;
  const std::vector<Vec3>& shifts = *in.shifts;
  const char d = in.delimiter;
  std::string& b = *w.buffer();
  b += "line";
  for (const std::string& t : in.text_titles) {
    b += d;
    AppendCsvField(&b, t, d);
  }
  for (std::string_view t : {"dx", "dy", "dz", "vx", "vy", "vz", "v", "flagged"}) {
    b += d;
    b += t;
  }
  w << '\n';
  PointWalk walk(in);
  for (std::size_t i = 0; i < shifts.size(); ++i) {
    if (!walk.Next())
      return false;
    if ((*in.lines)[i] != 0)
      w << (*in.lines)[i];  // 0: the point came from the options
    for (const std::string& f : walk.fields()) {
      b += d;
      AppendCsvField(&b, f, d);
    }
    for (double value : {shifts[i].x, shifts[i].y, shifts[i].z}) {
      b += d;
      AppendShortest(&b, value);
    }
    const Vec3 v = Residual(shifts[i], s);
    for (double value : {v.x, v.y, v.z, Length(v)}) {
      b += d;
      AppendFixed(&b, value);
    }
    b += d;
    w << (walk.flag() != nullptr ? "1\n" : "0\n");
  }
  const std::string blanks(in.text_titles.size(), d);
  const std::string sep(1, d);
  w << "mean" << blanks << sep << Triple(s.mean, sep) << std::string(5, d) << '\n';
  std::string r;
  AppendFixed(&r, s.rms);
  w << "rms" << blanks << std::string(3, d) << sep << Triple(s.rms_axis, sep) << sep << r << sep
    << '\n';
  return true;
}

void AppendJsonTriple(std::string* b, const Vec3& v) {
  *b += "{\"dx\": ";
  AppendFixed(b, v.x);
  *b += ", \"dy\": ";
  AppendFixed(b, v.y);
  *b += ", \"dz\": ";
  AppendFixed(b, v.z);
  *b += '}';
}

bool WriteJson(const ReportInput& in, Writer& w) {
  const Summary& s = *in.summary;
  const std::vector<Vec3>& shifts = *in.shifts;
  std::string& b = *w.buffer();
  w << "{\n  \"points\": [";
  PointWalk walk(in);
  std::vector<FlagNote> notes;
  for (std::size_t i = 0; i < shifts.size(); ++i) {
    if (!walk.Next())
      return false;
    b += i == 0 ? "\n    {\"line\": " : ",\n    {\"line\": ";
    if ((*in.lines)[i] != 0) {
      w << (*in.lines)[i];
    } else {
      b += "null";  // the point came from the options
    }
    std::size_t first = 0;
    if (in.has_name) {
      b += ", \"name\": ";
      AppendJsonString(&b, walk.name());
      first = 1;
    }
    if (walk.fields().size() > first) {
      b += ", \"columns\": {";
      for (std::size_t c = first; c < walk.fields().size(); ++c) {
        if (c > first)
          b += ", ";
        AppendJsonString(&b, in.text_titles[c]);
        b += ": ";
        AppendJsonString(&b, walk.fields()[c]);
      }
      b += '}';
    }
    const char* const names[] = {", \"dx\": ", ", \"dy\": ", ", \"dz\": "};
    const double values[] = {shifts[i].x, shifts[i].y, shifts[i].z};
    for (int k = 0; k < 3; ++k) {
      b += names[k];
      AppendShortest(&b, values[k]);
    }
    const Vec3 v = Residual(shifts[i], s);
    const char* const residual_names[] = {", \"vx\": ", ", \"vy\": ", ", \"vz\": ", ", \"v\": "};
    const double residuals[] = {v.x, v.y, v.z, Length(v)};
    for (int k = 0; k < 4; ++k) {
      b += residual_names[k];
      AppendFixed(&b, residuals[k]);
    }
    const Flag* f = walk.flag();
    if (f != nullptr)
      notes.push_back({(*in.lines)[i], std::string(walk.name()), f->distance, f->limit});
    w << (f != nullptr ? ", \"flagged\": true}" : ", \"flagged\": false}");
  }
  w << "\n  ],\n  \"count\": " << static_cast<std::uint64_t>(s.count_all);
  b += ",\n  \"mean_all\": ";
  AppendJsonTriple(&b, s.mean_all);
  b += ",\n  \"residual_test\": ";
  if (!s.tested) {
    b += "null";
  } else if (in.rule.max_residual > 0) {
    b += "{\"max_residual\": ";
    AppendFixed(&b, in.rule.max_residual);
    b += '}';
  } else {
    b += "{\"rms_factor\": 3, \"floor\": 0.001}";
  }
  b += ",\n  \"flagged\": [";
  for (std::size_t k = 0; k < notes.size(); ++k) {
    b += k == 0 ? "{\"line\": " : ", {\"line\": ";
    w << notes[k].line;
    if (in.has_name) {
      b += ", \"name\": ";
      AppendJsonString(&b, notes[k].name);
    }
    b += ", \"distance\": ";
    AppendFixed(&b, notes[k].distance);
    b += ", \"limit\": ";
    AppendFixed(&b, notes[k].limit);
    b += '}';
  }
  b += "],\n  \"flagged_kept\": ";
  b += !notes.empty() && (in.rule.keep_all || s.undecided) ? "true" : "false";
  w << ",\n  \"used\": " << static_cast<std::uint64_t>(s.count_used);
  b += ",\n  \"mean\": ";
  AppendJsonTriple(&b, s.mean);
  b += ",\n  \"rms\": {\"v\": ";
  AppendFixed(&b, s.rms);
  b += ", \"vx\": ";
  AppendFixed(&b, s.rms_axis.x);
  b += ", \"vy\": ";
  AppendFixed(&b, s.rms_axis.y);
  b += ", \"vz\": ";
  AppendFixed(&b, s.rms_axis.z);
  b += "},\n  \"towgs84\": \"+towgs84=" + Triple(s.mean, ",") + "\"";
  w << ",\n  \"refused_lines\": " << in.refused << "\n}\n";
  return true;
}

}  // namespace

void AppendFixed(std::string* s, double value) {
  char text[400];  // room for any double in fixed notation
  auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4);
  std::string_view number(text, static_cast<std::size_t>(r.ptr - text));
  if (number == "-0.0000")
    number.remove_prefix(1);
  *s += number;
}

bool WriteReport(const ReportInput& in, std::FILE* out) {
  Writer w(out);
  const Vec3& m = in.summary->mean;
  switch (in.format) {
    case Format::kText:
      return WriteText(in, w);
    case Format::kCsv:
      return WriteCsv(in, w);
    case Format::kJson:
      return WriteJson(in, w);
    case Format::kTowgs84:
      w << "+towgs84=" << Triple(m, ",") << '\n';
      return true;
    case Format::kProj:
      w << "+proj=helmert +x=" << Fixed(m.x) << " +y=" << Fixed(m.y) << " +z=" << Fixed(m.z)
        << '\n';
      return true;
    case Format::kWkt:
      w << "TOWGS84[" << Triple(m, ",") << ",0,0,0,0]\n";
      return true;
  }
  return true;
}

}  // namespace zerb
