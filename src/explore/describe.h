// `describe`: the statistics record of each set of values, for scripts and for checking
// the descriptive engine from outside. No window.
#pragma once

#include <string>
#include <vector>

#include "stats/stats_engine.h"

namespace sorvel {

class TDataList;

inline constexpr const char* DescribeCommand = "describe";
// The codes the command takes, as StatsByCode reads them.
inline constexpr const char* DescribeCodes = "DTSLAIN";

struct TDescribedSet {
  std::string Variable;
  std::string Group;  // the level of the --by column; empty without one
  TStatsRecord Stats;
  // Code 'I': the shared TConfI's limits for the mean and the standard deviation.
  bool HaveIntervals = false;
  double MeanLower = 0, MeanUpper = 0, StdDevLower = 0, StdDevUpper = 0;
};

struct TDescribeResult {
  std::string Error;
  std::vector<TDescribedSet> Sets;
};

// The record of each column in `columns` (1-based), or of each level of `byColumn` (0:
// none) for each column; loads apply Process If, the missing-value rule and the
// transformation. Besides StatsByCode(code) every set gets the moving ranges (case order),
// the interpolated median, the resolution, the mode and the number of distinct values.
TDescribeResult Describe(TDataList& data, const std::vector<int>& columns, int byColumn, char code);

// "Variable<TAB>name", "Group<TAB>level" (with a grouping column), then one
// "Field<TAB>value" line per field of the record with 17 significant digits (code 'I'
// adds MeanLower, MeanUpper, StdDevLower, StdDevUpper); a blank line between sets.
std::string DescribeText(const TDescribeResult& result);

}  // namespace sorvel
