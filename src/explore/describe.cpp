#include "explore/describe.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "data/data_state.h"
#include "explore/include_guard.h"
#include "numerics/format.h"
#include "numerics/intervals.h"

namespace sorvel {

namespace {

TDescribedSet DescribeLoaded(char code) {
  TDescribedSet set;
  std::vector<double> caseOrder(A_Array.begin() + 1, A_Array.begin() + 1 + A_ArrayCount);
  TStatsEngine mr(caseOrder);
  mr.MovingRangeSigma();
  TStatsEngine e;
  e.LoadA_Array();
  e.StatsByCode(code);
  e.InterpolatedMedian();
  e.FindResolution();
  e.Stats.AvgMovingRange = mr.Stats.AvgMovingRange;
  e.Stats.StdDevMR = mr.Stats.StdDevMR;
  e.Stats.MedianMovingRange = mr.Stats.MedianMovingRange;
  e.Stats.StdDevMMR = mr.Stats.StdDevMMR;
  // Mode and DistinctCount last: the mode of all-distinct values is the first value of
  // the array, which is sorted by now, as every caller after BasicStats sees it.
  e.DistinctAndMode();
  set.Stats = e.Stats;
  if (code == 'I') {
    const TConfI& c = SharedConfI();
    set.HaveIntervals = true;
    set.MeanLower = c.m1;
    set.MeanUpper = c.m2;
    set.StdDevLower = c.s1;
    set.StdDevUpper = c.s2;
  }
  return set;
}

TDescribedSet Named(TDescribedSet set, std::string variable, std::string group) {
  set.Variable = std::move(variable);
  set.Group = std::move(group);
  return set;
}

}  // namespace

TDescribeResult Describe(TDataList& data, const std::vector<int>& columns, int byColumn,
                         char code) {
  TDescribeResult res;
  if (data.DataChanged) data.UpdateData();
  TIncludeColumnsGuard guard(data);
  for (int c : columns) {
    if (data.StringVar[c]) {
      res.Error = "Column " + data.ColumnName(c) + " holds text, not numbers!";
      res.Sets.clear();
      return res;
    }
    data.IncludeCol.fill(false);
    data.IncludeCol[c] = true;
    TRunInfo ri;
    if (byColumn == 0) {
      ri.ColRefRun = LoadColumn;
      data.DataToA_Array(c, ri);
      res.Sets.push_back(Named(DescribeLoaded(code), data.ColumnName(c), ""));
      continue;
    }
    if (!data.Highlow[byColumn]) continue;  // no levels: no sets
    ri.ColRefRun = LoadMeasureByLevel;
    ri.measure = c;
    ri.index = byColumn;
    ri.Afirst =
        static_cast<std::int32_t>(std::max(std::floor(data.ColumnLow[byColumn]), -2147483647.0));
    ri.Alast =
        static_cast<std::int32_t>(std::min(std::ceil(data.ColumnHigh[byColumn]), 2147483646.0));
    data.SetupIndex(ri);
    while (data.GetAR(ri))
      res.Sets.push_back(Named(DescribeLoaded(code), data.ColumnName(c), ri.CurrentName));
  }
  return res;
}

std::string DescribeText(const TDescribeResult& result) {
  std::string out;
  bool first = true;
  for (const auto& set : result.Sets) {
    if (!first) out += '\n';
    first = false;
    out += "Variable\t" + set.Variable + '\n';
    if (!set.Group.empty()) out += "Group\t" + set.Group + '\n';
    for (const auto& f : StatsRecordFields())
      out += std::string(f.Name) + '\t' + FormatGeneral(StatsFieldValue(set.Stats, f), 17) + '\n';
    if (set.HaveIntervals)
      for (const auto& [name, value] :
           {std::pair{"MeanLower", set.MeanLower}, std::pair{"MeanUpper", set.MeanUpper},
            std::pair{"StdDevLower", set.StdDevLower}, std::pair{"StdDevUpper", set.StdDevUpper}})
        out += std::string(name) + '\t' + FormatGeneral(value, 17) + '\n';
  }
  return out;
}

}  // namespace sorvel
