// Model, convention and a-priori accuracy from the command line; see model.h.
#include "models/model.h"

#include "text/translate.h"

namespace zerb {

Reason ParseConvention(std::string_view text, Convention* convention) {
  if (text == "position-vector" || text == "position_vector") {
    *convention = Convention::kPositionVector;
  } else if (text == "coordinate-frame" || text == "coordinate_frame") {
    *convention = Convention::kCoordinateFrame;
  } else {
    // TRANSLATORS: {1} is the value given, in quotes; the names in parentheses are typed as is.
    return Fill(Tr("unknown convention {1} (position-vector or coordinate-frame)"), Quoted(text));
  }
  return {};
}

std::string_view ConventionName(Convention convention) {
  return convention == Convention::kPositionVector ? "position-vector" : "coordinate-frame";
}

std::string_view ProjConventionName(Convention convention) {
  return convention == Convention::kPositionVector ? "position_vector" : "coordinate_frame";
}

Reason ParseModel(std::string_view text, adjust::Model* model, bool* plane) {
  *plane = false;
  if (text == "3") {
    *model = adjust::Model::kThreeParameter;
  } else if (text == "7") {
    *model = adjust::Model::kSevenParameter;
  } else if (text == "4") {
    *plane = true;
  } else {
    return Fill(Tr("unknown model {1} (3: translations, 7: Bursa-Wolf, 4: plane similarity and "
                   "height fit)"),
                Quoted(text));
  }
  return {};
}

Reason ParseSigma(std::string_view text, adjust::Settings* settings) {
  const std::size_t comma = text.find(',');
  double h = 0;
  double v = 0;
  const bool ok =
      ParseOptionNumber(text.substr(0, comma), &h) &&
      (comma == std::string_view::npos || ParseOptionNumber(text.substr(comma + 1), &v));
  if (comma == std::string_view::npos)
    v = h;
  if (!ok || !(h > 0) || !(v > 0)) {
    // TRANSLATORS: {1} is the value given, in quotes.
    return Fill(Tr("--sigma needs one or two positive lengths in metres (horizontal[,vertical]), "
                   "not {1}"),
                Quoted(text));
  }
  settings->sigma_horizontal = h;
  settings->sigma_vertical = v;
  return {};
}

adjust::BursaWolf InConvention(const adjust::BursaWolf& p, Convention convention) {
  if (convention == Convention::kPositionVector)
    return p;
  adjust::BursaWolf c = p;
  c.rx = -p.rx;
  c.ry = -p.ry;
  c.rz = -p.rz;
  return c;
}

adjust::Matrix7 CorrelationInConvention(const adjust::Matrix7& position_vector,
                                        Convention convention) {
  adjust::Matrix7 c = position_vector;
  if (convention == Convention::kPositionVector)
    return c;
  for (int r = 0; r < 7; ++r) {
    for (int k = 0; k < 7; ++k) {
      const bool r_rotation = r >= adjust::kRx && r <= adjust::kRz;
      const bool k_rotation = k >= adjust::kRx && k <= adjust::kRz;
      if (r_rotation != k_rotation)
        c[r][k] = -c[r][k];
    }
  }
  return c;
}

Reason FitPoints(PointSet& points, const adjust::Settings& settings, adjust::FitResult* fit) {
  return points.adjustment().Solve(settings, fit);
}

const char* ModelName(adjust::Model model) {
  // The JSON report writes these as they are; the text report and the picture look them up.
  return model == adjust::Model::kThreeParameter ? NoTr("three-parameter translation")
                                                 : NoTr("seven-parameter Bursa-Wolf");
}

}  // namespace zerb
