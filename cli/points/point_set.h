// The common points read, as the models and the writers need them: a few numbers each in memory
// (the shift, the local Earth-centred position, the input line, whether it is a check point), and
// the text columns (name, passed-through columns) in a spool on disk, in input order.
#ifndef ZERB_CLI_POINTS_POINT_SET_H
#define ZERB_CLI_POINTS_POINT_SET_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/points/text_spool.h"
#include "cli/text.h"
#include "geodesy/geodesy.h"

namespace zerb {

struct Vec3 {
  double x = 0;
  double y = 0;
  double z = 0;
};

// One computed point: dx, dy, dz of the dialog for the form, bit for bit, and the point's
// Earth-centred position on Krassovsky (metres), for models that rotate and scale.
struct ComputedPoint {
  Vec3 shift;
  Vec3 local;
};
// Computes the form's shift with ComputeShift and the local position that goes with it.
ComputedPoint Compute(ShiftForm* form);

class PointSet {
 public:
  // Text columns are kept only when there are any: titles (name first when has_name).
  Reason Open(std::vector<std::string> titles, bool has_name, bool two_files);

  Reason Add(const ComputedPoint& point, std::uint64_t line, std::uint64_t wgs84_line, bool check,
             const std::vector<std::string_view>& texts);
  // Takes the point with index i out again (a name found to be a duplicate later): it stays in
  // the spool but is skipped by every reader of the set.
  void Withdraw(std::size_t i);

  std::size_t size() const { return points_.size(); }
  const ComputedPoint& point(std::size_t i) const { return points_[i]; }
  std::uint64_t line(std::size_t i) const { return lines_[i]; }
  std::uint64_t wgs84_line(std::size_t i) const { return two_files_ ? wgs84_lines_[i] : 0; }
  bool check(std::size_t i) const { return (flags_[i] & kCheck) != 0; }
  bool withdrawn(std::size_t i) const { return (flags_[i] & kWithdrawn) != 0; }
  std::size_t usable() const { return points_.size() - withdrawn_; }

  const std::vector<std::string>& titles() const { return titles_; }
  bool has_name() const { return has_name_; }
  bool two_files() const { return two_files_; }
  TextSpool* spool() { return titles_.empty() ? nullptr : &spool_; }

 private:
  static constexpr unsigned char kCheck = 1;
  static constexpr unsigned char kWithdrawn = 2;

  std::vector<ComputedPoint> points_;
  std::vector<std::uint64_t> lines_;
  std::vector<std::uint64_t> wgs84_lines_;
  std::vector<unsigned char> flags_;
  std::size_t withdrawn_ = 0;
  std::vector<std::string> titles_;
  bool has_name_ = false;
  bool two_files_ = false;
  TextSpool spool_;
};

}  // namespace zerb

#endif  // ZERB_CLI_POINTS_POINT_SET_H
