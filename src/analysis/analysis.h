// The analysis framework: what every analysis declares once (its command name, typed
// options, Run) and what it gets when it runs (the data set, validated options, progress,
// warnings). The window and the command line both fill a TOptions record of texts, both
// validate it with ValidateOptions, and both run the same Run.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <memory>

#include "numerics/picture.h"
#include "output/chart.h"
#include "output/report.h"

namespace sorvel {

class TDataList;
struct TColumnSelection;  // data/column_selection.h

// Long work reports its fraction done (0..1); a false return asks it to stop. (The same
// type as the data-file reader's.)
using TProgress = std::function<bool(double fraction)>;

enum class TOptionKind {
  Number,          // any plain number
  PositiveNumber,  // > 0
  Probability,     // > 0 and < 1
  WholeNumber,     // an integer from Min to Max
  Choice,          // one of Choices (a radio group or combo box)
  Flag,            // a check box: "--name" alone sets it
  Column,          // one column of the data set, by name or 1-based number
  Columns,         // several, separated by commas
  Text,            // anything
};

// One item of a choice: its command-line value, the window's caption, and the code the
// analysis reads it as (an enumerator, cast).
struct TChoice {
  std::string Value;
  std::string Caption;
  int Code = 0;
};

template <class E>
TChoice ChoiceOf(E code, std::string value, std::string caption) {
  return {std::move(value), std::move(caption), static_cast<int>(code)};
}

struct TOptionSpec {
  std::string Name;  // command-line name, shaped like a command name
  TOptionKind Kind = TOptionKind::Text;
  std::string Default;           // as the window shows it at start
  std::string Help;              // one line
  std::vector<TChoice> Choices;  // Choice only
  int Min = 0, Max = 0;          // WholeNumber only
  // The window's caption of the control ("df", "Decimals"), used in the generic refusal
  // texts; Refusal, when set, replaces the range refusal of its kind.
  std::string Label;
  std::string Refusal;
};

// Option name -> text, as typed in the window or on the command line.
using TOptions = std::map<std::string, std::string>;

// Options after validation: every declared option present, each read through the
// accessor of its kind. Asking for an undeclared option or through the wrong kind is a
// programming error (std::logic_error), caught by the registry test.
class TOptionValues {
 public:
  struct TValue {
    TOptionKind Kind = TOptionKind::Text;
    std::string Text;  // trimmed, as given (reports quote what the user typed)
    double Number = 0;
    int Code = 0;              // WholeNumber value, Choice code, Flag 0/1, Column number
    std::vector<int> Columns;  // Columns: 1-based column numbers
  };

  double Number(const std::string& name) const;  // Number, PositiveNumber, Probability
  int Whole(const std::string& name) const;
  bool Flag(const std::string& name) const;
  const std::string& Text(const std::string& name) const;  // any kind: the text given
  template <class E>
  E Choice(const std::string& name) const {
    return static_cast<E>(Get(name, TOptionKind::Choice).Code);
  }
  int Column(const std::string& name) const;
  const std::vector<int>& Columns(const std::string& name) const;
  int Decimals() const { return Whole("decimals"); }
  bool Has(const std::string& name) const { return values_.count(name) != 0; }
  // The Variable Selection choice given with --group1 ... or --reference ... (accepted,
  // its columns and levels resolved); nullptr when none was given (typed values).
  const TColumnSelection* ColumnSelection() const { return selection_.get(); }

  void Set(const std::string& name, TValue value) { values_[name] = std::move(value); }
  void SetColumnSelection(const TColumnSelection& sel);

 private:
  const TValue& Get(const std::string& name, TOptionKind kind) const;
  std::map<std::string, TValue> values_;
  std::shared_ptr<const TColumnSelection> selection_;
};

// What an analysis gets when it runs.
struct TAnalysisContext {
  // The data set, for analyses that read one (nullptr otherwise, and when none is
  // loaded). Analyses load their sets through it (which fills A_Array) but never edit
  // its cells.
  TDataList* Data = nullptr;
  const TOptionValues& Options;
  TProgress Progress;  // may be empty
  // Warnings that do not stop the run (the GUI shows a box, the command line stderr).
  std::function<void(const std::string&)> Warn;

  bool KeepGoing(double fraction) const { return !Progress || Progress(fraction); }
  void Warning(const std::string& text) const {
    if (Warn) Warn(text);
  }
};

struct TOutcome {
  enum class TStatus { Ok, Refused, Stopped };
  TStatus Status = TStatus::Ok;
  TReport Report;
  std::string Error;                // the exact message the window shows when Status is Refused
  std::optional<TPicture> Picture;  // the distribution picture, for analyses that draw one
  std::optional<TChart> Chart;      // the chart, for analyses that draw one
  static TOutcome Refuse(std::string message) {
    TOutcome o;
    o.Status = TStatus::Refused;
    o.Error = std::move(message);
    return o;
  }
};

struct TAnalysis {
  std::string Name;  // command name: one constant in the analysis's header
  std::string Summary;
  bool NeedsData = false;  // reads the data set (a data file on the command line)
  // With NeedsData: the analysis also takes typed values, so the data file may be left
  // out (COMMAND [DATAFILE]); Run then gets Data == nullptr.
  bool DataOptional = false;
  // Set by analyses that choose their groups with the "Variable Selection" dialog: gives
  // the dialog's test kind (ColSelOneMean .. ColSelTwoDependent) from the other,
  // validated options. The registry then adds ColumnSelectionOptions() (--group1,
  // --group2, --exclude-incomplete-pairs, --reference, --data, --level1, --level2);
  // ValidateOptions resolves them into TOptionValues::ColumnSelection().
  std::function<int(const TOptionValues&)> ColumnSelectionTest;
  bool DrawsPicture = false;  // draws a picture or chart: --chart and --chart-size are accepted
  // Shown (exit 1 on the command line) when NeedsData and the data set is empty.
  std::string NoDataMessage = "There is no data to analyse!";
  // False for a window without a "&Decimals:" box (its report's decimals are fixed):
  // the registry then adds no "decimals" option and --decimals is refused.
  bool HasDecimals = true;
  // Options in the window's order; "decimals" is added by the registry when absent.
  std::vector<TOptionSpec> Options;
  std::function<TOutcome(const TAnalysisContext&)> Run;

  const TOptionSpec* FindOption(const std::string& name) const;
};

// The common "&Decimals:" box: 0..9, default 4 unless the analysis declares its own.
TOptionSpec DecimalsOption(int initial = 4);

// The Variable Selection options, in the dialog's order (the "Define Columns" page, then
// "Define Reference"); added by the registry to analyses that set ColumnSelectionTest.
const std::vector<TOptionSpec>& ColumnSelectionOptions();
// The window's accepted choice as those options' texts (columns and levels by number),
// so that it goes through the same check as the command line.
void ColumnSelectionToOptions(const TColumnSelection& sel, TOptions& options);

class TAnalysisRegistry {
 public:
  // Adds (or replaces) an analysis; a missing "decimals" option is added (HasDecimals).
  void Add(TAnalysis analysis);
  const TAnalysis* Find(const std::string& name) const;
  const std::vector<TAnalysis>& All() const { return analyses_; }
  // Takes an analysis out again (tests that stand a window in for one).
  void Remove(const std::string& name);

 private:
  std::vector<TAnalysis> analyses_;
};

struct TValidation {
  bool Ok = true;
  // A refusal is the window's exact message (exit 1); a usage fault (an option the
  // analysis does not have, a choice that is not offered) is the command line's (exit 2).
  bool UsageFault = false;
  std::string Message;
  TOptionValues Values;
};

// Checks every given text against its option's kind in the window's order, fills the
// options not given with their defaults, and resolves columns against `data` (which may
// be nullptr when the analysis reads none). The first fault ends the check.
TValidation ValidateOptions(const TAnalysis& analysis, const TOptions& given,
                            const TDataList* data);

// A number as typed into an edit or on the command line: [sign] digits [. digits]
// [(E|e) [sign] digits], blanks around allowed, no thousands separators (data files keep
// their own rules). ".5" reads as 0.5.
bool ReadPlainNumber(const std::string& text, double& value);

// Validates `given` and runs the analysis; refusals (validation or the analysis's own)
// come back as a refused outcome. `usageFault` tells which kind of refusal it was.
TOutcome RunValidated(const TAnalysis& analysis, const TOptions& given, TDataList* data,
                      const TProgress& progress,
                      const std::function<void(const std::string&)>& warn,
                      bool* usageFault = nullptr);

}  // namespace sorvel
