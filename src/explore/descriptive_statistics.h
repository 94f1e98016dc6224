// "Descriptive Statistics": count, missing, mean, standard deviation, minimum and maximum
// of chosen columns of the data set, each column loaded as every analysis loads it
// (Process If and the missing-value rule applied). The small data analysis that shows
// the whole road: data set -> options -> compute -> report, from the window and the
// command line.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis.h"

namespace sorvel {

class TDataList;

inline constexpr const char* DescriptiveStatisticsCommand = "descriptive-statistics";
inline constexpr const char* NoNumericColumnsMessage = "There are no numeric columns to describe!";

struct TColumnSummary {
  int Column = 0;
  std::string Name;
  long long N = 0;                                        // values loaded
  long long Missing = 0;                                  // selected cases without a valid value
  double Mean = 0, StdDev = 0, Minimum = 0, Maximum = 0;  // NaN when undefined
};

struct TDescriptiveResult {
  std::string Error;
  bool Stopped = false;  // progress asked to stop
  std::vector<TColumnSummary> Columns;
};

// Summaries of `columns` (1-based; empty: every numeric column). Text columns are refused.
// Stops early (Stopped) when progress asks it to.
TDescriptiveResult ComputeDescriptiveStatistics(TDataList& data, const std::vector<int>& columns,
                                                const TProgress& progress = {});
// Title and table into the current report.
void WriteDescriptiveReport(const TDescriptiveResult& result, int decimals);

TAnalysis DescriptiveStatisticsAnalysis();

}  // namespace sorvel
