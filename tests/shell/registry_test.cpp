// One table of truth: every registered analysis against the command table and its own
// option specs.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <set>

#include "data/data_list.h"
#include "data/io/data_file.h"
#include "shell/analysis_registry.h"
#include "shell/command_table.h"

namespace sorvel {
namespace {

bool CommandShaped(const std::string& s) {
  static const std::regex shape("[a-z0-9]+(-[a-z0-9]+)*");
  return std::regex_match(s, shape);
}

// A choice's value: command-shaped, or a relation as the hypotheses are written ("--hyp-means >=").
bool ChoiceShaped(const std::string& s) {
  return CommandShaped(s) || s == "=" || s == ">=" || s == "<=";
}

TEST(AnalysisRegistryWalk, EveryAnalysisIsACommandWithSoundOptions) {
  TDataList data;
  ASSERT_TRUE(ReadDataBytes("A\tB\r\n1\t2\r\n", data).Ok);
  ASSERT_FALSE(AnalysisRegistry().All().empty());
  for (const TAnalysis& a : AnalysisRegistry().All()) {
    SCOPED_TRACE(a.Name);
    const TCommandEntry* e = FindCommand(a.Name);
    ASSERT_NE(e, nullptr) << "not in the command table";
    EXPECT_EQ(e->Kind, TCommandKind::Analysis);
    EXPECT_TRUE(IsCommandAvailable(a.Name));
    EXPECT_TRUE(RunsFromCommandLine(a.Name));
    EXPECT_TRUE(a.Run);
    EXPECT_FALSE(a.Summary.empty());
    std::set<std::string> names;
    for (const TOptionSpec& o : a.Options) {
      SCOPED_TRACE(o.Name);
      EXPECT_TRUE(CommandShaped(o.Name));
      EXPECT_TRUE(names.insert(o.Name).second) << "declared twice";
      EXPECT_FALSE(o.Help.empty());
      for (const char* common : {"format", "output", "chart", "help"}) EXPECT_NE(o.Name, common);
      if (o.Kind == TOptionKind::Choice) {
        std::set<std::string> values;
        std::set<int> codes;
        bool defaultOffered = false;
        for (const TChoice& c : o.Choices) {
          EXPECT_TRUE(ChoiceShaped(c.Value)) << c.Value;
          EXPECT_FALSE(c.Caption.empty());
          EXPECT_TRUE(values.insert(c.Value).second) << c.Value;
          EXPECT_TRUE(codes.insert(c.Code).second) << c.Value;
          defaultOffered = defaultOffered || c.Value == o.Default;
        }
        EXPECT_TRUE(defaultOffered) << o.Default;
      }
    }
    EXPECT_EQ(a.FindOption("decimals") != nullptr, a.HasDecimals) << a.Name;
    // The window at start is a valid input.
    TValidation v = ValidateOptions(a, {}, a.NeedsData ? &data : nullptr);
    EXPECT_TRUE(v.Ok) << v.Message;
  }
}

TEST(AnalysisRegistryWalk, CommandLineCommandsAndWindowsAreTold) {
  EXPECT_TRUE(RunsFromCommandLine("data-info"));
  EXPECT_TRUE(RunsFromCommandLine("data-copy"));
  EXPECT_FALSE(RunsFromCommandLine("about"));
  EXPECT_FALSE(RunsFromCommandLine("data-editor"));
  EXPECT_TRUE(IsCommandAvailable("data-editor"));
  for (const auto& e : WindowsWithoutMenu()) {
    EXPECT_TRUE(CommandShaped(e.Name)) << e.Name;
    EXPECT_EQ(FindCommand(e.Name), &e);
    EXPECT_EQ(std::count_if(CommandTable().begin(), CommandTable().end(),
                            [&](const TCommandEntry& m) { return m.Name == e.Name; }),
              0)
        << e.Name;
  }
}

}  // namespace
}  // namespace sorvel
