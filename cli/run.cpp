// The driver of zerb-shift: parse, compute each point with ComputeShift, summarise, report.
#include "cli/run.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "cli/csv.h"
#include "cli/grid.h"
#include "cli/line_reader.h"
#include "cli/options.h"
#include "cli/report.h"
#include "cli/statistics.h"
#include "cli/text_spool.h"
#include "geodesy/geodesy.h"

namespace zerb {
namespace {

constexpr std::string_view kProgram = "zerb-shift";
constexpr std::string_view kVersion = "zerb-shift " ZERB_VERSION "\n";

void Say(std::FILE* err, const std::string& message) {
  std::fprintf(err, "%.*s: %s\n", static_cast<int>(kProgram.size()), kProgram.data(),
               message.c_str());
}

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

Vec3 Compute(ShiftForm* form) {
  ComputeShift(*form);
  return {form->m_dx, form->m_dy, form->m_dz};
}

// The points read so far, a few numbers each, and the text columns in the spool.
struct Points {
  std::vector<Vec3> shifts;
  std::vector<std::uint64_t> lines;
  std::uint64_t refused = 0;
};

// Reads the CSV table. Returns kExitOk, or the exit status of a failure already reported.
int ReadTable(const Options& o, std::FILE* in, const std::string& source, std::FILE* err,
              Points* points, CsvHeader* header, TextSpool* spool) {
  LineReader reader(in);
  std::string_view line;
  std::vector<std::string_view> fields;
  std::vector<std::string_view> text;
  std::string scratch;
  const auto where = [&source, &reader] {
    return source + ", line " + std::to_string(reader.number()) + ": ";
  };

  bool have_header = false;
  while (!have_header && reader.Next(&line)) {
    if (IsBlankLine(line))
      continue;
    std::string error = reader.too_long() ? "header row longer than 1 MiB"
                                          : SplitCsvLine(line, o.delimiter, &fields, &scratch);
    if (error.empty())
      error = ParseHeader(fields, header);
    if (!error.empty()) {
      Say(err, where() + error);
      return kExitNoPoint;
    }
    have_header = true;
  }
  const bool has_text = header->name >= 0 || !header->passed_through.empty();
  if (have_header && has_text && !spool->Open()) {
    Say(err, "cannot create a temporary file: " + std::string(std::strerror(errno)));
    return kExitUsage;
  }

  while (have_header && reader.Next(&line)) {
    if (IsBlankLine(line))
      continue;
    std::string error;
    PointText values;
    ShiftForm form;
    if (reader.too_long()) {
      error = "line longer than 1 MiB";
    } else if (error = SplitCsvLine(line, o.delimiter, &fields, &scratch); error.empty()) {
      if (fields.size() != header->titles.size()) {
        error = std::to_string(fields.size()) + " fields where the header has " +
                std::to_string(header->titles.size());
      } else {
        for (int c = 0; c < kColumnCount; ++c) {
          if (header->column[c] >= 0)
            values.value[c] = fields[header->column[c]];
        }
        if (!o.value[kL0]) {
          error = BuildForm(values, kNoMeridian, &form);
        } else {
          int meridian = kNoMeridian;
          ParseCentralMeridian(*o.value[kL0], &meridian);  // checked before reading
          error = BuildForm(values, meridian, &form);
        }
      }
    }
    if (!error.empty()) {
      Say(err, where() + error);
      ++points->refused;
      continue;
    }
    points->shifts.push_back(Compute(&form));
    points->lines.push_back(reader.number());
    if (has_text) {
      text.clear();
      if (header->name >= 0)
        text.push_back(fields[header->name]);
      for (int c : header->passed_through)
        text.push_back(fields[c]);
      if (!spool->Append(text)) {
        Say(err, "cannot write the temporary file: " + std::string(std::strerror(errno)));
        return kExitUsage;
      }
    }
  }
  if (reader.failed()) {
    Say(err, source + ": read error: " + std::strerror(errno));
    return kExitUsage;
  }
  if (!have_header) {
    Say(err, source +
                 ": no usable point: the input is empty (a header row naming the columns "
                 "x, y, h, B, L, H is expected)");
    return kExitNoPoint;
  }
  return kExitOk;
}

}  // namespace

int RunShift(const std::vector<std::string_view>& args, std::FILE* in, std::FILE* out,
             std::FILE* err) {
  Options o;
  if (std::string error = ParseOptions(args, &o); !error.empty()) {
    Say(err, error + "\nTry 'zerb-shift --help' for more information.");
    return kExitUsage;
  }
  if (o.help) {
    std::fwrite(HelpText().data(), 1, HelpText().size(), out);
    return kExitOk;
  }
  if (o.version) {
    std::fwrite(kVersion.data(), 1, kVersion.size(), out);
    return kExitOk;
  }
  if (o.value[kL0]) {
    int meridian;
    if (std::string error = ParseCentralMeridian(*o.value[kL0], &meridian); !error.empty()) {
      Say(err, "--L0 '" + *o.value[kL0] + "': " + error);
      return kExitUsage;
    }
  }

  Points points;
  CsvHeader header;
  TextSpool spool;
  std::string source = o.input.empty() || o.input == "-" ? "<stdin>" : o.input;
  if (o.single) {
    PointText values;
    for (int c = 0; c < kColumnCount; ++c) {
      if (o.value[c])
        values.value[c] = *o.value[c];
    }
    ShiftForm form;
    if (std::string error = BuildForm(values, kNoMeridian, &form); !error.empty()) {
      Say(err, "the point is refused: " + error);
      return kExitNoPoint;
    }
    points.shifts.push_back(Compute(&form));
    points.lines.push_back(0);
  } else {
    std::FILE* file = in;
    if (source != "<stdin>") {
      file = std::fopen(o.input.c_str(), "rb");
      if (file == nullptr) {
        Say(err, "cannot open " + o.input + ": " + std::strerror(errno));
        return kExitUsage;
      }
    }
    const int status = ReadTable(o, file, source, err, &points, &header, &spool);
    if (file != in)
      std::fclose(file);
    if (status != kExitOk)
      return status;
    if (points.shifts.empty()) {
      Say(err, source + ": no usable point (" + std::to_string(points.refused) + " lines refused)");
      return kExitNoPoint;
    }
  }

  const Summary summary = Summarize(points.shifts, o.rule);
  ReportInput report;
  report.format = o.format;
  report.delimiter = o.delimiter;
  report.shifts = &points.shifts;
  report.lines = &points.lines;
  report.summary = &summary;
  report.rule = o.rule;
  report.refused = points.refused;
  if (header.name >= 0) {
    report.has_name = true;
    report.text_titles.push_back(header.titles[header.name]);
  }
  for (int c : header.passed_through)
    report.text_titles.push_back(header.titles[c]);
  if (!report.text_titles.empty())
    report.spool = &spool;
  if (!WriteReport(report, out)) {
    Say(err, "cannot read the temporary file back");
    return kExitUsage;
  }
  const bool export_only =
      o.format == Format::kTowgs84 || o.format == Format::kProj || o.format == Format::kWkt;
  if (export_only && !summary.flags.empty()) {
    // The exports carry no report: say on standard error that points were flagged.
    const bool one = summary.flags.size() == 1;
    std::string lines;
    for (const Flag& f : summary.flags)
      lines += " " + std::to_string(points.lines[f.index]);
    const std::size_t left_out = summary.count_all - summary.count_used;
    const std::string fate = left_out == 0 ? "kept in the mean"
                             : left_out < summary.flags.size()
                                 ? std::to_string(left_out) + " left out of the mean"
                                 : "left out of the mean";
    Say(err, "note: " + std::to_string(summary.flags.size()) + (one ? " point" : " points") +
                 " flagged by the residual test, " + fate + " (line" + (one ? "" : "s") + lines +
                 "); --format text shows the report");
  }
  if (std::fflush(out) != 0 || std::ferror(out)) {
    Say(err, "cannot write the output: " + std::string(std::strerror(errno)));
    return kExitUsage;
  }
  return points.refused > 0 ? kExitRefused : kExitOk;
}

}  // namespace zerb
