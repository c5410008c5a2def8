// The common-point table: splitting a CSV line into fields, the header that names the columns,
// and turning one row's fields into the dialog's ShiftForm.
//
// Fields are separated by one delimiter character (comma by default) and may be quoted with
// double quotes, a doubled quote standing for one quote; a quoted field cannot span lines. The
// header names the columns x, y, h, L0, B, L and H (case matters: h is the local height, H the
// WGS-84 one), optionally name or id (any case), in any order; every other column is passed
// through to the output unchanged. L0 may be missing when every easting carries its zone number
// or a default central meridian is given.
#ifndef ZERB_CLI_CSV_H
#define ZERB_CLI_CSV_H

#include <string>
#include <string_view>
#include <vector>

#include "geodesy/geodesy.h"

namespace zerb {

// Splits line at delim into fields. Unquoted fields are views into line; quoted fields with a
// doubled quote are unescaped into scratch, which is reserved to the line's length first so that
// the views stay valid until the next call. Returns an empty string or the reason of refusal.
std::string SplitCsvLine(std::string_view line, char delim, std::vector<std::string_view>* fields,
                         std::string* scratch);

enum Column { kX, kY, kGridH, kL0, kB, kL, kGeoH, kColumnCount };
inline constexpr std::string_view kColumnNames[kColumnCount] = {"x", "y", "h", "L0", "B", "L", "H"};

struct CsvHeader {
  int column[kColumnCount] = {-1, -1, -1, -1, -1, -1, -1};  // field index, -1 when absent
  int name = -1;                                            // the name or id column
  std::vector<int> passed_through;                          // other columns, in order
  std::vector<std::string> titles;                          // every column's title as read
};

// Reads the header row. Returns an empty string or the reason of refusal.
std::string ParseHeader(const std::vector<std::string_view>& fields, CsvHeader* header);

// The values of one common point as typed: the seven texts, empty where a column is absent.
struct PointText {
  std::string_view value[kColumnCount];
};

inline constexpr int kNoMeridian = -1000;

// Fills form's inputs from the texts so that ComputeShift gives the dialog's bits for the same
// typed values. default_meridian (kNoMeridian when none) stands in for an absent or empty L0.
// Returns an empty string or the reason of refusal, naming the column.
std::string BuildForm(const PointText& text, int default_meridian, ShiftForm* form);

}  // namespace zerb

#endif  // ZERB_CLI_CSV_H
