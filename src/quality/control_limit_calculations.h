// "Control Limit Calculations": a calculator that turns a typed statistic (an average
// range, a proportion, a count ...) into a chart's centre line and control limits, one
// page per chart type.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "quality/control_limits.h"

namespace sorvel {

inline constexpr const char* ControlLimitCalculationsCommand = "control-limit-calculations";
inline constexpr int ControlLimitHelpTopic = 5100;

inline constexpr const char* StatisticNotPositiveMessage = "Statistic must be greater then 0!";
inline constexpr const char* SizeNotPositiveMessage = "n must be greater then 0!";

// One item of a page's "Statistic Used" or "Method" list.
struct TLimitItem {
  const char* Value;    // command-line shape: "avg-mr-of-x-bars"
  const char* Caption;  // the radio button: "Avg MR of X-bars"
};

// Page captions "X-Bar" .. "u" (index = chart type code - 1) and command values.
const char* ChartPageCaption(TChartType chart);
const char* ChartPageValue(TChartType chart);
// The items of a page, in list order (item index + 1 = sigma source code).
const std::vector<TLimitItem>& ChartPageItems(TChartType chart);
// Pages p .. u list a "Method", the others the "Statistic Used".
bool IsAttributePage(TChartType chart);
// The pages with a centre edit (X-Bar, Median, X) and with an n edit (all but c).
bool HasCentreEdit(TChartType chart);
bool HasSizeEdit(TChartType chart);

struct TLimitCalcInputs {
  TChartType Chart = TChartType::XBar;
  int Item = 1;  // 1-based item of the page's list
  double Centre = 0, Statistic = 0, N = 0, K = 3;
  // As typed: the report quotes them.
  std::string StatisticText = "0", KText = "3";
  int Decimals = 4;
};

struct TLimitCalcResult {
  std::string Error;  // the window's message when the input is refused
  int Status = 0;     // of CalcControlLimits
  double N = 0;       // the n used (1 on the c page)
  TControlLimits Limits;
};

TLimitCalcResult ComputeLimitCalc(const TLimitCalcInputs& in);
void WriteLimitCalcReport(const TLimitCalcInputs& in, const TLimitCalcResult& res);
// True when a report of this window ends in a failure's status text (the window beeps).
bool LimitCalcReportFailed(const std::string& plainText);

// Reads validated options; Error is set when the item is not on the chosen page.
TLimitCalcInputs LimitCalcInputsFrom(const TOptionValues& o, std::string& error);

TAnalysis ControlLimitCalculationsAnalysis();

}  // namespace sorvel
