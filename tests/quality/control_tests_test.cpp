#include "quality/control_tests.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "numerics/common.h"
#include "numerics/settings_store.h"

using namespace sorvel;

namespace {

// A location chart with centre 0, zone sigma 1 and limits ±3 for every point.
ChartArrayType Chart(const std::vector<double>& values) {
  ChartArrayType t;
  const int n = static_cast<int>(values.size());
  t.Resize(n);
  for (int p = 1; p <= n; ++p) {
    t(RowLocation, p) = values[static_cast<std::size_t>(p - 1)];
    t(RowLocCL, p) = 0;
    t(RowLocUCL, p) = 3;
    t(RowLocLCL, p) = -3;
    t(RowLocSigma, p) = 1;
  }
  return t;
}

std::vector<double> Repeat(std::vector<double> pattern, int count) {
  std::vector<double> v;
  for (int i = 0; i < count; ++i)
    v.push_back(pattern[static_cast<std::size_t>(i) % pattern.size()]);
  return v;
}

// Codes of points 1 .. count as one string per point.
std::vector<std::string> CodesOf(int count, int chartIndex = 0) {
  std::vector<std::string> c;
  for (int p = 1; p <= count; ++p) c.push_back(PointCodes(chartIndex, p));
  return c;
}

struct TFiringCase {
  const char* what;
  std::vector<double> values;
  int test;     // the test that fires, alone
  bool enable;  // switched on for the case (off by default)
  int firesAt;
  int markedFrom;  // points markedFrom .. firesAt carry the code
};

TEST(RunControlTestsTest, EachTestFiresOnce) {
  const TFiringCase cases[] = {
      {"O", {0.5, -0.5, 3.5, 0.5}, 1, false, 3, 3},
      {"R", Repeat({0.5}, 8), 2, false, 8, 1},
      {"T", {-0.9, -0.5, -0.1, 0.1, 0.5, 0.9}, 3, false, 6, 1},
      {"E", {1.5, 1.5, -1.5, -1.5, 1.5, 1.5, -1.5, -1.5}, 4, false, 8, 1},
      {"L", Repeat({0.2, 0.3, -0.2, -0.3}, 15), 5, false, 15, 1},
      {"A", Repeat({0.5, -0.5}, 14), 6, false, 14, 1},
      {"1", {0, 1.5, 1.5, -1.5, 1.5}, 7, true, 5, 1},
      {"2", {0, 2.5, 2.5}, 8, true, 3, 1},
      {"M", {0, -2, 2}, 9, true, 3, 3},
  };
  for (const TFiringCase& c : cases) {
    SCOPED_TRACE(c.what);
    TControlTestSettings s = DefaultControlTestSettings();
    s.StdCheck[static_cast<std::size_t>(c.test)] = true;
    const int count = static_cast<int>(c.values.size());
    const auto fired = RunControlTests(Chart(c.values), count, LocationTestRows, false, 0, s);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0], (TTestFiring{c.firesAt, c.test}));
    const std::string code(1, TestCode(c.test));
    for (int p = 1; p <= count; ++p) {
      const bool marked = p >= c.markedFrom && p <= c.firesAt;
      EXPECT_EQ(PointCodes(0, p), marked ? code : "") << "point " << p;
    }
  }
}

TEST(RunControlTestsTest, DisabledTestsDoNotFire) {
  TControlTestSettings s = DefaultControlTestSettings();
  s.StdCheck[1] = false;
  EXPECT_TRUE(RunControlTests(Chart({5, -5, 0}), 3, LocationTestRows, false, 0, s).empty());
  // The moving-range selection has only test 1 on.
  const auto fired = RunControlTests(Chart(Repeat({0.5}, 9)), 9, LocationTestRows, true, 0, s);
  EXPECT_TRUE(fired.empty());
}

TEST(RunControlTestsTest, EdgesOfTheRules) {
  const TControlTestSettings s = DefaultControlTestSettings();
  // A point on the centre line breaks a run.
  auto values = Repeat({0.5}, 8);
  values[3] = 0;
  EXPECT_TRUE(RunControlTests(Chart(values), 8, LocationTestRows, false, 0, s).empty());
  // An equal step breaks a trend; a further rise fires at the eighth point.
  TControlTestSettings trend = s;
  for (int t = 1; t <= 9; ++t) trend.StdCheck[static_cast<std::size_t>(t)] = t == 3;
  EXPECT_TRUE(
      RunControlTests(Chart({1, 2, 2, 3, 4, 5, 6}), 7, LocationTestRows, false, 0, trend).empty());
  auto fired =
      RunControlTests(Chart({1, 2, 2, 3, 4, 5, 6, 7}), 8, LocationTestRows, false, 0, trend);
  EXPECT_EQ(fired, (std::vector<TTestFiring>{{8, 3}}));
  // Zone rule 1: five of five beyond one sigma is not exactly four of five.
  TControlTestSettings zone = s;
  for (int t = 1; t <= 9; ++t) zone.StdCheck[static_cast<std::size_t>(t)] = t == 7;
  fired = RunControlTests(Chart({0, 1.5, 1.5, 1.5, 1.5, 1.5}), 6, LocationTestRows, false, 0, zone);
  ASSERT_EQ(fired.size(), 1u);
  EXPECT_EQ(fired[0], (TTestFiring{5, 7}));
  // A zero sigma never fires test 9.
  TControlTestSettings mr = s;
  mr.StdCheck[9] = true;
  ChartArrayType flat = Chart({0, 5});
  flat(RowLocSigma, 2) = 0;
  flat(RowLocUCL, 2) = MissingValue;
  EXPECT_TRUE(RunControlTests(flat, 2, LocationTestRows, false, 0, mr).empty());
}

TEST(RunControlTestsTest, WindowsStopAtBreaksSetsAndMissingValues) {
  const TControlTestSettings s = DefaultControlTestSettings();
  const auto run = Repeat({0.5}, 10);
  {
    ChartArrayType t = Chart(run);
    t(RowBreak, 4) = 1;  // the line is broken after point 4: 5 .. 10 is only six points
    EXPECT_TRUE(RunControlTests(t, 10, LocationTestRows, false, 0, s).empty());
  }
  {
    ChartArrayType t = Chart(run);
    for (int p = 5; p <= 10; ++p) t(RowSet, p) = 2;
    EXPECT_TRUE(RunControlTests(t, 10, LocationTestRows, false, 0, s).empty());
  }
  {
    ChartArrayType t = Chart(Repeat({0.5}, 12));
    t(RowLocation, 4) = MissingValue;
    EXPECT_EQ(RunControlTests(t, 12, LocationTestRows, false, 0, s),
              (std::vector<TTestFiring>{{12, 2}}));
    EXPECT_EQ(PointCodes(0, 4), "");
    EXPECT_EQ(PointCodes(0, 5), "R");
  }
}

// p chart with sizes 0, 50 x 5 and counts 1, 1, 2, 3, 4, 5: the first point has no
// statistic. Its window is checked like any other: no trend over 1 .. 6, no moving range
// at point 2.
TEST(RunControlTestsTest, TheFirstWindowIsCheckedToo) {
  TControlTestSettings s = DefaultControlTestSettings();
  s.StdCheck[9] = true;
  ChartArrayType t = Chart({MissingValue, 0.02, 0.04, 0.06, 0.08, 0.10});
  for (int p = 1; p <= 6; ++p) {
    t(RowLocCL, p) = 0.06;
    t(RowLocSigma, p) = 0.0336;
    t(RowLocUCL, p) = 0.1608;
    t(RowLocLCL, p) = MissingValue;
  }
  EXPECT_TRUE(RunControlTests(t, 6, LocationTestRows, false, 0, s).empty());
  EXPECT_EQ(CodesOf(6), std::vector<std::string>(6, ""));
}

TEST(RunControlTestsTest, CodesAccumulateInOrderAndPerChart) {
  TControlTestSettings s = DefaultControlTestSettings();
  s.StdCheck[9] = true;
  // 8 points above the centre, the last also beyond the limit and a big jump.
  auto values = Repeat({0.5}, 7);
  values.push_back(4.5);
  RunControlTests(Chart(values), 8, LocationTestRows, false, 0, s);
  EXPECT_EQ(PointCodes(0, 8), "ORM");
  EXPECT_EQ(PointCodes(0, 7), "R");
  // The dispersion chart's codes are kept apart.
  ChartArrayType d;
  d.Resize(2);
  d(RowDispersion, 1) = 1;
  d(RowDispersion, 2) = 9;
  d(RowDispUCL, 2) = 5;
  RunControlTests(d, 2, DispersionTestRows, true, 1, s);
  EXPECT_EQ(PointCodes(1, 2), "O");
  EXPECT_EQ(PointCodes(0, 8), "ORM");
  EXPECT_EQ(PointCodes(1, 3), "");
}

TEST(ControlTestSettingsTest, StoredForm) {
  const TControlTestSettings d = DefaultControlTestSettings();
  EXPECT_EQ(EncodeChecks(d.StdCheck), "111111000");
  EXPECT_EQ(EncodeChecks(d.MRCheck), "100000000");
  EXPECT_EQ(EncodeTestValues(d), "@HFHONDB@@@@@@@EC@");

  MemorySettingsStore store;
  EXPECT_EQ(ReadControlTestSettings(store), d);  // nothing stored: the defaults
  TControlTestSettings changed = d;
  changed.StdCheck[7] = true;
  changed.MRCheck[9] = true;
  changed.TestParam[2] = 9;
  changed.TestParam[8] = 3;
  changed.TestWindow[8] = 4;
  WriteControlTestSettings(store, changed);
  EXPECT_EQ(store.Values["Settings\\ControlTestValues"], "@IFHONDC@@@@@@@ED@");
  EXPECT_EQ(ReadControlTestSettings(store), changed);

  // Damaged values fall back entry by entry.
  store.Values["Settings\\ControlTestValues"] = std::string(
      "@\x01"
      "FHONDB@@@@@@@EC@",
      18);
  EXPECT_EQ(ReadControlTestSettings(store).TestParam[2], 8);
  store.Values["Settings\\MRControlTestCheck"] = "short";
  EXPECT_EQ(ReadControlTestSettings(store).MRCheck, d.MRCheck);
}

TEST(ControlTestSettingsTest, Descriptions) {
  const TControlTestSettings d = DefaultControlTestSettings();
  EXPECT_EQ(TestDescription(2, d), "Run of 8 or More Above/Below the Centerline");
  EXPECT_EQ(TestDescription(6, d), "14 or More Alternating Values");
  EXPECT_EQ(TestDescription(7, d), "4 of 5 Outside One Standard Error");
  EXPECT_EQ(TestDescription(8, d), "2 of 3 Outside Two Standard Error");
  EXPECT_EQ(TestDescription(9, d), "Excessive Moving Range Between Two Points");
}

}  // namespace

namespace {

// Average run length of tests 1 and 2 (beyond 3 sigma, a run of 8 on one side) over
// 20,000 fixed-seed N(mu, 1) series. R: spc::xshewhartrunsrules.arl(0, type = "14") =
// 152.73 in control, and 14.58 after a shift of one sigma (mu = 1).
double RunLength(double shift) {
  TControlTestSettings s = DefaultControlTestSettings();
  for (int t = 3; t <= 9; ++t) s.StdCheck[static_cast<std::size_t>(t)] = false;
  constexpr int Series = 20000, Length = 1500;
  std::mt19937_64 rng(20261210);
  std::normal_distribution<double> normal(shift, 1);
  ChartArrayType t = Chart(std::vector<double>(Length, 0));
  double total = 0;
  for (int k = 0; k < Series; ++k) {
    for (int p = 1; p <= Length; ++p) t(RowLocation, p) = normal(rng);
    const auto fired = RunControlTests(t, Length, LocationTestRows, false, 0, s);
    total += fired.empty() ? Length : fired.front().Point;
  }
  return total / Series;
}

TEST(RunControlTestsTest, AverageRunLengthOfTestsOneAndTwo) {
  EXPECT_NEAR(RunLength(0), 152.73, 4);
  EXPECT_NEAR(RunLength(1), 14.58, 0.5);
}

}  // namespace
