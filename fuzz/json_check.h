// A strict check of JSON text as RFC 8259 defines it, by RapidJSON's parser with none of its
// extensions (no comments, no trailing commas, no NaN) and with its check that every string is
// well-formed UTF-8; one value and nothing after it but blanks.
#ifndef ZERB_FUZZ_JSON_CHECK_H
#define ZERB_FUZZ_JSON_CHECK_H

#include <string_view>

namespace zerb::fuzz {

// Whether text is one JSON value.
bool IsStrictJson(std::string_view text);

}  // namespace zerb::fuzz

#endif  // ZERB_FUZZ_JSON_CHECK_H
