#include "quality/variables_points.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "quality/chart_constants.h"
#include "stats/stats_engine.h"

namespace sorvel {

namespace {

bool IndividualsLayout(int layout) {
  return layout == 1 || layout == 5 || layout == 8 || layout == 12;
}
bool RowsLayout(int layout) { return layout == 2 || layout == 9; }
bool SampleLayout(int layout) { return layout == 3 || layout == 6 || layout == 10 || layout == 13; }
bool ConstantLayout(int layout) {
  return layout == 4 || layout == 7 || layout == 11 || layout == 14;
}

// A rounded code that fits 64 bits (dates such as 20240101 and beyond).
std::int64_t RoundCode(double x) {
  constexpr double limit = 9.0e18;
  return static_cast<std::int64_t>(std::llround(std::clamp(x, -limit, limit)));
}

// Fills a point table one subgroup at a time.
class TPointWriter {
 public:
  TPointWriter(const TVarChartRequest& rq, const TDataList& data, const TVarBuildOptions& opt,
               TVarPointTable& out)
      : rq_(rq), s_(rq.Settings), data_(data), opt_(opt), out_(out), t_(out.Table) {}

  // A subgroup without a member: no point; with Show Breaks the line breaks after the
  // previous point.
  void NoMember() {
    if (opt_.ShowBreaks && out_.Count > 0) t_(RowBreak, out_.Count) = 1;
  }

  void Individual(double x, int row) {
    const int p = Start(row);
    t_(RowSize, p) = 1;
    t_(RowLocation, p) = t_(RowMean, p) = x;
    if (opt_.AllPoints) out_.AllValues.push_back(x);
    // The moving range of the last w values, only when all of them share this point's
    // set: a phase change starts the moving ranges afresh.
    const int w = s_.MRSpan;
    double mr = MissingValue;
    if (p >= w) {
      const double set = t_(RowSet, p);
      double lo = x, hi = x;
      bool sameSet = true;
      for (int i = p - w + 1; i < p && sameSet; ++i) {
        sameSet = t_(RowSet, i) == set;
        lo = std::min(lo, t_(RowMean, i));
        hi = std::max(hi, t_(RowMean, i));
      }
      if (sameSet) mr = hi - lo;
    }
    t_(RowDispersion, p) = s_.DispersionChart == ChartNone ? MissingValue : mr;
    // The sigma estimate comes from the moving range even without a Moving Range chart,
    // so that an X chart alone still has its Average MR limits.
    t_(RowRangeSigma, p) = IsPresent(mr) ? SigmaFromRange(mr, w) : MissingValue;
    t_(RowSubgroupSD, p) = 0;
  }

  // values: the subgroup's members in case order (reordered here).
  void Subgroup(std::vector<double>& values, int row) {
    const int p = Start(row);
    const int m = static_cast<int>(values.size());
    if (opt_.AllPoints) out_.AllValues.insert(out_.AllValues.end(), values.begin(), values.end());
    TStatsEngine e(values);
    // The sort is needed for a median only.
    if (s_.LocationChart == ChartMedian)
      e.SortAndQuartiles();
    else
      e.LowHighRange();
    e.MeanAndVariance();
    const TStatsRecord& st = e.Stats;
    const bool many = m >= 2;
    t_(RowSize, p) = m;
    t_(RowMean, p) = st.Mean;
    t_(RowLocation, p) = s_.LocationChart == ChartMean     ? st.Mean
                         : s_.LocationChart == ChartMedian ? st.Median
                                                           : MissingValue;
    double disp = MissingValue;
    switch (s_.DispersionChart) {
      case ChartRange: disp = st.Range; break;
      case ChartStdDev: disp = many ? st.StdDev : MissingValue; break;
      case ChartVariance: disp = many ? st.Variance : MissingValue; break;
      default: break;
    }
    // A lone value in a block of constant size is not a subgroup's dispersion.
    if (!many && ConstantLayout(rq_.Layout)) disp = MissingValue;
    t_(RowDispersion, p) = disp;
    t_(RowRangeSigma, p) = many ? SigmaFromRange(st.Range, m) : MissingValue;
    t_(RowSubgroupSD, p) = many ? st.StdDev : 0;
  }

 private:
  int Start(int row) {
    const int p = ++out_.Count;
    if (p > t_.Capacity()) t_.Resize(std::max({p, 2 * t_.Capacity(), 64}));
    for (int r = 0; r < ChartRows; ++r) t_(r, p) = MissingValue;
    t_(RowBreak, p) = 0;
    t_(RowLabel, p) = rq_.AxisLabels > 0 ? row : p;
    double set = 0;
    if (rq_.SetVariable > 0)
      set = static_cast<double>(RoundCode(data_.Value(rq_.SetVariable, row)));
    t_(RowSet, p) = set;
    if (p == 1 || set < out_.MinSet)
      out_.MinSet = static_cast<int>(std::max<double>(set, INT32_MIN));
    if (p == 1 || set > out_.MaxSet)
      out_.MaxSet = static_cast<int>(std::min<double>(set, INT32_MAX));
    out_.FirstRow.push_back(row);
    if (opt_.AllPoints) out_.AllStart.push_back(static_cast<std::int32_t>(out_.AllValues.size()));
    return p;
  }

  const TVarChartRequest& rq_;
  const TVariablesChartSettings& s_;
  const TDataList& data_;
  const TVarBuildOptions& opt_;
  TVarPointTable& out_;
  ChartArrayType& t_;
};

}  // namespace

TVarChartBuilder::TVarChartBuilder(TDataList& data, const TVarChartRequest& request)
    : data_(data), request_(request) {
  if (data_.DataChanged) data_.UpdateData();
  runs_.InitRunInfo();
  if (HasRuns() && !request_.ChartGroups.empty()) {
    runs_.RefArray[0] = static_cast<std::int32_t>(request_.ChartGroups.size());
    for (std::size_t i = 0; i < request_.ChartGroups.size(); ++i)
      runs_.RefArray[i + 1] = request_.ChartGroups[i];
    data_.SetRunData(runs_);
  }
}

std::string TVarChartBuilder::RunName(int run) const {
  return HasRuns() ? data_.GetRunName(run, runs_) : std::string();
}

std::string TVarChartBuilder::ChartName(int column, int run) const {
  const int layout = request_.Layout;
  if (layout == 8 || layout == 10 || layout == 11) return RunName(run);
  std::string name = data_.ColumnName(column);
  if (RowsLayout(layout) && !request_.ChartVariables.empty())
    name = data_.ColumnName(request_.ChartVariables.front()) + ".." +
           data_.ColumnName(request_.ChartVariables.back());
  if (layout >= 9) name += "(" + RunName(run) + ")";
  return name;
}

std::vector<TVarChartPosition> TVarChartBuilder::Positions() {
  std::vector<TVarChartPosition> out;
  if (request_.Layout < 1 || request_.Layout > 14 || request_.ChartVariables.empty()) return out;
  std::vector<int> columns = request_.ChartVariables;
  if (RowsLayout(request_.Layout)) columns.resize(1);
  const int firstRun = HasRuns() ? runs_.MinRun : 0, lastRun = HasRuns() ? runs_.MaxRun : 0;
  TVarPointTable scratch;
  for (int c : columns)
    for (int r = firstRun; r <= lastRun; ++r) {
      if (!Gather(c, r, {}, scratch)) continue;
      out.push_back({c, r, ChartName(c, r)});
    }
  return out;
}

bool TVarChartBuilder::Gather(int column, int run, const TVarBuildOptions& options,
                              TVarPointTable& out) {
  const TVarChartRequest& rq = request_;
  out.Count = 0;
  out.MinSet = out.MaxSet = out.BreakCount = 0;
  out.FirstRow.assign(1, 0);
  out.AllValues.clear();
  out.AllStart.assign(1, 0);
  const int cases = data_.Ncount;
  // The table grows with the points (doubling), not to the row count: subgroups of a
  // million cases need a fifth of the columns.

  const bool filter = ProcessIfRec.Active || (PairCol1 != 0 && PairCol2 != 0);
  const bool runs = HasRuns();
  const std::int64_t runCode = runs && run >= 1 && run < static_cast<int>(data_.RunTable.size())
                                   ? data_.RunTable[static_cast<std::size_t>(run)].Code
                                   : 0;
  auto inRun = [&](int r) {
    return !runs || (runCode > 0 && r < static_cast<int>(data_.RowRun.size()) &&
                     data_.RowRun[static_cast<std::size_t>(r)] == runCode);
  };
  bool transformFailed = false;
  // A member: the case passes Process If, its value is valid; the value transformed.
  auto member = [&](int c, int r, double& x) {
    if (filter && !data_.ProcessOK(r)) return false;
    if (!data_.DataValid(c, r)) return false;
    x = data_.Value(c, r);
    if (!transformFailed && !data_.Transformed(x)) transformFailed = true;
    return true;
  };

  TPointWriter w(rq, data_, options, out);
  std::vector<double> values;
  const int layout = rq.Layout;
  if (IndividualsLayout(layout)) {
    for (int r = 1; r <= cases; ++r) {
      double x = 0;
      if (inRun(r) && member(column, r, x))
        w.Individual(x, r);
      else
        w.NoMember();
    }
  } else if (RowsLayout(layout)) {
    for (int r = 1; r <= cases; ++r) {
      values.clear();
      if (inRun(r))
        for (int c : rq.ChartVariables) {
          double x = 0;
          if (member(c, r, x)) values.push_back(x);
        }
      if (values.empty())
        w.NoMember();
      else
        w.Subgroup(values, r);
    }
  } else if (SampleLayout(layout)) {
    // The sample variable's distinct codes in ascending order: time goes with the cases,
    // not with the span of the codes (dates, or codes far apart).
    struct TCase {
      std::int64_t Code;
      std::int32_t Row;
      double X;
    };
    std::vector<TCase> members;
    const int sv = rq.SampleVariable;
    for (int r = 1; r <= cases; ++r) {
      double x = 0;
      if (inRun(r) && data_.HasValue(sv, r) && member(column, r, x))
        members.push_back({RoundCode(data_.Value(sv, r)), r, x});
    }
    std::stable_sort(members.begin(), members.end(),
                     [](const TCase& a, const TCase& b) { return a.Code < b.Code; });
    for (std::size_t i = 0; i < members.size();) {
      std::size_t j = i;
      values.clear();
      while (j < members.size() && members[j].Code == members[i].Code)
        values.push_back(members[j++].X);
      // Codes missing between two subgroups are empty subgroups.
      if (i > 0 && members[i].Code - members[i - 1].Code > 1) w.NoMember();
      w.Subgroup(values, members[i].Row);
      i = j;
    }
  } else if (ConstantLayout(layout)) {
    const int size = std::max(rq.SampleSize, 1);
    std::vector<std::int32_t> rows;
    for (int r = 1; r <= cases; ++r)
      if (inRun(r)) rows.push_back(r);
    for (std::size_t b = 0; b < rows.size(); b += static_cast<std::size_t>(size)) {
      values.clear();
      int first = 0;
      for (std::size_t k = b; k < std::min(rows.size(), b + static_cast<std::size_t>(size)); ++k) {
        double x = 0;
        if (member(column, rows[k], x)) {
          if (values.empty()) first = rows[k];
          values.push_back(x);
        }
      }
      if (values.empty())
        w.NoMember();
      else
        w.Subgroup(values, first);
    }
  }
  if (transformFailed) return Gather(column, run, options, out);  // the transform is off now
  if (options.AllPoints) out.AllStart.push_back(static_cast<std::int32_t>(out.AllValues.size()));
  for (int p = 1; p <= out.Count; ++p)
    if (out.Table(RowBreak, p) == 1) ++out.BreakCount;
  return out.Count > 0;
}

void TVarChartBuilder::Build(int column, int run, const TVarBuildOptions& options,
                             const TControlTestSettings& tests, TVarPointTable& out) {
  Gather(column, run, options, out);
  const int n = out.Count;
  const TVariablesChartSettings& s = request_.Settings;
  out.SigmaFromDispersion = CalcVariablesLimits(out.Table, n, s);
  for (int k = 0; k < 2; ++k) out.Codes[k].assign(static_cast<std::size_t>(n) + 1, std::string());
  if (n == 0) return;
  if (s.LocationChart != ChartNone) {
    RunControlTests(out.Table, n, LocationTestRows, false, 0, tests);
    for (int p = 1; p <= n; ++p) out.Codes[0][static_cast<std::size_t>(p)] = PointCodes(0, p);
  }
  if (s.DispersionChart != ChartNone) {
    RunControlTests(out.Table, n, DispersionTestRows, s.DispersionChart == ChartMovingRange, 1,
                    tests);
    for (int p = 1; p <= n; ++p) out.Codes[1][static_cast<std::size_t>(p)] = PointCodes(1, p);
  }
}

}  // namespace sorvel
