// The command line of zerb-shift, read with glibc's getopt_long: one point from options, one
// table, or a grid file and a WGS-84 file; the model, the outlier test and the output format.
#ifndef ZERB_CLI_COMMAND_LINE_H
#define ZERB_CLI_COMMAND_LINE_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "adjust/adjust.h"
#include "models/model.h"
#include "models/plane_model.h"
#include "models/residual_limits.h"
#include "points/gather.h"
#include "text/text.h"
#include "writers/format.h"

namespace zerb {

struct Options {
  bool help = false;
  bool version = false;
  InputSettings input;
  Format format = Format::kText;
  adjust::Settings fit;
  bool plane = false;  // --model 4: the plane similarity and the height fit
  PlaneSettings plane_settings;
  Convention convention = Convention::kPositionVector;
  bool convention_given = false;  // --convention, which the plane model has no use for
  std::string plot;               // the residual picture's file, empty when none
  std::optional<std::string> central_meridian;  // --central-meridian as typed, read at the end
  ResidualLimits limits;                        // --horizontal-limit, --vertical-limit
  std::string save;  // --save: zerb-convert's definition file, empty when none
};

// Reads args (without the program name).
Reason ParseOptions(const std::vector<std::string_view>& args, Options* options);

std::string HelpText();

}  // namespace zerb

#endif  // ZERB_CLI_COMMAND_LINE_H
