// Every analysis registers once: its command name, its options (the window's controls)
// and run(options) -> outcome. The command line is generic over this registry; a
// window fills the same options record from its controls.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "numerics/picture.h"
#include "output/report.h"

namespace sorvel {

struct TOptionSpec {
  std::string Name;     // command-line name, shaped like a command name
  std::string Default;  // as the window shows it at start
  std::string Help;     // one line
  std::vector<std::string> Choices;  // non-empty for a radio group or combo box
  bool IsFlag = false;               // a check box: "--name" alone sets it
};

// Option name -> text, as typed in the window or on the command line.
using TOptions = std::map<std::string, std::string>;

struct TOutcome {
  enum class TStatus { Ok, Refused };
  TStatus Status = TStatus::Ok;
  TReport Report;
  std::string Error;  // the exact message the window shows when Status is Refused
  std::optional<TPicture> Picture;  // the distribution picture, for analyses that draw one
  static TOutcome Refuse(std::string message) {
    TOutcome o;
    o.Status = TStatus::Refused;
    o.Error = std::move(message);
    return o;
  }
};

struct TAnalysis {
  std::string Name;  // command name of its menu entry
  std::string Summary;
  bool NeedsData = false;  // reads the data set (a data file on the command line)
  std::vector<TOptionSpec> Options;
  std::function<TOutcome(const TOptions&)> Run;
};

// Options every analysis has (the "&Decimals:" box and friends) are added by the
// command line itself; analyses read "decimals" from the options like any other.
class TAnalysisRegistry {
 public:
  void Add(TAnalysis analysis);
  const TAnalysis* Find(const std::string& name) const;
  const std::vector<TAnalysis>& All() const { return analyses_; }

 private:
  std::vector<TAnalysis> analyses_;
};

// The registry of the program, filled once by RegisterAllAnalyses().
TAnalysisRegistry& AnalysisRegistry();

// Fills options missing from `given` with their defaults.
TOptions WithDefaults(const TAnalysis& analysis, const TOptions& given);

// Whether the program has the window a command opens (or the command itself):
// shell and help commands always, analyses when registered, other windows when listed
// in BuiltWindows().
bool IsCommandAvailable(const std::string& name);
// Command names of windows that exist although no analysis is registered for them
// (the data editor, dialogs).
const std::vector<std::string>& BuiltWindows();

}  // namespace sorvel
