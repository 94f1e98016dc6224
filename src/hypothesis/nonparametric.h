// The nonparametric engine: a two-column work matrix filled by loaders from the data set,
// sorting and tie-aware ranking, and the sign, signed-rank, rank-sum, median, Spearman and
// Kruskal-Wallis tests on it. Qt-free; the Nonparametric Tests analysis and the one-way
// analysis of variance (Kruskal-Wallis) call it.
//
// Alternative codes: 0 two-sided, 1 lower (the data speak against "M1 >= M2"), 2 upper.
// Every loader brings the data set up to date first and counts only the cases that pass
// Process If; a value that fails the missing-value rule leaves its case out.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace sorvel {

class TDataList;

// The work matrix: rows 1..N of two values (row 0 unused). It grows to what a loader asks
// for and is never shrunk; N and the two group counts are set by the loaders.
struct TNPWork {
  std::vector<std::array<double, 2>> Rows;
  std::int64_t N = 0, N1 = 0, N2 = 0;
};
TNPWork& NPWork();
// Releases the matrix and zeroes the counts (for tests).
void ResetNonparametricState();

// The text shown when the transformation fails during a load; the load then starts again
// untransformed, so no set mixes transformed and raw values.
inline constexpr const char* NPTransformErrorText = "Transform Error - Turning off Transform";

// Loaders. Column 0 holds the group (1 or 2, or the case's rounded code), column 1 the
// transformed measure; LoadPairs keeps both values as stored.
void LoadTwoColumns(TDataList& data, int colA, int colB);
void LoadTwoGroups(TDataList& data, int groupCol, std::int64_t code1, std::int64_t code2,
                   int measureCol);
void LoadGroupRange(TDataList& data, int groupCol, std::int64_t low, std::int64_t high,
                    int measureCol);
void LoadPairs(TDataList& data, int colA, int colB);

// Ascending sort of rows 1..count by one column; rows move whole.
void SortRows(int col, std::int64_t count);
// Replaces column col of rows 1..N by its ranks (ties get their mean rank) and returns the
// tie sum T = sum over groups of t tied values of (t^3 - t)/12. Leaves the rows sorted.
double RankColumn(int col);

struct TSignLocationResult {
  std::int64_t N = 0, Above = 0, Below = 0;
  double P = 1;
};
// One column's valid values as stored against a location; includeEqual (one-sided only)
// counts the values at the location against the hypothesis.
TSignLocationResult SignTestLocation(TDataList& data, int col, double location, int alt,
                                     bool includeEqual);

struct TPairedSignResult {
  std::int64_t N = 0, Untied = 0, Positive = 0;
  double P = 1;
};
TPairedSignResult PairedSignTest(TDataList& data, int colA, int colB, int alt);

struct TSignedRankResult {
  std::int64_t N = 0;       // cases with both values valid
  std::int64_t Untied = 0;  // of them, the cases whose values differ
  std::int64_t Positive = 0, Negative = 0;
  double MeanRankPositive = 0, MeanRankNegative = 0, Z = 0, P = 1;
};
// Paired (colB > 0), or one column against the location (colB = 0).
TSignedRankResult WilcoxonSignedRank(TDataList& data, int colA, int colB, double location, int alt);

// How the two groups of the two-sample tests are given.
enum : int {
  NPByColumns = 1,    // two columns
  NPByReference = 2,  // a grouping column's two codes
};

struct TMannWhitneyResult {
  std::int64_t N1 = 0, N2 = 0;
  double MeanRank1 = 0, MeanRank2 = 0, Z = 0;
  double P = 999;  // 999 (and StatError 1) when a group is empty
};
// mode NPByColumns: group1 and group2 are columns (groupCol unused); NPByReference: they
// are codes of groupCol.
TMannWhitneyResult MannWhitney(TDataList& data, int mode, int groupCol, std::int64_t group1,
                               std::int64_t group2, int measureCol, int alt);

struct TMedianTestResult {
  bool Above = true;  // counts of values above the median; false: below it
  std::int64_t Count1 = 0, Count2 = 0, N1 = 0, N2 = 0;
  double Median = 0;
  double P = 999;
};
TMedianTestResult MedianTest(TDataList& data, int mode, int groupCol, std::int64_t group1,
                             std::int64_t group2, int measureCol, int alt);

struct TSpearmanResult {
  std::int64_t N = 0;
  double Rs = 0, T = 0, P = 1;
  bool TUndefined = false;  // |r(s)| = 1: t is unbounded and p is 0
};
// Pairs as stored (no transformation).
TSpearmanResult SpearmanRank(TDataList& data, int colA, int colB);

struct TKruskalWallisResult {
  std::int64_t N = 0;
  int Groups = 0;  // codes of the range that have cases
  double H = 0, P = 1;
};
// Groups: the codes low..high of groupCol (rounded); a code without cases is not a group.
// Leaves the matrix holding every included case's code and rank.
TKruskalWallisResult KruskalWallis(TDataList& data, int groupCol, std::int64_t low,
                                   std::int64_t high, int measureCol);

}  // namespace sorvel
