#include "quality/variables_setup.h"

#include <algorithm>
#include <map>

#include "analysis/analysis.h"

namespace sorvel {

namespace {

using TList = std::vector<std::string>;

const char* const None = "None";
const char* const UserDefined = "User Defined";
const char* const KnownSigma = "Known Std Dev";

const TList IndividualMethods = {"Average MR", "Median MR", "Std Dev",  "Known Std Dev",
                                 "Centerline Only", "User Defined", "None"};

// The master list of method names: the position is the method code.
const TList MethodNames = {"None", "Centerline Only", "User Defined", "Known Std Dev", "Average MR",
                           "Median MR", "Std Dev", "Average Range", "Median Range", "Average Std Dev",
                           "Median Std Dev", "Average Variance", "Average MR of Means",
                           "Average MR of Medians", "Median MR of Means", "Median MR of Medians",
                           "Std Dev of Means", "Std Dev of Medians"};
const TList ChartNames = {"None", "X", "Mean", "Median", "Moving Range", "Range", "Std Dev (s)",
                          "Variance (s\xC2\xB2)"};

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
  return {"Average Range", "Median Range", "Average Std Dev", "Median Std Dev", "Average Variance",
          "Average MR of " + of, "Median MR of " + of, "Std Dev of " + of, "Known Std Dev",
          "Centerline Only", "User Defined", "None"};
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

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
  v.LocationCentres = {"Average " + r.LocationChart, "Median of " + r.LocationChart + "s", "Known Mean"};
  v.DispersionCentres = {"Average " + dispName, "Median " + dispName, KnownSigma};
  r.LocationCentre = Pick(v.LocationCentres, c.LocationCentre);
  r.DispersionCentre = Pick(v.DispersionCentres, c.DispersionCentre);

  v.LocationMethodShown = r.LocationChart != None;
  v.LocationCentreShown = v.LocationMethodShown && r.LocationMethod != None && r.LocationMethod != UserDefined;
  v.PositiveLimitsShown = v.LocationCentreShown;
  v.LocationUserLimitsShown = v.LocationMethodShown && r.LocationMethod == UserDefined;
  v.DispersionMethodShown = r.DispersionChart != None;
  v.DispersionCentreShown =
      v.DispersionMethodShown && r.DispersionMethod != None && r.DispersionMethod != UserDefined;
  v.DispersionUserLimitsShown = v.DispersionMethodShown && r.DispersionMethod == UserDefined;
  v.MuShown = v.LocationCentreShown && r.LocationCentre == "Known Mean";
  v.SigmaShown = (v.LocationMethodShown && r.LocationMethod == KnownSigma) ||
                 (v.DispersionMethodShown &&
                  (r.DispersionMethod == KnownSigma ||
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

int VarSetupLayoutCode(const TVarSetupView& v) {
  static const std::map<int, int> codes = {{0, 1},     {10, 4},     {100, 3},    {1000, 5},   {1001, 2},
                                           {1010, 7},  {1100, 6},   {10000, 8},  {10010, 11}, {10100, 10},
                                           {11000, 12}, {11001, 9}, {11010, 14}, {11100, 13}};
  const TVarSetupChoices& r = v.Resolved;
  const int key = (r.ChartGroups > 0 ? 10000 : 0) + (r.ChartVariables >= 2 ? 1000 : 0) +
                  (r.SampleVariable ? 100 : 0) + (r.ConstantSampleSize ? 10 : 0) + (r.SubgroupsInRows ? 1 : 0);
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
  s.LocationCentre = s.LocationMethod == MethodNone ? 0 : IndexOf(v.LocationCentres, r.LocationCentre) + 1;
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

}  // namespace sorvel
