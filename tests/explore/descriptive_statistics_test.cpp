// Descriptive Statistics: accuracy on the NIST univariate sets, the loads' rules, refusals.
#include "explore/descriptive_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

#include "data/data_file.h"
#include "data/data_state.h"
#include "output/report_text.h"

namespace sorvel {
namespace {

TDataList& Load(const std::string& text) {
  ResetDataState();
  auto list = std::make_unique<TDataList>();
  TFileResult r = ReadDataBytes(text, *list);
  EXPECT_TRUE(r.Ok) << r.Error;
  ReplaceDataList(std::move(list));
  return DataList();
}

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
  TDescriptiveResult r = ComputeDescriptiveStatistics(d, {1, 2}, [&](double) { return ++calls < 2; });
  EXPECT_TRUE(r.Stopped);
  EXPECT_EQ(r.Columns.size(), 1u);
}

}  // namespace
}  // namespace sorvel
