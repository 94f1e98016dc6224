#include "quality/chart_view_options.h"

#include <algorithm>
#include <cctype>

namespace sorvel {

namespace {

struct TItemOption {
  TChartViewItem Item;
  const char* Name;
  TOptionKind Kind;
  const char* Default;
  const char* Label;
  const char* Help;
  int Min = 0, Max = 0;
};

const TItemOption ItemOptions[] = {
    {TChartViewItem::DisplayViolations, "no-display-control-violations", TOptionKind::Flag, "0",
     "Display Control Violations", "points carrying a run-test code in the plain point colour"},
    {TChartViewItem::DisplayCodes, "display-control-violation-codes", TOptionKind::Flag, "0",
     "Display Control Violation Codes", "the run-test codes along the top of the chart"},
    {TChartViewItem::DisplayZones, "display-zones", TOptionKind::Flag, "0", "Display Zones",
     "zone lines and bands at one and two standard errors"},
    {TChartViewItem::ShowAllPoints, "show-all-points", TOptionKind::Flag, "0", "Show All Points",
     "every value of a subgroup beside its statistic"},
    {TChartViewItem::Show3Sigma, "show-3-sigma-lines", TOptionKind::Flag, "0", "Show 3 Sigma Lines",
     "the grand mean plus and minus three process sigmas (X chart, or with all points)"},
    {TChartViewItem::ShowSpecifications, "show-specifications", TOptionKind::Flag, "0",
     "Show Specifications", "the column's USL, Target and LSL (X chart, or with all points)"},
    {TChartViewItem::RemoveLocation, "remove-plot-of-location-statistics", TOptionKind::Flag, "0",
     "Remove Plot of Location Statistics", "with all points: the values without their statistic"},
    {TChartViewItem::ConnectPoints, "no-connect-points", TOptionKind::Flag, "0", "Connect Points",
     "points without connecting lines"},
    {TChartViewItem::ShowBreaks, "show-breaks", TOptionKind::Flag, "0", "Show Breaks",
     "an empty position where a subgroup has no values"},
    {TChartViewItem::AddLimitInformation, "add-limit-information-to-chart", TOptionKind::Flag, "0",
     "Add Limit Information to Chart", "the limits and how they were computed as foot lines"},
    {TChartViewItem::AddFileModifications, "add-file-modifications-to-chart", TOptionKind::Flag,
     "0", "Add File Modifications to Chart", "the active data rules as the first foot line"},
    {TChartViewItem::AxisDecimals, "axis-decimal-places", TOptionKind::Choice, "floating",
     "Axis Decimal Places", "decimals of the vertical axes' labels"},
    {TChartViewItem::BlackWhite, "black-white", TOptionKind::Flag, "0", "Black & White",
     "draw in black, white and silver"},
    {TChartViewItem::Split, "split", TOptionKind::WholeNumber, "60", "Split",
     "percent of the height the location chart takes (10 .. 90)", 10, 90},
    {TChartViewItem::PointSize, "point-size", TOptionKind::WholeNumber, "3", "Point Size",
     "size of the statistics' points (1 .. 25)", 1, 25},
    {TChartViewItem::LineThickness, "line-thickness", TOptionKind::WholeNumber, "1",
     "Line Thickness", "thickness of statistics, limits and centre lines (1 .. 10)", 1, 10},
    {TChartViewItem::Title, "title", TOptionKind::Text, "", "Title",
     "the shared report title, the first title line"},
};

bool Declared(const TOptionValues& o, const char* name) { return o.Has(name); }

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::vector<TChartViewItem> AllChartViewItems() {
  std::vector<TChartViewItem> out;
  for (const auto& i : ItemOptions) out.push_back(i.Item);
  return out;
}

std::vector<TOptionSpec> ChartViewOptionSpecs(const std::vector<TChartViewItem>& items) {
  std::vector<TOptionSpec> out;
  for (const auto& i : ItemOptions) {
    if (std::find(items.begin(), items.end(), i.Item) == items.end()) continue;
    TOptionSpec s;
    s.Name = i.Name;
    s.Kind = i.Kind;
    s.Default = i.Default;
    s.Label = i.Label;
    s.Help = i.Help;
    s.Min = i.Min;
    s.Max = i.Max;
    if (i.Item == TChartViewItem::AxisDecimals) {
      s.Choices.push_back({"floating", "Floating", -1});
      for (int d = 0; d <= 9; ++d) s.Choices.push_back({std::to_string(d), std::to_string(d), d});
    }
    out.push_back(std::move(s));
  }
  return out;
}

TChartViewOptions ChartViewOptionsFrom(const TOptionValues& o) {
  TChartViewOptions v;
  auto flag = [&](const char* name, bool& into, bool negated) {
    if (Declared(o, name)) into = o.Flag(name) != negated;
  };
  auto whole = [&](const char* name, int& into) {
    if (Declared(o, name)) into = o.Whole(name);
  };
  flag("no-display-control-violations", v.DisplayViolations, true);
  flag("display-control-violation-codes", v.DisplayCodes, false);
  flag("display-zones", v.DisplayZones, false);
  flag("show-all-points", v.ShowAllPoints, false);
  flag("show-3-sigma-lines", v.Show3Sigma, false);
  flag("show-specifications", v.ShowSpecifications, false);
  flag("remove-plot-of-location-statistics", v.RemoveLocation, false);
  flag("no-connect-points", v.ConnectPoints, true);
  flag("show-breaks", v.ShowBreaks, false);
  flag("add-limit-information-to-chart", v.AddLimitInformation, false);
  flag("add-file-modifications-to-chart", v.AddFileModifications, false);
  flag("black-white", v.BlackWhite, false);
  if (Declared(o, "axis-decimal-places")) v.AxisDecimals = o.Choice<int>("axis-decimal-places");
  whole("split", v.Split);
  whole("point-size", v.PointSize);
  whole("line-thickness", v.LineThickness);
  if (Declared(o, "title")) v.Title = o.Text("title");
  // Codes are part of the violation display: without it there are none to show.
  if (!v.DisplayViolations) v.DisplayCodes = false;
  return v;
}

std::string AxisValueFormat(int decimals) {
  if (decimals < 0) return "#,##0.#########";
  if (decimals == 0) return "#,##0";
  return "#,##0." + std::string(static_cast<std::size_t>(std::min(decimals, 9)), '0');
}

std::string AxisDecimalsCaption(int decimals) {
  return "Axis Decimal &Places (" +
         (decimals < 0 ? std::string("Floating") : std::to_string(decimals)) + ")";
}

std::string SplitHint(int split) {
  const std::string head = "Location/Dispersion Chart Sizing (";
  if (split <= 10) return head + "0%/100%)";
  if (split >= 90) return head + "100%/0%)";
  return head + std::to_string(split) + "%/" + std::to_string(100 - split) + "%)";
}

TOptionSpec SelectOption() {
  TOptionSpec s;
  s.Name = "select";
  s.Kind = TOptionKind::Text;
  s.Default = "";
  s.Label = "Selection";
  s.Help = "N | NAME | all: the charts of the selection list reported (default: the first)";
  return s;
}

bool ResolveSelection(const std::string& select, const std::vector<std::string>& names,
                      std::vector<int>& picked, std::string& error) {
  picked.clear();
  const int count = static_cast<int>(names.size());
  if (count == 0) return true;  // nothing to draw, nothing to pick
  if (select.empty()) {
    picked.push_back(0);
    return true;
  }
  if (Lower(select) == "all") {
    for (int i = 0; i < count; ++i) picked.push_back(i);
    return true;
  }
  if (std::all_of(select.begin(), select.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
      select.size() <= 9) {
    const int n = std::stoi(select);
    if (n >= 1 && n <= count) {
      picked.push_back(n - 1);
      return true;
    }
  }
  for (int i = 0; i < count; ++i)
    if (Lower(names[static_cast<std::size_t>(i)]) == Lower(select)) {
      picked.push_back(i);
      return true;
    }
  error = "--select '" + select + "' is not a chart of the selection list (1 .. " +
          std::to_string(count) + ", all, or one of:";
  for (const auto& n : names) error += " '" + n + "'";
  error += ")";
  return false;
}

}  // namespace sorvel
