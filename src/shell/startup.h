// Start-up decisions of the shell that need no window.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace sorvel {

class TMRUFiles;

// The file argument: the program's arguments joined by blanks, double quotes removed,
// leading and trailing blanks trimmed.
std::string CommandLineArgument(const std::vector<std::string>& args);

// The data file to open at start: "@LAST" (any case) means slot 1 of the list; a name
// that is not an existing file gives "" (nothing is opened, nothing is said).
std::string StartFile(const std::string& argument, const TMRUFiles& mru);

// The main window's caption: "Sorvelstats" unless a running copy holds it, then the
// first "Sorvelstats (n)", n = 2, 3, ..., that no running copy holds.
std::string ChooseMainCaption(const std::function<bool(const std::string&)>& captionTaken);

}  // namespace sorvel
