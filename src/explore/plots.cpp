#include "explore/plots.h"

#include <algorithm>
#include <cmath>

#include "data/data_list.h"
#include "explore/include_guard.h"
#include "numerics/distributions.h"
#include "numerics/format.h"
#include "numerics/intervals.h"
#include "output/report_table.h"
#include "output/report_writer.h"
#include "stats/stats_engine.h"

namespace sorvel {

namespace {

constexpr TRgb Lime = 0x00FF00, Yellow = 0xFFFF00, Aqua = 0x00FFFF, Grey = 0x808080;
constexpr TRgb LightRed = 0xFF8080, LightBlue = 0x8080FF;

const char* const Entries[PlotKindCount] = {"B & W (outliers)", "Box & Whisker", "Mean (CI)",
                                            "Mean (Bar)",       "Std Dev Plot",  "Natural Tol.",
                                            "Tukey CMD",        "t CMD (LSD)"};

bool IsBoxPlot(TPlotKind k) { return k == TPlotKind::BWOutliers || k == TPlotKind::BoxWhisker; }

std::string Percent(double conf) { return FormatReal(100 * conf, 2); }

void BoxPlotGroup(std::span<double> x, bool outliers, TPlotGroup& g) {
  TStatsEngine e(x);
  e.SortAndQuartiles();
  const TStatsRecord& s = e.Stats;
  g.Low = s.Low;
  g.Q1 = s.Q1;
  g.Median = s.Median;
  g.Q3 = s.Q3;
  g.High = s.High;
  g.WhiskerLow = s.Low;
  g.WhiskerHigh = s.High;
  g.HasCentre = true;
  g.Centre = s.Median;
  if (!outliers) return;
  const double iqr = s.Q3 - s.Q1;
  g.InnerLow = s.Q1 - 1.5 * iqr;
  g.InnerHigh = s.Q3 + 1.5 * iqr;
  g.OuterLow = s.Q1 - 3 * iqr;
  g.OuterHigh = s.Q3 + 3 * iqr;
  // A value on a fence is no outlier.
  for (std::size_t i = 0; i < x.size() && x[i] < g.InnerLow; ++i)
    (x[i] < g.OuterLow ? g.FarOutliers : g.NearOutliers).push_back(x[i]);
  for (std::size_t i = x.size(); i-- > 0 && x[i] > g.InnerHigh;)
    (x[i] > g.OuterHigh ? g.FarOutliers : g.NearOutliers).push_back(x[i]);
  g.WhiskerLow = std::max(s.Low, g.InnerLow);
  g.WhiskerHigh = std::min(s.High, g.InnerHigh);
}

}  // namespace

const char* PlotListEntry(TPlotKind kind) {
  return Entries[std::clamp(static_cast<int>(kind), 0, PlotKindCount - 1)];
}

TPooledStats PooledStatistics(const std::vector<TExploreSet>& sets, double conf) {
  TPooledStats p;
  double ss = 0;
  for (const auto& set : sets) {
    if (set.Values.size() < 2) continue;
    std::vector<double> x = set.Values;
    TStatsEngine e(x);
    e.MeanAndVariance();
    p.dfTotal += static_cast<int>(x.size()) - 1;
    p.Groups += 1;
    ss += (static_cast<double>(x.size()) - 1) * e.Stats.Variance;
  }
  if (p.dfTotal <= 0) return p;
  const double alpha = 1 - conf;
  p.pooledVar = ss / p.dfTotal;
  p.pooledStd = std::sqrt(p.pooledVar);
  p.t = TQuantile(alpha, p.dfTotal, 2);
  p.mdiff = p.t * p.pooledStd;
  p.q = RangeQuantile(alpha, p.dfTotal, p.Groups);
  p.CMD_Tukey = p.q * std::sqrt(p.pooledVar) / 2;
  p.CMD_LSD = p.mdiff / std::sqrt(2.0);
  return p;
}

TPlotResult ComputePlots(const std::vector<TExploreSet>& sets, const TPlotOptions& o,
                         const TDataList* data) {
  TPlotResult r;
  r.Kind = o.Kind;
  const std::string pct = Percent(o.Conf);
  switch (o.Kind) {
    case TPlotKind::BWOutliers:
    case TPlotKind::BoxWhisker: r.Title = {"Box & Whisker Plots"}; break;
    case TPlotKind::MeanCI:
      r.Title = {"Mean Plots", pct + (o.PooledVariances ? "% Confidence Intervals (Pooled)"
                                                        : "% Confidence Intervals")};
      break;
    case TPlotKind::MeanBar: r.Title = {"Mean Plots"}; break;
    case TPlotKind::StdDevPlot:
      r.Title = {"Standard Deviation Plots", pct + "% Confidence Intervals"};
      break;
    case TPlotKind::NaturalTol:
      r.Title = {o.PooledVariances ? "Natural Tolerances (Pooled)" : "Natural Tolerances",
                 "(Assuming Normality)"};
      break;
    case TPlotKind::TukeyCMD:
      r.Title = {"Tukey Critical Mean Differences", pct + "% Intervals"};
      break;
    case TPlotKind::TCmdLSD:
      r.Title = {"Least Significant Differences (t-test)", pct + "% Intervals"};
      break;
  }
  r.Pooled =
      o.Kind == TPlotKind::TukeyCMD || o.Kind == TPlotKind::TCmdLSD ||
      (o.PooledVariances && (o.Kind == TPlotKind::MeanCI || o.Kind == TPlotKind::NaturalTol));
  if (r.Pooled) r.PooledStats = PooledStatistics(sets, o.Conf);
  const TPooledStats& p = r.PooledStats;
  TConfI ci;
  ci.SetConf(o.Conf);

  for (const auto& set : sets) {
    TPlotGroup g;
    g.Title = set.Title;
    g.n = static_cast<int>(set.Values.size());
    if (data && set.DescCol >= 1 && set.DescCol <= data->MaxCol()) {
      g.LSL = data->ColumnLSL(set.DescCol);
      g.Target = data->ColumnTarget(set.DescCol);
      g.USL = data->ColumnUSL(set.DescCol);
    }
    std::vector<double> x = set.Values;
    if (IsBoxPlot(o.Kind)) {
      BoxPlotGroup(x, o.Kind == TPlotKind::BWOutliers, g);
      r.Groups.push_back(std::move(g));
      continue;
    }
    TStatsEngine e(x);
    e.MeanAndVariance();
    const double mean = e.Stats.Mean, sd = e.Stats.StdDev,
                 rootN = std::sqrt(static_cast<double>(g.n));
    g.Mean = mean;
    auto box = [&](double lo, double hi, bool centre, double c) {
      g.HasBox = true;
      g.BoxLow = lo;
      g.BoxHigh = hi;
      g.HasCentre = centre;
      g.Centre = c;
      g.SizeAt = c;
    };
    switch (o.Kind) {
      case TPlotKind::MeanCI:
        if (r.Pooled) {
          box(mean - p.mdiff / rootN, mean + p.mdiff / rootN, true, mean);
        } else {
          ci.Intervals(mean, sd, g.n);
          if (g.n >= 2) box(ci.m1, ci.m2, true, mean);
        }
        break;
      case TPlotKind::MeanBar: box(std::min(0.0, mean), std::max(0.0, mean), false, mean); break;
      case TPlotKind::StdDevPlot:
        ci.Intervals(mean, sd, g.n);
        if (g.n >= 2) box(ci.s1, ci.s2, true, sd);
        break;
      case TPlotKind::NaturalTol: {
        const double s = r.Pooled ? p.pooledStd : (g.n >= 2 ? sd : 0);
        g.LPL = mean - 3 * s;
        g.UPL = mean + 3 * s;
        g.HasCentre = true;
        g.Centre = mean;
        g.SizeAt = mean;
        break;
      }
      case TPlotKind::TukeyCMD:
        box(mean - p.CMD_Tukey / rootN, mean + p.CMD_Tukey / rootN, true, mean);
        break;
      case TPlotKind::TCmdLSD:
        box(mean - p.CMD_LSD / rootN, mean + p.CMD_LSD / rootN, true, mean);
        break;
      default: break;
    }
    if (!g.HasBox && o.Kind != TPlotKind::NaturalTol) g.SizeAt = mean;
    r.Groups.push_back(std::move(g));
  }
  return r;
}

double NaturalTolHalfWidth(int groups, int plotWidth) {
  // Between two group positions x Plot Width / 200; one group: 9/10 of the plot.
  return (groups < 2 ? 0.9 : 1.0) * plotWidth / 200.0;
}

TChart PlotsChart(const TPlotResult& r, const TPlotOptions& o, const TPlotLabels& labels) {
  TChart c;
  c.BlackWhite = labels.BlackWhite;
  c.Title = labels.Title;
  c.Title.insert(c.Title.end(), r.Title.begin(), r.Title.end());
  if (!labels.Foot.empty()) c.Foot = {labels.Foot};
  TChartAxis& left = c.Panels[0].Left;
  left.Title = labels.MeasureName;
  left.Grid = o.GridLines;
  left.Format = o.AxisDecimals < 0 ? "#,##0.#########"
                : o.AxisDecimals == 0
                    ? "#,##0"
                    : "#,##0." + std::string(static_cast<std::size_t>(o.AxisDecimals), '0');
  const int groups = static_cast<int>(r.Groups.size());
  c.Bottom.Title = labels.GroupName;
  c.Bottom.Automatic = false;
  c.Bottom.Min = -0.5;
  c.Bottom.Max = std::max(groups, 1) - 0.5;
  c.Bottom.LabelAngle = 315;
  c.Bottom.Grid = false;
  for (int i = 0; i < groups; ++i)
    c.Bottom.Labels.push_back({double(i), r.Groups[static_cast<std::size_t>(i)].Title});
  if (o.DisplaySampleSize) {
    c.Bottom.TopLabels.push_back({-0.5, "n:"});
    for (int i = 0; i < groups; ++i)
      c.Bottom.TopLabels.push_back(
          {double(i), std::to_string(r.Groups[static_cast<std::size_t>(i)].n)});
  }
  const double boxWidth = (groups < 2 ? 0.9 : 1.0) * o.PlotWidth / 100.0;  // slots
  const double pen = std::min(o.LineThickness, 3);
  // Marker sizes follow the box's width on a plot of about 800 pixels.
  const double boxPixels = boxWidth * 800.0 / std::max(groups, 1);
  const double centreSize = boxPixels / 20 + 3, outlierSize = std::max(centreSize / 2, 2.0);

  const bool boxPlot = IsBoxPlot(r.Kind);
  TRgb fill = LightRed;
  switch (r.Kind) {
    case TPlotKind::MeanCI:
    case TPlotKind::MeanBar: fill = Yellow; break;
    case TPlotKind::StdDevPlot: fill = ChartRed; break;
    case TPlotKind::TukeyCMD: fill = Aqua; break;
    case TPlotKind::TCmdLSD: fill = LightBlue; break;
    default: break;
  }
  if (r.Kind != TPlotKind::NaturalTol) {
    auto& boxes = c.Add(TSeriesKind::Candles, "Box");
    boxes.BoxWidth = boxWidth;
    boxes.Width = boxPlot ? boxWidth / 2 : 0;  // whisker caps half the box's width
    boxes.BoxFill = {fill, ChartSilver};
    boxes.PenWidth = pen;
    for (int i = 0; i < groups; ++i) {
      const TPlotGroup& g = r.Groups[static_cast<std::size_t>(i)];
      boxes.X.push_back(i);
      boxes.Labels.push_back(g.Title);
      if (boxPlot) {
        boxes.Y.push_back(g.WhiskerLow);
        boxes.Y2.push_back(g.WhiskerHigh);
        boxes.Y3.push_back(g.Q1);
        boxes.Y4.push_back(g.Q3);
      } else {
        const double at = g.HasCentre ? g.Centre : g.HasBox ? g.BoxHigh : ChartMissing;
        boxes.Y.push_back(at);
        boxes.Y2.push_back(at);
        boxes.Y3.push_back(g.HasBox ? g.BoxLow : ChartMissing);
        boxes.Y4.push_back(g.HasBox ? g.BoxHigh : ChartMissing);
      }
    }
  }
  if (r.Kind == TPlotKind::BWOutliers) {
    auto& far = c.Add(TSeriesKind::Points, "Far Outliers");
    far.Palette = {{ChartRed, ChartBlack}};
    far.Size = outlierSize / 2;
    auto& near = c.Add(TSeriesKind::Points, "Near Outliers");
    near.Palette = {{Grey, ChartBlack}};
    near.Size = outlierSize / 2;
    for (int i = 0; i < groups; ++i) {
      const TPlotGroup& g = r.Groups[static_cast<std::size_t>(i)];
      for (double v : g.FarOutliers) {
        far.X.push_back(i);
        far.Y.push_back(v);
      }
      for (double v : g.NearOutliers) {
        near.X.push_back(i);
        near.Y.push_back(v);
      }
    }
  }
  if (r.Kind == TPlotKind::NaturalTol) {
    auto& range = c.Add(TSeriesKind::Range, "Natural Tolerances");
    auto& shapes = c.Add(TSeriesKind::Polygons, "Natural Tolerance");
    shapes.Palette = {{Lime, ChartSilver}};
    auto& strokes = c.Add(TSeriesKind::Polygons, "Natural Tolerance Lines");
    strokes.Palette = {{ChartBlack, ChartBlack}};
    strokes.Width = pen;
    const double w = NaturalTolHalfWidth(groups, o.PlotWidth);
    for (int i = 0; i < groups; ++i) {
      const TPlotGroup& g = r.Groups[static_cast<std::size_t>(i)];
      const double x = i;
      range.X.insert(range.X.end(), {x, x, x});
      range.Y.insert(range.Y.end(), {g.LPL, g.Mean, g.UPL});
      // A normal density on its side: 601 points from LPL to UPL, widest (2w) at the mean.
      TChartPolygon curve;
      curve.Vertices.push_back({x - w, g.LPL});
      for (int j = 1; j <= 599; ++j) {
        const double z = j / 100.0 - 3;
        curve.Vertices.push_back(
            {x - w + 2 * w * std::exp(-z * z / 2), g.LPL + (g.UPL - g.LPL) * j / 600});
      }
      curve.Vertices.push_back({x - w, g.UPL});
      shapes.Polygons.push_back(std::move(curve));
      // The bracket at the left edge and the mean across the slot.
      const double tick = w / 3;
      strokes.Polygons.push_back({{{x - w + tick, g.LPL}, {x - w, g.LPL}}});
      strokes.Polygons.push_back({{{x - w, g.LPL}, {x - w, g.UPL}}});
      strokes.Polygons.push_back({{{x - w, g.UPL}, {x - w + tick, g.UPL}}});
      strokes.Polygons.push_back({{{x + w, g.Mean}, {x - w, g.Mean}}});
    }
  } else if (r.Kind != TPlotKind::MeanBar) {
    auto& centre = c.Add(TSeriesKind::Points, "Center");
    centre.Palette = {{ChartBlack, ChartBlack}};
    centre.Size = centreSize / 2;
    for (int i = 0; i < groups; ++i) {
      const TPlotGroup& g = r.Groups[static_cast<std::size_t>(i)];
      if (!g.HasCentre) continue;
      centre.X.push_back(i);
      centre.Y.push_back(g.Centre);
    }
  }
  if (o.Specifications) {
    struct {
      const char* Title;
      double TPlotGroup::*Limit;
      TChartColor Color;
    } limits[] = {{"USL", &TPlotGroup::USL, {ChartRed, ChartBlack}},
                  {"Target", &TPlotGroup::Target, {Lime, ChartBlack}},
                  {"LSL", &TPlotGroup::LSL, {ChartRed, ChartBlack}}};
    for (const auto& l : limits) {
      TChartSeries* s = nullptr;
      for (int i = 0; i < groups; ++i) {
        const double v = r.Groups[static_cast<std::size_t>(i)].*l.Limit;
        if (!IsPresent(v)) continue;
        if (!s) {
          s = &c.Add(TSeriesKind::Segments, l.Title);
          s->Palette = {l.Color};
          s->Width = o.LineThickness;
        }
        s->X.push_back(i);
        s->Y.push_back(v);
      }
    }
  }
  return c;
}

void WritePlotsReport(const TPlotResult& r, const TPlotOptions& o, const TPlotLabels& labels,
                      int decimals) {
  TitleStyle(10);
  for (const auto& line : labels.Title) WriteLine(line);
  for (const auto& line : r.Title) WriteLine(line);
  BodyStyle(8);
  if (!labels.Foot.empty()) WriteLine(labels.Foot);
  WriteBlankLine();
  using A = TReportTable::TAlign;
  using T = TReportTable;
  TReportTable t;
  t.AddColumn(labels.GroupName.empty() ? "Group" : labels.GroupName, A::Left);
  t.AddColumn("n", A::Right);
  auto v = [&](double x) { return T::Value(x, decimals); };
  const bool boxPlot = IsBoxPlot(r.Kind);
  if (boxPlot) {
    for (const char* h : {"Whisker Low", "Q1", "Median", "Q3", "Whisker High"})
      t.AddColumn(h, A::Right);
    if (r.Kind == TPlotKind::BWOutliers)
      for (const char* h : {"Near Outliers", "Far Outliers"}) t.AddColumn(h, A::Left);
  } else if (r.Kind == TPlotKind::NaturalTol) {
    for (const char* h : {"LPL", "Mean", "UPL"}) t.AddColumn(h, A::Right);
  } else {
    const char* centre = r.Kind == TPlotKind::StdDevPlot ? "Std Dev" : "Mean";
    for (const char* h : {"Box Low", centre, "Box High"}) t.AddColumn(h, A::Right);
  }
  auto list = [&](std::vector<double> xs) {
    std::sort(xs.begin(), xs.end());
    std::string s;
    for (double x : xs) s += (s.empty() ? "" : ", ") + FormatReal(x, decimals);
    return s;
  };
  for (const TPlotGroup& g : r.Groups) {
    std::vector<std::string> row = {g.Title, T::Count(g.n)};
    if (boxPlot) {
      for (double x : {g.WhiskerLow, g.Q1, g.Median, g.Q3, g.WhiskerHigh}) row.push_back(v(x));
      if (r.Kind == TPlotKind::BWOutliers) {
        row.push_back(list(g.NearOutliers));
        row.push_back(list(g.FarOutliers));
      }
    } else if (r.Kind == TPlotKind::NaturalTol) {
      for (double x : {g.LPL, g.Mean, g.UPL}) row.push_back(v(x));
    } else if (r.Kind == TPlotKind::MeanBar) {
      row.insert(row.end(), {v(g.BoxLow), v(g.Mean), v(g.BoxHigh)});
    } else {
      row.push_back(g.HasBox ? v(g.BoxLow) : "");
      row.push_back(g.HasCentre ? v(g.Centre) : "");
      row.push_back(g.HasBox ? v(g.BoxHigh) : "");
    }
    t.AddRow(std::move(row));
  }
  t.Write();
  if (r.Kind == TPlotKind::BWOutliers) {
    WriteBlankLine();
    WriteLine("Whiskers end at the extreme values or at the inner fences (Q1 - 1.5 IQR,");
    WriteLine("Q3 + 1.5 IQR), whichever lies nearer the box; far outliers lie beyond the outer");
    WriteLine("fences (Q1 - 3 IQR, Q3 + 3 IQR).");
  }
  if (r.Pooled) {
    const TPooledStats& p = r.PooledStats;
    WriteBlankLine();
    WriteLine("Pooled Variance = " + FormatReal(p.pooledVar, decimals) + "   Pooled Std Dev = " +
              FormatReal(p.pooledStd, decimals) + "   df = " + std::to_string(p.dfTotal));
    if (r.Kind == TPlotKind::TukeyCMD)
      WriteLine("q(" + Percent(o.Conf) + "%, " + std::to_string(p.Groups) + ", " +
                std::to_string(p.dfTotal) + ") = " + FormatReal(p.q, decimals));
    else
      WriteLine("t(" + Percent(o.Conf) + "%, " + std::to_string(p.dfTotal) +
                ") = " + FormatReal(p.t, decimals));
  }
}

TAnalysis PlotsAnalysis() {
  TAnalysis a;
  a.Name = PlotsCommand;
  a.Summary =
      "Box plots (with outliers), mean, standard deviation, natural tolerance and "
      "Tukey or LSD comparison plots of Explore's groups side by side.";
  a.NeedsData = true;
  a.DrawsPicture = true;
  a.Options = ExploreSelectionOptions();
  using K = TOptionKind;
  TOptionSpec plot =
      GraphOption("plot", K::Choice, "b-w-outliers", "Plot", "the plot list's entry");
  const char* values[PlotKindCount] = {"b-w-outliers", "box-whisker", "mean-ci",   "mean-bar",
                                       "std-dev-plot", "natural-tol", "tukey-cmd", "t-cmd-lsd"};
  for (int i = 0; i < PlotKindCount; ++i)
    plot.Choices.push_back(ChoiceOf(static_cast<TPlotKind>(i), values[i], Entries[i]));
  TOptionSpec width = GraphOption("plot-width", K::WholeNumber, "50", "Plot Width",
                                  "percent of a group's slot the box takes");
  width.Min = 1;
  width.Max = 100;
  TOptionSpec thickness = GraphOption("line-thickness", K::WholeNumber, "2", "Line Thickness",
                                      "pen width of boxes, caps and specification lines");
  thickness.Min = 1;
  thickness.Max = 10;
  TOptionSpec axis = GraphOption("axis-decimal-places", K::Choice, "floating",
                                 "Axis Decimal Places", "decimals of the left axis");
  axis.Choices.push_back({"floating", "&Floating", -1});
  for (int k = 0; k <= 9; ++k)
    axis.Choices.push_back({std::to_string(k), "&" + std::to_string(k), k});
  TOptionSpec conf = GraphOption("conf", K::Number, "95", "Conf", "confidence level in percent");
  conf.Refusal = "Conf must be > 0 and < 100!";
  for (TOptionSpec s :
       {plot,
        GraphOption("use-pooled-variances", K::Flag, "", "Use Pooled Variances",
                    "pooled within-group variance for Mean (CI) and Natural Tol."),
        GraphOption("display-sample-size", K::Flag, "", "Display Sample Size",
                    "each group's n along the top"),
        GraphOption("no-display-specifications", K::Flag, "", "Display Specifications",
                    "leave out the columns' LSL, Target and USL"),
        GraphOption("display-grid-lines", K::Flag, "", "Display Grid Lines",
                    "grid lines of the left axis"),
        width, thickness, axis, conf,
        GraphOption("add-file-modifications-to-chart", K::Flag, "",
                    "Add File Modifications to Chart",
                    "the data rules in force as the chart's foot"),
        GraphOption("black-white", K::Flag, "", "Black & White", "draw in black and white")})
    a.Options.push_back(std::move(s));
  a.Run = [](const TAnalysisContext& context) {
    const TOptionValues& o = context.Options;
    TDataList& data = *context.Data;
    const double percent = o.Number("conf");
    if (!(percent > 0 && percent < 100)) return TOutcome::Refuse("Conf must be > 0 and < 100!");
    TIncludeColumnsGuard guard(data);
    TRunInfo ri;
    const TExploreSelection sel = ReadExploreSelection(o);
    if (std::string error = BuildExploreRun(data, sel, ri); !error.empty())
      return TOutcome::Refuse(error);
    const std::vector<TExploreSet> sets = LoadExploreSets(data, ri);
    if (sets.empty()) return TOutcome::Refuse("There are no values in the chosen sets!");
    TPlotOptions po;
    po.Kind = o.Choice<TPlotKind>("plot");
    po.PooledVariances = o.Flag("use-pooled-variances");
    po.DisplaySampleSize = o.Flag("display-sample-size");
    po.Specifications = !o.Flag("no-display-specifications");
    po.GridLines = o.Flag("display-grid-lines");
    po.FileModifications = o.Flag("add-file-modifications-to-chart");
    po.PlotWidth = o.Whole("plot-width");
    po.LineThickness = o.Whole("line-thickness");
    po.AxisDecimals = o.Choice<int>("axis-decimal-places");
    po.Conf = percent / 100;
    const TPlotResult r = ComputePlots(sets, po, &data);
    TPlotLabels labels = PlotLabelsFor(ri, sel.Title, po, o.Flag("black-white"));
    TOutcome out;
    out.Chart = PlotsChart(r, po, labels);
    TReportScope scope(out.Report);
    WritePlotsReport(r, po, labels, o.Decimals());
    return out;
  };
  return a;
}

TPlotLabels PlotLabelsFor(const TRunInfo& ri, const std::string& reportTitle,
                          const TPlotOptions& options, bool blackWhite) {
  TPlotLabels labels;
  if (!reportTitle.empty()) labels.Title.push_back(reportTitle);
  labels.MeasureName = ri.MeasureName;
  labels.GroupName = ri.GroupName;
  labels.BlackWhite = blackWhite;
  if (options.FileModifications) labels.Foot = FileModificationsFoot();
  return labels;
}

}  // namespace sorvel
