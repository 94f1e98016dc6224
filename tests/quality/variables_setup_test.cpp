#include "quality/variables_setup.h"

#include <gtest/gtest.h>

using namespace sorvel;

namespace {

TVarSetupChoices OneVariable() {
  TVarSetupChoices c;
  c.ChartVariables = 1;
  return c;
}

TEST(VariablesSetupTest, IndividualsAndSubgroupLists) {
  TVarSetupView v = RefreshVarSetup(OneVariable());
  EXPECT_TRUE(v.Individuals);
  EXPECT_EQ(v.LocationCharts, (std::vector<std::string>{"X", "None"}));
  EXPECT_EQ(v.DispersionCharts, (std::vector<std::string>{"Moving Range", "None"}));
  EXPECT_EQ(v.LocationMethods.front(), "Average MR");
  EXPECT_EQ(v.DispersionCentres.front(), "Average Moving Range");
  EXPECT_TRUE(v.MRCountShown);
  EXPECT_FALSE(v.LayoutShown);
  EXPECT_EQ(VarSetupLayoutCode(v), 1);

  TVarSetupChoices c = OneVariable();
  c.ConstantSampleSize = true;
  c.LocationChart = "Median";
  c.DispersionChart = "Range";
  v = RefreshVarSetup(c);
  EXPECT_FALSE(v.Individuals);
  EXPECT_EQ(v.LocationMethods[5], "Average MR of Medians");
  EXPECT_EQ(v.DispersionMethods[6], "Median MR of Range");
  EXPECT_EQ(v.LocationCentres[1], "Median of Medians");
  EXPECT_EQ(VarSetupLayoutCode(v), 4);
  c.DispersionChart = "Std Dev (s)";
  EXPECT_EQ(RefreshVarSetup(c).DispersionMethods[7], "Std Dev of Std Dev");
}

TEST(VariablesSetupTest, LayoutCodesCountShownControlsOnly) {
  struct {
    int variables, groups;
    bool sample, constant, rows;
    int code;
  } cases[] = {
      {1, 0, false, false, false, 1},
      {1, 0, true, false, false, 3},
      {2, 0, false, false, true, 2},
      {2, 0, true, false, false, 6},
      {2, 0, false, true, false, 7},
      {1, 1, false, true, false, 11},
      {2, 2, true, false, true, 9},
      // Hidden controls do not count: rows hide the sample controls, a constant size hides
      // the sample slot (these gave code 0 and nothing charted).
      {2, 0, false, true, true, 2},
      {1, 0, true, true, false, 4},
      {1, 0, false, false, true, 1},  // one variable: the layout is hidden
  };
  for (const auto& k : cases) {
    TVarSetupChoices c;
    c.ChartVariables = k.variables;
    c.ChartGroups = k.groups;
    c.SampleVariable = k.sample;
    c.ConstantSampleSize = k.constant;
    c.SubgroupsInRows = k.rows;
    EXPECT_EQ(VarSetupLayoutCode(RefreshVarSetup(c)), k.code)
        << k.variables << k.groups << k.sample << k.constant << k.rows;
  }
}

TEST(VariablesSetupTest, Visibility) {
  TVarSetupChoices c = OneVariable();
  c.LocationChart = "None";
  c.DispersionChart = "None";
  EXPECT_FALSE(RefreshVarSetup(c).ActionEnabled);
  c = OneVariable();
  c.LocationMethod = "User Defined";
  TVarSetupView v = RefreshVarSetup(c);
  EXPECT_TRUE(v.LocationUserLimitsShown);
  EXPECT_FALSE(v.LocationCentreShown);
  EXPECT_FALSE(v.PositiveLimitsShown);
  c.LocationMethod = "Known Std Dev";
  c.LocationCentre = "Known Mean";
  v = RefreshVarSetup(c);
  EXPECT_TRUE(v.SigmaShown);
  EXPECT_TRUE(v.MuShown);
  c.ChartVariables = 0;
  EXPECT_FALSE(RefreshVarSetup(c).ActionEnabled);
}

TEST(VariablesSetupTest, ComboBoxCouplings) {
  TVarSetupChoices c = OneVariable();
  c.ConstantSampleSize = true;
  ChooseDispersionMethod(c, "Median Range");
  EXPECT_EQ(c.LocationMethod, "Median Range");
  EXPECT_EQ(c.DispersionCentre, "Median Range");
  ChooseDispersionMethod(c, "Median MR of Range");
  EXPECT_EQ(c.LocationMethod, "Median MR of Means");
  EXPECT_EQ(c.DispersionCentre, "Average Range");
  ChooseLocationChart(c, "Median");
  EXPECT_EQ(c.LocationCentre, "Median of Medians");
  EXPECT_EQ(c.LocationMethod, "Median MR of Medians");
  ChooseLocationChart(c, "Mean");
  EXPECT_EQ(c.LocationCentre, "Average Mean");
  // A new dispersion chart renames the chosen items in place.
  ChooseDispersionMethod(c, "Average MR of Range");
  ChooseDispersionChart(c, "Std Dev (s)");
  EXPECT_EQ(c.DispersionMethod, "Average MR of Std Dev");
  EXPECT_EQ(c.DispersionCentre, "Average Std Dev");
}

TEST(VariablesSetupTest, ValidationMessagesAndCodes) {
  TVarSetupChoices c = OneVariable();
  c.LocationMethod = "User Defined";
  c.UCL = "10";
  c.CL = "10";
  c.LCL = "8";
  TVarSetupResult r = ValidateVarSetup(c);
  EXPECT_EQ(r.Error, "");
  EXPECT_EQ(r.Settings.UCL, 10);
  EXPECT_EQ(r.Settings.LocationMethod, MethodUserDefined);
  EXPECT_EQ(r.Settings.LocationChart, ChartX);
  c.UCL = "9";
  EXPECT_EQ(ValidateVarSetup(c).Error, "User Defined Location Limits Not Valid!");
  c.UseCL = false;  // an unticked limit is not checked
  EXPECT_EQ(ValidateVarSetup(c).Error, "");
  EXPECT_EQ(ValidateVarSetup(c).Settings.CL, MissingValue);
  c.StdErr = "0";
  EXPECT_EQ(ValidateVarSetup(c).Error, "Std Err Not Valid!");

  c = OneVariable();
  c.DispersionMethod = "Known Std Dev";
  c.Sigma = "0";
  EXPECT_EQ(ValidateVarSetup(c).Error, "Known Sigma Not Valid!");
  c.Sigma = "1.5";
  r = ValidateVarSetup(c);
  EXPECT_EQ(r.Error, "");
  EXPECT_EQ(r.Settings.Sigma0, 1.5);
  EXPECT_EQ(r.Settings.DispersionCentre, 4);
  EXPECT_EQ(r.Settings.DispersionChart, ChartMovingRange);

  c = OneVariable();
  c.LocationCentre = "Known Mean";
  c.Mu = "abc";
  EXPECT_EQ(ValidateVarSetup(c).Error, "Known Location Parameter Not Valid!");

  c = OneVariable();
  c.ConstantSampleSize = true;
  c.SampleSize = 4;
  c.DispersionChart = "Range";
  c.DispersionMethod = "Average MR of Range";
  c.DispersionCentre = "Median Range";
  c.LocationMethod = "Median MR of Means";
  c.DispersionCentre = "Median Range";
  r = ValidateVarSetup(c);
  EXPECT_EQ(r.Settings.DispersionMethod, MethodAverageMRDispersion);
  EXPECT_EQ(r.Settings.LocationMethod, MethodMedianMRMeans);
  EXPECT_EQ(r.Settings.DispersionCentre, 5);
  EXPECT_EQ(r.SampleSize, 4);
  EXPECT_EQ(r.LayoutCode, 4);
  c.DispersionMethod = "User Defined";
  c.DUCL = "3";
  c.DCL = "4";
  c.DLCL = "1";
  EXPECT_EQ(ValidateVarSetup(c).Error, "User Defined Dispersion Limits Not Valid!");
}

TEST(VariablesSetupTest, CommandLineOptions) {
  EXPECT_EQ(ItemShape("Variance (s\xC2\xB2)"), "variance-s2");
  EXPECT_EQ(ItemShape("Std Dev (s)"), "std-dev-s");
  EXPECT_EQ(ItemShape("Average MR of Range"), "average-mr-of-range");

  TAnalysis a;
  a.Name = "variables-control-charts";
  a.Options = VariablesChartOptions();
  auto choices = [&](const TOptions& given, std::string& error) {
    const TValidation v = ValidateOptions(a, given, nullptr);
    EXPECT_TRUE(v.Ok) << v.Message;
    TVarSetupChoices c;
    const bool ok = VarSetupChoicesFrom(v.Values, c, error);
    return std::make_pair(ok, c);
  };
  std::string error;
  auto [ok, c] = choices({{"sample-size", "4"},
                          {"location-chart-type", "median"},
                          {"location-limit-calculations", "std-dev-of-medians"},
                          {"dispersion-chart-type", "variance-s2"},
                          {"dispersion-limit-calculations", "median-mr-of-variance"},
                          {"ucl", "12"},
                          {"std-err", "2.5"}},
                         error);
  ASSERT_TRUE(ok) << error;
  EXPECT_TRUE(c.ConstantSampleSize);
  EXPECT_EQ(c.SampleSize, 4);
  EXPECT_EQ(c.LocationChart, "Median");
  EXPECT_EQ(c.LocationMethod, "Std Dev of Medians");
  EXPECT_EQ(c.DispersionChart, "Variance (s\xC2\xB2)");
  EXPECT_EQ(c.DispersionMethod, "Median MR of Variance");
  EXPECT_TRUE(c.UseUCL);
  EXPECT_FALSE(c.UseCL);
  EXPECT_EQ(c.StdErr, "2.5");

  // Individuals offer no Mean chart.
  auto [bad, unused] = choices({{"location-chart-type", "mean"}}, error);
  EXPECT_FALSE(bad);
  EXPECT_EQ(error, "'mean' is not offered by --location-chart-type here (x, none)");
  auto [bad2, unused2] = choices({{"sample-size", "1"}}, error);
  EXPECT_FALSE(bad2);
  EXPECT_EQ(error, "Sample Size must be a whole number from 2 to 999!");
}

}  // namespace

namespace {

// Columns: Part, Value, Machine (text), Lot.
TDataList SmallDataSet() {
  const std::vector<std::vector<std::string>> rows = {{"Part", "Value", "Machine", "Lot"},
                                                      {"1", "10.1", "M1", "1"},
                                                      {"1", "9.8", "M2", "1"},
                                                      {"2", "10.4", "M1", "2"},
                                                      {"2", "9.9", "M2", "2"}};
  TDataList list;
  list.SetColCount(4);
  list.SetRowCount(static_cast<int>(rows.size()) - 1);
  for (int r = 0; r < static_cast<int>(rows.size()); ++r)
    for (int c = 0; c < 4; ++c) list.SetCellText(c + 1, r, rows[r][static_cast<std::size_t>(c)]);
  list.UpdateData();
  return list;
}

TEST(VariablesSetupTest, ActionRequestAndDataSet) {
  TDataList data = SmallDataSet();
  TVarSetupChoices c;
  c.LocationMethod = "User Defined";
  c.UCL = "9";
  c.CL = "10";
  TVarSetupColumns cols;
  cols.ChartVariables = {2};
  cols.ChartGroups = {3};
  cols.SampleVariable = 1;
  cols.Sets = 4;
  TVarChartRequest rq;
  EXPECT_EQ(VarChartRequestOf(c, cols, data, rq), "User Defined Location Limits Not Valid!");

  c = TVarSetupChoices{};
  ASSERT_EQ(VarChartRequestOf(c, cols, data, rq), "");
  EXPECT_EQ(rq.Layout, 10);  // one variable by sample variable, per chart group
  EXPECT_EQ(rq.ChartVariables, std::vector<int>{2});
  EXPECT_EQ(rq.ChartGroups, std::vector<int>{3});
  EXPECT_EQ(rq.SampleVariable, 1);
  EXPECT_EQ(rq.SetVariable, 4);
  EXPECT_EQ(rq.Settings.LocationChart, ChartMean);
  data.IncludeCol.fill(true);
  IncludeChartVariables(data, rq);
  EXPECT_FALSE(data.IncludeCol[1]);
  EXPECT_TRUE(data.IncludeCol[2]);
  EXPECT_FALSE(data.IncludeCol[3]);

  // A constant size hides the sample slot: its column does not form the subgroups.
  c.ConstantSampleSize = true;
  c.SampleSize = 2;
  cols = {{4, 2}, {}, 1, 0, 0};
  ASSERT_EQ(VarChartRequestOf(c, cols, data, rq), "");
  EXPECT_EQ(rq.SampleVariable, 0);
  EXPECT_EQ(rq.ChartVariables, (std::vector<int>{2, 4}));
  EXPECT_EQ(rq.Layout, 7);
  EXPECT_EQ(rq.SampleSize, 2);

  // A one-column data set has no chart groups or sets.
  TDataList one;
  one.SetCellText(1, 1, "5");
  one.UpdateData();
  c = TVarSetupChoices{};
  ASSERT_EQ(VarChartRequestOf(c, {{1}, {1}, 0, 1, 0}, one, rq), "");
  EXPECT_TRUE(rq.ChartGroups.empty());
  EXPECT_EQ(rq.SetVariable, 0);
  EXPECT_EQ(rq.Layout, 1);
}

}  // namespace
