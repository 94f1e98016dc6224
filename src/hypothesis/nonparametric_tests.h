// "Nonparametric Tests": one of seven sign and rank tests on the data set's columns (the
// location tests on one column, the two independent-sample tests on two columns or two
// codes of a grouping column, the paired tests on two columns), computed by the engine in
// nonparametric.h and written in the window's report layout.
#pragma once

#include <cstdint>
#include <string>

#include "analysis/analysis.h"
#include "hypothesis/nonparametric.h"

namespace sorvel {

class TDataList;

inline constexpr const char* NonparametricTestsCommand = "nonparametric-tests";

// "&Test", in the order of its radio buttons.
enum class TNPTest {
  SignTestForLocation = 0,
  WilcoxonTestForLocation = 1,
  WilcoxonMannWhitney = 2,
  TwoSampleMedian = 3,
  SignTest = 4,
  WilcoxonSignedRanks = 5,
  SpearmanRankCorrelation = 6,
};
// The radio button captions and the report titles.
const char* NPTestCaption(TNPTest test);
const char* NPTestTitle(TNPTest test);
const char* NPTestValue(TNPTest test);  // --test's value
// "&Hypothesis" items of a test (index = alternative code).
std::string NPHypothesisText(TNPTest test, int alternative);
// What the window shows for a test (and, for "Include equal", its hypothesis).
bool NPUsesLocation(TNPTest test);                         // tests 0 and 1
bool NPUsesSecondGroup(TNPTest test);                      // tests 2..6
bool NPOffersReference(TNPTest test);                      // tests 2 and 3: "Define &Reference"
bool NPUsesHypothesis(TNPTest test);                       // all but Spearman
bool NPOffersIncludeEqual(TNPTest test, int alternative);  // test 0, one-sided

inline constexpr const char* NPNoGroupsMessage =
    "Choose the groups: --group1 (and --group2), or --reference, --data, --level1 and --level2";

struct TNPInputs {
  TNPTest Test = TNPTest::WilcoxonMannWhitney;
  int Alternative = 0;
  double Location = 0;
  std::string LocationText = "0";
  bool IncludeEqual = false;
  double Conf = 0.95;
  // NPByColumns: Col1, Col2; NPByReference: MeasureCol, GroupCol and the codes Code1, Code2.
  int Mode = NPByColumns;
  int Col1 = 1, Col2 = 1;
  int MeasureCol = 1, GroupCol = 1;
  std::int64_t Code1 = 1, Code2 = 1;
};

// Report font sizes; the window's zoom scales them.
inline constexpr int NPTitleSize = 10;
inline constexpr int NPBodySize = 8;

struct TNPResult {
  TSignLocationResult SignLocation;
  TSignedRankResult SignedRank;
  TMannWhitneyResult MannWhitney;
  TMedianTestResult Median;
  TPairedSignResult PairedSign;
  TSpearmanResult Spearman;
  // Labels: the two groups' names, the group label and the measure's title.
  std::string Name1, Name2, GroupLabel = "Group", MeasureTitle;
  std::string ModificationLine;  // the data rules in force after the run, empty when none
};

// Inputs the window hides do not count (Include equal only for test 0 one-sided, the
// reference page only for tests 2 and 3, no hypothesis for Spearman).
TNPInputs Effective(const TNPInputs& in);
TNPResult ComputeNonparametric(TDataList& data, const TNPInputs& in);
void WriteNonparametricReport(const TNPInputs& in, const TNPResult& res);

TAnalysis NonparametricTestsAnalysis();

}  // namespace sorvel
