#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace sorvel {

// Exit status: 0 report written; 1 the analysis refused its input; 2 usage error;
// 3 a file could not be read or written.
enum TCliStatus { CliOk = 0, CliRefused = 1, CliUsage = 2, CliFileError = 3 };

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace sorvel
