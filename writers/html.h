// The pieces every HTML report is made of: the document's head with its screen and print style
// sheet, the foot, and text made safe for HTML. The reports themselves (html_report.cpp for the
// three- and seven-parameter fits, plane_html.cpp for the plane model) fill the sections.
//
// Written by hand rather than through a template library: the documents are a few fixed sections
// of tables, and every text from the input passes through Escaped.
#ifndef ZERB_WRITERS_HTML_H
#define ZERB_WRITERS_HTML_H

#include <string>
#include <string_view>

#include "writers/limit_tally.h"
#include "writers/output.h"
#include "writers/report.h"

namespace zerb {

// Text as HTML character data or an attribute value.
std::string Escaped(std::string_view text);

// Opens the document: its language from the catalogue, its title (with the input's name, source)
// in the head and as the first heading, and the line saying when and by which program it was
// made (made_by). The report's classes carry the prefix z-, which no inline picture's style sheet
// uses: a picture's style applies to the whole document.
void WriteHtmlHead(Output& out, std::string_view title, std::string_view source,
                   const std::string& made_by);
// Closes the document with made_by again as its foot.
void WriteHtmlFoot(Output& out, const std::string& made_by);

// "made 2026-12-09 10:00 UTC by zerb-shift 1.0": the date in UTC, SOURCE_DATE_EPOCH standing for
// now where set, so that the same input gives the same file (as reproducible builds ask of every
// generated file).
std::string MadeBy(std::string_view program);

// A section's heading, a table row of a label and its value, a number's cell.
void WriteHeading(Output& out, const char* title);
void Fact(Output& out, const char* label, std::string_view value);
void Cell(Output& out, const std::string& text);

// What was said about the input (every refused line with its file, line and reason, the first
// KeepingDiagnostics::kMaxKept of them) and the names found in one file only.
void WriteSaid(const ReportInput& in, Output& out);
// The residual limits' verdict under the residual table, and each point outside them.
void WriteLimits(const LimitTally& limits, Output& out);

}  // namespace zerb

#endif  // ZERB_WRITERS_HTML_H
