// sorvelstats-cli: runs any registered analysis from a script and prints its report.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return sorvel::RunCli(args, std::cout, std::cerr);
}
