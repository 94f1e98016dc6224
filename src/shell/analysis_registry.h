// The program's registry of analyses, filled once from each subsystem's registration,
// and the one answer to "is this command built?" that the main window's menus and the
// command line's --list share.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis.h"

namespace sorvel {

// The registry of the program: every subsystem's analyses.
TAnalysisRegistry& AnalysisRegistry();

// Whether the program has what a command needs: shell and help commands always,
// analyses when registered, other windows (the data editor, dialogs) when listed in
// BuiltWindows(). The main window enables its menu items by it and --list prints it.
bool IsCommandAvailable(const std::string& name);
// Command names of windows that exist although no analysis is registered for them.
const std::vector<std::string>& BuiltWindows();

// Commands that run from the command line: the registered analyses and the data
// commands. Everything else only opens a window.
bool RunsFromCommandLine(const std::string& name);

// Commands only the command line has (they have no menu item).
struct TCliCommand {
  std::string Name;
  std::string Summary;
};
const std::vector<TCliCommand>& CommandLineOnlyCommands();

}  // namespace sorvel
