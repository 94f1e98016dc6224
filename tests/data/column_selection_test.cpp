#include "data/column_selection.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "data/io/data_file.h"

namespace sorvel {
namespace {

// Level: text (Low = 1, High = 2); Before/After: pairs with one gap each; Score spans
// 1.5..10.5 (levels 2..10 after rounding halves to even); Neg spans -3..4.
constexpr const char* Fixture =
    "Level\tBefore\tAfter\tScore\tNeg\tEmpty\r\n"
    "Low\t10\t12\t1.5\t-3\t\r\n"
    "High\t11\t\t2\t4\t\r\n"
    "Low\t\t14\t3\t\t\r\n"
    "High\t13\t15\t10.5\t\t\r\n";
enum { Level = 1, Before = 2, After = 3, Score = 4, Neg = 5, Empty = 6 };

class ColumnSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDataState();
    auto list = std::make_unique<TDataList>();
    TFileResult r = ReadDataBytes(Fixture, *list);
    ASSERT_TRUE(r.Ok) << r.Error;
    ReplaceDataList(std::move(list));
    DataList().UpdateData();
  }
  void TearDown() override { ResetDataState(); }
  TDataList& d() { return DataList(); }
};

using Values = std::vector<double>;

TEST_F(ColumnSelectionTest, TestKindsChooseTheGroupsAndPages) {
  struct TCase {
    int Kind;
    bool TwoSample, Reference;
  };
  for (const TCase& c :
       {TCase{ColSelOneMean, false, true}, TCase{ColSelOneVariance, false, true},
        TCase{ColSelTwoIndependent, true, true}, TCase{ColSelTwoDependent, true, false}}) {
    TColumnSelection sel;
    sel.LoadMode = ColSelByReference;  // left there by an earlier kind
    sel.Start(c.Kind);
    EXPECT_EQ(sel.CStest, c.Kind);
    EXPECT_EQ(sel.TwoSample, c.TwoSample) << c.Kind;
    EXPECT_EQ(sel.ReferencePageOffered(), c.Reference) << c.Kind;
    if (!c.Reference) {
      EXPECT_EQ(sel.LoadMode, ColSelByColumns);
    }
  }
}

TEST_F(ColumnSelectionTest, ChoicesResetWhenTheColumnsChanged) {
  TColumnSelection sel;
  TRunInfo ri;
  EXPECT_TRUE(sel.Activate(ColumnsChangeCount));
  sel.AcceptReference(Level, Score, 2, 1, ri);
  EXPECT_FALSE(sel.Activate(ColumnsChangeCount));  // same columns: the choice stays
  EXPECT_EQ(sel.ReferenceCol, Level);
  EXPECT_EQ(sel.Reference1, 2);
  EXPECT_TRUE(sel.Activate(ColumnsChangeCount + 1));
  EXPECT_EQ(sel.LoadMode, ColSelByColumns);
  for (int v : {int(sel.SelectedCol1), int(sel.SelectedCol2), int(sel.ReferenceCol),
                int(sel.DataCol), int(sel.Reference1), int(sel.Reference2)})
    EXPECT_EQ(v, 1);
}

TEST_F(ColumnSelectionTest, ReferenceColumnSetsTheLevelBoxes) {
  struct TCase {
    int Column;
    bool Known;
    int Low, High, MaxLength;
    const char *LowLabel, *HighLabel;
  };
  const TCase cases[] = {
      {Level, true, 1, 2, 1, "Low", "High"},
      {Score, true, 2, 10, 2, "", ""},  // 1.5 and 10.5 round to even
      {Neg, true, -3, 4, 2, "", ""},    // "-3" must fit
      {Empty, false, 1, 1, 100, "", ""},
  };
  for (const TCase& c : cases) {
    TColumnSelection sel;
    const TLevelRange r = ChooseReferenceColumn(sel, d(), c.Column);
    EXPECT_EQ(sel.ReferenceCol, c.Column);
    EXPECT_EQ(r.Known, c.Known) << c.Column;
    EXPECT_EQ(sel.Reference1, c.Low) << c.Column;
    EXPECT_EQ(sel.Reference2, c.High) << c.Column;
    EXPECT_EQ(r.MaxLength, c.MaxLength) << c.Column;
    EXPECT_EQ(ReferenceLevelLabel(d(), c.Column, sel.Reference1), c.LowLabel);
    EXPECT_EQ(ReferenceLevelLabel(d(), c.Column, sel.Reference2), c.HighLabel);
  }
  // A column whose high end is not positive: the boxes take up to 100 characters.
  d().SetCellText(Neg, 2, "-1");
  EXPECT_EQ(ReferenceLevelRange(d(), Neg).High, -1);
  EXPECT_EQ(ReferenceLevelRange(d(), Neg).MaxLength, 100);
}

TEST_F(ColumnSelectionTest, AcceptedChoicesLoadTheirGroups) {
  struct TCase {
    const char* Name;
    bool Reference, Pairs;
    Values G1, G2;
    std::string N1, N2;
  };
  const TCase cases[] = {
      {"two columns", false, false, {10, 11, 13}, {12, 14, 15}, "Before", "After"},
      {"complete pairs", false, true, {10, 13}, {12, 15}, "Before", "After"},
      {"two levels", true, false, {10}, {11, 13}, "Low", "High"},
  };
  for (const TCase& c : cases) {
    TColumnSelection sel;
    TRunInfo ri;
    sel.Start(ColSelTwoIndependent);
    if (c.Reference)
      sel.AcceptReference(Level, Before, 1, 2, ri);
    else
      sel.AcceptColumns(Before, After, c.Pairs, ri);
    EXPECT_TRUE(sel.OKClose);
    EXPECT_EQ(ri.ColRefRun, c.Reference ? LoadMeasureByLevel : LoadColumn) << c.Name;
    if (c.Reference) {
      EXPECT_EQ(ri.index, Level);
      EXPECT_EQ(ri.measure, Before);
    }
    EXPECT_EQ(SelectedGroupValues(d(), sel, ri, 1), c.G1) << c.Name;
    EXPECT_EQ(SelectedGroupValues(d(), sel, ri, 2), c.G2) << c.Name;
    EXPECT_EQ(PairCol1, 0) << c.Name;  // the pairs filter holds for the loads only
    EXPECT_EQ(SelectedGroupName(d(), sel, 1), c.N1);
    EXPECT_EQ(SelectedGroupName(d(), sel, 2), c.N2);
  }
  TColumnSelection sel;
  TRunInfo ri;
  sel.Start(ColSelTwoDependent);
  sel.AcceptColumns(Before, After, false, ri);
  const TSelectedPairs p = SelectedPairValues(d(), sel, ri);
  EXPECT_EQ(p.X, (Values{10, 13}));
  EXPECT_EQ(p.Y, (Values{12, 15}));
}

TEST_F(ColumnSelectionTest, ProcessIfAndMissingRuleApplyToTheGroups) {
  TProcessIfChoice pi;
  std::string error;
  ASSERT_TRUE(ParseProcessIfText("Score < 10", d(), pi, error)) << error;
  ApplyProcessIfChoice(pi, d());
  TMissingChoice mc;
  ASSERT_TRUE(ParseMissingText("X = 12", mc, error)) << error;
  ApplyMissingChoice(mc);
  TColumnSelection sel;
  TRunInfo ri;
  sel.Start(ColSelTwoIndependent);
  sel.AcceptColumns(Before, After, true, ri);
  // Row 4 fails Process If, row 1's 12 is missing by rule, so no pair is complete.
  EXPECT_EQ(SelectedGroupValues(d(), sel, ri, 1), Values{});
  sel.ExcludeIncompletePairs = false;
  EXPECT_EQ(SelectedGroupValues(d(), sel, ri, 1), (Values{10, 11}));
  EXPECT_EQ(SelectedGroupValues(d(), sel, ri, 2), Values{14});
}

TEST_F(ColumnSelectionTest, TypedChoicesAreResolvedOrNamed) {
  struct TCase {
    int Kind;
    TColumnSelectionTexts Texts;
    const char* Error;  // empty: accepted
    std::uint8_t Mode = 0;
    int A = 0, B = 0;             // columns 1/2, or reference/data
    std::int32_t L1 = 0, L2 = 0;  // levels (reference mode)
  };
  auto cols = [](std::string g1, std::string g2, bool pairs = false) {
    TColumnSelectionTexts t;
    t.Group1 = std::move(g1);
    t.Group2 = std::move(g2);
    t.ExcludeIncompletePairs = pairs;
    return t;
  };
  auto ref = [](std::string r, std::string data, std::string l1, std::string l2) {
    TColumnSelectionTexts t;
    t.Reference = std::move(r);
    t.Data = std::move(data);
    t.Level1 = std::move(l1);
    t.Level2 = std::move(l2);
    return t;
  };
  const TCase cases[] = {
      {ColSelTwoIndependent, cols("Before", "after"), "", ColSelByColumns, Before, After, 0, 0},
      {ColSelTwoDependent, cols("2", "3", true), "", ColSelByColumns, Before, After, 0, 0},
      {ColSelOneMean, cols("score", ""), "", ColSelByColumns, Score, Score, 0, 0},
      {ColSelTwoIndependent, ref("Level", "Before", "Low", "High"), "", ColSelByReference, Level,
       Before, 1, 2},
      {ColSelTwoIndependent, ref("1", "4", "2", "1"), "", ColSelByReference, Level, Score, 2, 1},
      {ColSelOneMean, ref("Score", "Before", "10", ""), "", ColSelByReference, Score, Before, 10,
       10},
      {ColSelTwoIndependent, cols("Before", "Wieght"), "--group2: no column 'Wieght'"},
      {ColSelTwoIndependent, cols("Before", "7"), "--group2: no column '7'"},
      {ColSelTwoIndependent, cols("Before", ""), "--group2 is needed"},
      {ColSelOneMean, cols("Before", "After"), "--group2 is for two-sample tests"},
      {ColSelOneMean, cols("Before", "", true),
       "--exclude-incomplete-pairs is for two-sample tests"},
      {ColSelTwoIndependent, ref("Level", "Before", "Low", "Medium"),
       "--level2: no level 'Medium' in column 'Level'"},
      {ColSelTwoIndependent, ref("Level", "Before", "3", "1"),
       "--level1: no level '3' in column 'Level'"},
      {ColSelTwoIndependent, ref("Score", "Before", "1", "2"),
       "--level1: no level '1' in column 'Score'"},
      {ColSelTwoIndependent, ref("Score", "Before", "2.5", "2"),
       "--level1: no level '2.5' in column 'Score'"},
      {ColSelTwoIndependent, ref("Level", "", "1", "2"), "--data is needed"},
      {ColSelOneMean, ref("Level", "Before", "1", "2"), "--level2 is for two-sample tests"},
      {ColSelTwoDependent, ref("Level", "Before", "1", "2"),
       "two dependent samples take --group1 and --group2, not --reference"},
  };
  for (const TCase& c : cases) {
    TColumnSelection sel;
    TRunInfo ri;
    std::string error;
    const bool ok = ColumnSelectionFromTexts(d(), c.Texts, c.Kind, sel, ri, error);
    EXPECT_EQ(error, c.Error);
    EXPECT_EQ(ok, std::string(c.Error).empty()) << error;
    if (!ok) continue;
    EXPECT_TRUE(sel.OKClose);
    EXPECT_EQ(sel.LoadMode, c.Mode) << error;
    EXPECT_EQ(ri.ColRefRun, c.Mode);
    if (c.Mode == ColSelByColumns) {
      EXPECT_EQ(sel.SelectedCol1, c.A);
      EXPECT_EQ(sel.SelectedCol2, c.B);
    } else {
      EXPECT_EQ(ri.index, c.A);
      EXPECT_EQ(ri.measure, c.B);
      EXPECT_EQ(sel.Reference1, c.L1);
      EXPECT_EQ(sel.Reference2, c.L2);
    }
    // The window hands its choice over as these texts: they must give it back.
    TColumnSelection again;
    TRunInfo ri2;
    ASSERT_TRUE(
        ColumnSelectionFromTexts(d(), ColumnSelectionToTexts(sel), c.Kind, again, ri2, error))
        << error;
    EXPECT_EQ(again.LoadMode, sel.LoadMode);
    EXPECT_EQ(again.SelectedCol1, sel.SelectedCol1);
    EXPECT_EQ(again.SelectedCol2, sel.SelectedCol2);
    EXPECT_EQ(again.ReferenceCol, sel.ReferenceCol);
    EXPECT_EQ(again.Reference2, sel.Reference2);
    EXPECT_EQ(again.ExcludeIncompletePairs, sel.ExcludeIncompletePairs);
  }
  // A name matching two columns without regard to case is refused, not guessed.
  d().SetCellText(After, 0, "before");
  TColumnSelection sel;
  TRunInfo ri;
  std::string error;
  EXPECT_FALSE(
      ColumnSelectionFromTexts(d(), cols("BEFORE", "Level"), ColSelTwoIndependent, sel, ri, error));
  EXPECT_EQ(error, "--group1: no column 'BEFORE'");
}

}  // namespace
}  // namespace sorvel
