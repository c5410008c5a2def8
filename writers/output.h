// Writing output as it is made: a buffer handed to stdio in large pieces, so that a report of a
// million points never stands whole in memory, and the number forms every format shares.
//
// Decimals: a point's own dx, dy, dz go to CSV and JSON in the shortest form that reads back as
// the same double, so they can be compared with the dialog bit for bit. Everything derived
// (means, residuals, RMS), the text report and the exports carry 4 decimals, 0.1 mm.
#ifndef ZERB_WRITERS_OUTPUT_H
#define ZERB_WRITERS_OUTPUT_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "points/point_set.h"

namespace zerb {

class Output {
 public:
  explicit Output(std::FILE* f) : file_(f), buffer_(new char[kSize]) {}
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  ~Output() { Flush(); }

  // One character, without a call: RapidJSON's writer puts all its text this way.
  void Put(char c) {
    if (used_ == kSize)
      Flush();
    buffer_[used_++] = c;
  }
  Output& operator<<(std::string_view s);
  Output& operator<<(char c) {
    Put(c);
    return *this;
  }
  Output& operator<<(std::uint64_t n);
  // The number with 4 decimals.
  Output& Fixed(double value);
  // The text of the last value written through it, for a column whose value repeats row after
  // row (the critical value, redundancies and MDBs under equal weights): a copy for the digits.
  struct FixedMemo {
    std::uint64_t bits = 0;
    std::size_t size = 0;  // 0 while nothing is kept
    char text[24];
  };
  // The number with 4 decimals, through memo.
  Output& Fixed(double value, FixedMemo* memo);
  // Right-aligned in width characters, 4 decimals.
  Output& Fixed(double value, std::size_t width);
  // The shortest text that reads back as the same double.
  Output& Shortest(double value);
  // A CSV field, quoted when it holds the delimiter, a quote or a line end.
  Output& CsvField(std::string_view field, char delimiter);
  void Flush();

 private:
  static constexpr std::size_t kSize = std::size_t{1} << 16;
  std::FILE* file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
};

// The number with 4 decimals, never "-0.0000".
void AppendFixed(std::string* s, double value);
// The shortest text that reads back as the same double.
void AppendShortest(std::string* s, double value);
std::string Fixed(double value);
// x, y, z with 4 decimals, separated.
std::string Triple(const Vec3& v, std::string_view separator);
double Length(const Vec3& v);

// An Output into memory, for a part of a document made before its place in it is written.
class OutputString {
 public:
  OutputString() : file_(open_memstream(&buffer_, &size_)), output_(file_) {}
  OutputString(const OutputString&) = delete;
  OutputString& operator=(const OutputString&) = delete;
  ~OutputString() {
    output_.Flush();
    if (file_ != nullptr)
      std::fclose(file_);
    std::free(buffer_);
  }
  Output& output() { return output_; }
  // What was written so far; empty when no memory could be had for it.
  std::string text() {
    output_.Flush();
    if (file_ == nullptr || std::fflush(file_) != 0)
      return {};
    return std::string(buffer_, size_);
  }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
  Output output_;
};

}  // namespace zerb

#endif  // ZERB_WRITERS_OUTPUT_H
