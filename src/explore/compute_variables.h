// "Compute Variables from Sample Data": a new column of the data set computed within the
// groups of a dependent variable (deviations for dispersion tests, Bartlett-Kendall log
// variances, combinable distributions, group statistics, ranks), or a statistic across
// chosen columns of each row. Each run appends one column and a few report lines.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace sorvel {

class TDataList;

inline constexpr const char* ComputeVariablesCommand = "compute-variables-from-sample-data";
inline constexpr const char* ZeroVarianceText = "Zero Variance in Run ";

// The statistics of the "By Independent Variables" page, numbered as its buttons.
enum TSampleStatistic : int {
  StatAbsDevMedianNoMidpoint = 0,
  StatAbsDevMedian = 1,
  StatAbsDevMean = 2,
  StatBartlettKendall = 3,
  StatBartlettKendallBox = 4,
  StatDevMedian = 5,
  StatDevMean = 6,
  StatCombinable = 7,
  StatMean = 8,
  StatMedian = 9,
  StatStdDev = 10,
  StatVariance = 11,
  StatLow = 12,
  StatHigh = 13,
  StatRange = 14,
  StatSum = 15,
  StatRanks = 16,
  StatCount = 17,
  StatMode = 18,
  SampleStatisticCount = 19
};

struct TStatisticName {
  const char* Caption;  // the button's caption
  const char* Suffix;   // of the default column name
  const char* Option;   // the caption in command-name shape
};
const TStatisticName& SampleStatisticName(int statistic);
// -1 when no statistic has that option name.
int SampleStatisticByOption(const std::string& option);

// The "Across Rows" statistics, numbered as the radio group's items.
inline constexpr int AcrossStatisticCount = 10;
struct TAcrossName {
  const char* Item;    // "Standard Deviation"
  const char* Stem;    // of the default name: "Std_Dev"
  const char* Option;  // "standard-deviation"
};
const TAcrossName& AcrossStatisticName(int statistic);
int AcrossStatisticByOption(const std::string& option);

// Default new-column names: dependent name + suffix ("" without a dependent variable);
// across rows the item's stem + (counter + 1).
std::string DefaultSampleName(const TDataList& data, int dependent, int statistic);
std::string DefaultAcrossName(int statistic, int counter);

// What the "Generate BKB" dialog shows before asking for the subgroups per run.
struct TBkbSizes {
  double Average = 0;
  int Smallest = 0, Largest = 0;
  int DefaultSubgroups = 1, MaxSubgroups = 1;
};

// The window's dialogs, asked by the computation; returning false is Cancel.
struct TComputeDialogs {
  std::function<bool(const TBkbSizes& sizes, int& subgroups)> AskSubgroups;
  // Asked once per run at the first group whose variance is 0 ("Zero Variance in Run " +
  // the group's name): a positive minimum range.
  std::function<bool(const std::string& runName, double& range)> AskMinimumRange;
};

struct TSampleInputs {
  int Dependent = 0;             // column
  std::vector<int> Independent;  // grouping columns (none: one group)
  int Statistic = StatMean;
  std::string NewName;  // empty: the default name
};

struct TComputeResult {
  std::string Message;  // a refusal: nothing added
  // A dialog was cancelled: nothing added, nothing reported (Message then says which run
  // had a zero variance when that dialog was the one).
  bool Cancelled = false;
  int Column = 0;  // the new column
  std::string Name;
  std::vector<std::string> ReportLines;  // the lines the window's report gets
};

// Appends the column; the data set's rules (Process If, missing values, transformation)
// decide which cases take part.
TComputeResult ComputeSampleVariable(TDataList& data, const TSampleInputs& inputs,
                                     const TComputeDialogs& dialogs);
TComputeResult ComputeAcrossRows(TDataList& data, const std::vector<int>& columns, int statistic,
                                 std::string newName);

}  // namespace sorvel
