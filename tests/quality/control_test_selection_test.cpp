#include "quality/control_test_selection.h"

#include <gtest/gtest.h>

#include "numerics/settings_store.h"
#include "output/report_text.h"

using namespace sorvel;

namespace {

class ControlTestSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSettingsStore(&store);
    LoadControlTestSettings();
  }
  void TearDown() override {
    SetSettingsStore(nullptr);
    LoadControlTestSettings();
  }
  TOutcome Run(const TOptions& given) {
    static const TAnalysis a = ControlTestSelectionAnalysis();
    return RunValidated(a, given, nullptr, {}, {});
  }
  MemorySettingsStore store;
};

TEST_F(ControlTestSelectionTest, OptionsChangeTheRunOnly) {
  const TOutcome out = Run({{"standard", "1,7"}, {"run", "9"}, {"zone-rule-1", "3/4"}});
  ASSERT_EQ(out.Status, TOutcome::TStatus::Ok) << out.Error;
  const std::string text = ReportPlainText(out.Report);
  // The Run row: its length, off in both columns; Zone Rule 1 on for standard charts.
  auto row = [&](const std::string& start) {
    const auto at = text.find(start);
    return at == std::string::npos ? std::string() : text.substr(at, text.find('\n', at) - at);
  };
  const std::string run = row("R  Run: 9 Consecutive Points All Above or All Below the Centerline");
  ASSERT_FALSE(run.empty()) << text;
  EXPECT_EQ(run.substr(run.size() - 13), "off       off") << run;
  const std::string zone = row("1  Zone Rule 1: 3 of 4 Consectutive");
  ASSERT_FALSE(zone.empty()) << text;
  EXPECT_EQ(zone.substr(zone.size() - 13), "on        off") << zone;
  EXPECT_EQ(ControlTestSettings(), DefaultControlTestSettings());
  EXPECT_TRUE(store.Values.empty());
}

TEST_F(ControlTestSelectionTest, SaveAndRestoreAsTheButtons) {
  ASSERT_EQ(Run({{"moving-range", "1,2"}, {"trend", "7"}, {"save-as-default", "1"}}).Status,
            TOutcome::TStatus::Ok);
  EXPECT_EQ(store.Values["Settings\\MRControlTestCheck"], "110000000");
  EXPECT_EQ(store.Values["Settings\\ControlTestValues"], "@HGHONDB@@@@@@@EC@");
  EXPECT_EQ(ControlTestSettings().TestParam[3], 7);
  // The stored form reads back unchanged.
  EXPECT_EQ(ReadControlTestSettings(store), ControlTestSettings());
  // A change for one run, then the stored default again.
  ControlTestSettings().TestParam[3] = 12;
  const std::string text = ReportPlainText(Run({{"restore-default", "1"}}).Report);
  EXPECT_NE(text.find("Trend: 7 Consectutive"), std::string::npos) << text;
}

TEST_F(ControlTestSelectionTest, Refusals) {
  const struct {
    TOptions given;
    const char* message;
  } cases[] = {
      {{{"standard", "1,10"}}, "'1,10' is not a list of tests 1 to 9!"},
      {{{"moving-range", "9"}}, "'9' is not a list of tests 1 to 8!"},
      {{{"excess-variability", "2"}}, "Excess Variablity must be a whole number from 3 to 99!"},
      {{{"run", "100"}}, "Run must be a whole number from 2 to 99!"},
      {{{"zone-rule-2", "3/3"}}, "Zone Rule 2 must be k/m with 1 <= k < m <= 99!"},
      {{{"zone-rule-1", "4"}}, "Zone Rule 1 must be k/m with 1 <= k < m <= 99!"},
  };
  for (const auto& c : cases) {
    const TOutcome out = Run(c.given);
    EXPECT_EQ(out.Status, TOutcome::TStatus::Refused);
    EXPECT_EQ(out.Error, c.message);
  }
  // "none" switches a column off.
  TControlTestSettings s = DefaultControlTestSettings();
  const TAnalysis a = ControlTestSelectionAnalysis();
  TValidation v = ValidateOptions(a, {{"standard", "none"}}, nullptr);
  std::string error;
  ASSERT_TRUE(ApplyControlTestOptions(v.Values, s, error));
  EXPECT_EQ(EncodeChecks(s.StdCheck), "000000000");
}

}  // namespace
