// Explore's selection: the run it builds for each kind of choice, the sets it loads (the
// data rules applied) and its refusals.
#include "explore/explore_selection.h"

#include <gtest/gtest.h>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "support/load_text.h"

namespace sorvel {
namespace {

const char* const Text =
    "Y\tG\tH\tZ\r\n"
    "Title:\tLength\t\tHead\t\r\n"
    "1\ta\tx\t10\r\n"
    "2\ta\ty\t20\r\n"
    "3\tb\tx\t\r\n"
    "4\tb\ty\t40\r\n"
    "5\tc\tx\t50\r\n";

class ExploreSelectionTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ResetDataRules();
    ResetDataState();
  }
};

struct TExpectSet {
  const char* Name;
  std::vector<double> Values;
};

void ExpectSets(const std::vector<TExploreSet>& got, const std::vector<TExpectSet>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].Name, want[i].Name);
    EXPECT_EQ(got[i].Values, want[i].Values) << want[i].Name;
  }
}

TEST_F(ExploreSelectionTest, RunsOfEachKind) {
  TDataList& d = test::LoadText(Text);
  struct {
    const char* Case;
    TExploreSelection Sel;
    int Mode;
    const char* Measure;
    const char* Group;
    std::vector<TExpectSet> Sets;
  } cases[] = {
      // Columns in column order whatever order they were listed in; an empty cell is no value.
      {"columns",
       {{4, 1}, 0, {}, ""},
       LoadColumn,
       "Value",
       "Variable",
       {{"Y", {1, 2, 3, 4, 5}}, {"Z", {10, 20, 40, 50}}}},
      {"one independent",
       {{}, 1, {2}, ""},
       LoadMeasureByLevel,
       "Length",
       "G",
       {{"a", {1, 2}}, {"b", {3, 4}}, {"c", {5}}}},
      {"two independents",
       {{}, 4, {2, 3}, ""},
       LoadMeasureByRun,
       "Z",
       "G, Head",
       {{"a, x", {10}}, {"a, y", {20}}, {"b, y", {40}}, {"c, x", {50}}}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Case);
    TRunInfo ri;
    ASSERT_EQ(BuildExploreRun(d, c.Sel, ri), "");
    EXPECT_EQ(ri.ColRefRun, c.Mode);
    EXPECT_EQ(ri.MeasureName, c.Measure);
    EXPECT_EQ(ri.GroupName, c.Group);
    EXPECT_EQ(ri.NumberOfGroups, static_cast<int>(c.Sets.size()));
    ExpectSets(LoadExploreSets(d, ri), c.Sets);
  }
}

TEST_F(ExploreSelectionTest, OnlyTheChosenColumnsAreIncluded) {
  TDataList& d = test::LoadText(Text);
  d.IncludeCol.fill(true);  // left over from an earlier analysis
  TRunInfo ri;
  ASSERT_EQ(BuildExploreRun(d, {{1, 4}, 0, {}, ""}, ri), "");
  d.LoadAllToA_Array(ri);
  EXPECT_EQ(A_ArrayCount, 9);  // Y and Z, not the level codes of G and H
}

TEST_F(ExploreSelectionTest, LoadsApplyTheDataRules) {
  TDataList& d = test::LoadText(Text);
  ApplyMissingChoice({RelEqual, RelNone, "2", "0"});
  TProcessIfChoice parsed;
  std::string error;
  ASSERT_TRUE(ParseProcessIfText("H = x", d, parsed, error)) << error;
  ApplyProcessIfChoice(parsed, d);
  TRunInfo ri;
  ASSERT_EQ(BuildExploreRun(d, {{}, 1, {2}, ""}, ri), "");
  ExpectSets(LoadExploreSets(d, ri), {{"a", {1}}, {"b", {3}}, {"c", {5}}});
}

TEST_F(ExploreSelectionTest, Refusals) {
  TDataList& d = test::LoadText(Text);
  struct {
    TExploreSelection Sel;
    const char* Message;
  } cases[] = {
      {{}, NoExploreVariablesText},
      {{{}, 1, {}, ""}, NoExploreVariablesText},
      {{{}, 0, {2}, ""}, NoExploreVariablesText},
      {{{1}, 1, {2}, ""}, "Choose analysis variables or a dependent variable, not both!"},
      {{{}, 2, {2, 3}, ""}, "The dependent variable cannot also be an independent variable!"},
  };
  for (auto& c : cases) {
    TRunInfo ri;
    EXPECT_EQ(BuildExploreRun(d, c.Sel, ri), c.Message);
  }
}

}  // namespace
}  // namespace sorvel
