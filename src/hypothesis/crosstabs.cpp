#include "hypothesis/crosstabs.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>

#include "data/data_list.h"
#include "data/data_rules.h"
#include "data/data_state.h"
#include "data/grid_edit.h"
#include "numerics/common.h"
#include "numerics/discrete.h"
#include "numerics/distributions.h"
#include "numerics/format.h"
#include "numerics/specfunc.h"
#include "output/grid_print.h"
#include "output/report_writer.h"

namespace sorvel {

namespace {

const std::string Chi2 = "\xCF\x87\xC2\xB2", Lambda = "\xCE\xBB", Kappa = "\xCE\xBA";

// Distinct values of a column, numbered in order of first appearance: open addressing on
// the value's bits, so a million lookups cost a few milliseconds.
class TValueIndex {
 public:
  TValueIndex() : keys_(64), ids_(64, -1) {}
  int Id(double v) {
    // Codes and small whole numbers, the usual categories, skip the hash.
    if (v >= 0 && v < SmallCount && v == static_cast<int>(v)) {
      int& slot = small_[static_cast<int>(v)];
      if (slot < 0) {
        slot = static_cast<int>(values_.size());
        values_.push_back(static_cast<int>(v));  // -0 and 0 are one category
      }
      return slot;
    }
    std::uint64_t key;
    std::memcpy(&key, &v, sizeof key);
    std::size_t mask = keys_.size() - 1;
    std::size_t h = Hash(key) & mask;
    while (ids_[h] >= 0) {
      if (keys_[h] == key) return ids_[h];
      h = (h + 1) & mask;
    }
    const int id = static_cast<int>(values_.size());
    keys_[h] = key;
    ids_[h] = id;
    values_.push_back(v);
    if (values_.size() * 2 > keys_.size()) Grow();
    return id;
  }
  int Count() const { return static_cast<int>(values_.size()); }
  // id -> 1-based rank among the sorted values.
  std::vector<int> Ranks(std::vector<double>& sorted) const {
    std::vector<int> order(values_.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return values_[a] < values_[b]; });
    std::vector<int> rank(values_.size());
    sorted.assign(1, 0.0);
    for (std::size_t k = 0; k < order.size(); ++k) {
      rank[order[k]] = static_cast<int>(k) + 1;
      sorted.push_back(values_[order[k]]);
    }
    sorted[0] = static_cast<double>(values_.size());
    return rank;
  }

 private:
  static std::size_t Hash(std::uint64_t k) {
    k ^= k >> 33;
    k *= 0xff51afd7ed558ccdULL;
    k ^= k >> 33;
    return static_cast<std::size_t>(k);
  }
  void Grow() {
    std::vector<std::uint64_t> keys(keys_.size() * 2);
    std::vector<int> ids(ids_.size() * 2, -1);
    const std::size_t mask = keys.size() - 1;
    for (std::size_t s = 0; s < keys_.size(); ++s) {
      if (ids_[s] < 0) continue;
      std::size_t h = Hash(keys_[s]) & mask;
      while (ids[h] >= 0) h = (h + 1) & mask;
      keys[h] = keys_[s];
      ids[h] = ids_[s];
    }
    keys_.swap(keys);
    ids_.swap(ids);
  }
  static constexpr int SmallCount = 4096;
  std::vector<std::uint64_t> keys_;
  std::vector<int> ids_;
  std::vector<int> small_ = std::vector<int>(SmallCount, -1);
  std::vector<double> values_;
};

// Loads column v (Process If, the pairs filter when set, the missing-value rule and the
// transformation applied) and numbers each value's category into ids.
std::size_t LoadIds(TDataList& data, int v, TValueIndex& index, std::vector<int>& ids) {
  TRunInfo ri;
  ri.ColRefRun = LoadColumn;
  data.DataToA_Array(v, ri);
  const std::size_t n = static_cast<std::size_t>(std::max(0, A_ArrayCount));
  if (ids.size() < n) ids.resize(n);
  const double* x = A_Array.data() + 1;
  for (std::size_t k = 0; k < n; ++k) ids[k] = index.Id(x[k]);
  return n;
}

std::string CategoryName(const TDataList& data, int column, double value) {
  if (column >= 1 && column <= data.MaxCol() && data.StringVar[column])
    return data.GetLevelName(column, static_cast<int>(value));
  return FormatGeneral(value);
}

std::vector<int> Positions(std::vector<int> p, int count) {
  std::sort(p.begin(), p.end());
  p.erase(std::unique(p.begin(), p.end()), p.end());
  p.erase(std::remove_if(p.begin(), p.end(), [&](int k) { return k < 1 || k > count; }), p.end());
  return p;
}

// Matched categories of kappa and the symmetry test: values that are both a column and
// a row category, with their positions.
struct TMatch {
  int Col, Row;
  double Value;
};
std::vector<TMatch> MatchedCells(const TCrossTab& t) {
  std::vector<TMatch> m;
  for (int i = 1; i <= t.I(); ++i)
    for (int j = 1; j <= t.J(); ++j)
      if (t.C1Index[i] == t.C2Index[j]) {
        m.push_back({i, j, t.C1Index[i]});
        break;
      }
  return m;
}

}  // namespace

std::string TableSizeQuestion(long long cells) {
  return "Table Size = " + std::to_string(cells) + ".  Continue?";
}

// ------------------------------------------------------------------ the table

int TCrossTab::GenerateFreqArray(TDataList& data, int first, int second,
                                 const std::function<bool(long long)>& confirm) {
  if (!data.HaveData()) {
    C1Index = {1, 1};
    C2Index = {1, 1};
    C1IndexLength = C2IndexLength = 1;
    FreqArray.assign(2, std::vector<std::int64_t>(2, 0));
    ColGroupNames = {"", "1"};
    RowGroupNames = {"", "1"};
    return StatError = 0;
  }
  StatError = 0;
  if (first == 0 || second == 0) return StatError = 2;
  data.IncludeCol.fill(false);
  if (first <= MaxColumns) data.IncludeCol[first] = true;
  if (second <= MaxColumns) data.IncludeCol[second] = true;

  // Category numbers of each load, kept between runs: a million cases would otherwise
  // cost fresh pages every time.
  static thread_local std::vector<int> idA, idB;
  TValueIndex colIndex, rowIndex;
  std::size_t nA = 0, nB = 0, pairs = 0;
  auto load = [&] {
    colIndex = TValueIndex();
    rowIndex = TValueIndex();
    nA = LoadIds(data, first, colIndex, idA);
    nB = LoadIds(data, second, rowIndex, idB);
    pairs = nA;
    // Every case valid in both columns: the two loads are already the pairs.
    if (nA == nB && nA == static_cast<std::size_t>(std::max(0, data.Ncount))) return;
    data.SetProcessPairs(first, second);
    const int known1 = colIndex.Count(), known2 = rowIndex.Count();
    pairs = LoadIds(data, first, colIndex, idA);
    const std::size_t pairs2 = LoadIds(data, second, rowIndex, idB);
    data.SetProcessPairs(0, 0);
    // The paired loads deliver a subset of the single ones.
    if (pairs2 != pairs || colIndex.Count() != known1 || rowIndex.Count() != known2) pairs = 0;
  };
  const bool transforming = TransformRec.no != TransformNone;
  load();
  // A transformation error switches the transformation off part-way: read all again.
  if (transforming && TransformRec.no == TransformNone) load();
  if (nA == 0) return StatError = 1;
  if (nB == 0) return StatError = 2;

  std::vector<double> c1, c2;
  const std::vector<int> colRank = colIndex.Ranks(c1), rowRank = rowIndex.Ranks(c2);
  const long long cells =
      static_cast<long long>(c1.size() - 1) * static_cast<long long>(c2.size() - 1);
  if (cells > CTMaxCells) return StatError = 98;
  if (cells > CTAskCells && confirm && !confirm(cells)) return StatError = 99;

  C1Index = std::move(c1);
  C2Index = std::move(c2);
  C1IndexLength = static_cast<int>(C1Index.size()) - 1;
  C2IndexLength = static_cast<int>(C2Index.size()) - 1;
  // Counted by first-appearance numbers in one flat array, then placed in sorted order.
  const std::size_t k2 = static_cast<std::size_t>(C2IndexLength);
  std::vector<std::int64_t> flat(static_cast<std::size_t>(C1IndexLength) * k2, 0);
  for (std::size_t k = 0; k < pairs; ++k)
    ++flat[static_cast<std::size_t>(idA[k]) * k2 + static_cast<std::size_t>(idB[k])];
  FreqArray.assign(C1IndexLength + 1, std::vector<std::int64_t>(C2IndexLength + 1, 0));
  for (std::size_t a = 0; a < static_cast<std::size_t>(C1IndexLength); ++a)
    for (std::size_t b = 0; b < k2; ++b) FreqArray[colRank[a]][rowRank[b]] = flat[a * k2 + b];
  Recount();
  ColGroupNames.assign(1, "");
  for (int i = 1; i <= C1IndexLength; ++i)
    ColGroupNames.push_back(CategoryName(data, first, C1Index[i]));
  RowGroupNames.assign(1, "");
  for (int j = 1; j <= C2IndexLength; ++j)
    RowGroupNames.push_back(CategoryName(data, second, C2Index[j]));
  return StatError;
}

void TCrossTab::Recount() {
  const int nI = I(), nJ = J();
  std::int64_t n = 0;
  for (int j = 1; j <= nJ; ++j) FreqArray[0][j] = 0;
  for (int i = 1; i <= nI; ++i) {
    std::int64_t col = 0;
    for (int j = 1; j <= nJ; ++j) {
      col += FreqArray[i][j];
      FreqArray[0][j] += FreqArray[i][j];
    }
    FreqArray[i][0] = col;
    n += col;
  }
  FreqArray[0][0] = n;
  C1Index[0] = nI;
  C2Index[0] = nJ;
}

void TCrossTab::Resize(int columns, int rows) {
  columns = std::max(1, columns);
  rows = std::max(1, rows);
  for (int i = I() + 1; i <= columns; ++i) {
    C1Index.push_back(i);
    ColGroupNames.push_back(std::to_string(i));
  }
  for (int j = J() + 1; j <= rows; ++j) {
    C2Index.push_back(j);
    RowGroupNames.push_back(std::to_string(j));
  }
  C1Index.resize(columns + 1);
  C2Index.resize(rows + 1);
  ColGroupNames.resize(columns + 1);
  RowGroupNames.resize(rows + 1);
  FreqArray.resize(columns + 1);
  for (auto& col : FreqArray) col.resize(rows + 1, 0);
  C1IndexLength = columns;
  C2IndexLength = rows;
  StatError = 0;
  Recount();
}

void TCrossTab::SetCounts(const std::vector<std::vector<std::int64_t>>& rows) {
  std::size_t columns = 0;
  for (const auto& r : rows) columns = std::max(columns, r.size());
  C1Index.assign(1, 0);
  C2Index.assign(1, 0);
  ColGroupNames.assign(1, "");
  RowGroupNames.assign(1, "");
  FreqArray.assign(1, std::vector<std::int64_t>(1, 0));
  C1IndexLength = C2IndexLength = 0;
  Resize(static_cast<int>(columns), static_cast<int>(rows.size()));
  for (std::size_t j = 0; j < rows.size(); ++j)
    for (std::size_t i = 0; i < rows[j].size(); ++i) FreqArray[i + 1][j + 1] = rows[j][i];
  Recount();
}

void TCrossTab::SetCount(int i, int j, std::int64_t count) {
  if (i < 1 || i > I() || j < 1 || j > J()) return;
  FreqArray[i][j] = count;
  Recount();
}

void TCrossTab::Clear() {
  for (int i = 1; i <= I(); ++i)
    for (int j = 1; j <= J(); ++j) FreqArray[i][j] = 0;
  Recount();
}

void TCrossTab::RemoveColumns(std::vector<int> columns) {
  columns = Positions(std::move(columns), I());
  if (columns.empty() || static_cast<int>(columns.size()) >= I()) return;  // keep one
  for (auto k = columns.rbegin(); k != columns.rend(); ++k) {
    FreqArray.erase(FreqArray.begin() + *k);
    C1Index.erase(C1Index.begin() + *k);
    ColGroupNames.erase(ColGroupNames.begin() + *k);
  }
  C1IndexLength -= static_cast<int>(columns.size());
  Recount();
}

void TCrossTab::RemoveRows(std::vector<int> rows) {
  rows = Positions(std::move(rows), J());
  if (rows.empty() || static_cast<int>(rows.size()) >= J()) return;
  for (auto k = rows.rbegin(); k != rows.rend(); ++k) {
    for (auto& col : FreqArray) col.erase(col.begin() + *k);
    C2Index.erase(C2Index.begin() + *k);
    RowGroupNames.erase(RowGroupNames.begin() + *k);
  }
  C2IndexLength -= static_cast<int>(rows.size());
  Recount();
}

void TCrossTab::MergeColumns(std::vector<int> columns) {
  columns = Positions(std::move(columns), I());
  if (columns.size() < 2) return;
  std::vector<std::string> names;
  for (int k : columns) names.push_back(ColGroupNames[k]);
  const int into = columns.front();
  for (std::size_t s = columns.size() - 1; s >= 1; --s) {
    const int k = columns[s];
    for (int j = 1; j <= J(); ++j) FreqArray[into][j] += FreqArray[k][j];
    FreqArray.erase(FreqArray.begin() + k);
    C1Index.erase(C1Index.begin() + k);
    ColGroupNames.erase(ColGroupNames.begin() + k);
    --C1IndexLength;
  }
  ColGroupNames[into] = MergedName(names);
  Recount();
}

void TCrossTab::MergeRows(std::vector<int> rows) {
  rows = Positions(std::move(rows), J());
  if (rows.size() < 2) return;
  std::vector<std::string> names;
  for (int k : rows) names.push_back(RowGroupNames[k]);
  const int into = rows.front();
  for (std::size_t s = rows.size() - 1; s >= 1; --s) {
    const int k = rows[s];
    for (auto& col : FreqArray) {
      col[into] += col[k];
      col.erase(col.begin() + k);
    }
    C2Index.erase(C2Index.begin() + k);
    RowGroupNames.erase(RowGroupNames.begin() + k);
    --C2IndexLength;
  }
  RowGroupNames[into] = MergedName(names);
  Recount();
}

std::string MergedName(const std::vector<std::string>& names) {
  std::vector<double> numbers;
  for (const auto& s : names) {
    double x = 0;
    if (!ReadPlainNumber(s, x)) break;
    numbers.push_back(x);
  }
  std::string out;
  if (numbers.size() == names.size()) {
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return numbers[a] < numbers[b]; });
    for (std::size_t k : order) out += (out.empty() ? "" : ",") + names[k];
  } else if (!names.empty()) {
    out = names.front();
    for (std::size_t k = names.size() - 1; k >= 1; --k) out += "," + names[k];
  }
  return "[" + out + "]";
}

// ------------------------------------------------------------------ statistics

TCTChiSqr TCrossTab::GenerateChi_Sqr() const {
  TCTChiSqr r;
  const std::int64_t n = N();
  if (n == 0 || StatError != 0) return r;
  const int nI = I(), nJ = J();
  const double dn = static_cast<double>(n);
  double chsq = 0;
  for (int i = 1; i <= nI; ++i)
    for (int j = 1; j <= nJ; ++j) {
      double e;
      if (nI == 1)
        e = dn / nJ;
      else if (nJ == 1)
        e = dn / nI;
      else
        e = static_cast<double>(FreqArray[i][0]) * static_cast<double>(FreqArray[0][j]) / dn;
      if (e > 0) {
        const double d = static_cast<double>(FreqArray[i][j]) - e;
        chsq += d * d / e;
      }
    }
  r.Chsq = chsq;
  // Empty rows and columns carry no freedom and do not size V.
  int usedI = 0, usedJ = 0;
  for (int i = 1; i <= nI; ++i) usedI += FreqArray[i][0] != 0;
  for (int j = 1; j <= nJ; ++j) usedJ += FreqArray[0][j] != 0;
  if (nI == 1 && nJ == 1)
    r.Df = 0;
  else if (nI == 1 || nJ == 1)
    r.Df = std::max(nI, nJ) - 1;
  else
    r.Df = (usedI - 1) * (usedJ - 1);
  r.P = r.Df > 0 ? ChiSqTail(chsq, r.Df, 1) : 999;
  const int m = std::min(usedI, usedJ) - 1;
  r.PhiV = (nI < 2 || nJ < 2 || m < 1) ? 999 : std::sqrt(chsq / dn / m);
  return r;
}

TCTLambda TCrossTab::GenerateLambda() const {
  TCTLambda r;
  if (N() == 0 || I() == 1 || J() == 1 || StatError != 0) return r;
  std::int64_t a = 0, s = 0;
  for (int i = 1; i <= I(); ++i) a = std::max(a, FreqArray[i][0]);
  for (int j = 1; j <= J(); ++j) {
    std::int64_t most = 0;
    for (int i = 1; i <= I(); ++i) most = std::max(most, FreqArray[i][j]);
    s += FreqArray[0][j] - most;
  }
  const std::int64_t rest = N() - a;
  if (rest > 0) r.Lambda = static_cast<double>(rest - s) / static_cast<double>(rest);
  return r;
}

TCTKappa TCrossTab::GenerateKappa() const {
  TCTKappa k;
  if (N() == 0 || StatError != 0) return k;
  const double n = static_cast<double>(N());
  const std::vector<TMatch> m = MatchedCells(*this);
  double po = 0, pc = 0, mm = 0, t = 0;
  for (const TMatch& u : m) {
    const double R = static_cast<double>(FreqArray[u.Col][0]),
                 C = static_cast<double>(FreqArray[0][u.Row]);
    po += static_cast<double>(FreqArray[u.Col][u.Row]) / n;
    pc += R * C / (n * n);
    mm += std::min(R, C) / n;
    t += R * C / (n * n) * (R + C) / n;
  }
  k.Po = po;
  k.Pc = pc;
  if (pc >= 1) {
    k.Kappa = k.KappaMax = 1;
    k.SEk = 0;
    k.Z = 0;
    k.P = 1;
    return k;
  }
  const double rad = pc + pc * pc - t;
  k.SE = rad > 0 ? std::sqrt(rad) / (1 - pc) / std::sqrt(n) : 0;
  k.Kappa = (po - pc) / (1 - pc);
  k.KappaMax = (mm - pc) / (1 - pc);
  if (k.SE > 0) {
    k.Z = k.Kappa / k.SE;
    k.P = NormalTailExact(k.Z, 1);
  } else {
    k.Z = 0;
    k.P = 1;
  }
  // Asymptotic SE of kappa (Fleiss, Cohen and Everitt 1969): an off-diagonal cell in row
  // category v and column category u weighs by (column total of v + row total of u).
  double A = 0, B = 0;
  for (const TMatch& u : m) {
    const double R = static_cast<double>(FreqArray[u.Col][0]),
                 C = static_cast<double>(FreqArray[0][u.Row]);
    const double w = 1 - (R + C) / n * (1 - k.Kappa);
    A += static_cast<double>(FreqArray[u.Col][u.Row]) / n * w * w;
  }
  for (const TMatch& u : m)
    for (const TMatch& v : m) {
      if (u.Col == v.Col) continue;
      const double nuv = static_cast<double>(FreqArray[u.Col][v.Row]);
      if (nuv == 0) continue;
      const double w =
          (static_cast<double>(FreqArray[v.Col][0]) + static_cast<double>(FreqArray[0][u.Row])) / n;
      B += nuv / n * w * w;
    }
  const double d = k.Kappa - pc * (1 - k.Kappa);
  const double V = A + (1 - k.Kappa) * (1 - k.Kappa) * B - d * d;
  k.SEk = V > 0 ? std::sqrt(V) / (1 - pc) / std::sqrt(n) : 0;
  return k;
}

TCTSymmetry TCrossTab::SymmetryTest() const {
  TCTSymmetry s;
  if (N() == 0 || StatError != 0) return s;
  std::vector<double> values(C1Index.begin() + 1, C1Index.begin() + 1 + I());
  values.insert(values.end(), C2Index.begin() + 1, C2Index.begin() + 1 + J());
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
  const int K = static_cast<int>(values.size());
  auto position = [](const std::vector<double>& index, int count, double v) {
    for (int k = 1; k <= count; ++k)
      if (index[k] == v) return k;
    return 0;
  };
  std::vector<int> col(K), row(K);
  for (int a = 0; a < K; ++a) {
    col[a] = position(C1Index, I(), values[a]);
    row[a] = position(C2Index, J(), values[a]);
  }
  auto S = [&](int a, int b) -> std::int64_t {
    return col[a] && row[b] ? FreqArray[col[a]][row[b]] : 0;
  };
  s.Df = K * (K - 1) / 2;
  s.P = 1;
  for (int a = 1; a < K; ++a)
    for (int b = 0; b < a; ++b) {
      const std::int64_t f = S(a, b), g = S(b, a);
      const double q = SignTestP(f, g, 0);
      if (s.P > q) {
        s.Xmin = values[a];
        s.Ymin = values[b];
      }
      s.P = std::min(s.P, q);
      if (f + g > 0) {
        const double d = static_cast<double>(f - g);
        s.ChiSq += d * d / static_cast<double>(f + g);
      }
    }
  s.HasPair = s.P < 1;
  if (s.Df == 0)
    s.P1 = 999;
  else
    s.P1 = s.Df == 1 ? s.P : ChiSqTail(s.ChiSq, s.Df, 1);
  return s;
}

double TCrossTab::FisherP() const {
  if (!Is2x2() || StatError != 0) return 999;
  return FisherExact2x2(FreqArray[1][1], FreqArray[2][1], FreqArray[1][2], FreqArray[2][2], 0);
}

double TCrossTab::McNemarP() const {
  if (!Is2x2() || StatError != 0) return 999;
  return SignTestP(FreqArray[2][1], FreqArray[1][2], 0);
}

// ------------------------------------------------------------------ display

TTextGrid CrossTabGrid(const TCrossTab& tab, const std::string& colVar, const std::string& rowVar,
                       TCTDisplay display, bool expected, int decimals) {
  const int nI = tab.I(), nJ = tab.J();
  TTextGrid g(std::max(3, nI + 2), std::max(3, nJ + 2));
  const double n = static_cast<double>(tab.N());
  auto unit = [&](double c) {
    switch (display) {
      case TCTDisplay::Proportion: return FormatReal(n > 0 ? c / n : 0, decimals);
      case TCTDisplay::Percent: return FormatReal(n > 0 ? 100 * c / n : 0, decimals) + "%";
      default: return std::string();
    }
  };
  auto text = [&](std::int64_t c) {
    return display == TCTDisplay::Count ? std::to_string(c) : unit(static_cast<double>(c));
  };
  for (int i = 1; i <= nI; ++i) g.SetCell(i, 0, colVar + "=" + tab.ColGroupNames[i]);
  g.SetCell(nI + 1, 0, "Total");
  for (int j = 1; j <= nJ; ++j) g.SetCell(0, j, rowVar + "=" + tab.RowGroupNames[j]);
  g.SetCell(0, nJ + 1, "Total");
  for (int i = 1; i <= nI; ++i)
    for (int j = 1; j <= nJ; ++j) {
      std::string s = text(tab.Count(i, j));
      if (expected) {
        const double e =
            n > 0 ? static_cast<double>(tab.Count(i, 0)) * static_cast<double>(tab.Count(0, j)) / n
                  : 0;
        s += " (" + (display == TCTDisplay::Count ? FormatReal(e, decimals) : unit(e)) + ")";
      }
      g.SetCell(i, j, s);
    }
  for (int j = 1; j <= nJ; ++j) g.SetCell(nI + 1, j, text(tab.Count(0, j)));
  for (int i = 1; i <= nI; ++i) g.SetCell(i, nJ + 1, text(tab.Count(i, 0)));
  g.SetCell(nI + 1, nJ + 1, text(tab.N()));
  return g;
}

// ------------------------------------------------------------------ report

void WriteCrosstabsReport(const TCrossTab& tab, const TCTReportInputs& in) {
  if (in.Stats == 0 || tab.N() <= 1 || tab.StatError != 0) return;
  const double alpha = 1 - in.Conf;
  auto f3 = [](double x) { return FormatReal(x, 3); };
  auto p = [&](double x) { return PValueStar(x, alpha); };
  TitleStyle(10);
  WriteLine("CROSSTABS: " + in.ColVar + " by " + in.RowVar);
  BodyStyle(8);
  if (in.FileData) {
    WriteBlankLine();
    if (!in.FileName.empty()) WriteLine("File: " + in.FileName);
    if (!in.ModificationLine.empty()) WriteLine(in.ModificationLine);
  }
  auto heading = [](const std::string& h) {
    BodyStyle(8);
    WriteBlankLine();
    HeadingStyle(8);
    WriteLine(h);
    BodyStyle(8);
  };
  const TCTChiSqr chi = tab.GenerateChi_Sqr();
  if (in.Stats & CTChiSquare) {
    heading("Chi-Square");
    WriteLine("   " + Chi2 + " = " + f3(chi.Chsq) + "   df = " + std::to_string(chi.Df) +
              "   p-value = " + p(chi.P));
  }
  if (in.Stats & CTPhiV) {
    const std::string name = tab.Is2x2() ? "Phi" : "Cramer's V";
    heading(name);
    WriteLine("   " + name + " = " + f3(chi.PhiV) + "   df = " + std::to_string(chi.Df) +
              "   p-value = " + p(chi.P));
  }
  if (in.Stats & CTLambda) {
    heading("Lambda (Column Dependent)");
    WriteLine("   " + Lambda + " = " + f3(tab.GenerateLambda().Lambda));
  }
  if ((in.Stats & CTFisher) && tab.Is2x2()) {
    heading("Fisher's Exact Test");
    WriteLine("   p-value = " + p(tab.FisherP()));
  }
  if (in.Stats & CTSymmetry) {
    if (tab.Is2x2()) {
      heading("McNemar's Test of Change");
      WriteLine("   Test for: P1F2 = F1P2   p-value = " + p(tab.McNemarP()));
    } else {
      const TCTSymmetry s = tab.SymmetryTest();
      heading("Symmetry Test");
      if (s.HasPair) {
        WriteLine("   Most Significant Matched Cell Difference");
        WriteLine("      Cell[" + FormatGeneral(s.Xmin) + "," + FormatGeneral(s.Ymin) +
                  "] vs Cell[" + FormatGeneral(s.Ymin) + "," + FormatGeneral(s.Xmin) +
                  "]:  p = " + p(s.P));
      }
      WriteLine("   " + Chi2 + " = " + f3(s.ChiSq) + "  df = " + std::to_string(s.Df) +
                "  p = " + p(s.P1));
    }
  }
  if (in.Stats & CTKappa) {
    const TCTKappa k = tab.GenerateKappa();
    const double z = NormalQuantileExact(alpha / 2, 1);
    heading("Kappa (Agreement)");
    WriteLine("   n = " + std::to_string(tab.N()));
    WriteLine("   Proportion Agreement        = " + f3(k.Po));
    WriteLine("   Proportion Chance Agreement = " + f3(k.Pc));
    WriteLine("   " + Kappa + "(Max)  = " + f3(k.KappaMax));
    WriteLine("   " + Kappa + "       = " + f3(k.Kappa));
    WriteLine("   z(" + Kappa + "=0)  = " + f3(k.Z));
    WriteLine("   p-value = " + p(k.P));
    WriteLine("   " + FormatReal(100 * (1 - alpha), 2) + "% CI for " + Kappa + ": " +
              f3(k.Kappa - z * k.SEk) + " to " + f3(std::min(1.0, k.Kappa + z * k.SEk)));
  }
}

// ------------------------------------------------------------------ chart

TChart CrosstabsChart(const TCrossTab& tab, const std::string& colVar, const std::string& rowVar,
                      double angle, int zoom) {
  TChart chart;
  SetCrosstabsZoom(chart, zoom);
  chart.Title = {"Crosstabs", colVar + " by " + rowVar};
  chart.Bottom.Title = colVar;
  chart.Panels[0].Left.Title = "Count";
  for (int i = 1; i <= tab.I(); ++i)
    chart.Bottom.Labels.push_back({static_cast<double>(i), tab.ColGroupNames[i]});
  chart.Bottom.Pad = 0.5;
  if (tab.J() < 2) return chart;
  // Each row category stands further back: its bars move by `depth` pixels per row along
  // the receding axis; the front, top and side faces are polygons in three shades of lime.
  // At most 240 pixels in all, so that many rows leave room for the plot.
  const double depth = std::min(30.0, 240.0 / tab.J()), rad = angle * 3.14159265358979323846 / 180;
  const double dx = depth * std::cos(rad), dy = -depth * std::sin(rad);
  // The back row's top and side faces reach J steps back.
  chart.DepthX = std::max(0.0, tab.J() * dx);
  chart.DepthY = std::max(0.0, -tab.J() * dy);
  const double w = 0.22;
  double top = 0;
  // Drawn from the back row forward, so that nearer bars cover farther ones.
  for (int j = tab.J(); j >= 1; --j) {
    TChartSeries& s = chart.Add(TSeriesKind::Polygons, rowVar + "=" + tab.RowGroupNames[j]);
    s.Palette = {TChartColor{0x00FF00, 0xFFFFFF}, TChartColor{0x66FF66, 0xE0E0E0},
                 TChartColor{0x00B000, 0xA0A0A0}};
    const double ox = (j - 1) * dx, oy = (j - 1) * dy;
    for (int i = 1; i <= tab.I(); ++i) {
      const double v = static_cast<double>(tab.Count(i, j));
      top = std::max(top, v);
      const double l = i - w, r = i + w;
      s.X.push_back(i);
      s.Y.push_back(v);
      s.Labels.push_back(tab.ColGroupNames[i]);
      s.Polygons.push_back({{{l, 0, ox, oy}, {r, 0, ox, oy}, {r, v, ox, oy}, {l, v, ox, oy}}, 0});
      s.Polygons.push_back(
          {{{l, v, ox, oy}, {r, v, ox, oy}, {r, v, ox + dx, oy + dy}, {l, v, ox + dx, oy + dy}},
           1});
      s.Polygons.push_back(
          {{{r, 0, ox, oy}, {r, 0, ox + dx, oy + dy}, {r, v, ox + dx, oy + dy}, {r, v, ox, oy}},
           2});
    }
  }
  // The legend names the rows front to back, the order the eye meets them.
  for (int j = 1; j <= tab.J(); ++j)
    chart.Legend.Entries.push_back(
        {rowVar + "=" + tab.RowGroupNames[j], TChartColor{0x00FF00, 0xFFFFFF}});
  TChartSeries& range = chart.Add(TSeriesKind::Range, "");
  range.X = {1, static_cast<double>(tab.I())};
  range.Y = {0, top * 1.1 + 1};
  return chart;
}

void SetCrosstabsZoom(TChart& chart, int position) {
  const int p = std::clamp(position, 0, 40);
  chart.MarginLeft = chart.MarginRight = p + 3;
  chart.MarginTop = chart.MarginBottom = p + 4;
}

// ------------------------------------------------------------------ command line

namespace {

std::string Trim(std::string s) {
  s.erase(0, s.find_first_not_of(" \r"));
  s.erase(s.find_last_not_of(" \r") + 1);
  return s;
}

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> out;
  std::size_t s = 0;
  while (true) {
    const std::size_t at = text.find(sep, s);
    out.push_back(text.substr(s, at == std::string::npos ? std::string::npos : at - s));
    if (at == std::string::npos) return out;
    s = at + 1;
  }
}

// Rows of counts split at rowSep and cellSep; emptyIsZero for pasted blocks.
bool ParseCounts(const std::string& text, char rowSep, char cellSep, bool emptyIsZero,
                 bool sameLength, std::vector<std::vector<std::int64_t>>& rows,
                 std::string& error) {
  rows.clear();
  std::vector<std::string> lines = Split(text, rowSep);
  if (emptyIsZero)
    while (!lines.empty() && Trim(lines.back()).empty()) lines.pop_back();
  for (const std::string& line : lines) {
    std::vector<std::int64_t> counts;
    for (std::string cell : Split(line, cellSep)) {
      cell = Trim(cell);
      bool ok = cell.size() <= 18 && (!cell.empty() || emptyIsZero);
      for (char ch : cell) ok = ok && ch >= '0' && ch <= '9';
      if (!ok) {
        error = "'" + cell + "' is not a whole number of 0 or more!";
        return false;
      }
      std::int64_t v = 0;
      for (char ch : cell) v = v * 10 + (ch - '0');
      counts.push_back(v);
    }
    if (sameLength && !rows.empty() && counts.size() != rows.front().size()) {
      error = "Every row of the table needs the same number of counts!";
      return false;
    }
    rows.push_back(std::move(counts));
  }
  std::size_t columns = 0;
  for (auto& r : rows) columns = std::max(columns, r.size());
  for (auto& r : rows) r.resize(columns, 0);
  if (rows.empty()) {
    error = "There is no table to read!";
    return false;
  }
  if (rows.size() > 99 || columns > 99) {
    error = "A typed table has at most 99 rows and 99 columns!";
    return false;
  }
  return true;
}

}  // namespace

bool ParseManualTable(const std::string& text, std::vector<std::vector<std::int64_t>>& rows,
                      std::string& error) {
  return ParseCounts(text, ';', ',', false, true, rows, error);
}

bool ParsePastedTable(const std::string& text, std::vector<std::vector<std::int64_t>>& rows,
                      std::string& error) {
  return ParseCounts(text, '\n', '\t', true, false, rows, error);
}

TKeyResult CrosstabCellKeyFilter(const TKeyEdit& edit, char key) {
  TKeyResult r;
  if (key >= '0' && key <= '9')
    r.Accepted = static_cast<int>(edit.Text.size()) - edit.SelLength < 7;
  else
    r.Accepted = key == KeyBackspace || key == '\t' || key == '\r' || key == KeyCopy ||
                 key == KeyPaste || key == KeyCut;
  return r;
}

namespace {

bool ParsePositions(const std::string& text, std::vector<int>& out) {
  out.clear();
  if (text.empty()) return true;
  for (const std::string& item : Split(text, ',')) {
    double x = 0;
    if (!ReadPlainNumber(item, x) || x != std::floor(x) || x < 1 || x > 1e6) return false;
    out.push_back(static_cast<int>(x));
  }
  return true;
}

TOptionSpec Spec(const char* name, TOptionKind kind, const char* initial, const char* label,
                 const char* help) {
  TOptionSpec s;
  s.Name = name;
  s.Kind = kind;
  s.Default = initial;
  s.Label = label;
  s.Help = help;
  return s;
}

}  // namespace

TAnalysis CrosstabsAnalysis() {
  TAnalysis a;
  a.Name = CrosstabsCommand;
  a.Summary =
      "Two-way frequency table of two columns (--rows, --cols) or of typed counts (--table), "
      "as counts, proportions or percentages with expected values, with chi-square, Phi or "
      "Cramer's V, lambda, Fisher's exact test, McNemar's or the symmetry test and kappa.";
  TOptionSpec display =
      Spec("display", TOptionKind::Choice, "count", "Display", "what the cells show");
  display.Choices = {ChoiceOf(TCTDisplay::Count, "count", "Count"),
                     ChoiceOf(TCTDisplay::Proportion, "proportion", "Proportion"),
                     ChoiceOf(TCTDisplay::Percent, "percent", "%")};
  TOptionSpec conf = Spec("conf", TOptionKind::Choice, "95", "Conf",
                          "confidence level of kappa's interval and the p-value stars");
  conf.Choices = {{"90", "90", 90}, {"95", "95", 95}, {"99", "99", 99}};
  std::string statsHelp = "statistics, comma separated:";
  for (const char* s : CTStatNames) statsHelp += std::string(" ") + s;
  TOptionSpec stats = Spec("stats", TOptionKind::Text, "", "Stats", "");
  stats.Help = statsHelp;
  a.Options = {
      Spec("rows", TOptionKind::Column, "", "Rows", "the row variable (File Data)"),
      Spec("cols", TOptionKind::Column, "", "Cols", "the column variable (File Data)"),
      Spec("table", TOptionKind::Text, "", "Manual Entry",
           "typed counts instead of data: rows separated by ';', counts by ','"),
      Spec("row-name", TOptionKind::Text, "R", "Variable Names", "the rows' name of a typed table"),
      Spec("col-name", TOptionKind::Text, "C", "Variable Names",
           "the columns' name of a typed table"),
      display,
      Spec("expected-value", TOptionKind::Flag, "", "Expected Value",
           "expected counts beside the cells"),
      stats,
      Spec("remove-columns", TOptionKind::Text, "", "Remove Column(s)",
           "table column positions to remove, e.g. 2,3"),
      Spec("remove-rows", TOptionKind::Text, "", "Remove Row(s)", "table row positions to remove"),
      Spec("merge-columns", TOptionKind::Text, "", "Merge Columns",
           "table column positions to merge into the first"),
      Spec("merge-rows", TOptionKind::Text, "", "Merge Rows",
           "table row positions to merge into the first"),
      DecimalsOption(2),
      conf,
  };
  a.NeedsData = true;
  a.DataOptional = true;
  a.DrawsPicture = true;
  a.Run = [](const TAnalysisContext& context) {
    const TOptionValues& o = context.Options;
    TCrossTab tab;
    TCTReportInputs in;
    if (!o.Text("table").empty()) {
      std::vector<std::vector<std::int64_t>> rows;
      std::string error;
      if (!ParseManualTable(o.Text("table"), rows, error)) return TOutcome::Refuse(error);
      tab.SetCounts(rows);
      in.ColVar = o.Text("col-name");
      in.RowVar = o.Text("row-name");
    } else {
      if (!context.Data || !context.Data->HaveData())
        return TOutcome::Refuse("Give a data file with --rows and --cols, or --table!");
      const int rows = o.Column("rows"), cols = o.Column("cols");
      if (rows == 0 || cols == 0) return TOutcome::Refuse("Choose both --rows and --cols!");
      TDataList& data = *context.Data;
      tab.GenerateFreqArray(data, cols, rows, [](long long) { return true; });
      if (tab.StatError == 1 || tab.StatError == 2)
        return TOutcome::Refuse("No valid values in column " +
                                data.ColumnTitleOrName(tab.StatError == 1 ? cols : rows) + "!");
      if (tab.StatError == 98)
        return TOutcome::Refuse("The table would have more than " + std::to_string(CTMaxCells) +
                                " cells!");
      in.ColVar = data.ColumnTitleOrName(cols);
      in.RowVar = data.ColumnTitleOrName(rows);
      in.FileData = true;
      const std::string& path = DataEditor.DataFilename;
      const auto slash = path.find_last_of("/\\");
      in.FileName = slash == std::string::npos ? path : path.substr(slash + 1);
      TFileModStrings mods;
      if (BuildFileModString(mods)) in.ModificationLine = mods.Line;
    }
    const std::pair<const char*, void (TCrossTab::*)(std::vector<int>)> edits[] = {
        {"remove-columns", &TCrossTab::RemoveColumns},
        {"remove-rows", &TCrossTab::RemoveRows},
        {"merge-columns", &TCrossTab::MergeColumns},
        {"merge-rows", &TCrossTab::MergeRows}};
    for (const auto& [name, edit] : edits) {
      std::vector<int> positions;
      if (!ParsePositions(o.Text(name), positions))
        return TOutcome::Refuse("--" + std::string(name) + ": '" + o.Text(name) +
                                "' is not a list of table positions!");
      (tab.*edit)(positions);
    }
    const std::string& list = o.Text("stats");
    if (!list.empty())
      for (const std::string& part : Split(list, ',')) {
        const std::string item = Trim(part);
        unsigned bit = 0;
        for (unsigned k = 0; k < 6; ++k)
          if (item == CTStatNames[k]) bit = 1u << k;
        if (bit == 0) return TOutcome::Refuse("'" + item + "' is not a statistic of --stats!");
        in.Stats |= bit;
      }
    in.Conf = o.Choice<int>("conf") / 100.0;
    TOutcome out;
    {
      TReportScope scope(out.Report);
      const TTextGrid grid =
          CrossTabGrid(tab, in.ColVar, in.RowVar, o.Choice<TCTDisplay>("display"),
                       o.Flag("expected-value"), o.Decimals());
      const std::vector<std::string> lines = GridInJobLines(grid, "CrossTabs");
      for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k == 0)
          HeadingStyle(8);
        else
          BodyStyle(8);
        WriteLine(lines[k]);
      }
      BodyStyle(8);
      WriteBlankLine();
      WriteCrosstabsReport(tab, in);
    }
    out.Chart = CrosstabsChart(tab, in.ColVar, in.RowVar);
    return out;
  };
  return a;
}

}  // namespace sorvel
