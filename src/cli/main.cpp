// sorvelstats-cli: runs any registered analysis from a script and prints its report.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#ifdef SORVEL_CLI_HAS_QT
#include "cli/chart_qt.h"
#endif

int main(int argc, char** argv) {
#ifdef SORVEL_CLI_HAS_QT
  sorvel::SetPictureSaver(sorvel::SavePictureWithQt);
#endif
  std::vector<std::string> args(argv + 1, argv + argc);
  return sorvel::RunCli(args, std::cout, std::cerr);
}
