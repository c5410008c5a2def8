// Delimited fields; see csv_fields.h.
#include "readers/csv_fields.h"

#include "text/translate.h"

namespace zerb {

Reason SplitCsvLine(std::string_view line, char delim, std::vector<std::string_view>* fields,
                    std::string* scratch) {
  fields->clear();
  scratch->clear();
  scratch->reserve(line.size());
  std::size_t i = 0;
  while (true) {
    std::size_t start = i;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t') &&
           line[start] != delim) {
      ++start;
    }
    if (start < line.size() && line[start] == '"') {
      const std::size_t begin = scratch->size();
      std::size_t j = start + 1;
      while (true) {
        if (j >= line.size())
          return Tr("unterminated quoted field");
        if (line[j] == '"') {
          if (j + 1 < line.size() && line[j + 1] == '"') {
            scratch->push_back('"');
            j += 2;
            continue;
          }
          ++j;
          break;
        }
        scratch->push_back(line[j++]);
      }
      while (j < line.size() && (line[j] == ' ' || line[j] == '\t') && line[j] != delim)
        ++j;
      if (j < line.size() && line[j] != delim)
        return Tr("text after a closing quote");
      fields->emplace_back(scratch->data() + begin, scratch->size() - begin);
      if (j >= line.size())
        return {};
      i = j + 1;
    } else {
      const std::size_t end = line.find(delim, i);
      if (end == std::string_view::npos) {
        fields->push_back(line.substr(i));
        return {};
      }
      fields->push_back(line.substr(i, end - i));
      i = end + 1;
    }
  }
}

char DetectDelimiter(std::string_view line) {
  std::size_t comma = 0, tab = 0, semicolon = 0;
  bool quoted = false;
  for (char c : line) {
    if (c == '"')
      quoted = !quoted;
    if (quoted)
      continue;
    comma += c == ',';
    tab += c == '\t';
    semicolon += c == ';';
  }
  if (tab > comma && tab >= semicolon)
    return '\t';
  if (semicolon > comma && semicolon > tab)
    return ';';
  return ',';
}

bool DropTrailingEmpty(std::vector<std::string_view>* fields, std::size_t count) {
  while (fields->size() > count) {
    if (!Trim(fields->back()).empty())
      return false;
    fields->pop_back();
  }
  return true;
}

}  // namespace zerb
