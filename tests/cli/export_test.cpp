// The exports read back by PROJ: the +towgs84 string and the WKT TOWGS84 clause must give PROJ
// the same translation, and the helmert step, placed in a pipeline from the grid to WGS-84,
// must carry every grid point of the known set onto its WGS-84 point.
#include <gtest/gtest.h>
#include <proj.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>

#include "tests/cli/known_set.h"
#include "tests/cli/run_helper.h"

namespace zerb::test {
namespace {

std::string Chomp(std::string s) {
  while (!s.empty() && s.back() == '\n')
    s.pop_back();
  return s;
}

// The TOWGS84 values PROJ holds for a CRS bound to WGS-84.
bool Towgs84Of(const std::string& definition, double values[7]) {
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* crs = proj_create(ctx, definition.c_str());
  bool ok = crs != nullptr && proj_get_type(crs) == PJ_TYPE_BOUND_CRS;
  PJ* op = ok ? proj_crs_get_coordoperation(ctx, crs) : nullptr;
  ok = op != nullptr && proj_coordoperation_get_towgs84_values(ctx, op, values, 7, 1) == 1;
  proj_destroy(op);
  proj_destroy(crs);
  proj_context_destroy(ctx);
  return ok;
}

class Exports : public ::testing::Test {
 protected:
  void SetUp() override {
    points_ = MakeKnownSet(20, 117);
    csv_ = ToCsv(points_, 117);
    const RunResult r = RunZerbShift({"-f", "towgs84"}, csv_);
    ASSERT_EQ(r.status, 0) << r.err;
    towgs84_ = Chomp(r.out);
    ASSERT_TRUE(towgs84_.starts_with("+towgs84=")) << towgs84_;
    // The printed mean, as the numbers PROJ should end up with.
    const char* p = towgs84_.c_str() + 9;
    for (double& v : mean_) {
      const auto [end, ec] = std::from_chars(p, towgs84_.c_str() + towgs84_.size(), v);
      ASSERT_EQ(ec, std::errc());
      p = end + 1;
    }
  }
  std::vector<KnownPoint> points_;
  std::string csv_;
  std::string towgs84_;
  double mean_[3] = {};
};

TEST_F(Exports, Towgs84StringGivesPROJTheMean) {
  double v[7];
  ASSERT_TRUE(Towgs84Of("+proj=longlat +ellps=krass " + towgs84_ + " +type=crs", v));
  for (int i = 0; i < 3; ++i)
    EXPECT_DOUBLE_EQ(v[i], mean_[i]);
  for (int i = 3; i < 7; ++i)
    EXPECT_EQ(v[i], 0.0);
  // 4 decimals: within 0.05 mm of the mean; the mean within 3 mm of the true translation.
  EXPECT_NEAR(mean_[0], kTrueDx, 0.003);
  EXPECT_NEAR(mean_[1], kTrueDy, 0.003);
  EXPECT_NEAR(mean_[2], kTrueDz, 0.003);
}

TEST_F(Exports, WktClauseGivesPROJTheMean) {
  const RunResult r = RunZerbShift({"-f", "wkt"}, csv_);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string clause = Chomp(r.out);
  ASSERT_TRUE(clause.starts_with("TOWGS84[") && clause.ends_with(",0,0,0,0]")) << clause;
  const std::string wkt =
      "GEOGCS[\"Krassovsky local\",DATUM[\"local\",SPHEROID[\"Krassowsky 1940\",6378245,298.3]," +
      clause + "],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";
  double v[7];
  ASSERT_TRUE(Towgs84Of(wkt, v)) << wkt;
  for (int i = 0; i < 3; ++i)
    EXPECT_DOUBLE_EQ(v[i], mean_[i]);
}

TEST_F(Exports, HelmertStepCarriesTheGridOntoWgs84) {
  const RunResult r = RunZerbShift({"-f", "proj"}, csv_);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string step = Chomp(r.out);
  ASSERT_TRUE(step.starts_with("+proj=helmert ")) << step;
  const std::string pipeline =
      "+proj=pipeline +step +inv +proj=tmerc +ellps=krass +lon_0=117 +x_0=500000 +k=1 "
      "+step +proj=cart +ellps=krass +step " +
      step + " +step +inv +proj=cart +ellps=WGS84 +step +proj=unitconvert +xy_in=rad +xy_out=deg";
  // The mean is within 3 mm of the translation the set was made with (see known_set_test), and
  // each grid point carries a few millimetres of series error: 1 cm, as an angle at the
  // Earth's radius, bounds the difference.
  const double angle = 0.01 / 6.37e6 * 180 / std::numbers::pi;
  for (const KnownPoint& p : points_) {
    double B, L, H;
    ASSERT_TRUE(GridToWgs84(pipeline, p.y, p.x, p.h, &B, &L, &H)) << pipeline;
    EXPECT_NEAR(B, p.B, angle);
    EXPECT_NEAR((L - p.L) * std::cos(p.B * std::numbers::pi / 180), 0.0, angle);
    EXPECT_NEAR(H, p.H, 0.01);
  }
}

// A small check that the JSON report is well-formed: values, objects, arrays, strings and
// numbers nested as JSON demands (no extension accepted).
class JsonChecker {
 public:
  explicit JsonChecker(const std::string& s) : s_(s) {}
  bool Document() {
    Blank();
    return Value() && (Blank(), i_ == s_.size());
  }

 private:
  void Blank() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\t'))
      ++i_;
  }
  bool Take(char c) {
    Blank();
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  bool Value() {
    Blank();
    if (i_ >= s_.size())
      return false;
    const char c = s_[i_];
    if (c == '{')
      return Sequence('}', true);
    if (c == '[')
      return Sequence(']', false);
    if (c == '"')
      return String();
    for (const char* word : {"true", "false", "null"}) {
      if (s_.compare(i_, std::strlen(word), word) == 0) {
        i_ += std::strlen(word);
        return true;
      }
    }
    double v;
    const auto [end, ec] = std::from_chars(s_.data() + i_, s_.data() + s_.size(), v);
    if (ec != std::errc() || !std::isfinite(v))
      return false;
    i_ = static_cast<std::size_t>(end - s_.data());
    return true;
  }
  bool Sequence(char close, bool object) {
    ++i_;
    if (Take(close))
      return true;
    do {
      if (object && !(Blank(), String() && Take(':')))
        return false;
      if (!Value())
        return false;
    } while (Take(','));
    return Take(close);
  }
  bool String() {
    if (s_[i_] != '"')
      return false;
    for (++i_; i_ < s_.size(); ++i_) {
      if (s_[i_] == '\\') {
        ++i_;
      } else if (s_[i_] == '"') {
        ++i_;
        return true;
      } else if (static_cast<unsigned char>(s_[i_]) < 0x20) {
        return false;
      }
    }
    return false;
  }
  const std::string& s_;
  std::size_t i_ = 0;
};

TEST_F(Exports, JsonReportIsWellFormedAndCarriesTheExport) {
  const RunResult r = RunZerbShift({"-f", "json"}, csv_);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(JsonChecker(r.out).Document()) << r.out;
  EXPECT_NE(r.out.find("\"towgs84\": \"" + towgs84_ + "\""), std::string::npos);

  const std::string odd =
      "id,x,y,h,L0,B,L,H,remark\nA\tB,3380000,500000,10,117,30:30:00,117:00:00,10,"
      "\"say \"\"hi\"\" \\ back\"\n";
  const RunResult o = RunZerbShift({"-f", "json"}, odd);
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(JsonChecker(o.out).Document()) << o.out;
  EXPECT_NE(o.out.find("\"name\": \"A\\u0009B\""), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("\"remark\": \"say \\\"hi\\\" \\\\ back\""), std::string::npos) << o.out;
}

}  // namespace
}  // namespace zerb::test
