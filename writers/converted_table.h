// The table zerb-convert writes: the input's rows with every column as it came, in its order,
// and the converted coordinates. A CSV keeps the input's columns and delimiter; the converted
// coordinates replace the other side's columns where the table has them, else come as three
// columns after the others, titled in the language of its titles (Chinese titles
// get 纬度,经度,大地高 or X坐标,Y坐标,高程, English ones B,L,H or E,N,h), so that the result reads
// back into zerb-shift as a table of common points. A CASS .dat out has name,code,E,N,H and no
// header, the name and the code as read. Angles are written in the form asked for, lengths to
// 0.1 mm; the encoding is UTF-8 (with or without a byte-order mark) or GB18030, through iconv.
#ifndef ZERB_WRITERS_CONVERTED_TABLE_H
#define ZERB_WRITERS_CONVERTED_TABLE_H

#include <iconv.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "readers/angle.h"
#include "readers/columns.h"
#include "text/text.h"

namespace zerb {

enum class OutputEncoding { kUtf8, kUtf8Bom, kGb18030 };
enum class OutputForm { kCsv, kCass };

// "utf-8" (or "utf8"), "utf-8-bom", "gb18030" (or "gbk"), any case.
Reason ParseOutputEncoding(std::string_view text, OutputEncoding* encoding);
// "csv" or "cass".
Reason ParseOutputForm(std::string_view text, OutputForm* form);

// An angle in decimal degrees as the format writes it: degrees (and auto) with 10 decimals
// (1e-10 degree is 0.01 mm), dms as 39:54:44.442000 and dd.mmss as 39.544442000, the seconds
// to 1e-6 (0.03 mm), a leading minus for a negative angle.
std::string FormatAngle(double degrees, AngleFormat format);
// Metres with 4 decimals.
std::string FormatMetres(double metres);

// The titles of the three columns a converted CSV gets: to_gnss for latitude, longitude and
// ellipsoidal height, else north, east and grid height (Chinese) or east, north, height
// (English), in the language of the file's titles (Chinese when one of the titles that were
// read as coordinates is not ASCII).
std::vector<std::string> AddedTitles(const Columns& columns, bool to_gnss);

// Where a table that holds the other side's columns already (a table of common points, or one
// zerb-convert wrote) has them, so that the converted values replace them in place: latitude,
// longitude and ellipsoidal height when to_gnss, else north, east and grid height. False when
// the titles do not name all three; the converted columns are then added after the others.
bool OtherSideColumns(const Columns& columns, bool to_gnss, int index[3]);

// The column holding a point's code, for a CASS .dat written from a CSV: the one titled code,
// 编码, 代码 or 编码/代码 (any case); -1 when there is none.
int CodeColumn(const Columns& columns);

class ConvertedTableWriter {
 public:
  ConvertedTableWriter(std::FILE* out, OutputEncoding encoding, char delimiter);
  ConvertedTableWriter(const ConvertedTableWriter&) = delete;
  ConvertedTableWriter& operator=(const ConvertedTableWriter&) = delete;
  ~ConvertedTableWriter();

  // One row of cells, quoted where a cell holds the delimiter or a quote. A cell that GB18030
  // cannot hold is refused (none can fail: GB18030 covers Unicode).
  Reason Row(const std::vector<std::string>& cells);
  Reason Row(const std::vector<std::string>& cells, const std::vector<std::string>& more);
  bool failed() const { return std::ferror(out_) != 0; }
  // Ends the lines in "\r\n", as the input's were.
  void set_crlf(bool crlf) { line_end_ = crlf ? "\r\n" : "\n"; }

 private:
  Reason Write(const std::string& line);

  std::FILE* out_;
  OutputEncoding encoding_;
  char delimiter_;
  const char* line_end_ = "\n";
  bool started_ = false;
  iconv_t to_gb18030_ = reinterpret_cast<iconv_t>(-1);
  std::string line_;
  std::string converted_;
};

}  // namespace zerb

#endif  // ZERB_WRITERS_CONVERTED_TABLE_H
