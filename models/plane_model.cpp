// The plane similarity and the height fit; see plane_model.h.
//
// Rounding for export: 1e-6 arc-second of rotation moves a point 10 km from the reference point
// by 5e-8 m, 1e-6 ppm of scale by 1e-8 m; the shifts are then recomputed so that the rounded
// rotation and scale still carry the reference point where the fit carries it, and rounded to
// 0.1 mm, the term that counts. Measured on noise-free sites of 20 km (tests/models): the
// exported parameters reproduce every grid point within 0.06 mm.
#include "models/plane_model.h"

#include <cmath>
#include <numbers>

#include "text/translate.h"

namespace zerb {
namespace {

constexpr double kArcSecondsPerRadian = 180.0 * 3600.0 / std::numbers::pi;

double Round(double v, double per) {
  return std::round(v * per) / per;
}

// x - x' = tx + p n - q e, y - y' = ty + p e + q n; parameters tx, ty, p, q.
class FreeSimilarity : public adjust::PointModel {
 public:
  int dimension() const override { return 2; }
  int parameters() const override { return 4; }
  void Evaluate(const double pos[2], const double* x, double* predicted,
                double* design) const override {
    const double n = pos[0];
    const double e = pos[1];
    predicted[0] = x[0] + x[2] * n - x[3] * e;
    predicted[1] = x[1] + x[2] * e + x[3] * n;
    const double rows[8] = {1, 0, n, -e, 0, 1, e, n};
    std::copy(rows, rows + 8, design);
  }
};

// The same with the scale held at 1: parameters tx, ty and the rotation a in radians.
class RigidSimilarity : public adjust::PointModel {
 public:
  int dimension() const override { return 2; }
  int parameters() const override { return 3; }
  bool linear() const override { return false; }
  void Evaluate(const double pos[2], const double* x, double* predicted,
                double* design) const override {
    const double n = pos[0];
    const double e = pos[1];
    const double c = std::cos(x[2]);
    const double s = std::sin(x[2]);
    predicted[0] = x[0] + (c - 1) * n - s * e;
    predicted[1] = x[1] + s * n + (c - 1) * e;
    const double rows[6] = {1, 0, -s * n - c * e, 0, 1, c * n - s * e};
    std::copy(rows, rows + 6, design);
  }
};

// The height surfaces, in kilometres about their reference point.
class HeightSurface : public adjust::PointModel {
 public:
  explicit HeightSurface(int coefficients) : u_(coefficients) {}
  int dimension() const override { return 1; }
  int parameters() const override { return u_; }
  void Evaluate(const double pos[2], const double* x, double* predicted,
                double* design) const override {
    const double n = pos[0];
    const double e = pos[1];
    const double terms[6] = {1, n, e, n * n, n * e, e * e};
    double sum = 0;
    for (int k = 0; k < u_; ++k) {
      sum += x[k] * terms[k];
      design[k] = terms[k];
    }
    predicted[0] = sum;
  }

 private:
  int u_;
};

Similarity ToSimilarity(double reference_north, double reference_east, double tx, double ty,
                        double rotation_arcseconds, double scale) {
  const double a = rotation_arcseconds / kArcSecondsPerRadian;
  const double c = scale * std::cos(a);
  const double s = scale * std::sin(a);
  Similarity r;
  r.rotation = rotation_arcseconds;
  r.scale = scale;
  r.north = reference_north + tx - (c * reference_north - s * reference_east);
  r.east = reference_east + ty - (s * reference_north + c * reference_east);
  return r;
}

// The points of one fit and where each point of the set went, -1 for none.
struct Members {
  std::vector<std::size_t> index;  // set point of each member
  std::size_t fitting = 0;         // members that are not check points
};

Members Choose(const PointSet& points, Role excluded) {
  Members m;
  for (std::size_t i = 0; i < points.added(); ++i) {
    if (points.withdrawn(i) || points.plane(i).role == excluded)
      continue;
    m.index.push_back(i);
    m.fitting += points.plane(i).role != Role::kCheck;
  }
  return m;
}

// The mean of the values of the members that fit (of all members when every one is a check),
// rounded to the metre: a reference point a user can write down.
void ReferencePoint(const PointSet& points, const Members& m, const std::vector<double>& north,
                    const std::vector<double>& east, double* rn, double* re) {
  double sn = 0;
  double se = 0;
  std::size_t count = 0;
  for (std::size_t i : m.index) {
    if (m.fitting > 0 && points.plane(i).role == Role::kCheck)
      continue;
    sn += north[i];
    se += east[i];
    ++count;
  }
  *rn = count > 0 ? std::round(sn / count) : 0;
  *re = count > 0 ? std::round(se / count) : 0;
}

Reason FitHorizontal(const PointSet& points, const adjust::Settings& settings, PlaneFit* fit) {
  const Members m = Choose(points, Role::kVertical);
  if (m.fitting < 2) {
    // TRANSLATORS: {1} is the number of points there are.
    return Fill(TrN("the four-parameter fit needs at least 2 points used horizontally that are "
                    "not check points; there is {1}",
                    "the four-parameter fit needs at least 2 points used horizontally that are "
                    "not check points; there are {1}",
                    m.fitting),
                m.fitting);
  }
  ReferencePoint(points, m, fit->projected_north, fit->projected_east, &fit->reference_north,
                 &fit->reference_east);
  fit->horizontal_index.assign(points.added(), -1);
  for (std::size_t k = 0; k < m.index.size(); ++k) {
    const std::size_t i = m.index[k];
    const PlaneRecord& r = points.plane(i);
    const double position[2] = {fit->projected_north[i] - fit->reference_north,
                                fit->projected_east[i] - fit->reference_east};
    const double observation[2] = {r.north - fit->projected_north[i],
                                   r.east - fit->projected_east[i]};
    fit->horizontal_points.Add(position, observation, points.line(i), r.role == Role::kCheck);
    fit->horizontal_index[i] = static_cast<std::int64_t>(k);
  }
  const double sigma = settings.sigma_horizontal;
  fit->horizontal_model = std::make_unique<FreeSimilarity>();
  adjust::PointFitResult free;
  if (std::string e =
          fit->horizontal_points.Solve(*fit->horizontal_model, settings, sigma, {}, &free);
      !e.empty()) {
    return e;
  }
  const std::vector<double>& x = free.solution().parameters;
  if (fit->settings.fix_scale) {
    auto rigid = std::make_unique<RigidSimilarity>();
    const std::vector<double> start = {x[0], x[1], std::atan2(x[3], 1 + x[2])};
    adjust::PointFitResult held;
    if (std::string e = fit->horizontal_points.Solve(*rigid, settings, sigma, start, &held);
        !e.empty()) {
      return e;
    }
    fit->horizontal_model = std::move(rigid);
    fit->horizontal = std::move(held);
  } else {
    fit->horizontal = std::move(free);
  }

  // Shifts at the reference point, rotation in arc-seconds, scale in ppm, and the Jacobian of
  // those from the adjustment's parameters.
  const adjust::PointFitSolution& sol = fit->horizontal.solution();
  const std::vector<double>& p = sol.parameters;
  const int u = sol.parameter_count;
  double rotation;
  double scale;
  std::array<std::array<double, 4>, 4> jacobian{};
  jacobian[0][0] = 1;
  jacobian[1][1] = 1;
  if (u == 3) {
    rotation = p[2];
    scale = 1;
    jacobian[2][2] = kArcSecondsPerRadian;
  } else {
    const double c = 1 + p[2];
    const double s = p[3];
    rotation = std::atan2(s, c);
    scale = std::hypot(c, s);
    const double k2 = scale * scale;
    jacobian[2][2] = -s / k2 * kArcSecondsPerRadian;
    jacobian[2][3] = c / k2 * kArcSecondsPerRadian;
    jacobian[3][2] = c / scale * 1e6;
    jacobian[3][3] = s / scale * 1e6;
  }
  fit->shift_north = p[0];
  fit->shift_east = p[1];
  fit->similarity = ToSimilarity(fit->reference_north, fit->reference_east, p[0], p[1],
                                 rotation * kArcSecondsPerRadian, scale);
  std::array<std::array<double, 4>, 4> cov{};
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      double sum = 0;
      for (int i = 0; i < u; ++i)
        for (int j = 0; j < u; ++j)
          sum += jacobian[r][i] * sol.covariance[i * u + j] * jacobian[c][j];
      cov[r][c] = sum;
    }
  }
  for (int r = 0; r < 4; ++r) {
    fit->standard_deviation[r] = std::sqrt(std::max(0.0, cov[r][r]));
    for (int c = 0; c < 4; ++c) {
      const double d = std::sqrt(cov[r][r] * cov[c][c]);
      fit->correlation[r][c] = d > 0 ? cov[r][c] / d : 0;
    }
  }
  const double rotation_rounded = Round(rotation * kArcSecondsPerRadian, 1e6);
  const double scale_rounded = 1 + Round((scale - 1) * 1e6, 1e6) * 1e-6;
  Similarity e = ToSimilarity(fit->reference_north, fit->reference_east, p[0], p[1],
                              rotation_rounded, scale_rounded);
  e.north = Round(e.north, 1e4);
  e.east = Round(e.east, 1e4);
  fit->exported = e;
  return {};
}

// Whether the fitting members' grid positions spread across their main direction by less than
// adjust::kCollinear of their spread along it.
bool NearlyCollinear(const PointSet& points, const Members& m) {
  double sn = 0, se = 0, snn = 0, sne = 0, see = 0;
  std::size_t count = 0;
  const PlaneRecord& first = points.plane(m.index.front());
  for (std::size_t i : m.index) {
    const PlaneRecord& r = points.plane(i);
    if (r.role == Role::kCheck)
      continue;
    const double n = r.north - first.north;
    const double e = r.east - first.east;
    sn += n;
    se += e;
    snn += n * n;
    sne += n * e;
    see += e * e;
    ++count;
  }
  if (count < 3)
    return false;
  const double k = static_cast<double>(count);
  const double cnn = snn / k - (sn / k) * (sn / k);
  const double cne = sne / k - (sn / k) * (se / k);
  const double cee = see / k - (se / k) * (se / k);
  const double mean = (cnn + cee) / 2;
  const double half = std::sqrt(std::max(0.0, (cnn - cee) * (cnn - cee) / 4 + cne * cne));
  const double first_spread = std::sqrt(std::max(0.0, mean + half));
  const double second_spread = std::sqrt(std::max(0.0, mean - half));
  return second_spread < adjust::kCollinear * first_spread;
}

HeightFit Simpler(HeightFit kind) {
  return kind == HeightFit::kQuadric ? HeightFit::kPlane : HeightFit::kConstant;
}

Reason FitVertical(const PointSet& points, const adjust::Settings& settings, PlaneFit* fit) {
  fit->vertical_index.assign(points.added(), -1);
  HeightFit kind = fit->settings.height_fit;
  if (kind == HeightFit::kNone) {
    for (std::size_t i = 0; i < points.added(); ++i) {
      if (!points.withdrawn(i) && points.plane(i).role == Role::kVertical) {
        fit->auto_note = NoTr(
            "the points used vertically only are in no fit: heights are not "
            "fitted (--height-fit none)");
        break;
      }
    }
    return {};
  }
  const Members m = Choose(points, Role::kHorizontal);
  if (kind == HeightFit::kAuto) {
    kind = AutomaticHeightFit(m.fitting);
    if (kind == HeightFit::kNone) {
      fit->auto_note = NoTr("no point fits heights: heights are not fitted");
      return {};
    }
  } else if (m.fitting < static_cast<std::size_t>(SurfaceCoefficients(kind))) {
    // TRANSLATORS: {1} is the surface asked for (plane, quadric), {2} the points it needs, {3}
    // the number there are.
    return Fill(TrN("--height-fit {1} needs at least {2} points used vertically that are not "
                    "check points; there is {3}",
                    "--height-fit {1} needs at least {2} points used vertically that are not "
                    "check points; there are {3}",
                    m.fitting),
                HeightFitName(kind), SurfaceCoefficients(kind), m.fitting);
  }
  std::vector<double> north(points.added());
  std::vector<double> east(points.added());
  for (std::size_t i : m.index) {
    north[i] = points.plane(i).north;
    east[i] = points.plane(i).east;
  }
  Surface& surface = fit->surface;
  ReferencePoint(points, m, north, east, &surface.reference_north, &surface.reference_east);
  for (std::size_t k = 0; k < m.index.size(); ++k) {
    const std::size_t i = m.index[k];
    const PlaneRecord& r = points.plane(i);
    const double position[2] = {(r.north - surface.reference_north) / 1000,
                                (r.east - surface.reference_east) / 1000};
    const double observation[2] = {r.gnss_height - r.height, 0};
    fit->vertical_points.Add(position, observation, points.line(i), r.role == Role::kCheck);
    fit->vertical_index[i] = static_cast<std::int64_t>(k);
  }
  const bool automatic = fit->settings.height_fit == HeightFit::kAuto;
  // Points near a line determine the slope across it by lever arms of a few metres: the
  // automatic choice then takes the constant, an explicit surface gets a note.
  if (kind != HeightFit::kConstant && NearlyCollinear(points, m)) {
    if (automatic) {
      fit->auto_note = NoTr("the height points lie nearly on a line: the height fit is a constant");
      kind = HeightFit::kConstant;
    } else {
      fit->auto_note = NoTr(
          "the height points lie nearly on a line: the slope across it is "
          "poorly determined");
    }
  }
  while (true) {
    fit->vertical_model = std::make_unique<HeightSurface>(SurfaceCoefficients(kind));
    adjust::PointFitResult result;
    std::string e = fit->vertical_points.Solve(*fit->vertical_model, settings,
                                               settings.sigma_vertical, {}, &result);
    if (e.empty()) {
      fit->vertical = std::move(result);
      break;
    }
    if (!automatic || kind == HeightFit::kConstant)
      return e;
    fit->auto_note = kind == HeightFit::kQuadric
                         ? NoTr(
                               "the points' layout does not determine a quadric: the height "
                               "fit is a plane")
                         : NoTr(
                               "the points' layout does not determine a plane: the height fit "
                               "is a constant");
    kind = Simpler(kind);
  }
  surface.kind = kind;
  const adjust::PointFitSolution& sol = fit->vertical.solution();
  for (int k = 0; k < sol.parameter_count; ++k) {
    // Metres per kilometre are mm per km (ppm) once multiplied by 1000.
    const double unit = k == 0 ? 1 : 1000;
    surface.coefficient[k] = sol.parameters[k] * unit;
    surface.standard_deviation[k] = sol.standard_deviation[k] * unit;
  }
  Surface& ex = fit->exported_surface;
  ex = surface;
  ex.coefficient[0] = Round(surface.coefficient[0], 1e4);
  for (int k = 1; k < 6; ++k)
    ex.coefficient[k] = Round(surface.coefficient[k], 1e6);
  return {};
}

}  // namespace

Reason ParseHeightFit(std::string_view text, HeightFit* fit) {
  for (HeightFit f : {HeightFit::kNone, HeightFit::kConstant, HeightFit::kPlane,
                      HeightFit::kQuadric, HeightFit::kAuto}) {
    if (text == HeightFitName(f)) {
      *fit = f;
      return {};
    }
  }
  // TRANSLATORS: {1} is the value given, in quotes; the names in parentheses are typed as is.
  return Fill(Tr("unknown height fit {1} (none, constant, plane, quadric or auto)"), Quoted(text));
}

const char* HeightFitName(HeightFit fit) {
  switch (fit) {
    case HeightFit::kNone:
      return "none";
    case HeightFit::kConstant:
      return "constant";
    case HeightFit::kPlane:
      return "plane";
    case HeightFit::kQuadric:
      return "quadric";
    case HeightFit::kAuto:
      break;
  }
  return "auto";
}

int SurfaceCoefficients(HeightFit fit) {
  return fit == HeightFit::kQuadric ? 6 : fit == HeightFit::kPlane ? 3 : 1;
}

HeightFit AutomaticHeightFit(std::size_t points) {
  if (points >= 10)
    return HeightFit::kQuadric;
  if (points >= 4)
    return HeightFit::kPlane;
  return points >= 1 ? HeightFit::kConstant : HeightFit::kNone;
}

double Surface::At(double north, double east) const {
  if (kind == HeightFit::kNone)
    return 0;
  const double n = (north - reference_north) / 1000;
  const double e = (east - reference_east) / 1000;
  const double terms[6] = {1, n / 1000, e / 1000, n * n / 1000, n * e / 1000, e * e / 1000};
  double sum = 0;
  for (int k = 0; k < SurfaceCoefficients(kind); ++k)
    sum += coefficient[k] * terms[k];
  return sum;
}

Reason FitPlane(const PointSet& points, const adjust::Settings& settings,
                const PlaneSettings& plane, PlaneFit* fit) {
  fit->settings = plane;
  bool first = true;
  for (std::size_t i = 0; i < points.added(); ++i) {
    if (points.withdrawn(i))
      continue;
    if (first) {
      fit->meridian = points.plane(i).meridian;
      first = false;
    } else if (points.plane(i).meridian != fit->meridian) {
      return Tr(
          "the points lie in more than one zone: a plane model describes one site on one "
          "grid");
    }
  }
  fit->projection.a = plane.gnss_a;
  fit->projection.inverse_flattening = plane.gnss_inverse_flattening;
  fit->projection.central_meridian = fit->meridian;
  // A projection height scales the GNSS side's projection as it scales the grid's, so that the
  // fitted scale is the grid's own distortion and not the surface's (grid_system.h).
  const crs::GridSystem& grid = plane.grid;
  fit->projection.scale = grid.scale * ((plane.gnss_a + grid.projection_height) / plane.gnss_a);
  fit->projection.false_easting = grid.false_easting;
  fit->projection.false_northing = grid.false_northing;
  fit->projected_north.resize(points.added());
  fit->projected_east.resize(points.added());
  for (std::size_t i = 0; i < points.added(); ++i) {
    fit->projected_north[i] = points.plane(i).latitude;
    fit->projected_east[i] = points.plane(i).longitude;
  }
  if (std::string e = crs::Project(fit->projection, &fit->projected_north, &fit->projected_east);
      !e.empty()) {
    return e;
  }
  if (Reason r = FitHorizontal(points, settings, fit); !r.empty())
    return r;
  return FitVertical(points, settings, fit);
}

}  // namespace zerb
