// sorvelstats-cli: runs any registered analysis from a script and prints its report.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#ifdef SORVEL_CLI_HAS_QT
#include <QString>
#include <cstdlib>
#include <memory>

#include "cli/chart_qt.h"
#include "ui/settings_qt.h"
#endif

int main(int argc, char** argv) {
#ifdef SORVEL_CLI_HAS_QT
  sorvel::SetPictureSaver(sorvel::SavePictureWithQt);
  // The program's settings (the run-test defaults that --save-as-default writes), or the
  // settings file named by SORVEL_SETTINGS (the golden runs give each case an empty one).
  const char* file = std::getenv("SORVEL_SETTINGS");
  std::unique_ptr<sorvel::TQtSettingsStore> settings =
      file && *file ? std::make_unique<sorvel::TQtSettingsStore>(QString::fromLocal8Bit(file))
                    : std::make_unique<sorvel::TQtSettingsStore>();
  sorvel::SetSettingsStore(settings.get());
#endif
  std::vector<std::string> args(argv + 1, argv + argc);
  return sorvel::RunCli(args, std::cout, std::cerr);
}
