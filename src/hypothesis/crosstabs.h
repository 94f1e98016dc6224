// "Crosstabs": a two-way frequency table from two columns of the data set or typed by the
// user, shown as counts, proportions or percentages with expected values, with rows and
// columns removed or merged, and its statistics: chi-square, Phi or Cramer's V, lambda,
// Fisher's exact test, McNemar's or the symmetry test, and Cohen's kappa.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "data/text_grid.h"
#include "numerics/keyfilters.h"
#include "output/chart.h"

namespace sorvel {

class TDataList;

inline constexpr const char* CrosstabsCommand = "crosstabs";

// Display radio buttons.
enum class TCTDisplay { Count = 0, Proportion = 1, Percent = 2 };

// The statistics check list, in its order.
enum TCTStat : unsigned {
  CTChiSquare = 1,
  CTPhiV = 2,
  CTLambda = 4,
  CTFisher = 8,
  CTSymmetry = 16,
  CTKappa = 32,
};
// clang-format off
inline constexpr const char* CTStatCaptions[] = {
    "Chi-Square", "Phi/Cramer's V", "Lambda (Column Dependent)", "Fisher's Exact Test (2x2)",
    "McNemar's Test/Symmetry Test", "Kappa"};
inline constexpr const char* CTStatNames[] = {
    "chi-square", "phi-cramers-v", "lambda-column-dependent", "fishers-exact-test-2x2",
    "mcnemars-test-symmetry-test", "kappa"};
// clang-format on

inline constexpr double CTUndefined = -2147483647.0;
// More cells than this are refused: the table alone would take gigabytes.
inline constexpr long long CTMaxCells = 100'000'000;
// Above this many cells the user is asked first.
inline constexpr long long CTAskCells = 100;

std::string TableSizeQuestion(long long cells);  // "Table Size = n.  Continue?"

struct TCTChiSqr {
  double Chsq = CTUndefined, PhiV = CTUndefined, P = 999;
  int Df = 0;
};
struct TCTLambda {
  double Lambda = CTUndefined, P = 999;
};
struct TCTKappa {
  double Kappa = 0, KappaMax = 0, Pc = 0, Po = 0, SE = 0, SEk = 0, Z = 0, P = 999;
};
struct TCTSymmetry {
  double Xmin = 0, Ymin = 0, ChiSq = 0, P1 = 0, P = 0;
  int Df = 0;
  bool HasPair = false;  // a pair of matched cells differs (P < 1)
};

// The table. Columns are the categories of the column variable (index i, 1..I) and rows
// those of the row variable (j, 1..J); FreqArray[i][0] is column i's total, [0][j] row j's
// and [0][0] the grand total N. Counts are 64-bit: a million pasted rows of 7-digit counts,
// or four cells of 1.5e9, must not wrap.
class TCrossTab {
 public:
  std::vector<double> C1Index{0};  // [0] = I, then the column categories
  std::vector<double> C2Index{0};  // [0] = J, then the row categories
  int C1IndexLength = 0;
  int C2IndexLength = 0;
  std::vector<std::vector<std::int64_t>> FreqArray{{0}};
  std::vector<std::string> ColGroupNames{""};  // 1-based
  std::vector<std::string> RowGroupNames{""};
  int StatError = 0;

  int I() const { return C1IndexLength; }
  int J() const { return C2IndexLength; }
  std::int64_t N() const { return FreqArray[0][0]; }
  std::int64_t Count(int i, int j) const { return FreqArray[i][j]; }
  bool Is2x2() const { return I() == 2 && J() == 2; }

  // From the data set: the distinct values of each column (Process If, the missing-value
  // rule and the transformation applied) become the categories, and every case that
  // passes Process If with both values valid is counted, in one pass. `confirm` is asked
  // the table-size question above CTAskCells cells. StatError: 1 no value in the column
  // variable, 2 none in the row variable (or no column chosen), 99 declined, 98 too large.
  // Without data: a 1 x 1 table of zeros.
  int GenerateFreqArray(TDataList& data, int first, int second,
                        const std::function<bool(long long cells)>& confirm);

  // Manual entry: I columns and J rows; existing counts kept, new categories numbered on.
  void Resize(int columns, int rows);
  // counts[j][i]: row j, column i (0-based), as typed or pasted; categories 1..I, 1..J.
  void SetCounts(const std::vector<std::vector<std::int64_t>>& rows);
  void SetCount(int i, int j, std::int64_t count);  // then the totals are recomputed
  void Clear();                                     // every count 0
  void Recount();

  // Positions are 1-based; out of range ones are ignored.
  void RemoveColumns(std::vector<int> columns);
  void RemoveRows(std::vector<int> rows);
  void MergeColumns(std::vector<int> columns);
  void MergeRows(std::vector<int> rows);

  TCTChiSqr GenerateChi_Sqr() const;
  TCTLambda GenerateLambda() const;
  TCTKappa GenerateKappa() const;
  TCTSymmetry SymmetryTest() const;
  double FisherP() const;   // 999 unless 2 x 2
  double McNemarP() const;  // 2 x 2: the exact sign test of the off-diagonal cells
};

// "[" + names + "]" for merged categories (names in the table's order).
std::string MergedName(const std::vector<std::string>& names);

// The table as the grid shows it: row 0 headings (name + "=" + category, "Total"),
// column 0 row labels, body cells in the display unit with " (" + expected + ")" appended.
TTextGrid CrossTabGrid(const TCrossTab& tab, const std::string& colVar, const std::string& rowVar,
                       TCTDisplay display, bool expected, int decimals);

struct TCTReportInputs {
  std::string ColVar = "C", RowVar = "R";  // the variables' titles, or the name edits
  bool FileData = false;
  std::string FileName, ModificationLine;
  unsigned Stats = 0;  // TCTStat bits
  double Conf = 0.95;
};

// The report: nothing unless a statistic is chosen, N > 1 and the table was built.
void WriteCrosstabsReport(const TCrossTab& tab, const TCTReportInputs& in);

// The 3-D bar chart: one series of bars per row category, each row drawn further back
// along a receding axis at `angle` degrees (45 at start; Rotate turns it), and a legend of
// the rows; `zoom` is the "Zoom In:" position (SetCrosstabsZoom).
TChart CrosstabsChart(const TCrossTab& tab, const std::string& colVar, const std::string& rowVar,
                      double angle = 45, int zoom = 0);
// "Zoom In:" at `position` (0..40): the chart's left and right margins become position + 3
// percent of its width, top and bottom position + 4 percent of its height.
void SetCrosstabsZoom(TChart& chart, int position);

// "10,20;30,40": rows separated by ";", counts by ","; false on anything else (the text
// in `error`).
bool ParseManualTable(const std::string& text, std::vector<std::vector<std::int64_t>>& rows,
                      std::string& error);

// Cells pasted into the table: lines of tab-separated whole numbers (an empty cell is 0).
// False, naming the first cell that is not a whole number of 0 or more, on anything else;
// at most 99 rows and columns, as the size boxes allow.
bool ParsePastedTable(const std::string& text, std::vector<std::vector<std::int64_t>>& rows,
                      std::string& error);

// Keys typed into a count cell: digits (not once the text, less its selection, has 7
// characters), Backspace, Tab, Enter and Ctrl+C/V/X.
TKeyResult CrosstabCellKeyFilter(const TKeyEdit& edit, char key);

TAnalysis CrosstabsAnalysis();

}  // namespace sorvel
