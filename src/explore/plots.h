// "Plots": one summary symbol per group of a run, side by side. Box-and-whisker plots
// (with or without outliers) and six comparison plots: mean intervals, mean bars,
// standard deviation intervals, natural tolerances, and Tukey and LSD intervals from the
// pooled within-group variance, so that two groups whose intervals do not overlap differ
// at the confidence level. Compute, report and chart apart; the window and the `plots`
// command share them.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "explore/explore_selection.h"
#include "numerics/common.h"
#include "output/chart.h"

namespace sorvel {

class TDataList;

inline constexpr const char* PlotsCommand = "plots";

// The plot list, in its order.
enum class TPlotKind {
  BWOutliers = 0,
  BoxWhisker = 1,
  MeanCI = 2,
  MeanBar = 3,
  StdDevPlot = 4,
  NaturalTol = 5,
  TukeyCMD = 6,
  TCmdLSD = 7,
};
inline constexpr int PlotKindCount = 8;
const char* PlotListEntry(TPlotKind kind);  // "B & W (outliers)" ...

struct TPlotOptions {
  TPlotKind Kind = TPlotKind::BWOutliers;
  bool PooledVariances = false;  // "&Use &Pooled Variances"
  bool DisplaySampleSize = false;
  bool Specifications = true;  // "Display &Specifications"
  bool GridLines = false;      // "Display &Grid Lines"
  bool FileModifications = false;
  int PlotWidth = 50;     // percent of a group's slot, 1..100
  int LineThickness = 2;  // 1..10
  int AxisDecimals = -1;  // -1 floating, else 0..9
  double Conf = 0.95;
};

// The pooled within-group statistics over the groups with n >= 2.
struct TPooledStats {
  int dfTotal = 0;
  int Groups = 0;  // k, the groups pooled
  double pooledVar = 0, pooledStd = 0;
  double mdiff = 0;      // t critical value x pooledStd
  double CMD_Tukey = 0;  // q x sqrt(pooledVar) / 2, before division by sqrt(n)
  double CMD_LSD = 0;    // mdiff / sqrt(2), before division by sqrt(n)
  double t = 0, q = 0;   // the critical values used
};
TPooledStats PooledStatistics(const std::vector<TExploreSet>& sets, double conf);

// What is drawn for one group at its position.
struct TPlotGroup {
  std::string Title;
  int n = 0;
  double LSL = MissingValue, Target = MissingValue, USL = MissingValue;
  // Box plots.
  double Low = 0, Q1 = 0, Median = 0, Q3 = 0, High = 0;
  double WhiskerLow = 0, WhiskerHigh = 0;
  double InnerLow = 0, InnerHigh = 0, OuterLow = 0, OuterHigh = 0;  // fences (outliers plot)
  std::vector<double> NearOutliers, FarOutliers;
  // Comparison plots. A one-value group's interval has no width to estimate: it keeps
  // its slot, title and n without a box or centre.
  bool HasBox = false;
  double BoxLow = 0, BoxHigh = 0;
  bool HasCentre = false;
  double Centre = 0;
  double SizeAt = 0;  // where "Mean (Bar)" puts the sample size
  // Natural tolerances.
  double LPL = 0, Mean = 0, UPL = 0;
};

struct TPlotResult {
  TPlotKind Kind = TPlotKind::BWOutliers;
  std::vector<std::string> Title;  // the plot's own title lines
  bool Pooled = false;             // pooled statistics were used
  TPooledStats PooledStats;
  std::vector<TPlotGroup> Groups;  // in the run's order
};

// The groups of `sets` for one plot; `data` gives each set's column's specification
// limits (nullptr: none).
TPlotResult ComputePlots(const std::vector<TExploreSet>& sets, const TPlotOptions& options,
                         const TDataList* data);

struct TPlotLabels {
  std::vector<std::string> Title;  // the report title, when typed; the plot's lines follow
  std::string MeasureName, GroupName;
  std::string Foot;  // the data modification line, when shown
  bool BlackWhite = false;
};
// The run's names, the report title and the modification foot when asked for.
TPlotLabels PlotLabelsFor(const TRunInfo& ri, const std::string& reportTitle,
                          const TPlotOptions& options, bool blackWhite);
// Half the width of a natural-tolerance figure, in group slots.
double NaturalTolHalfWidth(int groups, int plotWidth);
TChart PlotsChart(const TPlotResult& r, const TPlotOptions& options, const TPlotLabels& labels);
void WritePlotsReport(const TPlotResult& r, const TPlotOptions& options, const TPlotLabels& labels,
                      int decimals);

TAnalysis PlotsAnalysis();

}  // namespace sorvel
