#include "shell/analysis_registry.h"

#include <algorithm>

#include "explore/register.h"
#include "hypothesis/register.h"
#include "quality/register.h"
#include "shell/command_table.h"

namespace sorvel {

TAnalysisRegistry& AnalysisRegistry() {
  // One line per subsystem: each registers its own analyses.
  static TAnalysisRegistry registry = [] {
    TAnalysisRegistry r;
    RegisterHypothesisAnalyses(r);
    RegisterExploreAnalyses(r);
    RegisterQualityAnalyses(r);
    return r;
  }();
  return registry;
}

const std::vector<std::string>& BuiltWindows() {
  static const std::vector<std::string> built = {"data-editor", "new", "open"};
  return built;
}

bool IsCommandAvailable(const std::string& name) {
  const TCommandEntry* e = FindCommand(name);
  if (!e) return false;
  if (e->Kind == TCommandKind::Shell || e->Kind == TCommandKind::Help) return true;
  if (AnalysisRegistry().Find(name)) return true;
  const auto& built = BuiltWindows();
  return std::find(built.begin(), built.end(), name) != built.end();
}

const std::vector<TCliCommand>& CommandLineOnlyCommands() {
  static const std::vector<TCliCommand> commands = {
      {"data-info", "what a data file holds after loading"},
      {"data-copy", "reads a data file and writes it as the data editor saves"},
      {"describe", "the descriptive engine's statistics record of columns, by level"},
      {"compute-variables-from-sample-data", "adds a column computed within groups or across rows"},
      // The data editor's Data-menu commands that change data.
      {"transform", "adds transformed columns or transforms columns in place"},
      {"generate-run-numbers", "numbers the combinations of columns' levels"},
      {"auto-recode-variables", "new columns holding the level codes of chosen columns"},
      {"weight-cases", "repeats each case by its rounded weight"},
  };
  return commands;
}

bool RunsFromCommandLine(const std::string& name) {
  if (AnalysisRegistry().Find(name)) return true;
  const auto& only = CommandLineOnlyCommands();
  return std::any_of(only.begin(), only.end(),
                     [&](const TCliCommand& c) { return c.Name == name; });
}

}  // namespace sorvel
