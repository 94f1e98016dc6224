#include "quality/control_limit_calculations.h"

#include <algorithm>
#include <array>
#include <sstream>

#include "numerics/format.h"
#include "output/report_writer.h"
#include "quality/chart_constants.h"

namespace sorvel {

namespace {

constexpr int TitleSize = 10;
constexpr int BodySize = 8;

struct TPage {
  const char* Caption;
  const char* Value;
  std::vector<TLimitItem> Items;
};

const std::vector<TLimitItem> DispersionItems = {{"average-range", "Average Range"},
                                                 {"median-range", "Median Range"},
                                                 {"average-std-dev", "Average Std Dev"},
                                                 {"median-std-dev", "Median Std Dev"},
                                                 {"average-variance", "Average Variance"}};

std::vector<TLimitItem> With(std::vector<TLimitItem> items, std::vector<TLimitItem> more) {
  items.insert(items.end(), more.begin(), more.end());
  return items;
}

const std::array<TPage, 10>& Pages() {
  static const TLimitItem known = {"known-std-dev", "Known Std Dev"};
  static const std::array<TPage, 10> pages = {{
      {"X-Bar", "x-bar",
       With(DispersionItems, {{"avg-mr-of-x-bars", "Avg MR of X-bars"},
                              {"median-mr-of-x-bars", "Median MR of X-bars"},
                              {"std-dev-of-x-bars", "Std Dev of X-bars"},
                              known})},
      {"Median", "median",
       With(DispersionItems, {{"avg-mr-of-medians", "Avg MR of Medians"},
                              {"med-mr-of-medians", "Med MR of Medians"},
                              {"std-dev-of-medians", "Std Dev of Medians"},
                              known})},
      {"X",
       "x",
       {{"average-mr", "Average MR"},
        {"median-mr", "Median MR"},
        {"std-dev-k-values", "Std Dev (k values)"},
        known}},
      {"R", "r", With(DispersionItems, {known})},
      {"s", "s", With(DispersionItems, {known})},
      {"s\xC2\xB2", "s2", With(DispersionItems, {known})},
      {"p", "p", {{"approximate", "Approximate"}, {"exact-binomial", "Exact Binomial"}}},
      {"np", "np", {{"approximate", "Approximate"}, {"exact-binomial", "Exact Binomial"}}},
      {"c", "c", {{"approximate", "Approximate"}, {"exact-poisson", "Exact Poisson"}}},
      {"u", "u", {{"approximate", "Approximate"}, {"exact-poisson", "Exact Poisson"}}},
  }};
  return pages;
}

const TPage& PageOf(TChartType chart) {
  return Pages()[static_cast<std::size_t>(std::clamp(static_cast<int>(chart), 1, 10) - 1)];
}

}  // namespace

const char* ChartPageCaption(TChartType chart) { return PageOf(chart).Caption; }
const char* ChartPageValue(TChartType chart) { return PageOf(chart).Value; }
const std::vector<TLimitItem>& ChartPageItems(TChartType chart) { return PageOf(chart).Items; }
bool IsAttributePage(TChartType chart) { return static_cast<int>(chart) >= 7; }
bool HasCentreEdit(TChartType chart) { return static_cast<int>(chart) <= 3; }
bool HasSizeEdit(TChartType chart) { return chart != TChartType::C; }

TLimitCalcResult ComputeLimitCalc(const TLimitCalcInputs& in) {
  TLimitCalcResult res;
  // Negative values cannot be typed in the window; the command line gets the same answer.
  if (!(in.Statistic > 0)) {
    res.Error = StatisticNotPositiveMessage;
    return res;
  }
  const bool knownX = in.Chart == TChartType::X && in.Item == KnownSigmaSourceX;
  res.N = in.Chart == TChartType::C ? 1 : in.N;
  if (!knownX && !(res.N > 0)) {
    res.Error = SizeNotPositiveMessage;
    return res;
  }
  res.Limits.Centre = HasCentreEdit(in.Chart) ? in.Centre : 0;
  res.Status = CalcControlLimits(in.Chart, in.Item, in.Statistic, in.K, res.N, res.Limits);
  return res;
}

void WriteLimitCalcReport(const TLimitCalcInputs& in, const TLimitCalcResult& res) {
  const int d = std::clamp(in.Decimals, 0, 9);
  const std::vector<TLimitItem>& items = ChartPageItems(in.Chart);
  const std::string item = items[static_cast<std::size_t>(in.Item - 1)].Caption;
  TitleStyle(TitleSize);
  WriteLine(std::string("Control Limit Calculations:  ") + ChartPageCaption(in.Chart) + " Chart");
  WriteBlankLine();
  BodyStyle(BodySize);
  if (IsAttributePage(in.Chart))
    WriteLine("Method used: " + item);
  else
    WriteLine("Statistic used: " + item + " = " + in.StatisticText);
  WriteLine("Standard Errors = " + in.KText);
  WriteBlankLine();
  if (res.Status > 0) {
    WriteLine(ControlStatusText(res.Status));
    return;
  }
  const TControlLimits& l = res.Limits;
  const std::string ucl =
      res.Status == NoUpperLimit ? PadLeft("none", 15) : PadRight(FormatReal(l.UCL, d), 15);
  const char* sigmaName = IsAttributePage(in.Chart) ? "   SE" : "sigma";
  WriteLine("       UCL = " + ucl + sigmaName + " = " + FormatReal(l.Sigma, d));
  const std::string n = FormatReal(res.N, in.Chart == TChartType::U ? d : 0);
  WriteLine("Centerline = " + PadRight(FormatReal(l.Centre, d), 19) + "n = " + n);
  WriteLine("       LCL = " +
            (res.Status == NoLowerLimit ? std::string("none") : FormatReal(l.LCL, d)));
}

bool LimitCalcReportFailed(const std::string& plainText) {
  std::istringstream lines(plainText);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (int status : {1, 2, 5, 6, 10})
      if (line == ControlStatusText(status)) return true;
  }
  return false;
}

TLimitCalcInputs LimitCalcInputsFrom(const TOptionValues& o, std::string& error) {
  TLimitCalcInputs in;
  in.Chart = o.Choice<TChartType>("chart-type");
  const bool attribute = IsAttributePage(in.Chart);
  const std::string wanted = attribute ? o.Choice<int>("method") == 0   ? "approximate"
                                         : o.Choice<int>("method") == 1 ? "exact-binomial"
                                                                        : "exact-poisson"
                                       : o.Text("statistic-used");
  const std::vector<TLimitItem>& items = ChartPageItems(in.Chart);
  in.Item = 0;
  if (wanted.empty()) in.Item = 1;  // the page's first item
  for (std::size_t i = 0; i < items.size() && in.Item == 0; ++i)
    if (wanted == items[i].Value) in.Item = static_cast<int>(i) + 1;
  if (in.Item == 0) {
    error = "'" + wanted + "' is not offered on the " + ChartPageCaption(in.Chart) + " page (";
    for (std::size_t i = 0; i < items.size(); ++i)
      error += (i ? ", " : "") + std::string(items[i].Value);
    error += ")";
    in.Item = 1;
  }
  in.Centre = o.Number("centerline");
  in.Statistic = o.Number("statistic");
  in.StatisticText = o.Text("statistic");
  in.N = o.Number("n");
  in.K = o.Number("std-err");
  in.KText = o.Text("std-err");
  in.Decimals = o.Decimals();
  return in;
}

TAnalysis ControlLimitCalculationsAnalysis() {
  TAnalysis a;
  a.Name = ControlLimitCalculationsCommand;
  a.Summary =
      "Centre line, control limits and sigma of an X-Bar, Median, X, R, s, s², p, np, c or u "
      "chart from a typed statistic.";
  auto number = [](const char* name, const char* initial, const char* label, const char* help) {
    TOptionSpec s;
    s.Name = name;
    s.Kind = TOptionKind::Number;
    s.Default = initial;
    s.Label = label;
    s.Help = help;
    return s;
  };
  TOptionSpec chart;
  chart.Name = "chart-type";
  chart.Kind = TOptionKind::Choice;
  chart.Default = "x-bar";
  chart.Help = "the page";
  for (int c = 1; c <= 10; ++c) {
    const auto type = static_cast<TChartType>(c);
    chart.Choices.push_back(ChoiceOf(type, ChartPageValue(type), ChartPageCaption(type)));
  }
  TOptionSpec used;
  used.Name = "statistic-used";
  used.Kind = TOptionKind::Text;
  used.Default = "";
  used.Label = "Statistic Used";
  used.Help =
      "X-Bar .. s² pages: the item (average-range, median-range, average-std-dev, "
      "median-std-dev, average-variance, avg-mr-of-x-bars, median-mr-of-x-bars, "
      "std-dev-of-x-bars, avg-mr-of-medians, med-mr-of-medians, std-dev-of-medians, "
      "average-mr, median-mr, std-dev-k-values, known-std-dev); the page's first when empty";
  TOptionSpec method;
  method.Name = "method";
  method.Kind = TOptionKind::Choice;
  method.Default = "approximate";
  method.Help = "p, np, c, u pages: normal approximation or exact limits";
  method.Choices = {{"approximate", "Approximate", 0},
                    {"exact-binomial", "Exact Binomial", 1},
                    {"exact-poisson", "Exact Poisson", 2}};
  a.Options = {chart,
               used,
               method,
               number("centerline", "0", "Centerline", "the centre (X-Bar, Median and X pages)"),
               number("statistic", "0", "Statistic", "the statistic, p, np, c or u"),
               number("n", "0", "n", "subgroup size, span of the moving range, k values or units"),
               number("std-err", "3", "Std Err", "the number of standard errors k")};
  a.Run = [](const TAnalysisContext& context) {
    std::string error;
    const TLimitCalcInputs in = LimitCalcInputsFrom(context.Options, error);
    if (!error.empty()) return TOutcome::Refuse(error);
    const TLimitCalcResult res = ComputeLimitCalc(in);
    if (!res.Error.empty()) return TOutcome::Refuse(res.Error);
    TOutcome out;
    {
      TReportScope scope(out.Report);
      WriteLimitCalcReport(in, res);
    }
    return out;
  };
  return a;
}

}  // namespace sorvel
