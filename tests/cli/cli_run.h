// Runs the command line in-process and keeps what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace sorvel {

struct TCliRun {
  int Status;
  std::string Out, Err;
};

inline TCliRun Cli(std::vector<std::string> args) {
  std::ostringstream out, err;
  int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace sorvel
