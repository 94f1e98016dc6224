// "Frequency Plots": counts per class interval for every set of Explore's run, one row per
// interval (labelled by its midpoint) and one column per set, as a text grid. All sets
// share the intervals, chosen from the pooled values with the histogram's nice-interval
// rule. The window and the `frequency-plots` command share the table.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "data/text_grid.h"

namespace sorvel {

class TDataList;
struct TRunInfo;

inline constexpr const char* FrequencyPlotsCommand = "frequency-plots";
inline constexpr const char* FrequencyPlotHeading = "FREQUENCY PLOT";
inline constexpr const char* MidPointText = "MidPoint";

enum class TFrequencyType { Frequencies = 0, RelativeFrequencies = 1, CumulativeFrequencies = 2 };

struct TFrequencyOptions {
  TFrequencyType Type = TFrequencyType::Frequencies;
  int Decimals = 4;  // of the two relative types
  // The boxes as typed; a box counts only while its check box is ticked.
  bool IntervalSizeOn = false;
  std::string IntervalSizeText = "0";
  bool FirstMidpointOn = false;
  std::string FirstMidpointText = "0";
};

// The rows every set is counted into.
struct TFrequencyIntervals {
  double Size = 1;           // g
  double FirstMidpoint = 0;  // f
  int MidpointDecimals = 0;
  bool TooManyIntervals = false;    // the boxes asked for more than MaxHistogramIntervals
  std::vector<std::string> Labels;  // the midpoints as shown
  // The upper bound of each row, by the same repeated addition as the midpoints: a value
  // below Bounds[i] and not below Bounds[i - 1] belongs to row i (boundary values to the
  // lower interval, values below the first lower edge to the first row).
  std::vector<double> Bounds;
  std::size_t Rows() const { return Bounds.size(); }
};

// The intervals for the pooled values in load order. A typed size or midpoint that would
// need more than MaxHistogramIntervals rows is warned about (TooManyIntervalsText) and
// replaced by the automatic ones. No values: no rows.
TFrequencyIntervals FrequencyIntervals(std::span<const double> pooled, const TFrequencyOptions& o,
                                       const std::function<void(const std::string&)>& warn = {});

// The count of each row for one set's values (any order).
std::vector<std::int32_t> CountIntervals(std::span<const double> values,
                                         const TFrequencyIntervals& iv);

// The table being built: row 0 "MidPoint" and the set titles, column 0 the midpoints.
struct TFrequencyTable {
  TFrequencyIntervals Intervals;
  TTextGrid Grid{1, 1};
};
TFrequencyTable StartFrequencyTable(std::span<const double> pooled, const TFrequencyOptions& o,
                                    const std::function<void(const std::string&)>& warn = {});
// Writes one set into the next column: empty cells for empty rows; counts, k/n or the
// cumulative c/n to the options' decimals.
void AddFrequencySet(TFrequencyTable& t, const std::string& title, std::span<const double> values,
                     const TFrequencyOptions& o);

// The whole table from the data set: every set of the run pooled for the intervals, then
// set by set (sets without values skipped); beforeSet(j, sets) is called before set j
// (0-based) is loaded, so a window can show progress between sets.
TFrequencyTable BuildFrequencyTable(TDataList& data, TRunInfo& ri, const TFrequencyOptions& o,
                                    const std::function<void(const std::string&)>& warn = {},
                                    const std::function<void(int, int)>& beforeSet = {});

TAnalysis FrequencyPlotsAnalysis();

}  // namespace sorvel
