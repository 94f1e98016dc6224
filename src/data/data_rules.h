// The three rules every load applies (the missing-value rule, the transformation and
// Process If), their display texts, the readers of their typed texts, and the commands
// that turn them into data (Add Transformed Variable, Generate Run Numbers, Auto Recode,
// Weight Cases). Qt-free: the dialogs and the command line both call these.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_list.h"

namespace sorvel {

// ---------------------------------------------------------------- records

struct TMissingRec {
  bool Active = false;
  int Sign1 = RelNone, Sign2 = RelNone;  // RelNone or RelEqual .. RelLessEqual
  double X1 = 0, X2 = 0;
  std::string Xstr1, Xstr2;  // the values as typed (the texts show these)
  std::string Signtext1 = "=", Signtext2 = "=";
};

struct TProcessIfRec {
  bool Active = false;
  int PiIndex1 = 0, PiIndex2 = 0;      // condition columns
  int Sign1 = RelAll, Sign2 = RelAll;  // RelAll .. RelNotIn
  double X1 = 0, X2 = 0;
  std::vector<double> LA1, LA2;  // the "in" lists (1-based: element 0 unused)
  int LA1count = 0, LA2count = 0;
  int AndOr = ProcessIfAnd;  // ProcessIfAnd or ProcessIfOr
  std::string Xstr1, Xstr2;  // the condition columns' names; empty: read the column's
  std::string XV1, XV2;      // the values as shown ("5", "[1,3]"); empty: from X or LA
  std::string Signtext1, Signtext2;
  std::vector<std::string> SLA1, SLA2;  // the list items as text (1-based)
};

// Transform numbers (TTransformRec::no), in the dialog's order.
enum : int {
  TransformNone = 0,
  TransformLinear = 1,
  TransformPower1 = 2,
  TransformPower2 = 3,
  TransformInv = 4,
  TransformLog = 5,
  TransformExp = 6,
  TransformArcsin = 7,
  TransformSin = 8,
  TransformUniform = 9,
  TransformNormal = 10,
  TransformExponential = 11,
  TransformChiSquare = 12,
};

struct TTransformRec {
  int no = TransformNone;
  double a = 1, B = 0, c = 1;
  std::string astr = "1", Bstr = "0", Cstr = "1";  // as typed (the formula text shows these)
  bool Error = false;                              // the last application failed
  std::string ErrorString;                         // "Error: " + reason
  bool NORMFirst = false;  // each value replaced by a Normal(10, 1) draw before transforming
};

extern TMissingRec MissingRec;
extern TProcessIfRec ProcessIfRec;
extern TTransformRec TransformRec;

// ---------------------------------------------------------------- numbers as typed

// A number typed into a value box: [sign] digits [. digits] [E [sign] digits], blanks
// around allowed, ".5" and "5." accepted. False for anything else (no "inf" or "nan").
bool ReadTypedNumber(std::string_view text, double& value);

// ---------------------------------------------------------------- transformation

// The radio item caption of transform no ("LOG     Y = Ln(AX + B)").
std::string TransformCaption(int no);
// The command-line name of transform no ("log"), and back (-1 for an unknown name).
std::string TransformName(int no);
int TransformByName(std::string_view name);
// True for the transforms that draw random numbers (they ignore X).
bool IsRandomTransform(int no);
// Box C is shown for these.
bool TransformUsesC(int no);
// The formula text: "None", "2X -3", "LN(X)", "Uniform(0,1)".
std::string TransformFormulaText(const TTransformRec& t = TransformRec);
// The dialog's "&OK" may be pressed: the boxes a transform uses are filled, and POWER2's
// C is not 0 (1/C would be no exponent).
bool TransformConstantsOk(int no, std::string_view a, std::string_view b, std::string_view c);
// Fills `t` from the dialog's choice: the number, the typed texts (parsed into a, B, c)
// and the normal-first tick. False with `error` when a box the transform uses does not
// hold a number, or POWER2's C is 0; `t` is then unchanged.
bool SetTransform(TTransformRec& t, int no, std::string_view a, std::string_view b,
                  std::string_view c, bool normFirst, std::string& error);

// Applies the transformation to x. On an error x is unchanged, Error is set and
// ErrorString is "Error: " + the reason; returns false.
bool TransformValue(TTransformRec& t, double& x);
// Clears Error and transforms a[1..count] in order, stopping at the first error.
bool TransformArray(TTransformRec& t, double* a, std::int32_t count);
// The transform error message, shown through DataMessage; switches the transform off.
std::string TransformErrorText(const TTransformRec& t);
void TransformErrorReport(TTransformRec& t = TransformRec);

// The random generator's state at the start of the last load, for ReloadAR.
void SaveLoadRandomState();
void RestoreLoadRandomState();

// ---------------------------------------------------------------- number list

// The answer to "Want blank Commas to indicate missing values?", asked once a run.
enum class TBlankCommas { Unasked, Yes, No };
extern TBlankCommas BlankCommasAnswer;
inline constexpr const char* BlankCommasQuestion = "Want blank Commas to indicate missing values?";
// Asks the question (the GUI's Yes/No box); without one the answer is No.
using TBlankCommaQuestion = std::function<bool()>;
void SetBlankCommaQuestion(TBlankCommaQuestion ask);

struct TNumberList {
  std::vector<std::string> Texts;  // 0-based; "" for an empty (missing) item
  std::vector<double> Values;      // MissingValue for an empty or unreadable item
};
inline constexpr int MaxListItems = 512;
// Reads an "in" list ("1, 3", "1,,3"), asking the blank-comma question when it first
// meets a comma that ends no number.
TNumberList ReadNumberList(std::string_view text);

// ---------------------------------------------------------------- choices and texts

// The missing-value dialog's choice: relations and the value boxes' texts.
struct TMissingChoice {
  int Sign1 = RelNone, Sign2 = RelNone;
  std::string Value1 = "0", Value2 = "0";
};
// OK of the missing-value dialog: a value that does not parse drops its condition.
void ApplyMissingChoice(const TMissingChoice& choice);

// The Process If dialog's choice: columns (0 none), relations, value texts, And/Or.
struct TProcessIfChoice {
  int Column1 = 0, Column2 = 0;
  int Sign1 = RelAll, Sign2 = RelAll;
  std::string Value1 = "0", Value2 = "0";  // "in" lists with or without "[" "]"
  int AndOr = ProcessIfAnd;
};
// OK of the Process If dialog (values that do not parse give 0; list items missing).
void ApplyProcessIfChoice(const TProcessIfChoice& choice, const TDataList& list);
// Both conditions "All", column 0, And; Process If off.
void ResetProcessIf();

// The condition texts: "X <= -99"; "Line in [1,3]", "Weight > 100".
std::vector<std::string> MissingConditionTexts();
std::vector<std::string> ProcessIfConditionTexts();
std::string ProcessIfJoin();  // " and " / " or "
// The editor's status panels 1-3: "Missing: X <= -99, or X = 0" / "Missing Off";
// "Transform: LN(X)" / "Transform Off"; "Process If: Line in [1,3] or Shift = 2" /
// "Process If Off".
std::string MissingStatusText();
std::string TransformStatusText();
std::string ProcessIfStatusText();

// A column named by the user: its 1-based number, else its exact name, else its name
// without regard to case when only one column matches. 0 when none (or ambiguous).
int FindColumn(const TDataList& list, std::string_view text);

// The rules as typed texts, read strictly (the command line; a fault names its part):
// "X <= -99 or X = 0" (at most two conditions, = > >= < <=);
// "Line in [1,3] or Shift = 2" (= > >= < <= <> in "Not in", joined by and / or; a value
// of a text column may be a level's text, which becomes its code).
bool ParseMissingText(std::string_view text, TMissingChoice& choice, std::string& error);
bool ParseProcessIfText(std::string_view text, const TDataList& list, TProcessIfChoice& choice,
                        std::string& error);

// ---------------------------------------------------------------- data commands

inline constexpr const char* TransformFailedText = "Transform Failed for: ";

// Add Transformed Variable: writes the transformed values of `columns` (in that order)
// into new columns "f(name)" (modify = false) or over the columns themselves. Rows outside
// Process If and missing values get empty cells; a column whose transform fails is left
// as it was and named in Failed. With turnOff the transform is switched off at the end.
struct TDataCommandResult {
  bool Done = false;                // the data set changed
  std::string Message;              // a refusal (nothing changed)
  std::vector<std::string> Failed;  // columns the transform failed for
};
TDataCommandResult AddTransformedVariables(TDataList& list, const std::vector<int>& columns,
                                           bool modify, bool turnOff);
// Generate Run Numbers: a column "Run" with each row's run number over `columns`; false
// when the data set has fewer than two cases or 512 columns already.
bool GenerateRunNumbers(TDataList& list, const std::vector<int>& columns);
// Auto Recode: for each column a column "name_R" with the codes 1, 2, ... of its distinct
// values (ascending); missing values stay empty. Refused when the columns would not fit.
TDataCommandResult AutoRecodeVariables(TDataList& list, const std::vector<int>& columns);

// Weight Cases. The number of cases after weighting by column `weight`: every case counts
// its weight rounded to the nearest integer (halves to even), a case whose rounded weight
// is below 1 or missing counts once (it stays, as the duplication leaves it).
std::int64_t WeightedCaseCount(TDataList& list, int weight);
// The most cases a data set holds (rows are numbered with 32-bit integers).
inline constexpr std::int64_t MaxWeightedCases = 2'147'483'646;
std::string WeightCasesQuestion(std::int64_t count);  // "New Row Count = n, Continue?"
// Appends w - 1 copies of every case of rounded weight w >= 2 below the cases. `confirm`
// answers the question; a count above MaxWeightedCases is refused with Message.
TDataCommandResult WeightCases(TDataList& list, int weight,
                               const std::function<bool(std::int64_t count)>& confirm);

// Every rule back to its start-up state, the blank-comma answer unasked.
void ResetDataRules();

}  // namespace sorvel
