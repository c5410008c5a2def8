// The driver of zerb-convert: the command line, the definition and its area, the input and the
// output files, and the exit status of what the library's ConvertPoints found. See run.h.
#include "convert/run.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "convert/command_line.h"
#include "crs/grid_conversion.h"
#include "points/convert_checks.h"
#include "readers/input_file.h"
#include "text/diagnostics.h"
#include "text/translate.h"
#include "writers/convert_points.h"

namespace zerb {
namespace {

constexpr std::string_view kVersion = "zerb-convert " ZERB_VERSION "\n";

// A whole file as bytes; the reason names it.
Reason ReadWhole(const std::string& name, std::string* text) {
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (f == nullptr)
    return OpenFailure(name, errno);
  char buffer[1 << 14];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    text->append(buffer, n);
  const bool failed = std::ferror(f) != 0;
  const int error = errno;
  std::fclose(f);
  if (failed)
    return Fill(Tr("cannot read {1}: {2}"), Printable(name), ErrnoText(error));
  return {};
}

bool Exists(const std::string& name) {
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (f == nullptr)
    return false;
  std::fclose(f);
  return true;
}

// The table goes to standard output, or to -o FILE, created only once the input's header is read.
class OutputOfCommandLine : public ConvertedOutput {
 public:
  OutputOfCommandLine(const std::string& name, std::FILE* out) : name_(name), out_(out) {}
  Reason Open(std::FILE** file) override {
    if (!name_.empty() && name_ != "-") {
      owned_.reset(std::fopen(name_.c_str(), "wb"));
      if (!owned_)
        return Fill(Tr("cannot write {1}: {2}"), Printable(name_), ErrnoText(errno));
      out_ = owned_.get();
    }
    *file = out_;
    return {};
  }
  std::string Name() const override {
    return name_.empty() ? std::string("<stdout>") : Printable(name_);
  }

 private:
  std::string name_;
  std::FILE* out_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> owned_{nullptr, &std::fclose};
};

}  // namespace

int RunConvert(const std::vector<std::string_view>& args, std::FILE* in, std::FILE* out,
               std::FILE* err) {
  StreamDiagnostics diagnostics(err, "zerb-convert");
  ConvertOptions o;
  if (Reason r = ParseConvertOptions(args, &o); !r.empty()) {
    diagnostics.Say(Fill(Tr("{1}\nTry 'zerb-convert --help' for more information."), r));
    return kConvertUsage;
  }
  if (o.help) {
    const std::string help = ConvertHelpText();
    std::fwrite(help.data(), 1, help.size(), out);
    return kConvertOk;
  }
  if (o.version) {
    std::fwrite(kVersion.data(), 1, kVersion.size(), out);
    return kConvertOk;
  }

  std::string definition;
  if (Reason r = ReadWhole(o.definition, &definition); !r.empty()) {
    diagnostics.Say(r);
    return kConvertUsage;
  }
  crs::GridConversion conversion;
  if (Reason r = conversion.Open(definition); !r.empty()) {
    // TRANSLATORS: {1} is the definition's file name, {2} the reason.
    diagnostics.Say(Fill(Tr("{1}: {2}"), Printable(o.definition), r));
    return kConvertUsage;
  }
  GridArea area;
  bool has_area = false;
  if (const std::string area_file = o.definition + ".area"; Exists(area_file)) {
    std::string text;
    Reason r = ReadWhole(area_file, &text);
    if (r.empty())
      r = ParseArea(text, &area);
    if (!r.empty()) {
      diagnostics.Say(Fill(Tr("{1}: {2}"), Printable(area_file), r));
      return kConvertUsage;
    }
    has_area = true;
  }

  InputFile input;
  if (Reason r = input.Open(o.input, in); !r.empty()) {
    diagnostics.Say(r);
    return kConvertUsage;
  }
  const std::string source = o.input.empty() || o.input == "-" ? "<stdin>" : Printable(o.input);
  ConvertSettings settings = o.settings;
  settings.area = has_area ? &area : nullptr;
  OutputOfCommandLine output(o.output, out);
  ConvertCounts counts;
  if (Reason r =
          ConvertPoints(&conversion, settings, input, source, &diagnostics, &output, &counts);
      !r.empty()) {
    diagnostics.Say(r);
    return kConvertUsage;
  }
  diagnostics.Say(ConvertSummary(counts, has_area));
  if (o.settings.round_trip && counts.converted > 0)
    diagnostics.Say(RoundTripSummary(counts.round_trip));
  if (counts.converted == 0)
    return kConvertNoPoint;
  return counts.refused > 0 ? kConvertRefused : kConvertOk;
}

}  // namespace zerb
