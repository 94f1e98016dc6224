// The command line over the analysis registry: typed options validated as the window
// validates them, output places checked before any work, the list of commands.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "cli/cli_run.h"
#include "numerics/picture.h"
#include "shell/analysis_registry.h"
#include "shell/command_table.h"

namespace sorvel {
namespace {

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> f;
  std::stringstream s(line);
  for (std::string x; std::getline(s, x, '\t');) f.push_back(x);
  return f;
}

TEST(CliOptions, RefusalsAreTheWindowsMessagesAndUsageFaultsAreTold) {
  struct {
    std::vector<std::string> Args;
    int Status;
    std::string Err;  // start of standard error
  } cases[] = {
      {{"test-statistics", "--value", "2,5"}, CliRefused, "'2,5' is not a valid number!\n"},
      {{"test-statistics", "--distribution", "t", "--value", "2", "--df", "1,0"},
       CliRefused,
       "'1,0' is not a valid number!\n"},
      {{"test-statistics", "--decimals", "12"}, CliRefused, "Decimals must be from 0 to 9!\n"},
      {{"test-statistics", "--decimals", "x"}, CliRefused, "'x' is not a whole number!\n"},
      {{"test-statistics", "--tails", "both"},
       CliUsage,
       "sorvelstats-cli: 'both' is not a choice of --tails (two|lower|upper)\n"},
      {{"test-statistics", "--colour", "red"},
       CliUsage,
       "sorvelstats-cli: test-statistics has no option '--colour'"},
      {{"test-statistics", "--value"},
       CliUsage,
       "sorvelstats-cli: the option '--value' needs a value\n"},
      {{"about"}, CliUsage, "sorvelstats-cli: the command 'about' (Help > About...) only opens"},
      {{"descriptive-statistics"},
       CliUsage,
       "sorvelstats-cli: descriptive-statistics needs a data file\n"},
      {{"descriptive-statistics", "/no/such/file.dat"}, CliFileError, "sorvelstats-cli: "},
      {{"descriptive-statistics", "x.dat", "--chart", "x.png"},
       CliUsage,
       "sorvelstats-cli: descriptive-statistics draws no chart\n"},
  };
  for (const auto& c : cases) {
    TCliRun r = Cli(c.Args);
    EXPECT_EQ(r.Status, c.Status) << c.Args[1 % c.Args.size()] << ": " << r.Err;
    EXPECT_EQ(r.Err.substr(0, c.Err.size()), c.Err);
    EXPECT_EQ(r.Out, "");
  }
}

TEST(CliOptions, OutputPlacesAreCheckedBeforeTheReportIsWritten) {
  SetPictureSaver([](const TGraphicToSave&, const std::string&, std::string&) { return true; });
  for (std::vector<std::string> args :
       {std::vector<std::string>{"test-statistics", "--chart", "/no/such/folder/z.png"},
        std::vector<std::string>{"test-statistics", "--output", "/no/such/folder/z.txt"}}) {
    TCliRun r = Cli(args);
    EXPECT_EQ(r.Status, CliFileError);
    EXPECT_EQ(r.Out, "");
    EXPECT_NE(r.Err.find("no such folder"), std::string::npos) << r.Err;
  }
  SetPictureSaver(nullptr);
}

TEST(CliList, EveryCommandWithItsStateAndWhereItRuns) {
  TCliRun r = Cli({"--list"});
  ASSERT_EQ(r.Status, CliOk);
  std::stringstream lines(r.Out);
  std::map<std::string, std::vector<std::string>> byName;
  for (std::string line; std::getline(lines, line);) {
    auto f = Fields(line);
    ASSERT_EQ(f.size(), 5u) << line;
    byName[f[0]] = f;
    const bool available = f[3] == "available";
    EXPECT_TRUE(available || f[3] == "not-built") << line;
    if (FindCommand(f[0])) {
      EXPECT_EQ(available, IsCommandAvailable(f[0]));
    }
    EXPECT_EQ(f[4] == "command-line", RunsFromCommandLine(f[0])) << line;
  }
  EXPECT_EQ(byName["test-statistics"][4], "command-line");
  EXPECT_EQ(byName["about"][3], "available");
  EXPECT_EQ(byName["about"][4], "window-only");
  EXPECT_EQ(byName["omega-squared"][3], "not-built");
  EXPECT_EQ(byName["data-info"][4], "command-line");
  EXPECT_EQ(byName["data-copy"][4], "command-line");
  for (const char* data :
       {"transform", "generate-run-numbers", "auto-recode-variables", "weight-cases"})
    EXPECT_EQ(byName[data][4], "command-line") << data;
  EXPECT_EQ(byName["descriptive-statistics"][2], "Descriptive Statistics");
}

TEST(CliHelp, GeneratedFromTheOptionsAndForTheDataCommands) {
  TCliRun t = Cli({"test-statistics", "--help"});
  EXPECT_EQ(t.Status, CliOk);
  EXPECT_NE(t.Out.find("--tails two|lower|upper"), std::string::npos) << t.Out;
  EXPECT_NE(t.Out.find("two: \"Two\""), std::string::npos);
  EXPECT_NE(t.Out.find("--decimals 0..9"), std::string::npos);
  EXPECT_NE(t.Out.find("--chart FILE"), std::string::npos);
  EXPECT_EQ(t.Out.find("--sheet"), std::string::npos);  // no data file, no sheet
  TCliRun d = Cli({"descriptive-statistics", "--help"});
  EXPECT_NE(d.Out.find("descriptive-statistics DATAFILE"), std::string::npos) << d.Out;
  EXPECT_EQ(d.Out.find("--chart"), std::string::npos);
  EXPECT_NE(d.Out.find("--sheet NAME|N"), std::string::npos) << d.Out;
  TCliRun info = Cli({"data-info", "--help"});
  EXPECT_EQ(info.Status, CliOk);
  EXPECT_NE(info.Out.find("Usage: sorvelstats-cli data-info FILE"), std::string::npos);
  TCliRun copy = Cli({"data-copy", "--help"});
  EXPECT_EQ(copy.Status, CliOk);
  EXPECT_NE(copy.Out.find("CR LF"), std::string::npos);
  EXPECT_NE(copy.Out.find("\"*\" lines"), std::string::npos);
  TCliRun bad = Cli({"data-info", "--bogus", "x.dat"});
  EXPECT_EQ(bad.Status, CliUsage);
  EXPECT_NE(bad.Err.find("data-info has no option '--bogus'"), std::string::npos) << bad.Err;
}

}  // namespace
}  // namespace sorvel
