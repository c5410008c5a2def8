// zerb-fit's command line: one table, or a grid file and a GNSS file paired by name, as
// zerb-shift takes them.
#ifndef ZERB_FIT_COMMAND_LINE_H
#define ZERB_FIT_COMMAND_LINE_H

#include <QString>
#include <QStringList>

namespace zerb::fit {

struct FitArguments {
  QString table;
  QString grid;
  QString wgs84;
};

// The arguments after the program's name; an empty text, or why they cannot be used.
QString ParseArguments(const QStringList& args, FitArguments* out);

}  // namespace zerb::fit

#endif  // ZERB_FIT_COMMAND_LINE_H
