// The SVG serializer; see svg_writer.h.
#include "writers/svg_writer.h"

#include <charconv>
#include <cmath>

#include "text/translate.h"

namespace zerb {

SvgWriter::SvgWriter(Output* out, int decimals) : out_(out), decimals_(decimals) {
  *out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
}

void SvgWriter::Open(std::string_view name) {
  if (in_value_)
    EndValue();
  if (open_.empty() && root_written_) {
    Refuse(Fill(Tr("a second root element <{1}>"), name));
    return;
  }
  // A child on a line of its own; text keeps to its element's start tag.
  if (start_tag_open_)
    EndStartTag(true);
  *out_ << '<' << name;
  open_.emplace_back(name);
  start_tag_open_ = true;
  root_written_ = true;
}

void SvgWriter::Attribute(std::string_view name, std::string_view value) {
  StartValue(name);
  ValueText(value);
  EndValue();
}

void SvgWriter::Attribute(std::string_view name, double value) {
  StartValue(name);
  ValueNumber(value);
  EndValue();
}

void SvgWriter::StartValue(std::string_view name) {
  if (!start_tag_open_ || in_value_) {
    Refuse(Fill(Tr("attribute {1} outside a start tag"), name));
    return;
  }
  *out_ << ' ' << name << "=\"";
  attribute_ = name;
  in_value_ = true;
  after_number_ = false;
}

void SvgWriter::ValueText(std::string_view text) {
  if (!in_value_)
    return;
  Escaped(text, true);
  after_number_ = false;
}

void SvgWriter::ValueNumber(double value) {
  if (!in_value_)
    return;
  if (after_number_)
    *out_ << ' ';
  Number(value);
  after_number_ = true;
}

void SvgWriter::EndValue() {
  if (!in_value_)
    return;
  *out_ << '"';
  in_value_ = false;
}

void SvgWriter::Text(std::string_view text) {
  if (in_value_)
    EndValue();
  if (open_.empty()) {
    Refuse(Tr("text outside the root element"));
    return;
  }
  if (start_tag_open_)
    EndStartTag(false);
  Escaped(text, false);
}

void SvgWriter::Close() {
  if (in_value_)
    EndValue();
  if (open_.empty())
    return;
  if (start_tag_open_) {
    *out_ << "/>\n";
    start_tag_open_ = false;
  } else {
    *out_ << "</" << open_.back() << ">\n";
  }
  open_.pop_back();
}

Reason SvgWriter::Finish() {
  while (!open_.empty())
    Close();
  out_->Flush();
  return refused_;
}

void SvgWriter::EndStartTag(bool line_break) {
  *out_ << (line_break ? ">\n" : ">");
  start_tag_open_ = false;
}

void SvgWriter::Escaped(std::string_view text, bool in_attribute) {
  while (!text.empty()) {
    const std::size_t n = Utf8SequenceLength(text);
    if (n == 0) {
      *out_ << '?';
      text.remove_prefix(1);
      continue;
    }
    const std::string_view c = text.substr(0, n);
    text.remove_prefix(n);
    if (n > 1) {
      // U+FFFE and U+FFFF, EF BF BE and EF BF BF, are well-formed UTF-8 but not XML characters.
      const bool non_character = c == "\xEF\xBF\xBE" || c == "\xEF\xBF\xBF";
      *out_ << (non_character ? std::string_view("?") : c);
      continue;
    }
    const auto u = static_cast<unsigned char>(c[0]);
    switch (c[0]) {
      case '&':
        *out_ << "&amp;";
        break;
      case '<':
        *out_ << "&lt;";
        break;
      case '>':
        *out_ << "&gt;";
        break;
      case '"':
        *out_ << "&quot;";
        break;
      case '\t':
      case '\n':
      case '\r':
        *out_ << (in_attribute ? ' ' : c[0]);
        break;
      default:
        *out_ << (u < 0x20 || u == 0x7F ? '?' : c[0]);
    }
  }
}

void SvgWriter::Number(double value) {
  if (!std::isfinite(value)) {
    const char* what = std::isnan(value) ? "nan" : value > 0 ? "inf" : "-inf";
    // TRANSLATORS: {1} is nan, inf or -inf, {2} an attribute's name, {3} an element's.
    Refuse(Fill(Tr("a number that is not finite ({1}) in attribute {2} of <{3}>"), what, attribute_,
                open_.back()));
    *out_ << '0';
    return;
  }
  // Rounded here rather than by to_chars, which rounds the binary value half to even: 0.25 is
  // "0.3" at one decimal, as a reader of the picture would round it.
  const double scale = std::pow(10.0, decimals_);
  const double rounded = std::round(value * scale) / scale;
  if (std::isfinite(rounded))
    value = rounded;
  if (value == 0)
    value = 0;     // no "-0"
  char text[400];  // room for any double in fixed notation
  const auto r =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals_);
  std::string_view digits(text, static_cast<std::size_t>(r.ptr - text));
  if (digits.find('.') != std::string_view::npos) {
    while (digits.ends_with('0'))
      digits.remove_suffix(1);
    if (digits.ends_with('.'))
      digits.remove_suffix(1);
  }
  *out_ << digits;
}

void SvgWriter::Refuse(Reason reason) {
  if (refused_.empty())
    refused_ = std::move(reason);
}

}  // namespace zerb
