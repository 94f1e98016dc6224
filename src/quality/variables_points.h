// The points of a variables control chart: the selection list of charts a setup yields,
// and the point table of one chart built from the data set (subgroups by layout, Process
// If, the missing-value rule and the transformation), with its limits and run-test codes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/data_list.h"
#include "quality/chart_array.h"
#include "quality/control_tests.h"
#include "quality/variables_limits.h"

namespace sorvel {

// What the setup hands to the chart window.
struct TVarChartRequest {
  TVariablesChartSettings Settings;
  int Layout = 0;                   // 1 .. 14 (the setup's data layout code)
  std::vector<int> ChartVariables;  // columns, in list order
  std::vector<int> ChartGroups;     // reference columns of the runs (layouts 8 .. 14)
  int SampleVariable = 0;           // layouts 3, 6, 10, 13
  int SampleSize = 0;               // layouts 4, 7, 11, 14
  int SetVariable = 0;              // 0: one set
  int AxisLabels = 0;               // 0: points labelled by their number
};

// One chart of the selection list: the chart variable's column (the first one for
// layouts 2 and 9), the run (0 without chart groups) and its name.
struct TVarChartPosition {
  int Column = 0;
  int Run = 0;
  std::string Name;
};

struct TVarPointTable {
  ChartArrayType Table;
  int Count = 0;
  int MinSet = 0, MaxSet = 0;
  int BreakCount = 0;         // points whose break flag is set
  std::vector<int> FirstRow;  // [point]: the data row of the subgroup's first member
  // The subgroup's values in case order: point p's are AllValues[AllStart[p] .. AllStart[p + 1]).
  // Kept only when the table is built for "Show All Points".
  std::vector<double> AllValues;
  std::vector<std::int32_t> AllStart;
  // Run-test codes per point: [0] location, [1] dispersion.
  std::vector<std::string> Codes[2];
  bool SigmaFromDispersion = false;  // what CalcVariablesLimits credited the process sigma to
};

struct TVarBuildOptions {
  bool ShowBreaks = false;
  bool AllPoints = false;
};

// Reads charts from the data set for one request. Holds the run information of the chart
// groups (set up once).
class TVarChartBuilder {
 public:
  TVarChartBuilder(TDataList& data, const TVarChartRequest& request);

  const TVarChartRequest& Request() const { return request_; }
  const TRunInfo& Runs() const { return runs_; }
  bool HasRuns() const { return request_.Layout >= 8; }
  std::string RunName(int run) const;

  // Every chart the request yields, in selection-list order (runs first, then chart
  // variables), without those that have no point.
  std::vector<TVarChartPosition> Positions();
  std::string ChartName(int column, int run) const;

  // The point table of one chart with its limits and run-test codes.
  void Build(int column, int run, const TVarBuildOptions& options,
             const TControlTestSettings& tests, TVarPointTable& out);

 private:
  bool Gather(int column, int run, const TVarBuildOptions& options, TVarPointTable& out);

  TDataList& data_;
  TVarChartRequest request_;
  TRunInfo runs_;
};

}  // namespace sorvel
