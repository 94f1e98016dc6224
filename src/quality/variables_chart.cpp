#include "quality/variables_chart.h"

#include <algorithm>
#include <cmath>

#include "data/grid_edit.h"
#include "numerics/format.h"

namespace sorvel {

namespace {

bool Present(double x) { return !ChartValueMissing(x); }

// The smallest and largest present values seen.
struct TSpan {
  double Lo = 0, Hi = 0;
  bool Any = false;
  void Add(double x) {
    if (!Present(x)) return;
    if (!Any || x < Lo) Lo = x;
    if (!Any || x > Hi) Hi = x;
    Any = true;
  }
};

// The min/max columns CalcVariablesLimits leaves after the last point.
void AddRowSpan(TSpan& span, const TVarPointTable& t, int row) {
  if (t.Count < 1) return;
  span.Add(t.Table(row, t.Count + 1));
  span.Add(t.Table(row, t.Count + 2));
}

std::string PlainName(const std::string& chart) {
  const auto at = chart.find(" (");
  return at == std::string::npos ? chart : chart.substr(0, at);
}

std::string Number5(double x) { return Present(x) ? FormatGeneral(x, 5) : "None"; }

}  // namespace

std::string VarChartTypeName(int chartType) {
  static const char* const names[] = {
      "", "X", "Mean", "Median", "Moving Range", "Range", "Std Dev (s)", "Variance (s\xC2\xB2)"};
  return chartType >= 1 && chartType <= 7 ? names[chartType] : "";
}

std::string DispersionAxisTitle(int chartType) {
  switch (chartType) {
    case ChartMovingRange: return "MR";
    case ChartRange: return "R";
    case ChartStdDev: return "s";
    case ChartVariance: return "s\xC2\xB2";
    default: return "";
  }
}

std::string VarMethodName(int method, int dispersionChart) {
  // clang-format off
  static const char* const names[] = {
      "None",           "Centerline Only",   "User Defined",       "Known Std Dev",     "Average MR",
      "Median MR",      "Std Dev",           "Average Range",      "Median Range",      "Average Std Dev",
      "Median Std Dev", "Average Variance",  "Average MR of Means", "Average MR of Medians",
      "Median MR of Means", "Median MR of Medians", "Std Dev of Means", "Std Dev of Medians"};
  // clang-format on
  const std::string of = PlainName(VarChartTypeName(dispersionChart));
  switch (method) {
    case MethodAverageMRDispersion: return "Average MR of " + of;
    case MethodMedianMRDispersion: return "Median MR of " + of;
    case MethodSDDispersion: return "Std Dev of " + of;
    default: return method >= 0 && method <= MethodSDMedians ? names[method] : "";
  }
}

std::string VarCentreName(int centreCode, int locationChart, int dispersionChart) {
  const std::string loc = VarChartTypeName(locationChart);
  const std::string disp = PlainName(VarChartTypeName(dispersionChart));
  switch (centreCode) {
    case 1: return "Average " + loc;
    case 2: return "Median of " + loc + "s";
    case 3: return "Known Mean";
    case 4: return "Average " + disp;
    case 5: return "Median " + disp;
    case 6: return "Known Std Dev";
    default: return "None";
  }
}

bool TVarPointTexts::Any() const {
  for (const auto& list : Texts)
    for (const auto& s : list)
      if (!s.empty()) return true;
  return false;
}

void TVarPointTexts::Clear() {
  for (auto& list : Texts) list.clear();
}

bool LocationDrawn(const TVariablesChartSettings& s, int split) {
  return s.LocationChart != ChartNone && split > 10;
}
bool DispersionDrawn(const TVariablesChartSettings& s, int split) {
  return s.DispersionChart != ChartNone && split < 90;
}

std::vector<double> VarPointPositions(const TVarPointTable& t) {
  std::vector<double> x(static_cast<std::size_t>(t.Count) + 1, 0.0);
  int shift = 0;
  for (int p = 1; p <= t.Count; ++p) {
    x[static_cast<std::size_t>(p)] = p + shift;
    if (t.Table(RowBreak, p) == 1 && p < t.Count) ++shift;
  }
  return x;
}

std::vector<std::string> VarLimitInformation(const TVarPointTable& t,
                                             const TVariablesChartSettings& s, bool location,
                                             bool dispersion) {
  std::vector<std::string> out;
  if (t.Count < 1) return out;
  std::size_t a = 0;
  if (location) a = std::max(a, VarChartTypeName(s.LocationChart).size());
  if (dispersion) a = std::max(a, DispersionAxisTitle(s.DispersionChart).size());
  const int w = static_cast<int>(a);
  const int last = t.Count;
  auto chart = [&](int type, int method, int centre, int lcl, int cl, int ucl, int lead) {
    const std::string name = VarChartTypeName(type) + " Chart ";
    const std::string centreLine =
        "Centerline [" + Number5(t.Table(cl, last)) + "] using " +
        (method == MethodUserDefined ? std::string("User Defined")
                                     : VarCentreName(centre, s.LocationChart, s.DispersionChart));
    if (method == MethodNone || method == MethodCentreOnly) {
      out.push_back(PadLeft(name, w + 11) + centreLine);
      return;
    }
    out.push_back(PadLeft(name, w + lead) + "Control Limits [" + Number5(t.Table(ucl, last)) +
                  ", " + Number5(t.Table(lcl, last)) + "] from " +
                  VarMethodName(method, s.DispersionChart));
    out.push_back(Blanks(w + 11) + centreLine);
  };
  if (location)
    chart(s.LocationChart, s.LocationMethod, s.LocationCentre, RowLocLCL, RowLocCL, RowLocUCL, 6);
  if (dispersion)
    chart(s.DispersionChart, s.DispersionMethod, s.DispersionCentre, RowDispLCL, RowDispCL,
          RowDispUCL, 7);
  return out;
}

TChart VariablesChartModel(const TVarChartModelInput& in) {
  const TVarPointTable& t = *in.Points;
  const TVarChartRequest& rq = in.Builder->Request();
  const TVariablesChartSettings& s = rq.Settings;
  const TDataList& data = *in.Data;
  const TChartViewOptions& v = in.View;
  const bool loc = LocationDrawn(s, v.Split), disp = DispersionDrawn(s, v.Split);

  TChart c;
  c.BlackWhite = v.BlackWhite;
  if (!v.Title.empty()) c.Title.push_back(v.Title);
  const std::string locName = VarChartTypeName(s.LocationChart),
                    dispName = VarChartTypeName(s.DispersionChart);
  std::string head = loc && disp ? locName + " and " + dispName : loc ? locName : dispName;
  std::string subject = data.ColumnTitleOrName(in.Column);
  if (rq.Layout >= 8) subject += " (" + in.Builder->RunName(in.Run) + ")";
  c.Title.push_back(head + " Chart: " + subject);
  if (v.AddFileModifications) {
    TFileModStrings mods;
    if (BuildFileModString(mods)) c.Foot.push_back(mods.Line);
  }
  if (v.AddLimitInformation)
    for (auto& line : VarLimitInformation(t, s, loc, disp)) c.Foot.push_back(std::move(line));
  if ((!loc && !disp) || t.Count < 1) return c;

  const int locPanel = 0, dispPanel = loc ? 1 : 0;
  c.Panels.assign(loc && disp ? 2 : 1, TChartPanel{});
  c.Split = v.Split;
  const std::string format = AxisValueFormat(v.AxisDecimals);
  if (loc) {
    c.Panels[locPanel].Left.Title = locName;
    c.Panels[locPanel].Left.Format = format;
  }
  if (disp) {
    c.Panels[static_cast<std::size_t>(dispPanel)].Left.Title =
        DispersionAxisTitle(s.DispersionChart);
    c.Panels[static_cast<std::size_t>(dispPanel)].Left.Format = format;
  }

  // What is shown.
  const bool allPoints = v.ShowAllPoints && !t.AllStart.empty() &&
                         t.AllStart.size() >= static_cast<std::size_t>(t.Count) + 2;
  const bool sigmaLinesAllowed = s.LocationChart == ChartX || allPoints;
  const bool removeLocation = v.RemoveLocation && allPoints;
  const bool show3Sigma = loc && v.Show3Sigma && sigmaLinesAllowed;
  const bool showSpecs = loc && v.ShowSpecifications && sigmaLinesAllowed;
  const bool zones = v.DisplayZones;
  const double width = v.LineThickness;

  const std::vector<double> x = VarPointPositions(t);
  const int n = t.Count;
  auto X = [&](int p) { return x[static_cast<std::size_t>(p)]; };

  // Bottom axis.
  c.Bottom.Title = rq.AxisLabels > 0 ? data.ColumnTitleOrName(rq.AxisLabels) : "Point";
  c.Bottom.LabelAngle = rq.AxisLabels > 0 ? 315 : 0;
  if (rq.AxisLabels > 0 || t.BreakCount > 0) {
    c.Bottom.Labels.reserve(static_cast<std::size_t>(n));
    for (int p = 1; p <= n; ++p)
      c.Bottom.Labels.push_back(
          {X(p), rq.AxisLabels > 0
                     ? data.DataGrid.Cell(rq.AxisLabels, t.FirstRow[static_cast<std::size_t>(p)])
                     : std::to_string(p)});
  }

  // Axis ranges.
  TSpan locSpan, dispSpan;
  SetSpecLimits(data.ColumnLSL(in.Column), data.ColumnTarget(in.Column), data.ColumnUSL(in.Column));
  const TSpecLimits& specs = SpecLimits();
  if (loc) {
    AddRowSpan(locSpan, t, RowLocation);
    if (!removeLocation)
      for (int row : {RowLocLCL, RowLocCL, RowLocUCL}) AddRowSpan(locSpan, t, row);
    if (show3Sigma)
      for (int p = 1; p <= n; ++p) {
        const double m = t.Table(RowGrandMean, p), sg = t.Table(RowProcessSigma, p);
        if (!Present(m) || !Present(sg)) continue;
        locSpan.Add(m + 3 * sg);
        if (!(s.PositiveLimitsOnly && m - 3 * sg < 0)) locSpan.Add(m - 3 * sg);
      }
    if (showSpecs)
      for (double l : {specs.LSL, specs.Target, specs.USL}) locSpan.Add(l);
    // Values drawn beside their statistic must not fall outside the axis.
    if (allPoints)
      for (double value : t.AllValues) locSpan.Add(value);
  }
  if (disp)
    for (int row : {RowDispersion, RowDispLCL, RowDispCL, RowDispUCL}) AddRowSpan(dispSpan, t, row);
  auto fixAxis = [&](TChartAxis& axis, const TSpan& span, double share, bool floorZero) {
    if (!span.Any) return;
    double lo = span.Lo, hi = span.Hi;
    double pad = (hi - lo) * share;
    if (pad == 0) pad = std::max(std::abs(hi) * share, 0.5);
    lo -= pad;
    hi += pad;
    if (floorZero) lo = std::max(lo, 0.0);
    axis.Automatic = false;
    axis.Min = lo;
    axis.Max = hi;
  };
  if (loc) fixAxis(c.Panels[locPanel].Left, locSpan, 1.0 / 20, s.PositiveLimitsOnly);
  if (disp)
    fixAxis(c.Panels[static_cast<std::size_t>(dispPanel)].Left, dispSpan, loc ? 1.0 / 10 : 1.0 / 20,
            true);

  // The series, in the order of the design; bands and separators first, behind them.
  auto line = [&](const std::string& title, int panel, TChartColor color,
                  TChartPen pen = TChartPen::Solid) -> TChartSeries& {
    TChartSeries& l = c.Add(TSeriesKind::Line, title, panel);
    l.Palette = {color};
    l.Width = width;
    l.Pen = pen;
    return l;
  };
  auto bands = [&](const std::string& title, int panel, TChartColor color) -> TChartSeries& {
    TChartSeries& b = c.Add(TSeriesKind::Bands, title, panel);
    b.Palette = {color};
    return b;
  };
  const TChartColor green{0xB4F0B4, ChartWhite}, yellow{0xFFFF99, ChartSilver},
      red{0xFFC8C8, ChartWhite};
  struct TZoneBands {
    TChartSeries *Inner = nullptr, *UpperYellow = nullptr, *LowerYellow = nullptr,
                 *UpperRed = nullptr, *LowerRed = nullptr;
  };
  auto makeBands = [&](int panel) {
    TZoneBands z;
    z.Inner = &bands("Zone", panel, green);
    z.UpperYellow = &bands("Zone", panel, yellow);
    z.LowerYellow = &bands("Zone", panel, yellow);
    z.UpperRed = &bands("Zone", panel, red);
    z.LowerRed = &bands("Zone", panel, red);
    return z;
  };
  const bool locLimitsShown = loc && !removeLocation;
  TZoneBands locBands, dispBands;
  if (zones && locLimitsShown) locBands = makeBands(locPanel);
  if (zones && disp) dispBands = makeBands(dispPanel);

  TChartSeries& locHeight = c.Add(TSeriesKind::Range, "", locPanel);
  TChartSeries& dispHeight = c.Add(TSeriesKind::Range, "", dispPanel);
  if (loc && locSpan.Any) {
    locHeight.X = {X(1), X(1)};
    locHeight.Y = {c.Panels[locPanel].Left.Min, c.Panels[locPanel].Left.Max};
  }
  if (disp && dispSpan.Any) {
    const TChartAxis& a = c.Panels[static_cast<std::size_t>(dispPanel)].Left;
    dispHeight.X = {X(1), X(1)};
    dispHeight.Y = {a.Min, a.Max};
  }
  // Set separators and their texts.
  const bool sets = rq.SetVariable > 0 && n >= 2;
  if (sets) {
    const std::string setTitle = data.ColumnTitleOrName(rq.SetVariable);
    const bool text =
        rq.SetVariable <= MaxColumns && data.StringVar[static_cast<std::size_t>(rq.SetVariable)];
    auto setText = [&](int p) {
      const std::string value =
          text ? data.DataGrid.Cell(rq.SetVariable, t.FirstRow[static_cast<std::size_t>(p)])
               : FormatGeneral(t.Table(RowSet, p));
      return " " + setTitle + "=" + value + " ";
    };
    std::vector<TChartSeries*> separators;
    for (int panel = 0; panel < static_cast<int>(c.Panels.size()); ++panel) {
      TChartSeries& sep = c.Add(TSeriesKind::Lines, "Set", panel);
      sep.FullHeight = true;
      sep.Width = width + 2;
      sep.Palette = {TChartColor{ChartBlack, ChartBlack}};
      separators.push_back(&sep);
    }
    c.Bottom.TopLabels.push_back({X(1), setText(1)});
    for (int p = 2; p <= n; ++p) {
      if (t.Table(RowSet, p) == t.Table(RowSet, p - 1)) continue;
      const double at = (X(p - 1) + X(p)) / 2;
      for (TChartSeries* sep : separators) sep->X.push_back(at);
      c.Bottom.TopLabels.push_back({X(p), setText(p)});
    }
  }

  const std::string zone1 = "Zone 1 Line", zone2 = "Zone 2 Line";
  TChartSeries *zone1a = nullptr, *zone1b = nullptr, *lcl = nullptr, *cl = nullptr, *ucl = nullptr;
  if (locLimitsShown) {
    if (zones) {
      zone1a = &line("Upper " + zone1, locPanel, VarCentreColor, TChartPen::Dot);
      zone1b = &line("Lower " + zone1, locPanel, VarCentreColor, TChartPen::Dot);
    }
    lcl = &line("Location LCL", locPanel, VarLimitColor);
    cl = &line("Location Centerline", locPanel, VarCentreColor);
    ucl = &line("Location UCL", locPanel, VarLimitColor);
  }
  if (showSpecs) {
    auto spec = [&](const char* title, double value, TChartColor color) {
      if (!Present(value)) return;
      TChartSeries& l = line(title, locPanel, color, TChartPen::Dash);
      l.X = {X(1), X(n)};
      l.Y = {value, value};
    };
    spec("Upper Spec Limit", specs.USL, VarLimitColor);
    spec("Target", specs.Target, VarCentreColor);
    spec("Lower Spec Limit", specs.LSL, VarLimitColor);
  }
  TChartSeries* codes = nullptr;
  if (v.DisplayCodes) {
    codes = &c.Add(TSeriesKind::TopText, "Control Violation Codes", 0);
    codes->Palette = {VarViolationColor};
  }
  TChartSeries *plus3 = nullptr, *minus3 = nullptr;
  if (show3Sigma) {
    plus3 = &line("Plus 3 Sigma Line", locPanel, VarLimitColor, TChartPen::Dash);
    minus3 = &line("Minus 3 Sigma Line", locPanel, VarLimitColor, TChartPen::Dash);
  }
  TChartSeries* all = nullptr;
  if (allPoints && loc) {
    all = &c.Add(TSeriesKind::Points, "Individual Point", locPanel);
    all->Palette = {TChartColor{ChartBlack, ChartBlack}};
    all->Size = v.PointSize / 2 + 1;
  }
  // Statistics: a point series, and the line that connects points of one set.
  auto statistic = [&](const std::string& title, int panel, TChartSeries*& points,
                       TChartSeries*& joint) {
    joint = &line(title, panel, VarPointColor);
    joint->Palette = {VarPointColor, VarViolationColor};
    joint->Visible = v.ConnectPoints;
    points = &c.Add(TSeriesKind::Points, title, panel);
    points->Palette = {VarPointColor, VarViolationColor};
    points->Size = v.PointSize;
  };
  TChartSeries *locPoints = nullptr, *locJoint = nullptr;
  if (loc && !removeLocation) statistic("Location Statistic", locPanel, locPoints, locJoint);
  TChartSeries *zone1c = nullptr, *zone1d = nullptr, *dlcl = nullptr, *dcl = nullptr,
               *ducl = nullptr;
  TChartSeries *dispPoints = nullptr, *dispJoint = nullptr;
  if (disp) {
    if (zones) {
      zone1c = &line("Upper " + zone2, dispPanel, VarCentreColor, TChartPen::Dot);
      zone1d = &line("Lower " + zone2, dispPanel, VarCentreColor, TChartPen::Dot);
    }
    dlcl = &line("Dispersion LCL", dispPanel, VarLimitColor);
    dcl = &line("Dispersion Centerline", dispPanel, VarCentreColor);
    ducl = &line("Dispersion UCL", dispPanel, VarLimitColor);
    statistic("Dispersion Statistic", dispPanel, dispPoints, dispJoint);
  }

  // The x positions every line series shares: one entry per point, a gap between sets and
  // an empty position after a break (point 0 marks a gap).
  std::vector<double> lineX;
  std::vector<int> lineP;
  lineX.reserve(static_cast<std::size_t>(n) + static_cast<std::size_t>(t.BreakCount) + 8);
  lineP.reserve(lineX.capacity());
  for (int p = 1; p <= n; ++p) {
    if (p > 1 && t.Table(RowSet, p) != t.Table(RowSet, p - 1)) {
      lineX.push_back((X(p - 1) + X(p)) / 2);
      lineP.push_back(0);
    }
    lineX.push_back(X(p));
    lineP.push_back(p);
    if (t.Table(RowBreak, p) == 1 && p < n) {
      lineX.push_back(X(p) + 1);
      lineP.push_back(0);
    }
  }
  const std::size_t slots = lineX.size();
  auto clean = [](double y) { return Present(y) ? y : ChartMissing; };
  auto fillLine = [&](TChartSeries* l, const auto& value) {
    if (!l) return;
    l->X = lineX;
    l->Y.resize(slots);
    for (std::size_t i = 0; i < slots; ++i)
      l->Y[i] = lineP[i] ? clean(value(lineP[i])) : ChartMissing;
  };
  auto rowLine = [&](TChartSeries* l, int row) {
    const double* v = t.Table.Rows[static_cast<std::size_t>(row)].data();
    fillLine(l, [v](int p) { return v[p]; });
  };
  auto zoneLine = [&](TChartSeries* l, int centreRow, int sigmaRow, double k) {
    const double* centre = t.Table.Rows[static_cast<std::size_t>(centreRow)].data();
    const double* sigma = t.Table.Rows[static_cast<std::size_t>(sigmaRow)].data();
    fillLine(l, [=](int p) {
      return Present(centre[p]) && Present(sigma[p]) ? centre[p] + k * sigma[p] : ChartMissing;
    });
  };
  auto codesOf = [&](int k, int p) -> const std::string& {
    return t.Codes[k][static_cast<std::size_t>(p)];
  };
  const bool codesKnown = t.Codes[0].size() > static_cast<std::size_t>(n) &&
                          t.Codes[1].size() > static_cast<std::size_t>(n);
  // Colour index per point: 1 for a point carrying a code of its chart while violations show.
  auto colours = [&](int k, bool drawn) {
    std::vector<std::uint8_t> c(static_cast<std::size_t>(n) + 1, 0);
    if (drawn && v.DisplayViolations && codesKnown)
      for (int p = 1; p <= n; ++p) c[static_cast<std::size_t>(p)] = codesOf(k, p).empty() ? 0 : 1;
    return c;
  };
  const std::vector<std::uint8_t> locColor = colours(0, loc), dispColor = colours(1, disp);
  const TVarPointTexts* texts = in.PointTexts;
  auto statisticSeries = [&](TChartSeries* points, TChartSeries* joint, int row, int k,
                             const std::vector<std::uint8_t>& colour) {
    if (!points) return;
    const double* v = t.Table.Rows[static_cast<std::size_t>(row)].data();
    points->X.assign(x.begin() + 1, x.end());
    points->Y.resize(static_cast<std::size_t>(n));
    points->ColorIndex.assign(colour.begin() + 1, colour.end());
    for (int p = 1; p <= n; ++p) points->Y[static_cast<std::size_t>(p - 1)] = clean(v[p]);
    if (texts && !texts->Texts[k].empty()) {
      const auto& list = texts->Texts[k];
      for (int p = 1; p <= n && static_cast<std::size_t>(p) < list.size(); ++p)
        if (!list[static_cast<std::size_t>(p)].empty()) {
          points->Labels.resize(static_cast<std::size_t>(p));
          points->Labels[static_cast<std::size_t>(p - 1)] = list[static_cast<std::size_t>(p)];
        }
    }
    rowLine(joint, row);
    joint->ColorIndex.resize(slots);
    for (std::size_t i = 0; i < slots; ++i)
      joint->ColorIndex[i] = colour[static_cast<std::size_t>(lineP[i])];
  };

  if (locLimitsShown) {
    rowLine(lcl, RowLocLCL);
    rowLine(cl, RowLocCL);
    rowLine(ucl, RowLocUCL);
    zoneLine(zone1a, RowLocCL, RowLocSigma, 1);
    zoneLine(zone1b, RowLocCL, RowLocSigma, -1);
  }
  if (show3Sigma) {
    zoneLine(plus3, RowGrandMean, RowProcessSigma, 3);
    zoneLine(minus3, RowGrandMean, RowProcessSigma, -3);
    if (s.PositiveLimitsOnly)
      for (double& y : minus3->Y)
        if (Present(y) && y < 0) y = ChartMissing;
  }
  if (disp) {
    rowLine(dlcl, RowDispLCL);
    rowLine(dcl, RowDispCL);
    rowLine(ducl, RowDispUCL);
    zoneLine(zone1c, RowDispCL, RowDispSigma, 1);
    zoneLine(zone1d, RowDispCL, RowDispSigma, -1);
  }
  statisticSeries(locPoints, locJoint, RowLocation, 0, locColor);
  statisticSeries(dispPoints, dispJoint, RowDispersion, 1, dispColor);

  auto band = [&](TChartSeries* b, double px, double lo, double hi) {
    if (!b || !Present(lo) || !Present(hi) || hi <= lo) return;
    b->X.push_back(px);
    b->Y.push_back(lo);
    b->Y2.push_back(hi);
  };
  auto zoneBands = [&](const TZoneBands& z, double px, double centre, double sigma, double lo,
                       double hi) {
    if (!z.Inner || !Present(centre) || !Present(sigma) || !(sigma > 0)) return;
    band(z.Inner, px, centre - sigma, centre + sigma);
    band(z.UpperYellow, px, centre + sigma, centre + 2 * sigma);
    band(z.LowerYellow, px, centre - 2 * sigma, centre - sigma);
    band(z.UpperRed, px, centre + 2 * sigma, hi);
    band(z.LowerRed, px, lo, centre - 2 * sigma);
  };
  if (zones || codes || all)
    for (int p = 1; p <= n; ++p) {
      const double px = X(p);
      if (zones && locLimitsShown)
        zoneBands(locBands, px, t.Table(RowLocCL, p), t.Table(RowLocSigma, p),
                  t.Table(RowLocLCL, p), t.Table(RowLocUCL, p));
      if (zones && disp)
        zoneBands(dispBands, px, t.Table(RowDispCL, p), t.Table(RowDispSigma, p),
                  t.Table(RowDispLCL, p), t.Table(RowDispUCL, p));
      if (codes) {
        static const std::string none;
        const std::string& d = disp && codesKnown ? codesOf(1, p) : none;
        const std::string& l = loc && codesKnown ? codesOf(0, p) : none;
        codes->X.push_back(px);
        codes->Labels.push_back(
            d.empty() && l.empty() ? " " : d + (!d.empty() && !l.empty() ? " | " : "") + l);
      }
      if (all) {
        const auto from = static_cast<std::size_t>(t.AllStart[static_cast<std::size_t>(p)]);
        const auto to = static_cast<std::size_t>(t.AllStart[static_cast<std::size_t>(p) + 1]);
        if (to - from >= 2)
          for (std::size_t k = from; k < to; ++k) {
            all->X.push_back(px);
            all->Y.push_back(clean(t.AllValues[k]));
          }
      }
    }
  return c;
}

}  // namespace sorvel
