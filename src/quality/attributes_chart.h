// Attribute control charts from the data set: the charts a setup yields (one per measure
// column, or one per level or run of the grouping variables), the point table of each
// with its limits and run-test codes, the chart model and the command
// attributes-control-charts.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "data/data_list.h"
#include "output/chart.h"
#include "quality/attributes_limits.h"
#include "quality/chart_view_options.h"

namespace sorvel {

inline constexpr const char* AttributesControlChartsCommand = "attributes-control-charts";
inline constexpr const char* AttrChartCaption = "Attributes Chart";
inline constexpr const char* AttrSetupCaption = "Attributes Chart Setup";
inline constexpr const char* AttrSetupReturnName = "Attributes Chart Setup Form";
inline constexpr int AttrSetupHelpTopic = 5400;
inline constexpr int AttrChartHelpTopic = 5410;

// What the setup hands to the chart window.
struct TAttrChartRequest {
  TAttrSettings Settings;
  bool Reference = false;     // page "Reference": one measure, charts per group
  std::vector<int> Measures;  // page "Columns"
  int Measure = 0;            // page "Reference"
  std::vector<int> Groups;    // page "Reference": grouping variables
  int SampleSizeColumn = 0;   // 0: the constant
  double ConstantSize = 1;
  int SetVariable = 0;  // 0: one set (also when the limits are not estimated)
  int AxisLabels = 0;   // 0: points labelled by their number
};

// One chart of the selection list: a measure column, or a level / run of the groups.
struct TAttrChartPosition {
  int Column = 0;       // the measure charted
  long long Group = 0;  // level value or run code; 0 on page "Columns"
  bool Grouped = false;
  std::string Name;  // the selection list's text
};

// One chart, built.
struct TAttrChartData {
  TAttrChartPosition Position;
  std::vector<std::string> Title;  // the chart-type line ("p Chart: ..."), without the common title
  TAttrTable Table;
  std::vector<int> Rows;              // [point]: its data row
  std::vector<std::string> Codes;     // [point]: its run-test codes
  std::vector<std::string> Labels;    // [point]: the axis label text
  std::vector<std::string> SetTexts;  // [point]: the set variable's text ("" without one)
  std::string SetTitle;               // the set variable's title ("" without one)
  std::vector<std::string> Summary;   // the memo's lines
};

class TAttrChartBuilder {
 public:
  TAttrChartBuilder(TDataList& data, const TAttrChartRequest& request);
  const TAttrChartRequest& Request() const { return request_; }
  // The charts that have points, in selection-list order.
  std::vector<TAttrChartPosition> Positions();
  // The point table, limits, codes and summary of one chart; Count 0 when it has no point.
  void Build(const TAttrChartPosition& position, bool showBreaks, const TControlTestSettings& tests,
             TAttrChartData& out);

 private:
  bool Member(const TAttrChartPosition& position, int row) const;
  TDataList& data_;
  TAttrChartRequest request_;
};

// The chart model: series "Codes", "Zone 1a", "Zone 1b", "UCL", "Centerline", "LCL",
// "Statistic" (and the connecting line and zone bands); `commonTitle` is the shared chart
// title (empty: none) and `modifications` the data editor's note (empty: none).
TChart AttrChartModel(const TAttrChartData& chart, const TAttrChartRequest& request,
                      const TChartViewOptions& view, const std::string& axisTitle,
                      const std::string& modifications);

// The view menu items of the window, as options.
std::vector<TChartViewItem> AttrChartViewItems();
// The chart's report: titles, the memo, and one row per point.
void WriteAttrChartReport(const TAttrChartData& chart, int decimals);

TAnalysis AttributesControlChartsAnalysis();

}  // namespace sorvel
