// An SVG document written as it is made, through Output: elements opened and closed in order,
// attributes, text and numbers. Whatever text it is given, what it writes is well-formed XML in
// valid UTF-8: '&', '<', '>' and '"' are escaped; bytes that are not UTF-8 (by the tree's one
// check, Utf8SequenceLength), control characters and the non-characters U+FFFE and U+FFFF, which
// XML does not allow, become '?' as in the program's messages. Tab, line feed and carriage return
// are XML's own white space: kept in text, written as a space in an attribute, which is what a
// reader of the attribute makes of them anyway.
//
// Numbers are plain decimals with at most the writer's number of decimals, rounded half away from
// zero, trailing zeros dropped, never "-0" and never an exponent. A number that is not finite is
// never written: "0" stands in its place, so that the document stays well-formed, and Finish
// reports it. Element and attribute names are the caller's constants and are written as given.
#ifndef ZERB_WRITERS_SVG_WRITER_H
#define ZERB_WRITERS_SVG_WRITER_H

#include <string>
#include <string_view>
#include <vector>

#include "text/text.h"
#include "writers/output.h"

namespace zerb {

class SvgWriter {
 public:
  // Writes the XML declaration to out, which must outlive the writer.
  SvgWriter(Output* out, int decimals);
  SvgWriter(const SvgWriter&) = delete;
  SvgWriter& operator=(const SvgWriter&) = delete;

  // Starts an element inside the current one, or the root; its start tag takes attributes until
  // the element gets content. A second root is refused.
  void Open(std::string_view name);
  void Attribute(std::string_view name, std::string_view value);
  void Attribute(std::string_view name, double value);

  // An attribute value made of pieces, for path data and lists of numbers: two numbers in a row
  // are parted by a space, a piece of text and a number are not ("M10 20h5").
  void StartValue(std::string_view name);
  void ValueText(std::string_view text);
  void ValueNumber(double value);
  void EndValue();

  // Character data inside the current element.
  void Text(std::string_view text);

  // Ends the current element: "/>" when it has no content, else its end tag.
  void Close();

  // Closes every element still open and flushes out. The first thing refused on the way (a number
  // that is not finite, an attribute with no start tag open, text outside the root, a second
  // root), or empty.
  Reason Finish();

 private:
  void EndStartTag(bool line_break);
  void Escaped(std::string_view text, bool in_attribute);
  void Number(double value);
  void Refuse(Reason reason);

  Output* out_;
  int decimals_;
  std::vector<std::string> open_;  // names of the elements open, outermost first
  bool root_written_ = false;
  bool start_tag_open_ = false;
  bool in_value_ = false;
  bool after_number_ = false;
  std::string attribute_;  // the attribute being written, for a refusal's message
  Reason refused_;
};

}  // namespace zerb

#endif  // ZERB_WRITERS_SVG_WRITER_H
