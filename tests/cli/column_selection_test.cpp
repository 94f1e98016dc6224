// The Variable Selection options of the command line, through a stand-in analysis that
// declares them and prints the groups it was handed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/cli_run.h"
#include "data/column_selection.h"
#include "data/data_state.h"
#include "numerics/format.h"
#include "shell/analysis_registry.h"

namespace sorvel {
namespace {

constexpr const char* Probe = "selection-probe";

TAnalysis ProbeAnalysis() {
  TAnalysis a;
  a.Name = Probe;
  a.Summary = "prints the groups of its Variable Selection";
  a.NeedsData = true;
  a.DataOptional = true;
  TOptionSpec kind;
  kind.Name = "kind";
  kind.Kind = TOptionKind::WholeNumber;
  kind.Default = "3";
  kind.Min = 1;
  kind.Max = 4;
  kind.Help = "test kind";
  a.Options.push_back(kind);
  a.ColumnSelectionTest = [](const TOptionValues& o) { return o.Whole("kind"); };
  a.Run = [](const TAnalysisContext& c) {
    TOutcome out;
    auto line = [&](const std::string& text) { out.Report.Lines.push_back({{{text, {}}}}); };
    const TColumnSelection* sel = c.Options.ColumnSelection();
    if (!sel) {
      line("typed values");
      return out;
    }
    TRunInfo ri;
    for (int g = 1; g <= (sel->TwoSample ? 2 : 1); ++g) {
      std::string text = SelectedGroupName(*c.Data, *sel, g) + ":";
      for (double x : SelectedGroupValues(*c.Data, *sel, ri, g)) text += " " + FormatGeneral(x);
      line(text);
    }
    return out;
  };
  return a;
}

class CliColumnSelection : public ::testing::Test {
 protected:
  void SetUp() override {
    AnalysisRegistry().Add(ProbeAnalysis());
    file_ = (std::filesystem::temp_directory_path() / "sorvel_selection_probe.txt").string();
    std::ofstream(file_) << "Shift\tBefore\tAfter\tLine\n"
                            "Day\t10\t12\t1\nNight\t11\t\t2\nDay\t\t14\t1\nNight\t13\t15\t3\n";
  }
  void TearDown() override {
    AnalysisRegistry().Remove(Probe);
    std::filesystem::remove(file_);
    ResetDataState();
  }
  std::string file_;
};

TEST_F(CliColumnSelection, ChoicesReachTheAnalysisOrAreRefusedByName) {
  struct TCase {
    std::vector<std::string> Args;
    int Status;
    std::string Out, Err;
  };
  const std::string f = "@FILE@";
  const TCase cases[] = {
      {{}, CliOk, "typed values\n", ""},
      {{f}, CliOk, "typed values\n", ""},
      // clang-format off
      {{f, "--group1", "before", "--group2", "3"}, CliOk, "Before: 10 11 13\nAfter: 12 14 15\n", ""},
      {{f, "--group1", "Before", "--group2", "After", "--exclude-incomplete-pairs"}, CliOk,
       "Before: 10 13\nAfter: 12 15\n", ""},
      {{f, "--group1", "Before", "--group2", "After", "--missing", "X = 10"}, CliOk,
       "Before: 11 13\nAfter: 12 14 15\n", ""},
      // clang-format on
      {{f, "--reference", "Shift", "--data", "Before", "--level1", "Night", "--level2", "1"},
       // clang-format off
       CliOk, "Night: 11 13\nDay: 10\n", ""},
      {{f, "--kind", "1", "--reference", "Line", "--data", "After", "--level1", "1"}, CliOk,
       "1: 12 14\n", ""},
      {{f, "--group1", "Before", "--group2", "Wieght"}, CliUsage, "",
       // clang-format on
       "sorvelstats-cli: --group2: no column 'Wieght'\n"},
      {{f, "--reference", "Shift", "--data", "Before", "--level1", "Day", "--level2", "Evening"},
       // clang-format off
       CliUsage, "", "sorvelstats-cli: --level2: no level 'Evening' in column 'Shift'\n"},
      {{f, "--reference", "Line", "--data", "Before", "--level1", "4", "--level2", "1"}, CliUsage,
       "", "sorvelstats-cli: --level1: no level '4' in column 'Line'\n"},
      {{f, "--kind", "4", "--reference", "Line", "--data", "Before", "--level1", "1", "--level2", "2"},
       CliUsage, "", "sorvelstats-cli: two dependent samples take --group1 and --group2, not --reference\n"},
      // clang-format on
      {{"--group1", "Before"}, CliUsage, "", "sorvelstats-cli: --group1 needs a data file\n"},
      {{"--missing", "X = 0"}, CliUsage, "", "sorvelstats-cli: --missing needs a data file\n"},
  };
  for (const TCase& c : cases) {
    std::vector<std::string> args{Probe};
    for (const auto& a : c.Args) args.push_back(a == f ? file_ : a);
    const TCliRun r = Cli(args);
    std::string shown;
    for (const auto& a : c.Args) shown += " " + a;
    EXPECT_EQ(r.Status, c.Status) << shown << ": " << r.Err;
    EXPECT_EQ(r.Out, c.Out) << shown;
    EXPECT_EQ(r.Err, c.Err) << shown;
  }
}

TEST_F(CliColumnSelection, HelpListsTheOptionsAndTheOptionalDataFile) {
  const TCliRun r = Cli({Probe, "--help"});
  ASSERT_EQ(r.Status, CliOk);
  EXPECT_NE(r.Out.find("Usage: sorvelstats-cli selection-probe [DATAFILE] [--option value ...]"),
            std::string::npos)
      << r.Out;
  for (const char* o :
       {"--group1 COLUMN", "--group2 COLUMN", "--exclude-incomplete-pairs ", "--reference COLUMN",
        "--data COLUMN", "--level1 TEXT", "--level2 TEXT", "--missing RULE"})
    EXPECT_NE(r.Out.find(o), std::string::npos) << o;
}

}  // namespace
}  // namespace sorvel
