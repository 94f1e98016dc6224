#include "quality/attributes_chart.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "data/grid_edit.h"
#include "numerics/format.h"
#include "output/report_table.h"
#include "output/report_writer.h"
#include "quality/control_test_selection.h"

namespace sorvel {

namespace {

bool Present(double x) { return IsPresent(x) && std::isfinite(x); }

std::string Trim(std::string s) {
  const auto b = s.find_first_not_of(" \t");
  const auto e = s.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

long long LevelOf(double x) { return std::llround(x); }

// A cell's text as the grid shows it.
std::string CellText(const TDataList& data, int c, int r) {
  return Trim(std::string(data.DataGrid.View(c, r)));
}

}  // namespace

TAttrChartBuilder::TAttrChartBuilder(TDataList& data, const TAttrChartRequest& request)
    : data_(data), request_(request) {
  if (data_.DataChanged) data_.UpdateData();
  if (request_.Reference && request_.Groups.size() > 1) {
    TRunInfo ri;
    ri.RefArray[0] =
        static_cast<std::int32_t>(std::min<std::size_t>(request_.Groups.size(), MaxColumns));
    for (int i = 1; i <= ri.RefArray[0]; ++i)
      ri.RefArray[i] = request_.Groups[static_cast<std::size_t>(i - 1)];
    data_.SetRunData(ri);
  }
}

bool TAttrChartBuilder::Member(const TAttrChartPosition& p, int row) const {
  if (!p.Grouped) return true;
  if (request_.Groups.size() == 1) {
    const int g = request_.Groups[0];
    return data_.HasValue(g, row) && LevelOf(data_.Value(g, row)) == p.Group;
  }
  return row < static_cast<int>(data_.RowRun.size()) &&
         data_.RowRun[static_cast<std::size_t>(row)] == p.Group && p.Group != 0;
}

std::vector<TAttrChartPosition> TAttrChartBuilder::Positions() {
  std::vector<TAttrChartPosition> all;
  if (!request_.Reference) {
    for (int c : request_.Measures) all.push_back({c, 0, false, data_.ColumnName(c)});
  } else if (!request_.Groups.empty()) {
    // Levels (one grouping variable) or runs (several) in ascending order, named by the
    // texts of their first case.
    std::map<long long, int> first;
    for (int r = 1; r <= data_.Ncount; ++r) {
      long long key = 0;
      if (request_.Groups.size() == 1) {
        if (!data_.HasValue(request_.Groups[0], r)) continue;
        key = LevelOf(data_.Value(request_.Groups[0], r));
      } else {
        if (r >= static_cast<int>(data_.RowRun.size())) break;
        key = data_.RowRun[static_cast<std::size_t>(r)];
        if (key == 0) continue;
      }
      first.emplace(key, r);
    }
    for (const auto& [key, row] : first) {
      std::string name;
      for (std::size_t i = 0; i < request_.Groups.size(); ++i)
        name += (i ? ", " : "") + CellText(data_, request_.Groups[i], row);
      all.push_back({request_.Measure, key, true, name});
    }
  }
  std::vector<TAttrChartPosition> kept;
  for (const auto& p : all) {
    for (int r = 1; r <= data_.Ncount; ++r) {
      if (data_.ProcessOK(r) && Member(p, r) && data_.DataValid(p.Column, r)) {
        kept.push_back(p);
        break;
      }
    }
  }
  return kept;
}

void TAttrChartBuilder::Build(const TAttrChartPosition& position, bool showBreaks,
                              const TControlTestSettings& tests, TAttrChartData& out) {
  const TAttrChartRequest& q = request_;
  const TAttrSettings& s = q.Settings;
  out.Position = position;
  out.Table.Clear();
  out.Rows.assign(1, 0);
  out.Labels.assign(1, "");
  out.SetTexts.assign(1, "");
  const int sets = AttrLimitsEstimated(s.Method, s.Centre) ? q.SetVariable : 0;
  const int m = position.Column;
  for (int r = 1; r <= data_.Ncount; ++r) {
    if (!data_.ProcessOK(r) || !Member(position, r)) continue;
    if (!data_.DataValid(m, r)) {
      if (showBreaks && out.Table.Count > 0) out.Table(AttrRowBreak, out.Table.Count) = 1;
      continue;
    }
    double n = q.ConstantSize;
    if (q.SampleSizeColumn > 0)
      n = data_.DataValid(q.SampleSizeColumn, r) ? data_.Value(q.SampleSizeColumn, r)
                                                 : MissingValue;
    double set = 0;
    if (sets > 0)
      set = data_.HasValue(sets, r) ? static_cast<double>(LevelOf(data_.Value(sets, r)))
                                    : MissingValue;
    const int point = out.Table.Count + 1;
    out.Table.AddPoint(s.Type, data_.Value(m, r), n, q.AxisLabels > 0 ? r : point, set);
    out.Rows.push_back(r);
    out.Labels.push_back(q.AxisLabels > 0 ? CellText(data_, q.AxisLabels, r)
                                          : std::to_string(point));
    out.SetTexts.push_back(sets > 0 ? CellText(data_, sets, r) : "");
  }
  CalcAttributeLimits(out.Table, s);
  RunAttributeTests(out.Table, tests);
  out.Codes.assign(static_cast<std::size_t>(out.Table.Count) + 1, "");
  for (int p = 1; p <= out.Table.Count; ++p)
    out.Codes[static_cast<std::size_t>(p)] = PointCodes(0, p);
  out.Summary = AttrLimitSummary(out.Table, s);
  std::string title = AttrChartTypeItems()[static_cast<std::size_t>(std::clamp(s.Type, 0, 3))] +
                      " Chart: " + data_.ColumnTitleOrName(m);
  if (position.Grouped) title += " (" + position.Name + ")";
  out.Title = {title};
  out.SetTitle = sets > 0 ? data_.ColumnTitleOrName(sets) : "";
}

std::vector<TChartViewItem> AttrChartViewItems() {
  using I = TChartViewItem;
  return {I::DisplayViolations, I::DisplayCodes,        I::DisplayZones,         I::ConnectPoints,
          I::ShowBreaks,        I::AddLimitInformation, I::AddFileModifications, I::AxisDecimals,
          I::BlackWhite,        I::PointSize,           I::LineThickness,        I::Title};
}

TChart AttrChartModel(const TAttrChartData& d, const TAttrChartRequest& q,
                      const TChartViewOptions& v, const std::string& axisTitle,
                      const std::string& modifications) {
  const TAttrTable& t = d.Table;
  const TAttrSettings& s = q.Settings;
  TChart c;
  c.BlackWhite = v.BlackWhite;
  if (!v.Title.empty()) c.Title.push_back(v.Title);
  for (const auto& line : d.Title) c.Title.push_back(line);
  auto& left = c.Panels[0].Left;
  left.Title = AttrAxisTitle(s.Type);
  left.Format = AxisValueFormat(v.AxisDecimals);
  c.Bottom.Title = axisTitle.empty() ? "Point" : axisTitle;
  c.Bottom.LabelAngle = axisTitle.empty() ? 0 : 315;

  const TChartColor red{ChartRed, ChartBlack}, green{ChartGreen, ChartBlack},
      blue{ChartBlue, ChartBlack}, violation{ChartRed, 0x010000};

  // x positions: one empty position after each break.
  std::vector<double> x(static_cast<std::size_t>(t.Count) + 1, 0);
  double pos = 0;
  for (int p = 1; p <= t.Count; ++p) {
    x[static_cast<std::size_t>(p)] = ++pos;
    if (t(AttrRowBreak, p) == 1 && p < t.Count) ++pos;
  }
  c.Bottom.Labels.reserve(static_cast<std::size_t>(t.Count));
  for (int p = 1; p <= t.Count; ++p)
    c.Bottom.Labels.push_back(
        {x[static_cast<std::size_t>(p)], d.Labels[static_cast<std::size_t>(p)]});

  // Vertical range: every statistic and limit, widened by a twentieth, not below 0.
  double lo = INFINITY, hi = -INFINITY;
  for (int row : {AttrRowStat, AttrRowLCL, AttrRowCL, AttrRowUCL}) {
    for (int p = 1; p <= t.Count; ++p) {
      const double y = t(row, p);
      if (!Present(y)) continue;
      lo = std::min(lo, y);
      hi = std::max(hi, y);
    }
  }
  if (lo <= hi) {
    const double pad = hi > lo ? (hi - lo) / 20 : std::max(std::fabs(hi) / 20, 0.05);
    left.Automatic = false;
    left.Min = std::max(0.0, lo - pad);
    left.Max = hi + pad;
  }

  const bool limitsDrawn = s.Method != AttrNoLimits && s.Method != AttrCentreOnly;
  const bool zones = v.DisplayZones && s.Method != AttrNoLimits && s.Method != AttrCentreOnly;
  const double width = v.LineThickness;

  if (zones) {
    struct TBand {
      int From, To;  // in sigmas; 3 stands for the limit
      TChartColor Color;
    } bands[] = {{-1, 1, {0xCCFFCC, ChartWhite}},
                 {1, 2, {0xFFFF99, ChartSilver}},
                 {-2, -1, {0xFFFF99, ChartSilver}},
                 {2, 3, {0xFFCCCC, ChartWhite}},
                 {-3, -2, {0xFFCCCC, ChartWhite}}};
    for (const auto& b : bands) {
      auto& band = c.Add(TSeriesKind::Bands, "", 0);
      band.Palette = {b.Color};
      for (auto* v : {&band.X, &band.Y, &band.Y2}) v->reserve(static_cast<std::size_t>(t.Count));
      for (int p = 1; p <= t.Count; ++p) {
        const double cl = t(AttrRowCL, p), sg = t(AttrRowSigma, p);
        if (!Present(cl) || !Present(sg)) continue;
        auto at = [&](int k) {
          if (k == 3) return t(AttrRowUCL, p);
          if (k == -3) return t(AttrRowLCL, p);
          return cl + k * sg;
        };
        const double y1 = at(b.From), y2 = at(b.To);
        if (!Present(y1) || !Present(y2) || y2 <= y1) continue;
        band.X.push_back(x[static_cast<std::size_t>(p)]);
        band.Y.push_back(y1);
        band.Y2.push_back(y2);
      }
    }
  }

  auto& codes = c.Add(TSeriesKind::TopText, "Codes", 0);
  codes.Palette = {violation};
  if (v.DisplayCodes && v.DisplayViolations && limitsDrawn) {
    for (int p = 1; p <= t.Count; ++p) {
      const std::string& code = d.Codes[static_cast<std::size_t>(p)];
      if (code.empty()) continue;
      codes.X.push_back(x[static_cast<std::size_t>(p)]);
      codes.Labels.push_back(code);
    }
  }

  auto segments = [&](const char* title, const TChartColor& color, TChartPen pen,
                      auto value) -> TChartSeries& {
    auto& sr = c.Add(TSeriesKind::Segments, title, 0);
    sr.Palette = {color};
    sr.Pen = pen;
    sr.Width = width;
    sr.X.reserve(static_cast<std::size_t>(t.Count));
    sr.Y.reserve(static_cast<std::size_t>(t.Count));
    for (int p = 1; p <= t.Count; ++p) {
      sr.X.push_back(x[static_cast<std::size_t>(p)]);
      sr.Y.push_back(value(p));
    }
    return sr;
  };
  auto zoneLine = [&](int sign) {
    return [&, sign](int p) {
      const double cl = t(AttrRowCL, p), sg = t(AttrRowSigma, p);
      return zones && Present(cl) && Present(sg) ? cl + sign * sg : ChartMissing;
    };
  };
  segments("Zone 1a", green, TChartPen::Dot, zoneLine(1)).Width = 1;
  segments("Zone 1b", green, TChartPen::Dot, zoneLine(-1)).Width = 1;
  auto value = [&](int row) {
    return [&, row](int p) {
      const double y = t(row, p);
      return Present(y) ? y : ChartMissing;
    };
  };
  segments("UCL", red, TChartPen::Solid, value(AttrRowUCL));
  segments("Centerline", green, TChartPen::Solid, value(AttrRowCL));
  segments("LCL", red, TChartPen::Solid, value(AttrRowLCL));

  // Points of one set with no break between them are joined, in the later point's colour.
  auto coded = [&](int p) {
    return v.DisplayViolations && !d.Codes[static_cast<std::size_t>(p)].empty() ? 1 : 0;
  };
  auto& line = c.Add(TSeriesKind::Line, "", 0);
  line.Palette = {blue, violation};
  line.Width = width;
  line.Visible = v.ConnectPoints;
  auto& stat = c.Add(TSeriesKind::Points, "Statistic", 0);
  stat.Palette = {blue, violation};
  stat.Size = v.PointSize;
  for (auto* s : {&line.X, &line.Y, &stat.X, &stat.Y})
    s->reserve(static_cast<std::size_t>(t.Count));
  line.ColorIndex.reserve(static_cast<std::size_t>(t.Count));
  stat.ColorIndex.reserve(static_cast<std::size_t>(t.Count));
  for (int p = 1; p <= t.Count; ++p) {
    const double y = t(AttrRowStat, p);
    const double xp = x[static_cast<std::size_t>(p)];
    const bool joined =
        p > 1 && t(AttrRowBreak, p - 1) != 1 && t(AttrRowSet, p - 1) == t(AttrRowSet, p);
    if (p > 1 && !joined) {
      line.X.push_back(xp - 0.5);
      line.Y.push_back(ChartMissing);
      line.ColorIndex.push_back(0);
    }
    line.X.push_back(xp);
    line.Y.push_back(Present(y) ? y : ChartMissing);
    line.ColorIndex.push_back(static_cast<std::uint8_t>(coded(p)));
    stat.X.push_back(xp);
    stat.Y.push_back(Present(y) ? y : ChartMissing);
    stat.ColorIndex.push_back(static_cast<std::uint8_t>(coded(p)));
  }

  // Sets: a black line between points of different sets and the set's name at the top.
  if (q.SetVariable > 0 && AttrLimitsEstimated(s.Method, s.Centre) && t.Count >= 2) {
    auto& lines = c.Add(TSeriesKind::Lines, "", 0);
    lines.FullHeight = true;
    lines.Width = width + 2;
    for (int p = 1; p <= t.Count; ++p) {
      const bool starts = p == 1 || t(AttrRowSet, p) != t(AttrRowSet, p - 1);
      if (!starts) continue;
      const double xs =
          p == 1 ? x[1] : (x[static_cast<std::size_t>(p - 1)] + x[static_cast<std::size_t>(p)]) / 2;
      if (p > 1) {
        lines.X.push_back(xs);
        lines.Y.push_back(0);
        lines.X2.push_back(xs);
        lines.Y2.push_back(0);
      }
      c.Bottom.TopLabels.push_back(
          {xs, " " + d.SetTitle + "=" + d.SetTexts[static_cast<std::size_t>(p)] + " "});
    }
  }

  if (v.AddFileModifications && !modifications.empty()) {
    std::string note = modifications;
    for (char& ch : note)
      if (static_cast<unsigned char>(ch) < 32) ch = ' ';
    c.Foot.push_back(note);
  }
  if (v.AddLimitInformation)
    for (auto it = d.Summary.rbegin(); it != d.Summary.rend(); ++it) c.Foot.push_back(*it);
  return c;
}

void WriteAttrChartReport(const TAttrChartData& d, int decimals) {
  TitleStyle(10);
  for (const auto& line : d.Title) WriteLine(line);
  BodyStyle(8);
  for (const auto& line : d.Summary) WriteLine(line);
  WriteBlankLine();
  using A = TReportTable::TAlign;
  TReportTable table;
  table.AddColumn("Point", A::Left);
  table.AddColumn("Count", A::Right);
  table.AddColumn("n", A::Right);
  table.AddColumn("Statistic", A::Right);
  table.AddColumn("LCL", A::Right);
  table.AddColumn("CL", A::Right);
  table.AddColumn("UCL", A::Right);
  table.AddColumn("Codes", A::Left);
  const TAttrTable& t = d.Table;
  auto cell = [&](double x) {
    return Present(x) ? TReportTable::Value(x, decimals) : std::string("none");
  };
  for (int p = 1; p <= t.Count; ++p) {
    const double n = t(AttrRowSize, p);
    const double stat = t(AttrRowStat, p);
    table.AddRow({d.Labels[static_cast<std::size_t>(p)], TReportTable::Count(t(AttrRowCount, p)),
                  Present(n) ? TReportTable::Count(n) : std::string(),
                  Present(stat) ? TReportTable::Value(stat, decimals) : std::string(),
                  cell(t(AttrRowLCL, p)), cell(t(AttrRowCL, p)), cell(t(AttrRowUCL, p)),
                  d.Codes[static_cast<std::size_t>(p)]});
  }
  table.Write();
}

}  // namespace sorvel

namespace sorvel {

namespace {

TOptionSpec Opt(const char* name, TOptionKind kind, const char* initial, const char* label,
                const char* help) {
  TOptionSpec s;
  s.Name = name;
  s.Kind = kind;
  s.Default = initial;
  s.Label = label;
  s.Help = help;
  return s;
}

std::vector<TOptionSpec> AttrChartOptions() {
  using K = TOptionKind;
  TOptionSpec type = Opt("type", K::Choice, "p", "Chart Type", "p, np, c or u chart");
  type.Choices = {ChoiceOf(AttrP, "p", "p"), ChoiceOf(AttrNP, "np", "np"),
                  ChoiceOf(AttrC, "c", "c"), ChoiceOf(AttrU, "u", "u")};
  TOptionSpec calc = Opt("control-limit-calculation", K::Choice, "exact",
                         "Control Limit Calculation", "how the limits are found");
  const char* calcValues[] = {"none",
                              "exact",
                              "normal-approximation",
                              "average-moving-range",
                              "median-moving-range",
                              "standard-deviation",
                              "centerline-only",
                              "user-defined"};
  for (int i = 0; i < 8; ++i)
    calc.Choices.push_back({calcValues[i], AttrMethodItems()[static_cast<std::size_t>(i)], i});
  TOptionSpec centre =
      Opt("centerline", K::Choice, "mean", "Centerline", "the centre line's base value");
  centre.Choices = {ChoiceOf(AttrCentreMean, "mean", "Mean"),
                    ChoiceOf(AttrCentreMedian, "median", "Median"),
                    ChoiceOf(AttrCentreKnown, "known-parameter", "Known Parameter")};
  std::vector<TOptionSpec> out = {
      Opt("analysis-variables", K::Columns, "", "Analysis Variables",
          "page \"Columns\": the measures, each charted alone"),
      Opt("measure", K::Column, "", "Measure", "page \"Reference\": the measure"),
      Opt("grouping-variables", K::Columns, "", "Grouping Variables",
          "page \"Reference\": one chart per level (one variable) or run (several)"),
      type,
      calc,
      centre,
      Opt("parameter", K::Text, "", "Pi / Lambda",
          "the known parameter (Pi for p and np, Lambda for c and u)"),
      Opt("std-err", K::Text, "3", "Std Err", "standard errors of the limits"),
      Opt("sample-size-column", K::Column, "", "Sample Size", "the column of the sample sizes"),
      Opt("constant-sample-size", K::Text, "", "Constant Sample Size",
          "one sample size for every point (c charts: 1 when none is given)"),
      Opt("sets", K::Column, "", "Sets",
          "limits estimated separately for each value of this column"),
      Opt("axis-labels", K::Column, "", "Axis Labels", "point labels from this column"),
      Opt("ucl", K::Text, "", "UCL", "user-defined UCL"),
      Opt("cl", K::Text, "", "CL", "user-defined centre line"),
      Opt("lcl", K::Text, "", "LCL", "user-defined LCL"),
  };
  for (TOptionSpec& s : ControlTestOptions()) out.push_back(std::move(s));
  for (TOptionSpec& s : ChartViewOptionSpecs(AttrChartViewItems())) out.push_back(std::move(s));
  out.push_back(SelectOption());
  return out;
}

}  // namespace

TAnalysis AttributesControlChartsAnalysis() {
  TAnalysis a;
  a.Name = AttributesControlChartsCommand;
  a.Summary =
      "p, np, c and u control charts of counts, with exact or approximate limits per set, "
      "run tests, zones and a limit summary.";
  a.NeedsData = true;
  a.DrawsPicture = true;
  a.Options = AttrChartOptions();
  a.Run = [](const TAnalysisContext& context) {
    const TOptionValues& o = context.Options;
    TDataList& data = *context.Data;
    TAttrSetupChoices c;
    c.Type = o.Choice<int>("type");
    c.Method = o.Choice<int>("control-limit-calculation");
    c.Centre = o.Choice<int>("centerline");
    c.Parameter = o.Text("parameter");
    c.StdErr = o.Text("std-err");
    auto limit = [&](const char* name, bool& use, std::string& text) {
      text = o.Text(name);
      use = !text.empty();
    };
    limit("ucl", c.UseUCL, c.UCL);
    limit("cl", c.UseCL, c.CL);
    limit("lcl", c.UseLCL, c.LCL);
    const std::vector<int>& measures = o.Columns("analysis-variables");
    const std::vector<int>& groups = o.Columns("grouping-variables");
    c.ReferencePage = o.Column("measure") > 0 || !groups.empty();
    c.Measures = static_cast<int>(measures.size());
    c.MeasureColumn = o.Column("measure");
    c.GroupingVariables = static_cast<int>(groups.size());
    c.SampleSizeColumn = o.Column("sample-size-column");
    c.SampleSize = o.Text("constant-sample-size");
    c.ConstantSampleSize = !c.SampleSize.empty();
    // The c chart counts per unit: without another choice its sample size is 1.
    if (c.Type == AttrC && c.SampleSizeColumn == 0 && !c.ConstantSampleSize) {
      c.ConstantSampleSize = true;
      c.SampleSize = "1";
    }
    c.DataColumns = data.MaxCol();
    TAttrSetupResult setup = ValidateAttrSetup(c);
    if (!setup.Error.empty()) return TOutcome::Refuse(setup.Error);

    TAttrChartRequest q;
    q.Settings = setup.Settings;
    if (c.DataColumns <= 1) {
      q.Measures = {1};
    } else if (setup.Beep) {
      return TOutcome::Refuse(
          "Choose the measures (--analysis-variables), or a --measure and its "
          "--grouping-variables!");
    } else {
      q.Reference = c.ReferencePage;
      q.Measures = measures;
      q.Measure = c.MeasureColumn;
      q.Groups = groups;
      q.SampleSizeColumn = c.SampleSizeColumn;
      q.SetVariable = o.Column("sets");
    }
    if (q.SampleSizeColumn == 0) q.ConstantSize = setup.ConstantSize;
    q.AxisLabels = o.Column("axis-labels");

    TControlTestSettings tests = ControlTestSettings();
    std::string error;
    if (!ApplyControlTestOptions(o, tests, error)) return TOutcome::Refuse(error);
    TChartViewOptions view = ChartViewOptionsFrom(o);

    TAttrChartBuilder builder(data, q);
    const std::vector<TAttrChartPosition> positions = builder.Positions();
    std::vector<std::string> names;
    for (const auto& p : positions) names.push_back(p.Name);
    if (positions.empty()) return TOutcome::Refuse("There are no counts to chart!");
    std::vector<int> picked;
    if (!ResolveSelection(o.Text("select"), names, picked, error)) return TOutcome::Refuse(error);

    TOutcome out;
    TReportScope scope(out.Report);
    std::string modifications;
    TFileModStrings mods;
    if (view.AddFileModifications && BuildFileModString(mods)) modifications = mods.Line;
    const std::string axisTitle = q.AxisLabels > 0 ? data.ColumnTitleOrName(q.AxisLabels) : "";
    for (std::size_t i = 0; i < picked.size(); ++i) {
      TAttrChartData d;
      builder.Build(positions[static_cast<std::size_t>(picked[i])], view.ShowBreaks, tests, d);
      if (i > 0) WriteBlankLine();
      WriteAttrChartReport(d, o.Decimals());
      if (i == 0) out.Chart = AttrChartModel(d, q, view, axisTitle, modifications);
    }
    return out;
  };
  return a;
}

}  // namespace sorvel
