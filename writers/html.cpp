// The pieces of the HTML reports; see html.h.
#include "writers/html.h"

#include <cstdlib>
#include <ctime>
#include <string>

#include "text/translate.h"
#include "writers/report.h"

namespace zerb {
namespace {

constexpr const char* kStyle = R"(
body { font-family: "Noto Sans CJK SC", "Source Han Sans SC", "Noto Sans", sans-serif;
       font-size: 10.5pt; color: #1a1a1a; margin: 2em auto; max-width: 60em; }
h1 { font-size: 16pt; margin-bottom: 0.2em; }
h2 { font-size: 12.5pt; border-bottom: 1px solid #888; margin-top: 1.4em; }
table { border-collapse: collapse; margin: 0.4em 0; }
th, td { border: 1px solid #aaa; padding: 1px 6px; }
th { background: #eee; font-weight: 600; }
td.z-num { text-align: right; white-space: nowrap; }
table.z-facts th { text-align: left; }
tr.z-flagged td { background: #fbe0e0; }
tr.z-check td { background: #e0e8fb; }
p.z-warning { color: #8a1f11; font-weight: 600; }
pre { white-space: pre-wrap; overflow-wrap: anywhere; font-size: 8.5pt; background: #f6f6f6;
      padding: 0.5em; border: 1px solid #ddd; }
figure { margin: 0.5em 0; }
figure svg { max-width: 100%; height: auto; border: 1px solid #ddd; }
footer { margin-top: 2em; font-size: 9pt; color: #555; }
@media print {
  @page { size: A4; margin: 15mm 12mm; }
  body { margin: 0; max-width: none; font-size: 9.5pt; }
  h2 { break-after: avoid-page; }
  tr, figure, pre, table.z-facts { break-inside: avoid-page; }
  thead { display: table-header-group; }
}
)";

}  // namespace

std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void Fact(Output& out, const char* label, std::string_view value) {
  out << "<tr><th>" << Escaped(label) << "</th><td>" << Escaped(value) << "</td></tr>\n";
}

void Cell(Output& out, const std::string& text) {
  out << "<td class=\"z-num\">" << Escaped(text) << "</td>";
}

namespace {

std::string Today() {
  std::time_t now = std::time(nullptr);
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch != nullptr && *epoch != '\0')
    now = static_cast<std::time_t>(std::strtoll(epoch, nullptr, 10));
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &utc);
  return text;
}

}  // namespace

std::string MadeBy(std::string_view program) {
  return Fill(Tr("made {1} by {2}"), Today(), program);
}

void WriteHeading(Output& out, const char* title) {
  out << "<h2>" << Escaped(title) << "</h2>\n";
}

void WriteHtmlHead(Output& out, std::string_view title, std::string_view source,
                   const std::string& made_by) {
  // TRANSLATORS: the language tag of the HTML report (BCP 47): en for English, zh-CN for Chinese.
  const char* const language = Tr("en");
  out << "<!DOCTYPE html>\n<html lang=\"" << Escaped(language)
      << "\">\n<head>\n<meta charset=\"utf-8\">\n<title>" << Escaped(title) << " - "
      << Escaped(source) << "</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n";
  out << "<h1>" << Escaped(title) << "</h1>\n<p>" << Escaped(made_by) << "</p>\n";
}

void WriteHtmlFoot(Output& out, const std::string& made_by) {
  out << "<footer>" << Escaped(made_by) << "</footer>\n</body>\n</html>\n";
}

void WriteSaid(const ReportInput& in, Output& out) {
  const InputSummary& input = *in.input;
  if (in.diagnostics != nullptr && !in.diagnostics->empty()) {
    out << "<p>" << Escaped(Tr("What was said about the input:")) << "</p>\n<ul>\n";
    for (const KeepingDiagnostics::Kept& k : *in.diagnostics) {
      // Worded as on standard error, so that the report and the terminal read alike.
      std::string said = k.text;
      if (!k.source.empty())
        said = k.line > 0 ? Fill(Tr("{1}, line {2}: {3}"), k.source, k.line, k.text)
                          : k.source + ": " + k.text;
      out << "<li>" << Escaped(said) << "</li>\n";
    }
    out << "</ul>\n";
  }
  for (const LeftOut& l : input.left_out) {
    out << "<p>"
        << Escaped(
               Fill(Tr("left out by the user: {1} ({2}, line {3})"), l.name, input.source, l.line))
        << "</p>\n";
  }
  for (const Unpaired& u : input.unpaired) {
    out << "<p>"
        << Escaped(Fill(Tr("unpaired: {1} ({2}, line {3}) is not in {4}"), u.name,
                        u.in_grid ? input.source : input.wgs84_source, u.line,
                        u.in_grid ? input.wgs84_source : input.source))
        << "</p>\n";
  }
}

void WriteLimits(const LimitTally& limits, Output& out) {
  out << (limits.outside().empty() ? "<p>" : "<p class=\"z-warning\">") << Escaped(limits.Verdict())
      << "</p>\n";
  if (limits.outside().empty())
    return;
  out << "<ul>\n";
  for (const std::string& line : limits.outside())
    out << "<li>" << Escaped(line) << "</li>\n";
  out << "</ul>\n";
}

}  // namespace zerb
