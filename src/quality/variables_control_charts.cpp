#include "quality/variables_control_charts.h"

#include "numerics/format.h"
#include "output/report_table.h"
#include "output/report_writer.h"
#include "quality/control_test_selection.h"
#include "quality/variables_setup.h"

namespace sorvel {

namespace {

constexpr int TitleSize = 10;
constexpr int BodySize = 10;

}  // namespace

bool VarChartRequestFrom(const TOptionValues& o, const TDataList& data, TVarChartRequest& rq,
                         std::string& error) {
  TVarSetupChoices choices;
  if (!VarSetupChoicesFrom(o, choices, error)) return false;
  const TVarSetupView view = RefreshVarSetup(choices);
  if (choices.ChartVariables < 1) {
    error = NoChartVariableMessage;
    return false;
  }
  if (!view.ActionEnabled) {
    error = NoChartTypeMessage;
    return false;
  }
  TVarSetupColumns columns;
  columns.ChartVariables = o.Columns("chart-variables");
  columns.ChartGroups = o.Columns("chart-groups");
  columns.SampleVariable = o.Column("sample-variable");
  columns.Sets = o.Column("sets");
  columns.AxisLabels = o.Column("axis-labels");
  error = VarChartRequestOf(choices, columns, data, rq);
  if (!error.empty()) return false;
  if (rq.Layout == 0) {
    error = NothingChartedMessage;
    return false;
  }
  return true;
}

void WriteVariablesChartReport(const TChart& chart, const TVarChartModelInput& in, int decimals) {
  const TVarPointTable& t = *in.Points;
  const TVarChartRequest& rq = in.Builder->Request();
  const TVariablesChartSettings& s = rq.Settings;
  const bool loc = LocationDrawn(s, in.View.Split), disp = DispersionDrawn(s, in.View.Split);
  TitleStyle(TitleSize);
  for (const auto& line : chart.Title) WriteLine(line);
  BodyStyle(BodySize);
  for (const auto& line : VarLimitInformation(t, s, loc, disp)) WriteLine(line);
  WriteBlankLine();
  if (!loc && !disp) return;

  TReportTable table(2, 1);
  using A = TReportTable::TAlign;
  table.AddColumn("Point", A::Right);
  table.AddColumn(rq.AxisLabels > 0 ? in.Data->ColumnName(rq.AxisLabels) : "Label", A::Left);
  table.AddColumn("n", A::Right);
  if (loc) {
    table.AddColumn(VarChartTypeName(s.LocationChart), A::Right);
    table.AddColumn("LCL", A::Right);
    table.AddColumn("CL", A::Right);
    table.AddColumn("UCL", A::Right);
    table.AddColumn("Codes", A::Left);
  }
  if (disp) {
    table.AddColumn(DispersionAxisTitle(s.DispersionChart), A::Right);
    table.AddColumn("LCL", A::Right);
    table.AddColumn("CL", A::Right);
    table.AddColumn("UCL", A::Right);
    table.AddColumn("Codes", A::Left);
  }
  const std::vector<double> x = VarPointPositions(t);
  auto value = [&](int row, int p) { return TReportTable::Value(t.Table(row, p), decimals); };
  for (int p = 1; p <= t.Count; ++p) {
    std::vector<std::string> cells;
    cells.push_back(TReportTable::Count(x[static_cast<std::size_t>(p)]));
    cells.push_back(rq.AxisLabels > 0 ? in.Data->DataGrid.Cell(
                                            rq.AxisLabels, t.FirstRow[static_cast<std::size_t>(p)])
                                      : std::to_string(p));
    cells.push_back(TReportTable::Count(t.Table(RowSize, p)));
    if (loc) {
      for (int row : {RowLocation, RowLocLCL, RowLocCL, RowLocUCL}) cells.push_back(value(row, p));
      cells.push_back(t.Codes[0][static_cast<std::size_t>(p)]);
    }
    if (disp) {
      for (int row : {RowDispersion, RowDispLCL, RowDispCL, RowDispUCL})
        cells.push_back(value(row, p));
      cells.push_back(t.Codes[1][static_cast<std::size_t>(p)]);
    }
    table.AddRow(std::move(cells));
  }
  table.Write();
  WriteBlankLine();
}

TAnalysis VariablesControlChartsAnalysis() {
  TAnalysis a;
  a.Name = VariablesControlChartsCommand;
  a.Summary =
      "Variables control charts (X and Moving Range, Mean or Median and Range, s or s²) of a "
      "data file's columns, with control limits per set and the run tests.";
  a.NeedsData = true;
  a.DrawsPicture = true;
  a.Options = VariablesChartOptions();
  for (auto& spec : ControlTestOptions()) a.Options.push_back(std::move(spec));
  for (auto& spec : ChartViewOptionSpecs(AllChartViewItems())) a.Options.push_back(std::move(spec));
  a.Options.push_back(SelectOption());
  a.Run = [](const TAnalysisContext& context) {
    const TOptionValues& o = context.Options;
    TDataList& data = *context.Data;
    std::string error;
    TVarChartRequest rq;
    if (!VarChartRequestFrom(o, data, rq, error)) return TOutcome::Refuse(error);
    TControlTestSettings tests = ControlTestSettings();
    if (!ApplyControlTestOptions(o, tests, error)) return TOutcome::Refuse(error);
    const TChartViewOptions view = ChartViewOptionsFrom(o);

    TVarChartBuilder builder(data, rq);
    const std::vector<TVarChartPosition> positions = builder.Positions();
    std::vector<std::string> names;
    for (const auto& p : positions) names.push_back(p.Name);
    std::vector<int> picked;
    if (!ResolveSelection(o.Text("select"), names, picked, error)) return TOutcome::Refuse(error);

    TOutcome out;
    TReportScope scope(out.Report);
    TitleStyle(TitleSize);
    WriteLine("Variables Control Charts");
    BodyStyle(BodySize);
    WriteBlankLine();
    WriteLine("Selection:");
    for (std::size_t i = 0; i < names.size(); ++i)
      WriteLine(PadLeft(std::to_string(i + 1), 5) + "  " + names[i]);
    if (names.empty()) WriteLine("     (no chart has points)");
    WriteBlankLine();
    TVarPointTable points;
    for (int index : picked) {
      const TVarChartPosition& at = positions[static_cast<std::size_t>(index)];
      builder.Build(at.Column, at.Run, {view.ShowBreaks, view.ShowAllPoints}, tests, points);
      TVarChartModelInput in;
      in.Builder = &builder;
      in.Data = &data;
      in.Points = &points;
      in.Column = at.Column;
      in.Run = at.Run;
      in.View = view;
      TChart chart = VariablesChartModel(in);
      WriteVariablesChartReport(chart, in, o.Decimals());
      if (!out.Chart) out.Chart = std::move(chart);
    }
    return out;
  };
  return a;
}

}  // namespace sorvel
