// "Mean/Dispersion Tests": one or two means and dispersions from summary statistics
// (typed, or computed from the data set's columns through Variable Selection): confidence
// intervals for every parameter and the t, z, chi-square and F tests of four designs.
// Compute (numbers) and report (lines) are apart; the analysis registered in
// register.cpp joins them for the window and the command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/analysis.h"

namespace sorvel {

class TDataList;
struct TColumnSelection;

inline constexpr const char* MeanDispersionTestsCommand = "mean-dispersion-tests";

// "&Test", in the radio group's order (the codes are the Variable Selection test kinds).
enum class TMDTest {
  OneSampleMean = 1,
  OneSampleVariance = 2,
  TwoSampleIndependent = 3,
  TwoSampleDependent = 4
};
// "df Calculations".
enum class TMDDf { Standard = 0, FromMse = 1, SigmaKnown = 2 };
// "&Hyp Means" / "Hyp Variance": the index is the alternative code of the p-value
// routines (0 two-sided, 1 lower tail, 2 upper tail).
enum class TMDHyp { Equal = 0, AtLeast = 1, AtMost = 2 };

inline constexpr const char* MDNMessage = "n must be greater than 1!";
inline constexpr const char* MDSMessage = "s must be greater than 0!";
inline constexpr const char* MDDfMessage = "df must be greater than 0!";
inline constexpr const char* MDRMessage = "ABS(r) must be less than or equal to 1.0!";

// Report font sizes at start; the output window's Increase/Decrease Font change them.
inline constexpr int MDTitleSize = 10;
inline constexpr int MDBodySize = 9;

// Mean, variance and degrees of freedom of a group's absolute deviations (from its mean:
// Levene; from its median with the median observation left out: ADM(n-1)).
struct TDeviationSummary {
  double Mean = 0, Variance = 0, Df = 0;
};

// What "F&ile Data" takes from the data set.
struct TMDFileData {
  std::string FileName;          // "File: " line; empty for a data set never saved
  bool ByReference = false;      // one data column split by two levels
  std::string Description;       // "Group1=..." or "Data by Ref[1,2]"
  std::string ModificationNote;  // the active data rules, empty when none
  std::string Label1, Label2;    // column titles, or "Ref = " + level
  double X1 = 0, S1 = 0, N1 = 0, X2 = 0, S2 = 0, N2 = 0, R12 = 0;
  TDeviationSummary Levene[2], Adm[2];
};

struct TMDInputs {
  TMDTest Test = TMDTest::TwoSampleIndependent;
  bool EnterVariance = false;  // "&Variance": the dispersion boxes hold variances
  TMDHyp HypMeans = TMDHyp::Equal, HypVariance = TMDHyp::Equal;
  TMDDf Df = TMDDf::Standard;
  // Standard deviations always (variance entry is converted on reading).
  double X1 = 0, X2 = 0, S1 = 0, S2 = 0, N1 = 0, N2 = 0, R12 = 0, Dfs = 0;
  // The boxes' texts, as the report echoes them; X2Text empty: no Mo (test 1).
  std::string X1Text = "0", X2Text = "0", S1Text = "0", S2Text = "0", N1Text = "0", N2Text = "0",
              R12Text = "0", DfsText = "0";
  double Conf = 0.95;
  int Decimals = 4;
  std::string Label1 = "Group1", Label2 = "Group2";
  std::optional<TMDFileData> File;
  int TitleSize = MDTitleSize, BodySize = MDBodySize;
};

// One printed statistic with its degrees of freedom and p-value.
struct TMDStat {
  bool Shown = false;
  bool Undefined = false;  // "t = Undefined"
  double Value = 0, Df = 0, Df2 = 0, P = 0;
};
struct TMDInterval {
  bool Shown = false;
  double Lower = 0, Upper = 0;
};

struct TMDResult {
  std::string Error;  // one of the four messages; empty when there is a result
  TMDInterval Mean1, Mean2, Disp1, Disp2, Corr, DiffEqual, DiffUnequal;
  TMDStat CorrTest;                  // test 4
  TMDStat MeanTest;                  // test 1 (z with "Sigma Known")
  TMDStat VarianceTest;              // test 2, chi-square
  TMDStat FTest, Levene, Adm;        // test 3
  TMDStat PairedVariance;            // test 4
  TMDStat EqualMeans, UnequalMeans;  // test 3 (z in EqualMeans with "Sigma Known")
  TMDStat PairedMeans;               // test 4
};

// Inputs the window hides do not count: tests 2 and 4 use "Standard" df, test 4 n2 = n1.
TMDInputs Effective(const TMDInputs& in);
TMDResult ComputeMeanDispersion(const TMDInputs& in);
// The run's lines (title, inputs, intervals, tests), appended to the current report.
void WriteMeanDispersionReport(const TMDInputs& in, const TMDResult& res);

// Summaries of the groups chosen in Variable Selection for a test (the loads apply
// Process If, the missing-value rule and the transformation): mean, standard deviation and
// count of each group, r12 of the two columns' complete pairs, Levene and ADM(n-1).
TMDFileData ComputeMDFileData(TDataList& data, const TColumnSelection& sel, TMDTest test);
// The Levene and ADM(n-1) summaries of one group's values around its mean (reorders them).
void DeviationSummaries(std::vector<double>& values, double mean, TDeviationSummary& levene,
                        TDeviationSummary& adm);

// The file data in place of the typed values, each text as the window's boxes show it.
void ApplyFileData(TMDInputs& in, const TMDFileData& file);

// Reads validated options into inputs (the analysis's Run and the tests).
TMDInputs MeanDispersionInputsFrom(const TOptionValues& o);

TAnalysis MeanDispersionTestsAnalysis();

}  // namespace sorvel
