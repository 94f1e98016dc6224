// The variables control charts command: the setup's choices as options, the charts of the
// selection list they yield, and a report per chosen chart (its titles, the limit
// information and one row per point) with the chart itself for --chart.
#pragma once

#include <string>

#include "analysis/analysis.h"
#include "quality/variables_chart.h"

namespace sorvel {

inline constexpr const char* VariablesControlChartsCommand = "variables-control-charts";
inline constexpr int VariablesChartHelpTopic = 5150;
inline constexpr const char* NoChartVariableMessage =
    "Choose at least one chart variable (--chart-variables)!";
inline constexpr const char* NoChartTypeMessage = "Location and dispersion charts are both None!";
inline constexpr const char* NothingChartedMessage = "Nothing to chart in this layout!";

// The request of validated options (the setup's choices); false with the window's message.
bool VarChartRequestFrom(const TOptionValues& o, const TDataList& data, TVarChartRequest& request,
                         std::string& error);

// The report of one chart: title lines, limit information, the point rows.
void WriteVariablesChartReport(const TChart& chart, const TVarChartModelInput& in, int decimals);

TAnalysis VariablesControlChartsAnalysis();

}  // namespace sorvel
