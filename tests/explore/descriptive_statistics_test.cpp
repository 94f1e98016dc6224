// Descriptive Statistics and describe: accuracy on the NIST univariate sets, the loads'
// rules, refusals.
#include "explore/descriptive_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "explore/describe.h"
#include "output/report_text.h"
#include "support/load_text.h"

namespace sorvel {
namespace {

TDataList& Load(const std::string& text) { return test::LoadText(text); }

// The values of a NIST StRD univariate file (after its 60 header lines), one column "Y".
std::string NistColumn(const std::string& name) {
  std::ifstream f(std::string(SORVEL_TESTDATA_DIR) + "/nist/univariate/" + name);
  EXPECT_TRUE(f.good()) << name;
  std::string line, text = "Y\r\n";
  for (int n = 1; std::getline(f, line); ++n)
    if (n > 60) text += line + "\r\n";
  return text;
}

class DescriptiveTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetDataState(); }
};

TEST_F(DescriptiveTest, NistCertifiedMeansAndDeviations) {
  struct {
    const char* File;
    long long N;
    double Mean, StdDev;  // certified values from each file's header
    double Tolerance;     // relative
  } cases[] = {
      {"PiDigits.dat", 5000, 4.53480000000000, 2.86733906028871, 1e-14},
      {"Lottery.dat", 218, 518.958715596330, 291.699727470969, 1e-14},
      {"Lew.dat", 200, -177.435000000000, 277.332168044316, 1e-14},
      {"Mavro.dat", 50, 2.00185600000000, 0.000429123454003053, 1e-12},
      {"Michelso.dat", 100, 299.852400000000, 0.0790105478190518, 1e-13},
      {"NumAcc1.dat", 3, 10000002, 1, 1e-14},
      {"NumAcc2.dat", 1001, 1.2, 0.1, 1e-13},
      {"NumAcc3.dat", 1001, 1000000.2, 0.1, 1e-9},
      {"NumAcc4.dat", 1001, 10000000.2, 0.1, 1e-8},
  };
  for (const auto& c : cases) {
    TDataList& d = Load(NistColumn(c.File));
    TDescriptiveResult r = ComputeDescriptiveStatistics(d, {1});
    ASSERT_EQ(r.Error, "") << c.File;
    ASSERT_EQ(r.Columns.size(), 1u);
    const TColumnSummary& s = r.Columns[0];
    EXPECT_EQ(s.N, c.N) << c.File;
    EXPECT_NEAR(s.Mean / c.Mean, 1, c.Tolerance) << c.File;
    EXPECT_NEAR(s.StdDev / c.StdDev, 1, c.Tolerance) << c.File;
  }
}

TEST_F(DescriptiveTest, ColumnsAreLoadedWithTheDataRules) {
  TDataList& d = Load("X\tY\tLine\r\n1\t10\tA\r\n2\t\tB\r\n3\t30\tA\r\n-5\t40\tB\r\n");
  // Every numeric column by default; a missing cell counts as missing.
  TDescriptiveResult all = ComputeDescriptiveStatistics(d, {});
  ASSERT_EQ(all.Columns.size(), 2u);
  EXPECT_EQ(all.Columns[1].Name, "Y");
  EXPECT_EQ(all.Columns[1].N, 3);
  EXPECT_EQ(all.Columns[1].Missing, 1);
  EXPECT_DOUBLE_EQ(all.Columns[0].Minimum, -5);
  // The missing-value rule X < 0 drops -5.
  ApplyMissingChoice({RelLess, RelNone, "0", "0"});
  TDescriptiveResult ruled = ComputeDescriptiveStatistics(d, {1});
  EXPECT_EQ(ruled.Columns[0].N, 3);
  EXPECT_EQ(ruled.Columns[0].Missing, 1);
  EXPECT_DOUBLE_EQ(ruled.Columns[0].Mean, 2);
  MissingRec = TMissingRec();
  // Process If "Line = A" (level 1) leaves two cases.
  ProcessIfRec.Active = true;
  ProcessIfRec.PiIndex1 = 3;
  ProcessIfRec.Sign1 = 1;
  ProcessIfRec.X1 = 1;
  TDescriptiveResult picked = ComputeDescriptiveStatistics(d, {2});
  EXPECT_EQ(picked.Columns[0].N, 2);
  EXPECT_EQ(picked.Columns[0].Missing, 0);
  EXPECT_DOUBLE_EQ(picked.Columns[0].Mean, 20);
}

TEST_F(DescriptiveTest, OneValueHasNoDeviationAndTextIsRefused) {
  TDataList& d = Load("X\tLine\r\n4\tA\r\n");
  TDescriptiveResult one = ComputeDescriptiveStatistics(d, {1});
  EXPECT_TRUE(std::isnan(one.Columns[0].StdDev));
  TDescriptiveResult text = ComputeDescriptiveStatistics(d, {2});
  EXPECT_EQ(text.Error, "Column Line holds text, not numbers!");
  TDataList& words = Load("Line\r\nA\r\n");
  EXPECT_EQ(ComputeDescriptiveStatistics(words, {}).Error, NoNumericColumnsMessage);
  // -2147483647 is a value like any other.
  TDataList& edge = Load("X\r\n-2147483647\r\n3\r\n");
  EXPECT_EQ(ComputeDescriptiveStatistics(edge, {1}).Columns[0].Minimum, -2147483647.0);
}

TEST_F(DescriptiveTest, ProgressCanStopTheRun) {
  TDataList& d = Load("X\tY\r\n1\t2\r\n");
  int calls = 0;
  TDescriptiveResult r =
      ComputeDescriptiveStatistics(d, {1, 2}, [&](double) { return ++calls < 2; });
  EXPECT_TRUE(r.Stopped);
  EXPECT_EQ(r.Columns.size(), 1u);
}

// Log relative error: the number of correct significant digits (15 when exact).
double LRE(double x, double certified) {
  if (x == certified) return 15;
  return std::min(15.0, -std::log10(std::fabs(x - certified) / std::fabs(certified)));
}

// The NIST StRD univariate table through describe's record: mean LRE >= 14 on all nine;
// SD LRE >= 13 against the certified value on seven; on NumAcc3 and NumAcc4 the
// certified 0.1 is not the SD of the doubles the file's decimals parse to (R's sd(): LRE
// 9.5 and 8.3), so there the SD is held to the exact SD of those doubles (computed in
// long double, 64-bit mantissa).
TEST_F(DescriptiveTest, NistLogRelativeErrorsThroughDescribe) {
  struct {
    const char* File;
    double Mean, StdDev;  // certified
    bool SdOfDoubles;
  } cases[] = {
      {"PiDigits.dat", 4.53480000000000, 2.86733906028871, false},
      {"Lottery.dat", 518.958715596330, 291.699727470969, false},
      {"Lew.dat", -177.435000000000, 277.332168044316, false},
      {"Mavro.dat", 2.00185600000000, 0.000429123454003053, false},
      {"Michelso.dat", 299.852400000000, 0.0790105478190518, false},
      {"NumAcc1.dat", 10000002, 1, false},
      {"NumAcc2.dat", 1.2, 0.1, false},
      {"NumAcc3.dat", 1000000.2, 0.1, true},
      {"NumAcc4.dat", 10000000.2, 0.1, true},
  };
  std::printf("%-14s %9s %9s %-10s %s\n", "set", "mean LRE", "SD LRE", "against",
              "SD LRE (certified)");
  for (const auto& c : cases) {
    TDataList& d = Load(NistColumn(c.File));
    // The loaded doubles, in long double for the exact SD.
    TRunInfo ri;
    ri.ColRefRun = LoadColumn;
    d.IncludeCol[1] = true;
    d.DataToA_Array(1, ri);
    long double sum = 0;
    for (int i = 1; i <= A_ArrayCount; ++i) sum += A_Array[i];
    const long double mean = sum / A_ArrayCount;
    long double ss = 0;
    for (int i = 1; i <= A_ArrayCount; ++i) ss += (A_Array[i] - mean) * (A_Array[i] - mean);
    const double exactSd = static_cast<double>(std::sqrt(ss / (A_ArrayCount - 1)));

    const TDescribeResult r = Describe(d, {1}, 0, 'D');
    ASSERT_EQ(r.Sets.size(), 1u) << c.File;
    const TStatsRecord& s = r.Sets[0].Stats;
    const double meanLre = LRE(s.Mean, c.Mean);
    const double sdLre = LRE(s.StdDev, c.SdOfDoubles ? exactSd : c.StdDev);
    std::printf("%-14s %9.1f %9.1f %-10s %.1f\n", c.File, meanLre, sdLre,
                c.SdOfDoubles ? "doubles" : "certified", LRE(s.StdDev, c.StdDev));
    EXPECT_GE(meanLre, 14) << c.File;
    // Mavro and Michelso: 13.1 and 13.8 are the limit of their double inputs.
    EXPECT_GE(sdLre, 13) << c.File;
  }
}

}  // namespace
}  // namespace sorvel
