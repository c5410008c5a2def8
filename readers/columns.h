// The columns of a common-point table: which header titles name which value, in English or
// Chinese, and the fixed order of a CASS .dat file.
//
// Titles (blanks around them ignored): name: name, id, 点名, 点号; north: x, X, N, 北坐标, X坐标,
// 纵坐标, Northing; east: y, Y, E, 东坐标, Y坐标, 横坐标, Easting; grid height: h, 高程, 正常高,
// 高程h, 正常高h; central meridian: L0, 中央子午线; latitude: B, lat, Latitude, 纬度, 纬度B;
// longitude: L, lon, Longitude, 经度, 经度L; WGS-84 height: H, 大地高, 椭球高, 大地高H; role:
// role. Words (name, id, Northing, Easting, lat, Latitude, lon, Longitude, role) in any case,
// letters exactly as listed. 纵 (ordinate) is x north and 横 (abscissa) y east, as Chinese
// surveying names the axes. In a table holding both sides the case of h and H tells the heights
// apart; a file of one side has one height, whatever its title, unless a title of its own
// side's height is there too: then the other height column is passed through. A title may end in a
// unit in parentheses, X(m) or 纬度（°）, which must suit the field (units.h): lengths m, 米,
// metre(s), meter(s); angles °, deg, degree(s), 度, or, written apart, dms, d:m:s, dd:mm:ss,
// ddd:mm:ss, °′″, 度分秒. The title is kept whole for messages and the output. Every other column
// is passed through to the output, its title and any unit in it as read.
#ifndef ZERB_READERS_COLUMNS_H
#define ZERB_READERS_COLUMNS_H

#include <string>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace zerb {

enum Field {
  kName,
  kNorth,
  kEast,
  kGridHeight,
  kMeridian,
  kLatitude,
  kLongitude,
  kEllipsoidalHeight,
  kRole,
  kFieldCount
};

// What a file holds: both sides of each point in one table, or one side paired by name.
enum class Side { kBoth, kGrid, kWgs84 };

// The titles accepted for each field, for the help text: "x, X, N, 北坐标" and so on.
std::string AcceptedTitles(Field field, Side side);

struct Columns {
  int index[kFieldCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};  // -1 when absent
  std::vector<int> passed;                                        // other columns, in order
  std::vector<std::string> titles;                                // every title as read
  // False where the format names its columns itself (CASS): those titles are English words,
  // worded in the language of the messages when a message names the column.
  bool titles_read = true;
  // True where the "columns" are a command line's options (titled --x, --B, ...).
  bool options = false;
  // The title's unit says degrees, minutes and seconds written apart (dms, 度分秒): a decimal
  // number there is refused.
  bool dms[kFieldCount] = {};
  // How a field is named in messages: its title in the file, or its short name.
  std::string Label(Field field) const;
};

// Reads the header row of a file holding side. Empty trailing titles (Excel's) are dropped. A
// unit that does not suit its field refuses the header.
Reason ReadHeader(std::vector<std::string_view> fields, Side side, Columns* columns);

// The columns of a CASS .dat file: name, code, east, north, height, no header; the code is passed
// through. The height is that of the side the file holds.
Columns CassColumns(Side side);

}  // namespace zerb

#endif  // ZERB_READERS_COLUMNS_H
