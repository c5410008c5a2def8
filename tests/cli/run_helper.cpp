#include "tests/cli/run_helper.h"

#include <cstdio>
#include <cstdlib>

#include "cli/run.h"

namespace zerb::test {

RunResult RunZerbShift(const std::vector<std::string_view>& args, const std::string& input) {
  RunResult r;
  // fmemopen may refuse a zero size: an empty input is one byte already read.
  std::string data = input.empty() ? std::string(1, '\0') : input;
  std::FILE* in = fmemopen(data.data(), data.size(), "r");
  if (input.empty())
    std::fgetc(in);
  char* out_data = nullptr;
  char* err_data = nullptr;
  std::size_t out_size = 0;
  std::size_t err_size = 0;
  std::FILE* out = open_memstream(&out_data, &out_size);
  std::FILE* err = open_memstream(&err_data, &err_size);
  r.status = RunShift(args, in, out, err);
  std::fclose(in);
  std::fclose(out);
  std::fclose(err);
  r.out.assign(out_data, out_size);
  r.err.assign(err_data, err_size);
  std::free(out_data);
  std::free(err_data);
  return r;
}

}  // namespace zerb::test
