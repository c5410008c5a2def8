// Splitting one line of a delimited table into its fields, and guessing the delimiter of a table
// from its header row.
//
// Fields are separated by one delimiter character and may be quoted with double quotes, a doubled
// quote standing for one quote; a quoted field cannot span lines.
#ifndef ZERB_READERS_CSV_FIELDS_H
#define ZERB_READERS_CSV_FIELDS_H

#include <string>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace zerb {

// Splits line at delim into fields. Unquoted fields are views into line; quoted fields with a
// doubled quote are unescaped into scratch, which is reserved to the line's length first so that
// the views stay valid until the next call.
Reason SplitCsvLine(std::string_view line, char delim, std::vector<std::string_view>* fields,
                    std::string* scratch);

// The delimiter of a table whose header row is line: of comma, tab and semicolon the one that
// occurs most often outside quotes; comma when none occurs.
char DetectDelimiter(std::string_view line);

// Excel writes every row as wide as the widest one, so rows may end in empty fields: drops the
// empty fields beyond the first count ones. Returns false when one of them is not empty.
bool DropTrailingEmpty(std::vector<std::string_view>* fields, std::size_t count);

}  // namespace zerb

#endif  // ZERB_READERS_CSV_FIELDS_H
