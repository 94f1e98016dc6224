#include "quality/variables_setup.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "analysis/analysis.h"

namespace sorvel {

namespace {

using TList = std::vector<std::string>;

const char* const None = "None";
const char* const UserDefined = "User Defined";
const char* const KnownSigma = "Known Std Dev";

const TList IndividualMethods = {"Average MR",      "Median MR",    "Std Dev", "Known Std Dev",
                                 "Centerline Only", "User Defined", "None"};

// The master list of method names: the position is the method code.
// clang-format off
const TList MethodNames = {"None", "Centerline Only", "User Defined", "Known Std Dev", "Average MR",
                           "Median MR", "Std Dev", "Average Range", "Median Range", "Average Std Dev",
                           "Median Std Dev", "Average Variance", "Average MR of Means",
                           "Average MR of Medians", "Median MR of Means", "Median MR of Medians",
                           "Std Dev of Means", "Std Dev of Medians"};
const TList ChartNames = {"None", "X", "Mean", "Median", "Moving Range", "Range", "Std Dev (s)",
                          "Variance (s\xC2\xB2)"};
// clang-format on

int IndexOf(const TList& list, const std::string& item) {
  const auto it = std::find(list.begin(), list.end(), item);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

// The combo box's text if it is one of its items, else its first item.
std::string Pick(const TList& items, const std::string& text) {
  return IndexOf(items, text) >= 0 ? text : items.front();
}

// The dispersion chart's name without its bracketed symbol ("Std Dev (s)" -> "Std Dev").
std::string PlainName(const std::string& chart) {
  const auto at = chart.find(" (");
  return at == std::string::npos ? chart : chart.substr(0, at);
}

TList SubgroupMethods(const std::string& of) {
  return {"Average Range",    "Median Range",        "Average Std Dev",    "Median Std Dev",
          "Average Variance", "Average MR of " + of, "Median MR of " + of, "Std Dev of " + of,
          "Known Std Dev",    "Centerline Only",     "User Defined",       "None"};
}

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

TVarSetupView RefreshVarSetup(const TVarSetupChoices& c) {
  TVarSetupView v;
  v.Resolved = c;
  TVarSetupChoices& r = v.Resolved;
  // Only controls that are shown count: a layout hidden with one chart variable, sample
  // controls hidden by "Subgroups in Rows", a sample slot hidden by a constant size.
  v.LayoutShown = c.ChartVariables > 1;
  const bool rows = v.LayoutShown && c.SubgroupsInRows;
  v.SampleControlsShown = !rows;
  v.SampleSlotShown = v.SampleControlsShown && !c.ConstantSampleSize;
  r.SubgroupsInRows = rows;
  r.SampleVariable = c.SampleVariable && v.SampleSlotShown;
  r.ConstantSampleSize = c.ConstantSampleSize && v.SampleControlsShown;
  v.Individuals = !r.SampleVariable && !r.ConstantSampleSize && !rows;

  if (v.Individuals) {
    v.LocationCharts = {"X", "None"};
    v.DispersionCharts = {"Moving Range", "None"};
  } else {
    v.LocationCharts = {"Mean", "Median", "None"};
    v.DispersionCharts = {"Range", "Std Dev (s)", "Variance (s\xC2\xB2)", "None"};
  }
  r.LocationChart = Pick(v.LocationCharts, c.LocationChart);
  r.DispersionChart = Pick(v.DispersionCharts, c.DispersionChart);
  const std::string dispName = PlainName(r.DispersionChart);
  if (v.Individuals) {
    v.LocationMethods = v.DispersionMethods = IndividualMethods;
  } else {
    v.LocationMethods = SubgroupMethods(r.LocationChart == "Median" ? "Medians" : "Means");
    v.DispersionMethods = SubgroupMethods(dispName);
  }
  r.LocationMethod = Pick(v.LocationMethods, c.LocationMethod);
  r.DispersionMethod = Pick(v.DispersionMethods, c.DispersionMethod);
  v.LocationCentres = {"Average " + r.LocationChart, "Median of " + r.LocationChart + "s",
                       "Known Mean"};
  v.DispersionCentres = {"Average " + dispName, "Median " + dispName, KnownSigma};
  r.LocationCentre = Pick(v.LocationCentres, c.LocationCentre);
  r.DispersionCentre = Pick(v.DispersionCentres, c.DispersionCentre);

  v.LocationMethodShown = r.LocationChart != None;
  v.LocationCentreShown =
      v.LocationMethodShown && r.LocationMethod != None && r.LocationMethod != UserDefined;
  v.PositiveLimitsShown = v.LocationCentreShown;
  v.LocationUserLimitsShown = v.LocationMethodShown && r.LocationMethod == UserDefined;
  v.DispersionMethodShown = r.DispersionChart != None;
  v.DispersionCentreShown =
      v.DispersionMethodShown && r.DispersionMethod != None && r.DispersionMethod != UserDefined;
  v.DispersionUserLimitsShown = v.DispersionMethodShown && r.DispersionMethod == UserDefined;
  v.MuShown = v.LocationCentreShown && r.LocationCentre == "Known Mean";
  v.SigmaShown =
      (v.LocationMethodShown && r.LocationMethod == KnownSigma) ||
      (v.DispersionMethodShown && (r.DispersionMethod == KnownSigma ||
                                   (v.DispersionCentreShown && r.DispersionCentre == KnownSigma)));
  v.StdErrShown = (v.LocationMethodShown && r.LocationMethod != None) ||
                  (v.DispersionMethodShown && r.DispersionMethod != None);
  v.MRCountShown = (v.LocationMethodShown && Contains(r.LocationMethod, "MR")) ||
                   (v.DispersionMethodShown && Contains(r.DispersionMethod, "MR")) ||
                   r.DispersionChart == "Moving Range";
  v.ActionEnabled = c.ChartVariables >= 1 && (r.LocationChart != None || r.DispersionChart != None);
  return v;
}

void ChooseLocationChart(TVarSetupChoices& c, const std::string& chart) {
  c.LocationChart = chart;
  const TVarSetupView v = RefreshVarSetup(c);
  c.LocationCentre = v.LocationCentres[chart == "Median" ? 1 : 0];
  const int at = IndexOf(v.DispersionMethods, v.Resolved.DispersionMethod);
  if (at >= 0 && at < static_cast<int>(v.LocationMethods.size()))
    c.LocationMethod = v.LocationMethods[static_cast<std::size_t>(at)];
}

void ChooseDispersionMethod(TVarSetupChoices& c, const std::string& method) {
  c.DispersionMethod = method;
  const TVarSetupView v = RefreshVarSetup(c);
  const int at = IndexOf(v.DispersionMethods, v.Resolved.DispersionMethod);
  if (at >= 0 && at < static_cast<int>(v.LocationMethods.size()))
    c.LocationMethod = v.LocationMethods[static_cast<std::size_t>(at)];
  const bool median = Contains(method, "Median") && !Contains(method, " of ");
  c.DispersionCentre = v.DispersionCentres[median ? 1 : 0];
}

void ChooseDispersionChart(TVarSetupChoices& c, const std::string& chart) {
  const TVarSetupView before = RefreshVarSetup(c);
  const int method = IndexOf(before.DispersionMethods, before.Resolved.DispersionMethod);
  const int centre = IndexOf(before.DispersionCentres, before.Resolved.DispersionCentre);
  c.DispersionChart = chart;
  const TVarSetupView after = RefreshVarSetup(c);
  if (method >= 0 && method < static_cast<int>(after.DispersionMethods.size()))
    c.DispersionMethod = after.DispersionMethods[static_cast<std::size_t>(method)];
  if (centre >= 0 && centre < static_cast<int>(after.DispersionCentres.size()))
    c.DispersionCentre = after.DispersionCentres[static_cast<std::size_t>(centre)];
}

int VarSetupLayoutCode(const TVarSetupView& v) {
  static const std::map<int, int> codes = {
      {0, 1},     {10, 4},     {100, 3},    {1000, 5},   {1001, 2},  {1010, 7},   {1100, 6},
      {10000, 8}, {10010, 11}, {10100, 10}, {11000, 12}, {11001, 9}, {11010, 14}, {11100, 13}};
  const TVarSetupChoices& r = v.Resolved;
  const int key = (r.ChartGroups > 0 ? 10000 : 0) + (r.ChartVariables >= 2 ? 1000 : 0) +
                  (r.SampleVariable ? 100 : 0) + (r.ConstantSampleSize ? 10 : 0) +
                  (r.SubgroupsInRows ? 1 : 0);
  const auto it = codes.find(key);
  return it == codes.end() ? 0 : it->second;
}

TVarSetupResult ValidateVarSetup(const TVarSetupChoices& choices) {
  TVarSetupResult out;
  const TVarSetupView v = RefreshVarSetup(choices);
  const TVarSetupChoices& r = v.Resolved;
  TVariablesChartSettings& s = out.Settings;

  s.LocationChart = IndexOf(ChartNames, r.LocationChart);
  s.DispersionChart = IndexOf(ChartNames, r.DispersionChart);
  auto methodCode = [&](const std::string& name) {
    const int code = IndexOf(MethodNames, name);
    if (code >= 0) return code;
    // "Average MR of Range" and the like: the dispersion statistic's own moving range.
    if (name.rfind("Average MR of ", 0) == 0) return static_cast<int>(MethodAverageMRDispersion);
    if (name.rfind("Median MR of ", 0) == 0) return static_cast<int>(MethodMedianMRDispersion);
    return static_cast<int>(MethodSDDispersion);
  };
  s.LocationMethod = s.LocationChart == ChartNone ? MethodNone : methodCode(r.LocationMethod);
  s.DispersionMethod = s.DispersionChart == ChartNone ? MethodNone : methodCode(r.DispersionMethod);
  s.LocationCentre =
      s.LocationMethod == MethodNone ? 0 : IndexOf(v.LocationCentres, r.LocationCentre) + 1;
  s.DispersionCentre =
      s.DispersionMethod == MethodNone ? 0 : IndexOf(v.DispersionCentres, r.DispersionCentre) + 4;
  s.PositiveLimitsOnly = v.PositiveLimitsShown && r.PositiveLimitsOnly;
  s.MRSpan = std::clamp(r.MRCount, 2, 30);
  out.SampleSize = r.ConstantSampleSize ? r.SampleSize : 0;

  // The number of standard errors must be a positive number: 0 would make every zone
  // sigma a division by zero.
  if (v.StdErrShown) {
    double k = 0;
    if (!ReadPlainNumber(r.StdErr, k) || !(k > 0)) {
      out.Error = StdErrNotValidMessage;
      return out;
    }
    s.K = k;
  }
  if (v.SigmaShown) {
    double sigma = 0;
    if (!ReadPlainNumber(r.Sigma, sigma) || !(sigma > 0)) {
      out.Error = KnownSigmaNotValidMessage;
      return out;
    }
    s.Sigma0 = sigma;
  }
  if (v.MuShown) {
    double mu = 0;
    if (!ReadPlainNumber(r.Mu, mu)) {
      out.Error = KnownMuNotValidMessage;
      return out;
    }
    s.Mu0 = mu;
  }
  // User-defined limits: each ticked one must read; ticked ones must be ordered (equal
  // values are accepted).
  auto limits = [](bool useU, const std::string& u, bool useC, const std::string& c, bool useL,
                   const std::string& l, double& ucl, double& cl, double& lcl) {
    ucl = cl = lcl = MissingValue;
    if ((useU && !ReadPlainNumber(u, ucl)) || (useC && !ReadPlainNumber(c, cl)) ||
        (useL && !ReadPlainNumber(l, lcl)))
      return false;
    if (!useU) ucl = MissingValue;
    if (!useC) cl = MissingValue;
    if (!useL) lcl = MissingValue;
    auto above = [](double a, double b) { return IsPresent(a) && IsPresent(b) && a > b; };
    return !above(lcl, cl) && !above(cl, ucl) && !above(lcl, ucl);
  };
  if (v.LocationUserLimitsShown &&
      !limits(r.UseUCL, r.UCL, r.UseCL, r.CL, r.UseLCL, r.LCL, s.UCL, s.CL, s.LCL)) {
    out.Error = LocationLimitsNotValidMessage;
    return out;
  }
  if (v.DispersionUserLimitsShown &&
      !limits(r.UseDUCL, r.DUCL, r.UseDCL, r.DCL, r.UseDLCL, r.DLCL, s.DUCL, s.DCL, s.DLCL)) {
    out.Error = DispersionLimitsNotValidMessage;
    return out;
  }
  out.LayoutCode = VarSetupLayoutCode(v);
  return out;
}

std::string VarChartRequestOf(const TVarSetupChoices& choices, const TVarSetupColumns& columns,
                              const TDataList& data, TVarChartRequest& request) {
  auto present = [&](int c) { return c >= 1 && c <= data.MaxCol() ? c : 0; };
  std::vector<int> variables, groups;
  for (int c : columns.ChartVariables)
    if (present(c)) variables.push_back(c);
  // Chart groups and sets are offered only when the data set has more than one column.
  const bool severalColumns = data.MaxCol() > 1;
  if (severalColumns)
    for (int c : columns.ChartGroups)
      if (present(c)) groups.push_back(c);
  std::sort(variables.begin(), variables.end());
  std::sort(groups.begin(), groups.end());

  TVarSetupChoices c = choices;
  c.ChartVariables = static_cast<int>(variables.size());
  c.ChartGroups = static_cast<int>(groups.size());
  c.SampleVariable = present(columns.SampleVariable) > 0;
  const TVarSetupResult result = ValidateVarSetup(c);
  if (!result.Error.empty()) return result.Error;
  const int layout = result.LayoutCode;
  request = TVarChartRequest{};
  request.Settings = result.Settings;
  request.Layout = layout;
  request.ChartVariables = std::move(variables);
  if (layout >= 8) request.ChartGroups = std::move(groups);
  // A sample variable in a hidden slot does not form the subgroups.
  if (layout == 3 || layout == 6 || layout == 10 || layout == 13)
    request.SampleVariable = present(columns.SampleVariable);
  request.SampleSize = result.SampleSize;
  request.SetVariable = severalColumns ? present(columns.Sets) : 0;
  request.AxisLabels = present(columns.AxisLabels);
  return {};
}

void IncludeChartVariables(TDataList& data, const TVarChartRequest& request) {
  data.IncludeCol.fill(false);
  for (int c : request.ChartVariables) data.IncludeCol[static_cast<std::size_t>(c)] = true;
}

std::string ItemShape(const std::string& caption) {
  std::string out;
  bool dash = false;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    const auto u = static_cast<unsigned char>(caption[i]);
    char c = 0;
    if (u == 0xC2 && i + 1 < caption.size() && static_cast<unsigned char>(caption[i + 1]) == 0xB2) {
      c = '2';  // the superscript two of "s²"
      ++i;
    } else if (std::isalnum(u)) {
      c = static_cast<char>(std::tolower(u));
    }
    if (!c) {
      dash = true;
      continue;
    }
    if (dash && !out.empty()) out += '-';
    dash = false;
    out += c;
  }
  return out;
}

std::vector<TOptionSpec> VariablesChartOptions() {
  auto spec = [](const char* name, TOptionKind kind, const char* initial, const char* label,
                 const char* help) {
    TOptionSpec s;
    s.Name = name;
    s.Kind = kind;
    s.Default = initial;
    s.Label = label;
    s.Help = help;
    return s;
  };
  using K = TOptionKind;
  TOptionSpec layout = spec("layout", K::Choice, "subgroups-in-columns", "Layout",
                            "with two or more chart variables: how cases form subgroups");
  layout.Choices = {{"subgroups-in-columns", "Subgroups in Columns", 0},
                    {"subgroups-in-rows", "Subgroups in Rows", 1}};
  TOptionSpec mr = spec("mr-count", K::WholeNumber, "2", "MR Count", "span of the moving range");
  mr.Min = 2;
  mr.Max = 30;
  return {
      spec("chart-variables", K::Columns, "", "Chart Variables", "the columns charted"),
      spec("chart-groups", K::Columns, "", "Chart Groups",
           "one chart per combination of their levels"),
      spec("sample-variable", K::Column, "", "Sample Variable",
           "subgroups by this column's values"),
      spec("sample-size", K::Text, "", "Sample Size",
           "subgroups of N consecutive cases (2 to 999; \"Constant Sample Size\" ticked)"),
      layout,
      spec("sets", K::Column, "", "Sets",
           "limits computed separately for each value of this column"),
      spec("axis-labels", K::Column, "", "Axis Labels", "point labels from this column"),
      spec("location-chart-type", K::Text, "", "Location Chart Type",
           "x (individuals) | mean | median | none; the first offered when empty"),
      spec("location-limit-calculations", K::Text, "", "Location Limit Calculations",
           "an item of the list, e.g. average-range, median-mr, known-std-dev, user-defined"),
      spec("location-centerline", K::Text, "", "Location Centerline",
           "e.g. average-mean, median-of-means, known-mean"),
      spec("dispersion-chart-type", K::Text, "", "Dispersion Chart Type",
           "moving-range (individuals) | range | std-dev-s | variance-s2 | none"),
      spec("dispersion-limit-calculations", K::Text, "", "Dispersion Limit Calculations",
           "an item of the list, e.g. average-range, average-mr-of-range"),
      spec("dispersion-centerline", K::Text, "", "Dispersion Centerline",
           "e.g. average-range, median-range, known-std-dev"),
      spec("std-err", K::Text, "3", "Std Err", "standard errors of the limits"),
      mr,
      spec("sigma", K::Text, "", "Sigma", "known process sigma"),
      spec("mu", K::Text, "", "Mu", "known mean"),
      spec("positive-limits-only", K::Flag, "0", "Positive Limits Only",
           "no negative location limit"),
      spec("ucl", K::Text, "", "UCL", "user-defined location UCL"),
      spec("cl", K::Text, "", "CL", "user-defined location centre line"),
      spec("lcl", K::Text, "", "LCL", "user-defined location LCL"),
      spec("ducl", K::Text, "", "DUCL", "user-defined dispersion UCL"),
      spec("dcl", K::Text, "", "DCL", "user-defined dispersion centre line"),
      spec("dlcl", K::Text, "", "DLCL", "user-defined dispersion LCL"),
  };
}

bool VarSetupChoicesFrom(const TOptionValues& o, TVarSetupChoices& c, std::string& error) {
  c = TVarSetupChoices{};
  c.ChartVariables = static_cast<int>(o.Columns("chart-variables").size());
  c.ChartGroups = static_cast<int>(o.Columns("chart-groups").size());
  c.SampleVariable = o.Column("sample-variable") > 0;
  const std::string& size = o.Text("sample-size");
  if (!size.empty()) {
    double n = 0;
    if (!ReadPlainNumber(size, n) || n != static_cast<int>(n) || n < 2 || n > 999) {
      error = "Sample Size must be a whole number from 2 to 999!";
      return false;
    }
    c.ConstantSampleSize = true;
    c.SampleSize = static_cast<int>(n);
  }
  c.SubgroupsInRows = o.Choice<int>("layout") == 1;
  // Each list depends on the choices before it, as the window refills them.
  auto pick = [&](const char* option, const TList& items, std::string& into) {
    const std::string& wanted = o.Text(option);
    if (wanted.empty()) return true;
    for (const std::string& item : items) {
      if (ItemShape(item) == wanted) {
        into = item;
        return true;
      }
    }
    error = "'" + wanted + "' is not offered by --" + option + " here (";
    for (std::size_t i = 0; i < items.size(); ++i) error += (i ? ", " : "") + ItemShape(items[i]);
    error += ")";
    return false;
  };
  TVarSetupView v = RefreshVarSetup(c);
  if (!pick("location-chart-type", v.LocationCharts, c.LocationChart) ||
      !pick("dispersion-chart-type", v.DispersionCharts, c.DispersionChart))
    return false;
  v = RefreshVarSetup(c);
  if (!pick("location-limit-calculations", v.LocationMethods, c.LocationMethod) ||
      !pick("location-centerline", v.LocationCentres, c.LocationCentre) ||
      !pick("dispersion-limit-calculations", v.DispersionMethods, c.DispersionMethod) ||
      !pick("dispersion-centerline", v.DispersionCentres, c.DispersionCentre))
    return false;
  c.StdErr = o.Text("std-err");
  c.MRCount = o.Whole("mr-count");
  c.Sigma = o.Text("sigma");
  c.Mu = o.Text("mu");
  c.PositiveLimitsOnly = o.Flag("positive-limits-only");
  auto limit = [&](const char* name, bool& use, std::string& text) {
    text = o.Text(name);
    use = !text.empty();
  };
  limit("ucl", c.UseUCL, c.UCL);
  limit("cl", c.UseCL, c.CL);
  limit("lcl", c.UseLCL, c.LCL);
  limit("ducl", c.UseDUCL, c.DUCL);
  limit("dcl", c.UseDCL, c.DCL);
  limit("dlcl", c.UseDLCL, c.DLCL);
  return true;
}

}  // namespace sorvel
