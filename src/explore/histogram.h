// "Histogram": the distribution of one set of Explore's run (or of all sets together) as
// bars or a frequency polygon, with a "nice" interval size and first midpoint, an optional
// normal curve scaled to the bars, the specification limits of the set's column and the
// ±3-sigma process limits. Compute, report and chart apart; the window and the
// `histogram` command share them.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "numerics/common.h"
#include "output/chart.h"

namespace sorvel {

class TDataList;
struct TRunInfo;

inline constexpr const char* HistogramCommand = "histogram";
inline constexpr const char* TooManyIntervalsText = "Too Many Intervals!";
// More counters than this would only exhaust memory: no screen shows them.
inline constexpr std::int64_t MaxHistogramIntervals = 10000;

enum class THistogramType { Histograms = 0, FrequencyPolygons = 1 };

struct THistogramOptions {
  // The boxes as typed; a box counts only while its check box is ticked.
  bool IntervalSizeOn = false;
  std::string IntervalSizeText;
  bool FirstMidpointOn = false;
  std::string FirstMidpointText;
  bool ConstantXAxis = false;
  bool NormalCurve = false;
  THistogramType Type = THistogramType::Histograms;
  bool RelativeFrequencies = false;
  bool ProcessLimits = false;
  bool Specifications = true;
  bool FileModifications = false;
};

// What the drawing needs besides the values.
struct THistogramInputs {
  THistogramOptions Options;
  double GrandLow = 0, GrandHigh = 0;  // every set's extremes ("&Constant &X Axis")
  double LSL = MissingValue, Target = MissingValue, USL = MissingValue;
};

struct THistogram {
  std::int32_t n = 0;
  double Lo = 0, Hi = 0;  // the range the intervals cover (specifications included)
  double Mean = 0, Variance = 0, StdDev = 0;  // with the curve or the process limits
  double g = 1, f = 0;                        // interval size and first midpoint used
  std::string SizeUsed, FirstUsed;            // "Size Used: (0.5)", "First Used: (2)"
  bool TooManyIntervals = false;              // the boxes asked for more than MaxHistogramIntervals
  std::vector<std::int32_t> Counts;           // m + 1 counters; interval i (1-based) at [i - 1]
  std::int32_t Drawn = 0;                     // intervals drawn from the data (the report's lines)
  std::int32_t MaxCount = 0;
  double H = 0;                     // the curve's height at the mean (an interval's expected count)
  double Scale = 1;                 // 1, or 1/n for relative frequencies
  double AxisMin = 0, AxisMax = 1;  // the bottom axis (saved for Zoom Out)
  std::vector<double> CurveX, CurveY;
  int MidpointDecimals = 0;
};

// The interval size for a width and a target count over sorted values: w/m raised to
// the data's resolution, then rounded to 1, 2, 3, 5 or 10 times a power of ten (3.7 -> 3,
// 0.37 -> 0.3, 37 -> 30, 6 -> 5). 1 for fewer than two values or all values equal.
double NiceInterval(double width, double target, std::span<const double> sorted);
// v rounded to 1, 2, 3, 5 or 10 times a power of ten, as NiceInterval does without the
// resolution; 1 for a v that is not positive and finite.
double NiceStep(double v);
// The smallest positive difference of a value from the one before it (infinity for none).
double SmallestRise(std::span<const double> values);
// A typed first midpoint f moved down by whole intervals of g until its interval reaches
// lo (f - g/2 + g/10000 <= lo), in one step: a midpoint typed far above the data would
// otherwise take as many steps as there are intervals between.
double MoveFirstMidpointDown(double f, double g, double lo);
// The multiple of g nearest to lo, halves away from zero.
double AutoFirstMidpoint(double lo, double g);
// Decimals of a midpoint of interval g: 1 for 0.5, 2 for 0.1, 0 from 1 on; raised to the
// decimals of a typed size ("0.250" gives 3).
int MidpointDecimals(double g, const std::string& typedSize);

// Sorts `values` in place and computes the histogram. A typed size or midpoint that would
// need more than MaxHistogramIntervals intervals is warned about (TooManyIntervalsText)
// and replaced by the automatic ones.
THistogram ComputeHistogram(std::span<double> values, const THistogramInputs& in,
                            const std::function<void(const std::string&)>& warn = {});

// The title line after the report title: "Histogram: " or "Frequency Polygon: " and the
// set: "(All)" for the list's first item when the list has several, "group (set)" in the
// grouped load modes, else the set's title.
std::string HistogramTitle(THistogramType type, bool allItem, int listCount, int mode,
                           const std::string& groupName, const std::string& currentTitle);

struct THistogramLabels {
  std::vector<std::string> Title;  // lines
  std::string MeasureName;         // bottom axis title
  std::string Foot;                // the data modification line, when shown
  bool BlackWhite = false;
};
TChart HistogramChart(const THistogram& h, const THistogramInputs& in,
                      const THistogramLabels& labels);
void WriteHistogramReport(const THistogram& h, const THistogramInputs& in,
                          const THistogramLabels& labels, int decimals);

// The window's set list: "(All)" first when there are several sets, then the set names.
std::vector<std::string> HistogramSetList(TDataList& data, TRunInfo& ri,
                                          std::vector<std::string>* indexes = nullptr);
// Loads item `item` of that list into A_Array: the first item all sets together (the one
// set when there is only one), item k the (k - 1)-th set.
void LoadHistogramItem(TDataList& data, TRunInfo& ri, const std::vector<std::string>& indexes,
                       int item);

// Every set's extremes (the first load of the window): false when the run has no values.
bool HistogramGrandRange(TDataList& data, TRunInfo& ri, double& low, double& high);

// One drawing of the window: item `item` of a list of `listCount` items loaded, its
// column's specification limits read, the histogram computed and its chart built.
struct THistogramDrawing {
  THistogramInputs Inputs;
  THistogramLabels Labels;
  THistogram Histogram;
  TChart Chart;
};
THistogramDrawing DrawHistogramItem(TDataList& data, TRunInfo& ri,
                                    const std::vector<std::string>& indexes, int item,
                                    int listCount, const THistogramOptions& options,
                                    double grandLow, double grandHigh,
                                    const std::string& reportTitle, bool blackWhite,
                                    const std::function<void(const std::string&)>& warn);

// --interval-size and --first-midpoint as the window's boxes: ticked when given, their
// text as typed. Returns the refusal ("'x' is not a valid number!", a negative size),
// empty when both can be used.
std::string ReadIntervalBoxes(const TOptionValues& o, bool& sizeOn, std::string& sizeText,
                              bool& midpointOn, std::string& midpointText);

TAnalysis HistogramAnalysis();

}  // namespace sorvel
