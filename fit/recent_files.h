// The inputs opened last, kept between sessions in the user's settings (organisation "zerb",
// application "zerb-fit"), newest first.
#ifndef ZERB_FIT_RECENT_FILES_H
#define ZERB_FIT_RECENT_FILES_H

#include <QList>
#include <QString>

namespace zerb::fit {

// One input as it was opened: a table, or a grid file with its GNSS file.
struct RecentInput {
  QString table;
  QString grid;
  QString gnss;

  bool pair() const { return table.isEmpty(); }
  // As the menu lists it: the table, or "grid + GNSS" as the window's title names a pair.
  QString Label() const;
  // The first of its files that is no longer there; empty when all are.
  QString Missing() const;
  bool operator==(const RecentInput& other) const = default;
};

class RecentFiles {
 public:
  static constexpr int kKept = 8;

  QList<RecentInput> List() const;
  // Puts the input first, once, and forgets what falls beyond the eighth.
  void Add(const RecentInput& input);
  void Remove(const RecentInput& input);

 private:
  void Store(const QList<RecentInput>& inputs);
};

}  // namespace zerb::fit

#endif  // ZERB_FIT_RECENT_FILES_H
