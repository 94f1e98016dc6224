// Command-line access to the data set and its files: data-info, data-copy, describe and
// the Data-menu commands that change data.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace sorvel {

// Runs args when args[0] names a data command ("data-info", "data-copy") and returns true
// with the exit status in `status`; returns false for any other command.
bool RunDataCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    int& status);

}  // namespace sorvel
