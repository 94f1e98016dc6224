#include "hypothesis/nonparametric.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "data/data_list.h"
#include "data/data_rules.h"
#include "data/data_state.h"
#include "numerics/common.h"
#include "numerics/discrete.h"
#include "numerics/distributions.h"
#include "numerics/radix_sort.h"

namespace sorvel {

namespace {

TNPWork& Work() {
  static TNPWork work;
  return work;
}

TTails SideOf(int alt) { return alt == 1 ? TTails::Lower : alt == 2 ? TTails::Upper : TTails::Two; }

double ZP(double z, int alt) { return NormalTailExact(z, SideOf(alt)); }

bool IsColumn(const TDataList& data, int c) {
  return c >= 1 && c <= data.MaxCol() && c <= MaxColumns;
}

// The rounded group code of a cell, as the level loads round (halves to even).
std::int64_t CodeOf(double x) {
  constexpr double lim = 9.2e18;
  return static_cast<std::int64_t>(std::clamp(std::nearbyint(x), -lim, lim));
}

void Prepare(TDataList& data) {
  if (data.DataChanged) data.UpdateData();
}

void Reserve(std::int64_t rows) {
  auto& w = Work();
  if (static_cast<std::int64_t>(w.Rows.size()) < rows + 1) w.Rows.resize(rows + 1);
}

void Clear() {
  auto& w = Work();
  w.N = w.N1 = w.N2 = 0;
}

void Add(double c0, double c1) {
  auto& w = Work();
  w.Rows[++w.N] = {c0, c1};
}

// The active transformation on one value. On an error the transformation is switched off
// and the error shown; false tells the loader to start again, untransformed.
bool NPTransformed(double& x) {
  if (TransformRec.no == TransformNone) return true;
  if (TransformValue(TransformRec, x)) return true;
  TransformRec.no = TransformNone;
  DataMessage(NPTransformErrorText);
  return false;
}

// Runs a load; after a transform error (reported once) it runs again with the
// transformation off, so the values before the failing one are not left transformed.
template <class F>
void LoadTransformed(TDataList& data, F&& fill) {
  Prepare(data);
  if (!fill()) fill();
}

// The measure of row r, transformed; false on a transform error.
bool Measure(const TDataList& data, int col, int r, double& x) {
  x = data.CellArray[col][r];
  return NPTransformed(x);
}

}  // namespace

TNPWork& NPWork() { return Work(); }

void ResetNonparametricState() { Work() = TNPWork(); }

void LoadTwoColumns(TDataList& data, int colA, int colB) {
  LoadTransformed(data, [&] {
    Clear();
    Reserve(2 * std::int64_t(data.Ncount));
    auto& w = Work();
    const bool a = IsColumn(data, colA), b = IsColumn(data, colB);
    for (int r = 1; r <= data.Ncount; ++r) {
      if (!data.ProcessOK(r)) continue;
      double x;
      if (a && data.DataValid(colA, r)) {
        if (!Measure(data, colA, r, x)) return false;
        Add(1, x);
        ++w.N1;
      }
      if (b && data.DataValid(colB, r)) {
        if (!Measure(data, colB, r, x)) return false;
        Add(2, x);
        ++w.N2;
      }
    }
    return true;
  });
}

void LoadTwoGroups(TDataList& data, int groupCol, std::int64_t code1, std::int64_t code2,
                   int measureCol) {
  LoadTransformed(data, [&] {
    Clear();
    Reserve(data.Ncount);
    auto& w = Work();
    if (!IsColumn(data, groupCol) || !IsColumn(data, measureCol)) return true;
    for (int r = 1; r <= data.Ncount; ++r) {
      if (!data.HasValue(groupCol, r) || !data.DataValid(measureCol, r) || !data.ProcessOK(r))
        continue;
      const std::int64_t code = CodeOf(data.CellArray[groupCol][r]);
      const int id = code == code1 ? 1 : code == code2 ? 2 : 0;
      if (id == 0) continue;
      double x;
      if (!Measure(data, measureCol, r, x)) return false;
      Add(id, x);
      ++(id == 1 ? w.N1 : w.N2);
    }
    return true;
  });
}

void LoadGroupRange(TDataList& data, int groupCol, std::int64_t low, std::int64_t high,
                    int measureCol) {
  LoadTransformed(data, [&] {
    Clear();
    Reserve(data.Ncount);
    if (!IsColumn(data, groupCol) || !IsColumn(data, measureCol)) return true;
    for (int r = 1; r <= data.Ncount; ++r) {
      if (!data.HasValue(groupCol, r) || !data.DataValid(measureCol, r) || !data.ProcessOK(r))
        continue;
      const std::int64_t code = CodeOf(data.CellArray[groupCol][r]);
      if (code < low || code > high) continue;
      double x;
      if (!Measure(data, measureCol, r, x)) return false;
      Add(static_cast<double>(code), x);
    }
    return true;
  });
}

void LoadPairs(TDataList& data, int colA, int colB) {
  Prepare(data);
  Clear();
  Reserve(data.Ncount);
  if (!IsColumn(data, colA) || !IsColumn(data, colB)) return;
  for (int r = 1; r <= data.Ncount; ++r) {
    if (!data.DataValid(colA, r) || !data.DataValid(colB, r) || !data.ProcessOK(r)) continue;
    Add(data.CellArray[colA][r], data.CellArray[colB][r]);
  }
}

namespace {

// The rows by one column through the radix sort on its order-preserving key; the other
// column travels with it.
void RadixSortRows(std::array<double, 2>* rows, std::int64_t count, int col) {
  struct TItem {
    std::uint64_t Key;
    double Other;
  };
  static std::vector<TItem> a, b;
  const auto n = static_cast<std::size_t>(count);
  a.resize(n);
  b.resize(n);
  for (std::size_t i = 0; i < n; ++i) a[i] = {OrderKey(rows[i][col]), rows[i][1 - col]};
  const TItem* sorted = RadixSortByKey(a.data(), n, b.data(), [](const TItem& t) { return t.Key; });
  for (std::size_t i = 0; i < n; ++i) {
    rows[i][col] = FromOrderKey(sorted[i].Key);
    rows[i][1 - col] = sorted[i].Other;
  }
}

}  // namespace

void SortRows(int col, std::int64_t count) {
  auto& rows = Work().Rows;
  count = std::min<std::int64_t>(count, static_cast<std::int64_t>(rows.size()) - 1);
  if (count < 2) return;
  if (count < 4096) {
    std::sort(rows.begin() + 1, rows.begin() + 1 + count,
              [col](const auto& x, const auto& y) { return x[col] < y[col]; });
    return;
  }
  RadixSortRows(rows.data() + 1, count, col);
}

double RankColumn(int col) {
  auto& w = Work();
  SortRows(col, w.N);
  double t = 0;
  for (std::int64_t a = 1; a <= w.N;) {
    std::int64_t b = a;
    while (b < w.N && w.Rows[b + 1][col] == w.Rows[a][col]) ++b;
    const double rank = (static_cast<double>(a) + static_cast<double>(b)) / 2;
    for (std::int64_t i = a; i <= b; ++i) w.Rows[i][col] = rank;
    // In doubles: t^3 overflows 32 bits from t = 1291.
    const double tied = static_cast<double>(b - a + 1);
    t += (tied * tied * tied - tied) / 12;
    a = b + 1;
  }
  return t;
}

TSignLocationResult SignTestLocation(TDataList& data, int col, double location, int alt,
                                     bool includeEqual) {
  Prepare(data);
  TSignLocationResult res;
  if (IsColumn(data, col)) {
    for (int r = 1; r <= data.Ncount; ++r) {
      if (!data.DataValid(col, r) || !data.ProcessOK(r)) continue;
      const double x = data.CellArray[col][r];
      ++res.N;
      if (x > location)
        ++res.Above;
      else if (x < location)
        ++res.Below;
    }
  }
  if (includeEqual && alt != 0) {
    const std::int64_t k = alt == 1 ? res.Above : res.Below;
    res.P = BinomialTestP(static_cast<int>(k), static_cast<int>(res.N), 0.5, 1);
  } else {
    res.P = BinomialTestP(static_cast<int>(res.Above), static_cast<int>(res.Above + res.Below), 0.5,
                          alt);
  }
  return res;
}

TPairedSignResult PairedSignTest(TDataList& data, int colA, int colB, int alt) {
  Prepare(data);
  TPairedSignResult res;
  if (IsColumn(data, colA) && IsColumn(data, colB)) {
    for (int r = 1; r <= data.Ncount; ++r) {
      if (!data.DataValid(colA, r) || !data.DataValid(colB, r) || !data.ProcessOK(r)) continue;
      const double x = data.CellArray[colA][r], y = data.CellArray[colB][r];
      ++res.N;
      if (x != y) ++res.Untied;
      if (x > y) ++res.Positive;
    }
  }
  res.P = BinomialTestP(static_cast<int>(res.Positive), static_cast<int>(res.Untied), 0.5, alt);
  return res;
}

TSignedRankResult WilcoxonSignedRank(TDataList& data, int colA, int colB, double location,
                                     int alt) {
  TSignedRankResult res;
  const bool paired = colB > 0;
  LoadTransformed(data, [&] {
    Clear();
    Reserve(data.Ncount);
    res = TSignedRankResult();
    if (!IsColumn(data, colA) || (paired && !IsColumn(data, colB))) return true;
    for (int r = 1; r <= data.Ncount; ++r) {
      if (!data.DataValid(colA, r) || (paired && !data.DataValid(colB, r)) || !data.ProcessOK(r))
        continue;
      double x = data.CellArray[colA][r], y = paired ? data.CellArray[colB][r] : location;
      ++res.N;
      if (x == y) continue;
      if (!NPTransformed(x) || !NPTransformed(y)) return false;
      Add(x > y ? 1 : 2, std::fabs(x - y));
      ++(x > y ? res.Positive : res.Negative);
    }
    return true;
  });
  auto& w = Work();
  res.Untied = w.N;
  const double t = RankColumn(1);
  double rPlus = 0;
  for (std::int64_t i = 1; i <= w.N; ++i)
    if (w.Rows[i][0] == 1) rPlus += w.Rows[i][1];
  const double n = static_cast<double>(w.N);
  const double total = n * (n + 1) / 2;
  res.MeanRankPositive = res.Positive > 0 ? rPlus / static_cast<double>(res.Positive) : 0;
  res.MeanRankNegative = res.Negative > 0 ? (total - rPlus) / static_cast<double>(res.Negative) : 0;
  const double v = n * (n + 1) * (2 * n + 1) / 24 - t / 4;
  // R+ centres on N(N + 1)/4 whatever the counts of signs: equal mean ranks are no
  // evidence of no shift (only no spread, v <= 0, leaves z undefined).
  res.Z = v > 0 ? (rPlus - n * (n + 1) / 4) / std::sqrt(v) : 0;
  res.P = ZP(res.Z, alt);
  return res;
}

namespace {

void LoadByMode(TDataList& data, int mode, int groupCol, std::int64_t group1, std::int64_t group2,
                int measureCol) {
  if (mode == NPByColumns)
    LoadTwoColumns(data, static_cast<int>(group1), static_cast<int>(group2));
  else
    LoadTwoGroups(data, groupCol, group1, group2, measureCol);
}

}  // namespace

TMannWhitneyResult MannWhitney(TDataList& data, int mode, int groupCol, std::int64_t group1,
                               std::int64_t group2, int measureCol, int alt) {
  LoadByMode(data, mode, groupCol, group1, group2, measureCol);
  auto& w = Work();
  TMannWhitneyResult res;
  res.N1 = w.N1;
  res.N2 = w.N2;
  const double t = RankColumn(1);
  // Either group empty: there is nothing to compare (an empty first group made z 0/0).
  if (w.N1 == 0 || w.N2 == 0) {
    StatError = 1;
    res.P = NotAvailable;
    return res;
  }
  StatError = 0;
  double r1 = 0;
  for (std::int64_t i = 1; i <= w.N; ++i)
    if (w.Rows[i][0] == 1) r1 += w.Rows[i][1];
  const double n = static_cast<double>(w.N), n1 = static_cast<double>(w.N1),
               n2 = static_cast<double>(w.N2);
  res.MeanRank1 = r1 / n1;
  res.MeanRank2 = (n * (n + 1) / 2 - r1) / n2;
  // n1 n2 and N^3 - N in doubles: in 32 bits they overflow from N = 1291.
  const double v = n > 1 ? n1 * n2 / (n * (n - 1)) * ((n * n * n - n) / 12 - t) : 0;
  res.Z = (res.MeanRank1 == res.MeanRank2 || v <= 0) ? 0 : (r1 - n1 * (n + 1) / 2) / std::sqrt(v);
  res.P = ZP(res.Z, alt);
  return res;
}

TMedianTestResult MedianTest(TDataList& data, int mode, int groupCol, std::int64_t group1,
                             std::int64_t group2, int measureCol, int alt) {
  LoadByMode(data, mode, groupCol, group1, group2, measureCol);
  auto& w = Work();
  TMedianTestResult res;
  res.N1 = w.N1;
  res.N2 = w.N2;
  SortRows(1, w.N);
  if (w.N > 0) {
    const std::int64_t h = w.N / 2;
    res.Median = w.N % 2 == 1 ? w.Rows[h + 1][1] : (w.Rows[h][1] + w.Rows[h + 1][1]) / 2;
  }
  auto count = [&](bool above) {
    res.Count1 = res.Count2 = 0;
    for (std::int64_t i = 1; i <= w.N; ++i) {
      const double x = w.Rows[i][1];
      if (above ? x > res.Median : x < res.Median) ++(w.Rows[i][0] == 1 ? res.Count1 : res.Count2);
    }
  };
  count(true);
  if (res.Count1 == 0 && res.Count2 == 0) {
    res.Above = false;
    count(false);
  }
  // Counted below the median, a small share of group 1 means a larger M1: the one-sided
  // alternatives change places.
  const int side = res.Above ? alt : alt == 1 ? 2 : alt == 2 ? 1 : 0;
  res.P = FisherExact2x2(res.Count1, res.Count2, res.N1 - res.Count1, res.N2 - res.Count2, side);
  return res;
}

TSpearmanResult SpearmanRank(TDataList& data, int colA, int colB) {
  LoadPairs(data, colA, colB);
  auto& w = Work();
  TSpearmanResult res;
  res.N = w.N;
  RankColumn(0);
  RankColumn(1);
  const double n = static_cast<double>(w.N), m = (n + 1) / 2;
  double sxx = 0, syy = 0, sdd = 0;
  for (std::int64_t i = 1; i <= w.N; ++i) {
    const double a = w.Rows[i][0], b = w.Rows[i][1];
    sxx += (a - m) * (a - m);
    syy += (b - m) * (b - m);
    sdd += (a - b) * (a - b);
  }
  if (!(sxx > 0 && syy > 0 && w.N > 2)) return res;
  double rs = (sxx + syy - sdd) / (2 * std::sqrt(sxx * syy));
  // Identical (or reversed) rankings: r(s) is +-1 up to the last bits of the sums.
  if (std::fabs(rs) > 1 - 1e-13) {
    res.Rs = rs > 0 ? 1 : -1;
    res.TUndefined = true;
    res.P = 0;
    return res;
  }
  res.Rs = rs;
  res.T = rs * std::sqrt((n - 2) / (1 - rs * rs));
  res.P = TTail(res.T, n - 2, TTails::Two);
  return res;
}

TKruskalWallisResult KruskalWallis(TDataList& data, int groupCol, std::int64_t low,
                                   std::int64_t high, int measureCol) {
  LoadGroupRange(data, groupCol, low, high, measureCol);
  auto& w = Work();
  TKruskalWallisResult res;
  res.N = w.N;
  const double t = RankColumn(1);
  // Only the codes present are visited: a range 1..20240101 costs what 1..2 does.
  struct TGroup {
    std::int64_t Count = 0;
    double RankSum = 0;
  };
  std::unordered_map<std::int64_t, TGroup> byCode;
  for (std::int64_t i = 1; i <= w.N; ++i) {
    TGroup& g = byCode[static_cast<std::int64_t>(w.Rows[i][0])];
    ++g.Count;
    g.RankSum += w.Rows[i][1];
  }
  // Summed in code order, so the same data give the same last digits.
  std::vector<std::pair<std::int64_t, TGroup>> groups(byCode.begin(), byCode.end());
  std::sort(groups.begin(), groups.end(),
            [](const auto& x, const auto& y) { return x.first < y.first; });
  double s = 0;
  for (const auto& [code, g] : groups) s += g.RankSum * g.RankSum / static_cast<double>(g.Count);
  res.Groups = static_cast<int>(groups.size());
  const double n = static_cast<double>(w.N);
  const double ties = n > 1 ? 1 - 12 * t / (n * n * n - n) : 0;
  // Fewer than two values, or all of them tied: no ranking to test (H would be 0/0).
  if (n < 2 || ties <= 0) return res;
  res.H = (12 * s / (n * (n + 1)) - 3 * (n + 1)) / ties;
  if (res.H < 0) res.H = 0;  // rounding below an exact 0
  res.P = res.Groups > 1 ? ChiSqTail(res.H, res.Groups - 1, TTails::Upper) : 1;
  return res;
}

}  // namespace sorvel
