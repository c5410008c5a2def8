// The SVG serializer on its own: what it makes of XML's special characters, of Chinese text and
// of bytes that are not UTF-8, and of numbers that are not finite. The expected bytes follow
// XML 1.0's rules for character data and attribute values; librsvg's rsvg-convert, whose XML
// parser refuses a document that is not well-formed or not UTF-8, judges the documents too.
#include "writers/svg_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/cli/temp_folder.h"
#include "text/text.h"

namespace zerb::test {
namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// One text element holding text, with text as its class too, in a 100 × 20 picture.
std::string TextDocument(std::string_view text, Reason* refused = nullptr) {
  std::FILE* f = std::tmpfile();
  EXPECT_NE(f, nullptr);
  std::string doc;
  {
    Output out(f);
    SvgWriter svg(&out, 1);
    svg.Open("svg");
    svg.Attribute("xmlns", "http://www.w3.org/2000/svg");
    svg.Attribute("width", 100.0);
    svg.Attribute("height", 20.0);
    svg.Open("text");
    svg.Attribute("class", text);
    svg.Attribute("y", 15.0);
    svg.Text(text);
    const Reason reason = svg.Finish();
    if (refused != nullptr)
      *refused = reason;
  }
  std::rewind(f);
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
    doc.append(chunk, n);
  std::fclose(f);
  return doc;
}

std::string Expected(std::string_view attribute, std::string_view text) {
  return std::string(kDeclaration) +
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"20\">\n"
         "<text class=\"" +
         std::string(attribute) + "\" y=\"15\">" + std::string(text) + "</text>\n</svg>\n";
}

class SvgWriterDocument : public TempFolder {
 protected:
  // Whether rsvg-convert renders the document; true when it is not installed.
  bool Renders(const std::string& doc) const {
    if (std::system("command -v rsvg-convert >/dev/null 2>&1") != 0)
      return true;
    const std::string svg = Write("doc.svg", doc);
    return std::system(
               ("rsvg-convert -o '" + dir_ + "/doc.png' '" + svg + "' 2>/dev/null").c_str()) == 0;
  }
};

TEST_F(SvgWriterDocument, EscapesXmlSpecialsInAttributesAndText) {
  const std::string doc = TextDocument("R&D <1> \"a\" 'b'");
  EXPECT_EQ(doc,
            Expected("R&amp;D &lt;1&gt; &quot;a&quot; 'b'", "R&amp;D &lt;1&gt; &quot;a&quot; 'b'"));
  EXPECT_TRUE(Renders(doc));
}

TEST_F(SvgWriterDocument, KeepsChineseTextAndShowsBytesThatAreNotUtf8AsQuestionMarks) {
  const std::string chinese = "青龙岗 K12+400";
  EXPECT_EQ(TextDocument(chinese), Expected(chinese, chinese));

  // A Latin-1 byte, a lead byte cut short, a control character, an encoded surrogate (three bytes,
  // none of them a character) and U+FFFE, which is UTF-8 but not an XML character.
  const std::string doc = TextDocument(
      "A\xff"
      "B\xc3("
      "C\x01"
      "D\xed\xa0\x80"
      "E\xef\xbf\xbe"
      "F");
  EXPECT_EQ(doc, Expected("A?B?(C?D???E?F", "A?B?(C?D???E?F"));
  EXPECT_TRUE(IsValidUtf8(doc));
  EXPECT_TRUE(Renders(doc));
}

// A line break is kept in text, but in an attribute a reader takes it for a space anyway.
TEST_F(SvgWriterDocument, WritesXmlWhiteSpaceInAnAttributeAsSpaces) {
  EXPECT_EQ(TextDocument("a\tb\nc"), Expected("a b c", "a\tb\nc"));
}

TEST_F(SvgWriterDocument, NeverWritesANumberThatIsNotFinite) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  Reason refused;
  {
    Output out(f);
    SvgWriter svg(&out, 1);
    svg.Open("svg");
    svg.Attribute("xmlns", "http://www.w3.org/2000/svg");
    svg.Attribute("width", 100.0);
    svg.Attribute("height", 20.0);
    svg.Open("circle");
    svg.Attribute("r", NAN);
    svg.Close();
    svg.Open("path");
    svg.StartValue("d");
    svg.ValueText("M");
    svg.ValueNumber(INFINITY);
    svg.ValueNumber(-INFINITY);
    svg.ValueText("h");
    svg.ValueNumber(5);
    svg.EndValue();
    refused = svg.Finish();
  }
  std::rewind(f);
  char chunk[4096];
  const std::string doc(chunk, std::fread(chunk, 1, sizeof chunk, f));
  std::fclose(f);
  EXPECT_EQ(doc, std::string(kDeclaration) +
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"20\">\n"
                     "<circle r=\"0\"/>\n<path d=\"M0 0h5\"/>\n</svg>\n");
  // The first one refused is reported, so that no caller takes the picture for a good one.
  EXPECT_EQ(refused, "a number that is not finite (nan) in attribute r of <circle>");
  EXPECT_TRUE(Renders(doc));
}

// Plain decimals, so that every SVG reader takes them: no exponent, no "-0", rounded half away
// from zero to the writer's decimals.
TEST_F(SvgWriterDocument, WritesNumbersAsPlainDecimals) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  {
    Output out(f);
    SvgWriter svg(&out, 1);
    svg.Open("svg");
    svg.StartValue("d");
    for (const double v : {0.25, -0.25, -0.04, 12.0, 1e20, 1e-20, 3.14159})
      svg.ValueNumber(v);
    svg.EndValue();
    EXPECT_EQ(svg.Finish(), "");
  }
  std::rewind(f);
  char chunk[4096];
  const std::string doc(chunk, std::fread(chunk, 1, sizeof chunk, f));
  std::fclose(f);
  EXPECT_EQ(doc,
            std::string(kDeclaration) + "<svg d=\"0.3 -0.3 0 12 100000000000000000000 0 3.1\"/>\n");
}

}  // namespace
}  // namespace zerb::test
