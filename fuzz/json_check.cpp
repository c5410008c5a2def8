// RapidJSON's parser over the text, building nothing; see json_check.h.
#include "fuzz/json_check.h"

#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

namespace zerb::fuzz {

bool IsStrictJson(std::string_view text) {
  // A memory stream, not Parse(text, length): that one passes over a byte order mark and takes
  // a NUL byte for the end of the text. Iterative, so that deep nesting cannot exhaust the stack.
  rapidjson::MemoryStream in(text.data(), text.size());
  rapidjson::BaseReaderHandler<> ignore;
  rapidjson::Reader reader;
  constexpr unsigned kFlags = rapidjson::kParseValidateEncodingFlag |
                              rapidjson::kParseIterativeFlag | rapidjson::kParseStopWhenDoneFlag;
  return reader.Parse<kFlags>(in, ignore) &&
         text.find_first_not_of(" \t\n\r", in.Tell()) == std::string_view::npos;
}

}  // namespace zerb::fuzz
