// The nonparametric engine: loaders and the data rules, ranking with ties, each test's
// edge cases and faults, and generated samples against R.
#include "hypothesis/nonparametric.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "numerics/common.h"
#include "support/load_text.h"

namespace sorvel {
namespace {

class NonparametricTest : public ::testing::Test {
 protected:
  // After the data set is loaded (loading resets the data state and its handler).
  void CatchMessages() {
    SetDataMessageHandler([this](const std::string& text) { Messages.push_back(text); });
  }
  void TearDown() override {
    ResetNonparametricState();
    ResetDataRules();
    ResetDataState();
  }
  // One column per vector (empty text for a missing cell); columns as long as the first.
  static TDataList& Columns(const std::vector<std::string>& names,
                            const std::vector<std::vector<std::string>>& cells) {
    std::string text;
    for (std::size_t c = 0; c < names.size(); ++c) text += (c ? "\t" : "") + names[c];
    text += "\r\n";
    for (std::size_t r = 0; r < cells[0].size(); ++r) {
      for (std::size_t c = 0; c < cells.size(); ++c)
        text += (c ? "\t" : "") + (r < cells[c].size() ? cells[c][r] : std::string());
      text += "\r\n";
    }
    return test::LoadText(text);
  }
  static std::vector<double> Column(int col) {
    std::vector<double> v;
    for (std::int64_t i = 1; i <= NPWork().N; ++i) v.push_back(NPWork().Rows[i][col]);
    return v;
  }
  std::vector<std::string> Messages;
};

// 1500 cases with many ties (more than 1291, where N^3 - N leaves 32 bits):
// i = 1..1500, X = (7i mod 11) + (i mod 4), Y = (5i mod 13) + X div 2, G = i mod 4 + 1,
// A = 0 up to 1400 then 1, B = 0 up to 1300 then 2, W = 20240101 for odd i else 1.
TDataList& Generated() {
  std::string text = "X\tY\tG\tA\tB\tW\r\n";
  for (int i = 1; i <= 1500; ++i) {
    const int x = (7 * i) % 11 + i % 4;
    text += std::to_string(x) + "\t" + std::to_string((5 * i) % 13 + x / 2) + "\t" +
            std::to_string(i % 4 + 1) + "\t" + (i <= 1400 ? "0" : "1") + "\t" +
            (i <= 1300 ? "0" : "2") + "\t" + (i % 2 == 1 ? "20240101" : "1") + "\r\n";
  }
  return test::LoadText(text);
}
enum { X = 1, Y = 2, G = 3, A = 4, B = 5, W = 6 };

TEST_F(NonparametricTest, RanksAverageTiesAndSumThem) {
  Columns({"V"}, {{"5", "3", "3", "8"}});
  LoadTwoColumns(DataList(), 1, 0);
  EXPECT_DOUBLE_EQ(RankColumn(1), 0.5);  // one pair: (8 - 2)/12
  EXPECT_EQ(Column(1), (std::vector<double>{1.5, 1.5, 3, 4}));

  // A run of 2000 ties: t^3 - t in 32 bits would have wrapped.
  auto& w = NPWork();
  w.Rows.assign(2001, {0, 7});
  w.N = 2000;
  EXPECT_DOUBLE_EQ(RankColumn(1), (2000.0 * 2000 * 2000 - 2000) / 12);
  EXPECT_EQ(w.Rows[1][1], 1000.5);
}

// Large sets go through the radix sort: the same order as a comparison sort for negative,
// zero, tiny, huge and tied values, with each row's other column kept beside its key.
TEST_F(NonparametricTest, LargeSortsKeepRowsWhole) {
  const double values[] = {-1e300, -2.5, -1, -1e-300, -0.0, 0.0, 1e-310, 1, 2.5, 3, 1e300};
  auto& w = NPWork();
  w.N = 10000;
  w.Rows.assign(10001, {0, 0});
  std::mt19937 g(7);
  for (std::int64_t i = 1; i <= w.N; ++i) {
    const double x = values[g() % std::size(values)] * (1 + static_cast<double>(g() % 3) / 8);
    w.Rows[i] = {x, -x};
  }
  auto expected = w.Rows;
  std::stable_sort(expected.begin() + 1, expected.end(),
                   [](const auto& a, const auto& b) { return a[0] < b[0]; });
  SortRows(0, w.N);
  for (std::int64_t i = 1; i <= w.N; ++i) {
    ASSERT_EQ(w.Rows[i][0], expected[i][0]) << i;
    ASSERT_EQ(w.Rows[i][1], -w.Rows[i][0]) << i;
  }
  // By the other column (the negatives): the first column comes out descending.
  SortRows(1, w.N);
  for (std::int64_t i = 1; i < w.N; ++i) ASSERT_GE(w.Rows[i][0], w.Rows[i + 1][0]) << i;
}

TEST_F(NonparametricTest, LoadersApplyTheDataRules) {
  Columns({"G", "M", "P"}, {{"1", "2", "1", "2", "3", "1"},
                            {"4", "", "6", "7", "8", "-99"},
                            {"1", "1", "0", "1", "1", "1"}});
  TMissingChoice missing;
  missing.Sign1 = RelEqual;
  missing.Value1 = "-99";
  ApplyMissingChoice(missing);
  TProcessIfChoice pi;
  std::string error;
  ASSERT_TRUE(ParseProcessIfText("P = 1", DataList(), pi, error)) << error;
  ApplyProcessIfChoice(pi, DataList());

  LoadTwoGroups(DataList(), 1, 1, 2, 2);
  EXPECT_EQ(NPWork().N1, 1);  // rows 1 (4); row 3 fails Process If, row 6 is missing
  EXPECT_EQ(NPWork().N2, 1);  // row 4 (7); row 2 is empty
  EXPECT_EQ(Column(1), (std::vector<double>{4, 7}));

  LoadGroupRange(DataList(), 1, 2, 3, 2);
  EXPECT_EQ(Column(0), (std::vector<double>{2, 3}));
  EXPECT_EQ(Column(1), (std::vector<double>{7, 8}));

  LoadTwoColumns(DataList(), 1, 2);
  EXPECT_EQ(NPWork().N1, 5);
  EXPECT_EQ(NPWork().N2, 3);
  LoadPairs(DataList(), 1, 2);
  EXPECT_EQ(Column(0), (std::vector<double>{1, 2, 3}));
}

TEST_F(NonparametricTest, TransformErrorReloadsUntransformed) {
  Columns({"V", "G"}, {{"1", "10", "100", "0", "1000"}, {"1", "1", "2", "2", "2"}});
  CatchMessages();
  std::string error;
  const auto setLog = [&] {
    ASSERT_TRUE(SetTransform(TransformRec, TransformLog, "1", "0", "1", false, error));
  };
  setLog();
  LoadTwoColumns(DataList(), 1, 0);
  // LN(0) fails at the fourth value: the set is read again raw, not left half transformed.
  EXPECT_EQ(Column(1), (std::vector<double>{1, 10, 100, 0, 1000}));
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0], NPTransformErrorText);
  EXPECT_EQ(TransformRec.no, TransformNone);

  setLog();
  LoadGroupRange(DataList(), 2, 1, 2, 1);
  EXPECT_EQ(Column(1), (std::vector<double>{1, 10, 100, 0, 1000}));
  setLog();
  LoadTwoGroups(DataList(), 2, 2, 1, 1);
  EXPECT_EQ(Column(1), (std::vector<double>{1, 10, 100, 0, 1000}));
  EXPECT_EQ(Messages.size(), 3u);

  // Without a failing value the transformation stays.
  setLog();
  LoadTwoGroups(DataList(), 2, 1, 3, 1);
  EXPECT_NEAR(NPWork().Rows[2][1], std::log(10.0), 1e-15);
  EXPECT_EQ(TransformRec.no, TransformLog);
}

TEST_F(NonparametricTest, SignTestForLocation) {
  struct {
    const char* Case;
    std::vector<std::string> Values;
    double Location;
    int Alt;
    bool IncludeEqual;
    std::int64_t N, Above, Below;
    double P;
  } cases[] = {
      {"ties are in neither count", {"1", "2", "2", "3"}, 2, 0, false, 4, 1, 1, 1},
      // P(X <= 1), X ~ Binomial(4, 1/2)
      {"include equal, M1 >= Loc", {"1", "2", "2", "3"}, 2, 1, true, 4, 1, 1, 0.3125},
      // binom.test(5, 5, 0.5, alternative = "less"): P(X <= n) = 1
      {"every value above, M1 >= Loc", {"3", "4", "5", "6", "7"}, 0, 1, false, 5, 5, 0, 1},
      // binom.test(0, 5, alternative = "greater")
      {"every value below, M1 <= Loc", {"3", "4", "5", "6", "7"}, 9, 2, false, 5, 0, 5, 1},
      // binom.test(1, 10) = 0.021484375
      {"two-sided",
       {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
       9.5,
       0,
       false,
       10,
       1,
       9,
       0.021484375},
      // No value off the location: zero trials, nothing against any hypothesis.
      {"no untied value", {"5", "5", "5"}, 5, 0, false, 3, 0, 0, 1},
      {"no untied value, lower", {"5", "5", "5"}, 5, 1, false, 3, 0, 0, 1},
      {"no untied value, upper", {"5", "5", "5"}, 5, 2, false, 3, 0, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    Columns({"V"}, {c.Values});
    const TSignLocationResult r =
        SignTestLocation(DataList(), 1, c.Location, c.Alt, c.IncludeEqual);
    EXPECT_EQ(r.N, c.N);
    EXPECT_EQ(r.Above, c.Above);
    EXPECT_EQ(r.Below, c.Below);
    EXPECT_NEAR(r.P, c.P, 1e-7);  // BetaI's accuracy
  }
}

TEST_F(NonparametricTest, WilcoxonSignedRanks) {
  // wilcox.test(c(-5, 1:4, 6:9), exact = FALSE, correct = FALSE): p 0.0381517101734; z from
  // qnorm(p of alternative = "greater", lower.tail = FALSE) = 2.07322107216. The mean
  // ranks are equal (5 and 5), yet R+ = 40 is far from N(N + 1)/4 = 22.5.
  Columns({"V"}, {{"-5", "1", "2", "3", "4", "6", "7", "8", "9"}});
  TSignedRankResult r = WilcoxonSignedRank(DataList(), 1, 0, 0, 0);
  EXPECT_EQ(r.N, 9);
  EXPECT_EQ(r.Untied, 9);
  EXPECT_DOUBLE_EQ(r.MeanRankPositive, 5);
  EXPECT_DOUBLE_EQ(r.MeanRankNegative, 5);
  EXPECT_NEAR(r.Z, 2.07322107216, 1e-9);
  EXPECT_NEAR(r.P, 0.0381517101734, 1e-9);

  // Every pair equal: nothing ranked, z 0, p 1.
  Columns({"A", "B"}, {{"1", "2", "3"}, {"1", "2", "3"}});
  r = WilcoxonSignedRank(DataList(), 1, 2, 0, 0);
  EXPECT_EQ(r.N, 3);
  EXPECT_EQ(r.Untied, 0);
  EXPECT_EQ(r.MeanRankPositive, 0);
  EXPECT_EQ(r.MeanRankNegative, 0);
  EXPECT_EQ(r.Z, 0);
  EXPECT_EQ(r.P, 1);
}

TEST_F(NonparametricTest, MannWhitneyEdges) {
  // All values equal: no spread, z = 0.
  Columns({"A", "B"}, {{"4", "4", "4"}, {"4", "4"}});
  TMannWhitneyResult r = MannWhitney(DataList(), NPByColumns, 0, 1, 2, 0, 0);
  EXPECT_EQ(r.Z, 0);
  EXPECT_EQ(r.P, 1);
  // An empty group on either side: not available.
  for (auto [g1, g2] : {std::pair{1, 2}, std::pair{2, 1}}) {
    Columns({"A", "B"}, {{"1", "2", "3"}, {"", "", ""}});
    StatError = 0;
    r = MannWhitney(DataList(), NPByColumns, 0, g1, g2, 0, 0);
    EXPECT_EQ(r.P, NotAvailable) << g1;
    EXPECT_EQ(StatError, 1);
    EXPECT_FALSE(std::isnan(r.Z));
  }
}

TEST_F(NonparametricTest, MedianTestCountsBelowWhenNothingIsAbove) {
  // Median 2; no value above it, so the values below are counted: group 1 has 1 of 3
  // below, group 2 none of 3. Group 1 is lower, so the data speak against M1 >= M2 only.
  Columns({"A", "B"}, {{"1", "2", "2"}, {"2", "2", "2"}});
  TMedianTestResult r = MedianTest(DataList(), NPByColumns, 0, 1, 2, 0, 1);
  EXPECT_FALSE(r.Above);
  EXPECT_EQ(r.Count1, 1);
  EXPECT_EQ(r.Count2, 0);
  // fisher.test(rbind(c(1, 0), c(2, 3)), alternative = "greater") = 0.5
  EXPECT_NEAR(r.P, 0.5, 1e-12);
  r = MedianTest(DataList(), NPByColumns, 0, 1, 2, 0, 2);
  EXPECT_NEAR(r.P, 1, 1e-12);  // alternative = "less"
  // All equal: no value above or below, not available.
  Columns({"A", "B"}, {{"2", "2"}, {"2", "2"}});
  r = MedianTest(DataList(), NPByColumns, 0, 1, 2, 0, 0);
  EXPECT_FALSE(r.Above);
  EXPECT_EQ(r.P, NotAvailable);
}

TEST_F(NonparametricTest, SpearmanWithoutSpreadOrWithPerfectRanks) {
  struct {
    const char* Case;
    std::vector<std::string> A, B;
    double Rs, P;
    bool Undefined;
  } cases[] = {
      {"two pairs", {"1", "2"}, {"3", "4"}, 0, 1, false},
      {"constant column", {"1", "2", "3", "4"}, {"5", "5", "5", "5"}, 0, 1, false},
      {"same order", {"1", "2", "3", "4"}, {"10", "20", "30", "45"}, 1, 0, true},
      {"reversed", {"1", "2", "3", "4"}, {"9", "8", "7", "1"}, -1, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    Columns({"A", "B"}, {c.A, c.B});
    const TSpearmanResult r = SpearmanRank(DataList(), 1, 2);
    EXPECT_EQ(r.Rs, c.Rs);
    EXPECT_EQ(r.P, c.P);
    EXPECT_EQ(r.TUndefined, c.Undefined);
    if (!c.Undefined) {
      EXPECT_EQ(r.T, 0);
    }
  }
}

TEST_F(NonparametricTest, KruskalWallisEdges) {
  // All tied: H would be 0/0; coin::kruskal_test gives 0 and p 1.
  Columns({"G", "M"}, {{"1", "1", "2", "2"}, {"3", "3", "3", "3"}});
  TKruskalWallisResult r = KruskalWallis(DataList(), 1, 1, 2, 2);
  EXPECT_EQ(r.H, 0);
  EXPECT_EQ(r.P, 1);
  // One value: nothing to rank against.
  Columns({"G", "M"}, {{"1"}, {"3"}});
  r = KruskalWallis(DataList(), 1, 1, 2, 2);
  EXPECT_EQ(r.H, 0);
  EXPECT_EQ(r.P, 1);
  // Code 2 of the range 1..3 has no cases and is not a group:
  // kruskal.test(c(1, 2, 3, 4, 5, 6), c(1, 1, 1, 3, 3, 3)): H 3.85714285714, p 0.0495346134356
  Columns({"G", "M"}, {{"1", "1", "1", "3", "3", "3"}, {"1", "2", "3", "4", "5", "6"}});
  r = KruskalWallis(DataList(), 1, 1, 3, 2);
  EXPECT_EQ(r.Groups, 2);
  EXPECT_NEAR(r.H, 3.85714285714, 1e-9);
  EXPECT_NEAR(r.P, 0.0495346134356, 1e-9);
  // The matrix is left with each case's code and rank, for the analysis of variance.
  EXPECT_EQ(Column(0), (std::vector<double>{1, 1, 1, 3, 3, 3}));
  EXPECT_EQ(Column(1), (std::vector<double>{1, 2, 3, 4, 5, 6}));
}

// The generated sample against R 4.2.2 (wilcox.test(exact = FALSE, correct = FALSE),
// kruskal.test, cor.test(method = "spearman", exact = FALSE), fisher.test, binom.test) on
//   i <- 1:1500; X <- (7*i) %% 11 + (i %% 4); Y <- (5*i) %% 13 + X %/% 2; G <- i %% 4 + 1
//   A <- ifelse(i <= 1400, 0, 1); B <- ifelse(i <= 1300, 0, 2); W <- ifelse(i %% 2 == 1, 20240101,
//   1)
// with the calls beside the values; z from R's p-values: qnorm(p of the one-sided alternative).
TEST_F(NonparametricTest, GeneratedSampleAgainstR) {
  TDataList& d = Generated();
  {
    // x1 <- X[G == 1]; x2 <- X[G == 2]; wilcox.test(x1, x2, ...)
    const TMannWhitneyResult r = MannWhitney(d, NPByReference, G, 1, 2, X, 0);
    EXPECT_EQ(r.N1, 375);
    EXPECT_EQ(r.N2, 375);
    EXPECT_NEAR(r.MeanRank1, 342.858666667, 1e-8);
    EXPECT_NEAR(r.MeanRank2, 408.141333333, 1e-8);
    EXPECT_NEAR(r.Z, -4.14207573164, 1e-9);
    EXPECT_NEAR(r.P, 3.44176649869e-05, 1e-12);
    EXPECT_NEAR(MannWhitney(d, NPByReference, G, 1, 2, X, 1).P, 1.72088324934e-05,
                1e-12);  // "less"
  }
  {
    // wilcox.test(A, B, ...): 2900 of 3000 values in one tie.
    const TMannWhitneyResult r = MannWhitney(d, NPByColumns, 0, A, B, 0, 0);
    EXPECT_NEAR(r.MeanRank1, 1443.83333333, 1e-7);
    EXPECT_NEAR(r.MeanRank2, 1557.16666667, 1e-7);
    EXPECT_NEAR(r.Z, -6.88759941672, 1e-8);
    EXPECT_NEAR(r.P, 5.67417184958e-12, 1e-15);
  }
  {
    // wilcox.test(X, Y, paired = TRUE, ...): z = qnorm(p of "less") = -20.0074365403
    const TSignedRankResult r = WilcoxonSignedRank(d, X, Y, 0, 0);
    EXPECT_EQ(r.N, 1500);
    EXPECT_EQ(r.Untied, 1383);
    EXPECT_EQ(r.Positive, 403);
    EXPECT_NEAR(r.MeanRankPositive, 451.353598015, 1e-8);
    EXPECT_NEAR(r.MeanRankNegative, 790.959693878, 1e-8);
    EXPECT_NEAR(r.Z, -20.0074365403, 1e-8);
    EXPECT_NEAR(r.P, 0, 1e-15);  // 4.7e-89
    // wilcox.test(X, mu = 5, ...): z = 15.5921374853
    const TSignedRankResult one = WilcoxonSignedRank(d, X, 0, 5, 2);
    EXPECT_EQ(one.Untied, 1363);
    EXPECT_NEAR(one.Z, 15.5921374853, 1e-8);
  }
  {
    // cor.test(X, Y, method = "spearman", exact = FALSE)
    const TSpearmanResult r = SpearmanRank(d, X, Y);
    EXPECT_EQ(r.N, 1500);
    EXPECT_NEAR(r.Rs, 0.387128834758, 1e-11);
    EXPECT_NEAR(r.T, 16.2505637887, 1e-9);
    EXPECT_NEAR(r.P, 8.12146594443e-55, 1e-60);
  }
  {
    // kruskal.test(X, G), kruskal.test(X, W), kruskal.test(X[G != 3], G[G != 3])
    TKruskalWallisResult r = KruskalWallis(d, G, 1, 4, X);
    EXPECT_EQ(r.Groups, 4);
    EXPECT_NEAR(r.H, 150.442466421, 1e-8);
    EXPECT_NEAR(r.P, 2.11503380666e-32, 1e-37);
    r = KruskalWallis(d, W, 1, 20240101, X);
    EXPECT_EQ(r.Groups, 2);
    EXPECT_NEAR(r.H, 30.0188967238, 1e-8);
    EXPECT_NEAR(r.P, 4.2785643731e-08, 1e-13);
  }
  {
    // M <- median(c(x1, x2)) = 6; counts above 136 and 171 of 375 each;
    // fisher.test(rbind(c(136, 171), c(239, 204))): 0.0115177919095, "less" 0.00575889595477
    TMedianTestResult r = MedianTest(d, NPByReference, G, 1, 2, X, 0);
    EXPECT_TRUE(r.Above);
    EXPECT_EQ(r.Median, 6);
    EXPECT_EQ(r.Count1, 136);
    EXPECT_EQ(r.Count2, 171);
    EXPECT_NEAR(r.P, 0.0115177919095, 1e-12);
    EXPECT_NEAR(MedianTest(d, NPByReference, G, 1, 2, X, 1).P, 0.00575889595477, 1e-12);
  }
  {
    // binom.test(403, 1383): 9.91057386681e-56; sum(X > 5) = 887 of 1363 untied,
    // binom.test(887, 1363) 4.49597790522e-29
    const TPairedSignResult p = PairedSignTest(d, X, Y, 0);
    EXPECT_EQ(p.Positive, 403);
    EXPECT_EQ(p.Untied, 1383);
    EXPECT_EQ(p.N, 1500);
    EXPECT_NEAR(p.P, 9.91057386681e-56, 1e-7);
    const TSignLocationResult s = SignTestLocation(d, X, 5, 0, false);
    EXPECT_EQ(s.Above, 887);
    EXPECT_EQ(s.Below, 476);
    EXPECT_NEAR(s.P, 4.49597790522e-29, 1e-7);
  }
}

}  // namespace
}  // namespace sorvel
