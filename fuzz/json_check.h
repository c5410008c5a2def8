// A strict check of JSON text as RFC 8259 defines it: one value, the exact grammar of numbers
// (no leading zeros, no '+', no bare point), strings of well-formed UTF-8 without raw control
// characters and with only the escapes the RFC lists, and nothing after the value but blanks.
// Hand-written because the fuzz build links nothing beyond the program's own libraries, and
// leniency here (as std::from_chars has for numbers) would hide exactly the faults looked for.
#ifndef ZERB_FUZZ_JSON_CHECK_H
#define ZERB_FUZZ_JSON_CHECK_H

#include <string_view>

namespace zerb::fuzz {

// Whether text is one JSON value; nesting deeper than 64 levels is refused too.
bool IsStrictJson(std::string_view text);

}  // namespace zerb::fuzz

#endif  // ZERB_FUZZ_JSON_CHECK_H
