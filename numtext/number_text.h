// The text form of numbers, one grammar for the dialog's fields and zerb-shift's cells alike.
// Doubles are written with the fewest digits that read back to the same bits (plain decimals for
// survey magnitudes, exponent form beyond), so a value survives any number of write-read cycles
// unchanged; the readers accept everything the writers produce, "inf", "-inf" and "nan" included.
// zerb-shift's stricter rules for coordinates (no exponent, finite) sit on top of these readers.
//
// Readers take the field's text as UTF-8. Leading and trailing blanks are allowed, anything else
// around the number is refused. Full-width forms of the ASCII characters (digits, signs, decimal
// point, letters, as a Chinese input method types them) and the ideographic space read as their
// ASCII forms. An int that does not fit is refused, never wrapped. An int zero written with a
// minus sign ("-0") is refused too: an int cannot keep that sign, and in a degrees field it is
// the sign of the whole angle, so dropping it would silently move the point to the other side.
#ifndef ZERB_NUMTEXT_NUMBER_TEXT_H
#define ZERB_NUMTEXT_NUMBER_TEXT_H

#include <optional>
#include <string>
#include <string_view>

namespace zerb::numtext {

std::string FormatDouble(double value);
std::string FormatInt(int value);
std::optional<double> ParseDouble(std::string_view text);
std::optional<int> ParseInt(std::string_view text);
// True for the one int text that reads as a number but is refused for its sign: zero with a minus.
bool IsMinusZeroInt(std::string_view text);
// The text with the full-width ASCII forms (U+FF01..U+FF5E) and the ideographic space (U+3000)
// turned into their ASCII characters; every other byte unchanged. The readers above fold first.
std::string FoldToAscii(std::string_view text);
// The same without a copy where nothing is to fold: text itself when it is plain ASCII (nearly
// every cell is), else its folded form, kept in *storage.
std::string_view FoldedToAscii(std::string_view text, std::string* storage);

}  // namespace zerb::numtext

#endif  // ZERB_NUMTEXT_NUMBER_TEXT_H
