#include "explore/compute_variables.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include "data/data_state.h"
#include "data/grid_edit.h"
#include "explore/include_guard.h"
#include "numerics/common.h"
#include "numerics/distributions.h"
#include "numerics/format.h"
#include "stats/stats_engine.h"

namespace sorvel {

namespace {

constexpr TStatisticName SampleNames[SampleStatisticCount] = {
    {"Abs. Dev From Median w/o Midpoint", "_ADM", "abs-dev-from-median-w-o-midpoint"},
    {"Abs. Dev From Median", "_ADM", "abs-dev-from-median"},
    {"Abs. Dev From Mean (Levene)", "_ADA", "abs-dev-from-mean-levene"},
    {"Bartlett-Kendall - Ln(Variance)", "_BK", "bartlett-kendall-ln-variance"},
    {"Bartlett-Kendall-Box", "_BKB", "bartlett-kendall-box"},
    {"Deviations from Median", "_DMD", "deviations-from-median"},
    {"Deviations from Mean", "_DMN", "deviations-from-mean"},
    {"Combinable Distributions", "_COM", "combinable-distributions"},
    {"Mean", "_AVG", "mean"},
    {"Median", "_MED", "median"},
    {"Std. Dev.", "_STD", "std-dev"},
    {"Variance", "_VAR", "variance"},
    {"Low", "_Low", "low"},
    {"High", "_High", "high"},
    {"Range", "_R", "range"},
    {"Sum", "_Sum", "sum"},
    {"Ranks", "_Rank", "ranks"},
    {"Count", "_n", "count"},
    {"Mode", "_Mode", "mode"},
};

constexpr TAcrossName AcrossNames[AcrossStatisticCount] = {
    {"Mean", "Mean", "mean"},
    {"Median", "Median", "median"},
    {"Standard Deviation", "Std_Dev", "standard-deviation"},
    {"Variance", "Variance", "variance"},
    {"Low", "Low", "low"},
    {"High", "High", "high"},
    {"Range", "Range", "range"},
    {"Sum", "Sum", "sum"},
    {"Count", "Count", "count"},
    {"Mode", "Mode", "mode"},
};

// A typed blank becomes "_" in a column name.
std::string CleanName(std::string name) {
  std::replace(name.begin(), name.end(), ' ', '_');
  return name;
}

std::string Text(double x) { return FormatGeneral(x); }

// One group as the load delivered it, with the rows that belong to it.
struct TGroup {
  std::string Name;
  std::vector<double> Values;  // load order (after the data rules)
  std::vector<int> Rows;       // rows of the group, ascending
};

// The groups of the dependent variable: one without independent variables, else the runs
// of the independent variables' combinations. Loads go through GetAR, so Process If, the
// missing-value rule and the transformation apply.
std::vector<TGroup> LoadGroups(TDataList& d, const TSampleInputs& in) {
  TRunInfo ri;
  ri.measure = in.Dependent;
  if (in.Independent.empty()) {
    ri.ColRefRun = LoadColumn;
    ri.Afirst = ri.Alast = in.Dependent;
  } else {
    ri.ColRefRun = in.Independent.size() == 1 ? LoadMeasureBySingleRun : LoadMeasureByRun;
    ri.RefArray[0] = static_cast<int>(in.Independent.size());
    for (std::size_t i = 0; i < in.Independent.size(); ++i) ri.RefArray[i + 1] = in.Independent[i];
    if (in.Independent.size() == 1) ri.GroupName = d.ColumnTitleOrName(in.Independent[0]);
    d.SetRunData(ri);
  }
  std::vector<TGroup> groups;
  d.SetupIndex(ri);
  while (d.GetAR(ri)) {
    TGroup g;
    g.Name = ri.CurrentName;
    g.Values.assign(A_Array.begin() + 1, A_Array.begin() + 1 + A_ArrayCount);
    if (ri.ColRefRun == LoadColumn) {
      for (int r = 1; r <= d.Ncount; ++r) g.Rows.push_back(r);
    } else {
      const std::int64_t code = d.RunTable[ri.v].Code;
      for (int r = 1; r <= d.Ncount && r < static_cast<int>(d.RowRun.size()); ++r)
        if (d.RowRun[r] == code) g.Rows.push_back(r);
    }
    groups.push_back(std::move(g));
  }
  return groups;
}

// The dependent value of row r as the loads see it: nothing when the row is filtered out
// or the stored value is missing, else the value after the transformation.
std::optional<double> CaseValue(TDataList& d, int column, int r) {
  if (!d.ProcessOK(r) || !d.DataValid(column, r)) return std::nullopt;
  double x = d.Value(column, r);
  d.Transformed(x);  // on an error the transformation is switched off and x kept
  return x;
}

// Rows of the group that pass Process If, in order (the group statistics' cases).
std::vector<int> PassingRows(TDataList& d, const TGroup& g) {
  std::vector<int> rows;
  for (int r : g.Rows)
    if (d.ProcessOK(r)) rows.push_back(r);
  return rows;
}

double RoundHalfEven(double x) { return std::nearbyint(x); }

}  // namespace

const TStatisticName& SampleStatisticName(int statistic) {
  return SampleNames[std::clamp(statistic, 0, SampleStatisticCount - 1)];
}

int SampleStatisticByOption(const std::string& option) {
  for (int i = 0; i < SampleStatisticCount; ++i)
    if (option == SampleNames[i].Option) return i;
  return -1;
}

const TAcrossName& AcrossStatisticName(int statistic) {
  return AcrossNames[std::clamp(statistic, 0, AcrossStatisticCount - 1)];
}

int AcrossStatisticByOption(const std::string& option) {
  for (int i = 0; i < AcrossStatisticCount; ++i)
    if (option == AcrossNames[i].Option) return i;
  return -1;
}

std::string DefaultSampleName(const TDataList& data, int dependent, int statistic) {
  if (dependent < 1 || dependent > data.MaxCol()) return "";
  return data.ColumnName(dependent) + SampleStatisticName(statistic).Suffix;
}

std::string DefaultAcrossName(int statistic, int counter) {
  return AcrossStatisticName(statistic).Stem + std::to_string(counter + 1);
}

TComputeResult ComputeSampleVariable(TDataList& d, const TSampleInputs& in,
                                     const TComputeDialogs& dialogs) {
  TComputeResult res;
  if (d.DataChanged) d.UpdateData();
  if (d.MaxCol() >= MaxColumns) {
    res.Message = MaxColumnsExceededText;
    return res;
  }
  TIncludeColumnsGuard guard(d);
  d.IncludeCol.fill(false);
  d.IncludeCol[in.Dependent] = true;
  const std::vector<TGroup> groups = LoadGroups(d, in);
  const int dep = in.Dependent;
  std::vector<std::string> texts(static_cast<std::size_t>(d.Ncount) + 1);
  const int stat = in.Statistic;

  switch (stat) {
    case StatAbsDevMedianNoMidpoint:
    case StatAbsDevMedian:
    case StatAbsDevMean:
    case StatDevMedian:
    case StatDevMean:
      for (const auto& g : groups) {
        if (g.Values.size() < 2) continue;
        std::vector<double> v = g.Values;
        TStatsEngine e(v);
        double centre;
        const bool byMedian =
            stat == StatAbsDevMedianNoMidpoint || stat == StatAbsDevMedian || stat == StatDevMedian;
        if (byMedian) {
          e.SortAndQuartiles();
          centre = e.Stats.Median;
        } else {
          e.MeanOnly();
          centre = e.Stats.Mean;
        }
        // w/o Midpoint: the first case equal to the sorted value at (n + 1) div 2 stays empty.
        std::optional<double> midpoint;
        if (stat == StatAbsDevMedianNoMidpoint) midpoint = v[(v.size() + 1) / 2 - 1];
        for (int r : g.Rows) {
          const auto x = CaseValue(d, dep, r);
          if (!x) continue;
          if (midpoint && *x == *midpoint) {
            midpoint.reset();
            continue;
          }
          const double dev = *x - centre;
          texts[r] = Text(stat == StatDevMedian || stat == StatDevMean ? dev : std::fabs(dev));
        }
      }
      break;

    case StatBartlettKendall:
    case StatBartlettKendallBox: {
      int k = 1;
      if (stat == StatBartlettKendallBox) {
        TBkbSizes sizes;
        int counted = 0;
        double total = 0;
        for (const auto& g : groups) {
          const int n = static_cast<int>(g.Values.size());
          if (n < 2) continue;
          sizes.Smallest = counted == 0 ? n : std::min(sizes.Smallest, n);
          sizes.Largest = std::max(sizes.Largest, n);
          total += n;
          ++counted;
        }
        sizes.Average = counted ? total / counted : 0;
        sizes.MaxSubgroups = std::max(1, sizes.Smallest / 2);
        sizes.DefaultSubgroups =
            sizes.Smallest > 5 ? static_cast<int>(std::lround(std::sqrt(sizes.Average))) : 1;
        sizes.DefaultSubgroups = std::clamp(sizes.DefaultSubgroups, 1, sizes.MaxSubgroups);
        k = sizes.DefaultSubgroups;
        if (!dialogs.AskSubgroups || !dialogs.AskSubgroups(sizes, k) || k < 1) {
          res.Cancelled = true;
          return res;
        }
      }
      std::optional<double> minimumRange;
      for (const auto& g : groups) {
        const int n = static_cast<int>(g.Values.size());
        if (n < 2) continue;
        std::vector<double> v = g.Values;
        int m = n;
        if (k > 1) {
          m = static_cast<int>(RoundHalfEven(static_cast<double>(n) / k));
          // Fisher-Yates: an unbiased shuffle.
          for (int i = n - 1; i > 0; --i) {
            const int j = static_cast<int>(UniformRandom() * (i + 1));
            std::swap(v[i], v[std::min(j, i)]);
          }
        }
        std::vector<double> values;
        for (int start = 0, sub = 1; sub <= k && start < n; ++sub, start += m) {
          const int end = sub == k ? n : std::min(n, start + m);
          const int size = end - start;
          std::vector<double> part(v.begin() + start, v.begin() + end);
          TStatsEngine e(part);
          e.MeanAndVariance();  // two passes: 1e8 + 0.1i keeps its variance
          const double s2 = size > 1 ? e.Stats.Variance : 0;
          if (s2 > 0) {
            values.push_back(std::log(s2));
            continue;
          }
          if (!minimumRange) {
            double r = 0;
            if (!dialogs.AskMinimumRange || !dialogs.AskMinimumRange(g.Name, r) || !(r > 0)) {
              res.Cancelled = true;
              res.Message = ZeroVarianceText + g.Name;
              return res;
            }
            minimumRange = r;
          }
          values.push_back(m == 0 ? 0 : std::log(*minimumRange * *minimumRange / m));
        }
        const std::vector<int> rows = PassingRows(d, g);
        for (std::size_t i = 0; i < values.size() && i < rows.size(); ++i)
          texts[rows[i]] = Text(values[i]);
      }
      break;
    }

    case StatCombinable: {
      double pooled = 0, dfs = 0, total = 0, sums = 0;
      std::vector<const TGroup*> used;
      std::vector<double> means;
      for (const auto& g : groups) {
        if (g.Values.size() < 2) continue;
        std::vector<double> v = g.Values;
        TStatsEngine e(v);
        e.MeanAndVariance();
        pooled += (v.size() - 1.0) * e.Stats.Variance;
        dfs += v.size() - 1.0;
        total += v.size();
        sums += e.Stats.Sum;
        used.push_back(&g);
        means.push_back(e.Stats.Mean);
      }
      if (used.empty()) break;
      pooled /= dfs;
      std::vector<double> offsets;
      double weighted = 0;
      for (const TGroup* g : used) {
        const double n = static_cast<double>(g->Values.size());
        offsets.push_back(NormalRandom(0, std::sqrt(pooled / n)));
        weighted += n * offsets.back();
      }
      const double shift = (weighted - sums) / total;
      for (std::size_t i = 0; i < used.size(); ++i) {
        offsets[i] -= shift;
        for (int r : used[i]->Rows) {
          const auto x = CaseValue(d, dep, r);
          if (x) texts[r] = Text(*x - means[i] + offsets[i]);
        }
      }
      break;
    }

    case StatRanks:
      for (const auto& g : groups) {
        if (g.Values.size() < 2) continue;
        std::vector<double> v = g.Values;
        SortDoubles(v);
        // Each case compared after the transformation, as the loaded values are.
        for (int r : g.Rows) {
          const auto x = CaseValue(d, dep, r);
          if (!x) continue;
          const auto [lo, hi] = std::equal_range(v.begin(), v.end(), *x);
          if (lo == hi) continue;
          const double first = static_cast<double>(lo - v.begin()) + 1,
                       last = static_cast<double>(hi - v.begin());
          texts[r] = Text((first + last) / 2);
        }
      }
      break;

    default:  // group statistics, written into the group's first case
      for (const auto& g : groups) {
        const std::vector<int> rows = PassingRows(d, g);
        if (rows.empty() || g.Values.empty()) continue;
        std::vector<double> v = g.Values;
        TStatsEngine e(v);
        const bool two = v.size() >= 2;
        std::optional<double> value;
        switch (stat) {
          // clang-format off
          case StatMean: e.MeanOnly(); value = e.Stats.Mean; break;
          case StatSum: e.MeanOnly(); value = e.Stats.Sum; break;
          case StatMedian: e.SortAndQuartiles(); value = e.Stats.Median; break;
          case StatStdDev: e.MeanAndVariance(); if (two) value = e.Stats.StdDev; break;
          case StatVariance: e.MeanAndVariance(); if (two) value = e.Stats.Variance; break;
          case StatLow: e.LowHighRange(); value = e.Stats.Low; break;
          case StatHigh: e.LowHighRange(); value = e.Stats.High; break;
          case StatRange: e.LowHighRange(); if (two) value = e.Stats.Range; break;
          // clang-format on
          case StatCount: value = static_cast<double>(v.size()); break;
          case StatMode:
            e.DistinctAndMode();
            value = e.Stats.Mode;
            break;
          default: break;
        }
        if (value) texts[rows[0]] = Text(*value);
      }
      break;
  }

  res.Name = CleanName(in.NewName.empty() ? DefaultSampleName(d, dep, stat) : in.NewName);
  res.Column = d.MaxCol() + 1;
  d.InsertColumns(res.Column, 1);
  d.SetCellText(res.Column, 0, res.Name);
  for (int r = 1; r <= d.Ncount; ++r)
    if (!texts[r].empty()) d.SetCellText(res.Column, r, texts[r]);
  std::string of = "\t* " + d.ColumnName(dep);
  for (std::size_t i = 0; i < in.Independent.size(); ++i)
    of += (i == 0 ? " by " : ", ") + d.ColumnName(in.Independent[i]);
  res.ReportLines = {res.Name + " added to Data Editor",
                     std::string("\t* ") + SampleStatisticName(stat).Caption, of, ""};
  DataEditor.FileModified = true;
  DataEditor.PendingDataChange = DataEditor.PendingColumnsChange = true;
  d.SetAllRowsModified();
  d.UpdateData();
  return res;
}

TComputeResult ComputeAcrossRows(TDataList& d, const std::vector<int>& columns, int statistic,
                                 std::string newName) {
  TComputeResult res;
  if (d.DataChanged) d.UpdateData();
  if (d.MaxCol() >= MaxColumns) {
    res.Message = MaxColumnsExceededText;
    return res;
  }
  std::vector<std::string> texts(static_cast<std::size_t>(d.Ncount) + 1);
  std::vector<double> v;
  for (int r = 1; r <= d.Ncount; ++r) {
    if (!d.ProcessOK(r)) continue;
    v.clear();
    for (int c : columns)
      if (d.DataValid(c, r)) v.push_back(d.Value(c, r));  // stored values, not transformed
    if (v.empty()) continue;
    TStatsEngine e(v);
    double x = 0;
    switch (statistic) {
      // clang-format off
      case 0: e.MeanOnly(); x = e.Stats.Mean; break;
      case 1: e.SortAndQuartiles(); x = e.Stats.Median; break;
      case 2: e.MeanAndVariance(); x = e.Stats.StdDev; break;
      case 3: e.MeanAndVariance(); x = e.Stats.Variance; break;
      case 4: e.LowHighRange(); x = e.Stats.Low; break;
      case 5: e.LowHighRange(); x = e.Stats.High; break;
      case 6: e.LowHighRange(); x = e.Stats.Range; break;
      case 7: e.MeanOnly(); x = e.Stats.Sum; break;
      // clang-format on
      case 8: x = static_cast<double>(v.size()); break;
      default:
        e.DistinctAndMode();
        x = e.Stats.Mode;
        break;
    }
    texts[r] = Text(x);
  }
  res.Name = CleanName(newName);
  res.Column = d.MaxCol() + 1;
  d.InsertColumns(res.Column, 1);
  d.SetCellText(res.Column, 0, res.Name);
  for (int r = 1; r <= d.Ncount; ++r)
    if (!texts[r].empty()) d.SetCellText(res.Column, r, texts[r]);
  std::string of;
  for (std::size_t i = 0; i < columns.size(); ++i) of += (i ? ", " : "") + d.ColumnName(columns[i]);
  res.ReportLines = {res.Name + " added to Data Editor",
                     std::string("\t* ") + AcrossStatisticName(statistic).Item + " of " + of, ""};
  DataEditor.FileModified = true;
  DataEditor.PendingDataChange = DataEditor.PendingColumnsChange = true;
  d.SetAllRowsModified();
  d.UpdateData();
  return res;
}

}  // namespace sorvel
