// "Oneway ANOVA": the means of a measure compared across the groups given by the integer
// codes of a grouping column. Fixed effects (omega squared), random effects (variance
// components, intraclass correlation) or the Kruskal-Wallis rank test; three tests of
// equal dispersion (ADM(n-1), Levene, Bartlett-Box F) and the pairwise comparisons of all
// groups (t(LSD), Tukey(HSD), Games-Howell). Compute (numbers) and report (lines) apart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/analysis.h"

namespace sorvel {

class TDataList;

inline constexpr const char* OnewayAnovaCommand = "oneway-anova";

enum class TAnovaType { Fixed = 0, Random = 1, KruskalWallis = 2 };

// StatError of a run: what the "**** ERROR" lines say.
enum : int {
  AnovaNoError = 0,
  AnovaSingleGroup = 1,     // "Single or No Groups Found!"
  AnovaNoWithin = 2,        // "No Within Variation Found!"
  AnovaZeroVariance = 3,    // Bartlett-Box: "Zero Variance Group Found!"
  AnovaBartlettSingle = 4,  // Bartlett-Box: "Single or No Groups Found!"
};
std::string AnovaErrorLine(int error);

// One group as the data set delivers it: its code, name and values. The values are
// deviations from Centre (the whole run's), so that sums keep their digits when every
// value shares long leading digits.
struct TAnovaSample {
  std::int64_t Code = 0;
  std::string Name;
  std::vector<double> Values;
};
struct TAnovaSamples {
  double Centre = 0;
  bool ExactDecimal = false;  // centred on the cells' decimal texts, not their doubles
  std::vector<TAnovaSample> Groups;
};

struct TAnovaGroupStats {
  std::int32_t N = 0;
  double Mean = 0, Variance = 0;
  double CentredMean = 0;  // Mean - the run's centre: differences keep their digits
  std::string Name;
};

// The analysis of variance of one run.
struct TAnovaRec {
  int Error = AnovaNoError;
  double MSB = 0, MSW = 0, SSB = 0, SSW = 0, N0 = 0;
  std::int32_t DfB = 0, DfW = 0;
  double Omega2 = 0, F = 0, P = 1;
  double VarA = 0, VarTotal = 0, Icc = 0;
  double N = 0, GrandMean = 0;
  std::vector<TAnovaGroupStats> Groups;
};

// One line of "Dispersion Analysis".
struct TDispersionLine {
  std::string Name;
  int Error = AnovaNoError;
  std::int32_t DfB = 0;
  double Df2 = 0;  // unrounded (Bartlett-Box: nu2)
  double F = 0, P = 1;
  bool ChiSquare = false;  // Bartlett-Box where Box's F is undefined: Bartlett's chi-square
};

struct TPairwiseLine {
  int I = 0, J = 0;                            // 0-based group indexes
  double Lsd = 1, Tukey = 1, GamesHowell = 1;  // p-values; 999 where undefined
};

struct TKruskalGroup {
  std::int64_t Code = 0;
  std::int32_t Count = 0;
  double MeanRank = 0;
};
struct TKruskalResult {
  double H = 0, P = 1;
  std::vector<TKruskalGroup> Groups;
};

struct TOnewayInputs {
  int Measure = 0, GroupColumn = 0;  // 1-based columns
  std::int64_t Low = 0, High = 0;
  TAnovaType Type = TAnovaType::Fixed;
  bool Dispersion = false, Pairwise = false;
  double Conf = 0.95;
  int Decimals = 4;
  // Report texts: titles or names (Fixed/Random), names (Kruskal-Wallis), the data set's
  // modification line (empty when none).
  std::string MeasureLabel, GroupLabel, MeasureName, GroupName, ModificationLine;
};

struct TOnewayResult {
  TAnovaRec Anova;
  bool DispersionRun = false;
  std::vector<TDispersionLine> Dispersion;
  bool PairwiseRun = false;
  std::vector<TPairwiseLine> Pairs;
  TKruskalResult Kruskal;
};

// The groups of codes low..high that hold a valid measure value (Process If, the
// missing-value rule and the transformation applied), centred. Where the measure's values
// share long leading digits and no transformation is active, the deviations are taken
// from the cells' decimal texts exactly.
TAnovaSamples LoadAnovaGroups(TDataList& data, int measure, int groupColumn, std::int64_t low,
                              std::int64_t high);
// The analysis of variance of the groups; N and the grand mean from the groups themselves.
TAnovaRec ComputeAnova(const TAnovaSamples& samples);
// ADM(n-1), Levene and Bartlett-Box F (reorders the values).
std::vector<TDispersionLine> DispersionTests(TAnovaSamples& samples);
// Every ordered pair of groups, i then j.
std::vector<TPairwiseLine> PairwiseComparisons(const TAnovaRec& anova);

// Kruskal-Wallis by the nonparametric engine, with the count and mean rank of every code
// present.
TKruskalResult KruskalWallisGroups(TDataList& data, int groupColumn, std::int64_t low,
                                   std::int64_t high, int measure);

TOnewayResult ComputeOneway(TDataList& data, const TOnewayInputs& in);
// Heading, table and the chosen parts, appended to the current report.
void WriteOnewayReport(const TOnewayInputs& in, const TOnewayResult& res);

// Reads validated options (the data set gives the labels and the default code range).
TOnewayInputs OnewayInputsFrom(TDataList& data, const TOptionValues& o);

TAnalysis OnewayAnovaAnalysis();

}  // namespace sorvel
