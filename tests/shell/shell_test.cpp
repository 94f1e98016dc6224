#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "numerics/settings_store.h"
#include "shell/analysis_registry.h"
#include "shell/command_table.h"
#include "shell/mru.h"
#include "shell/startup.h"

using namespace sorvel;

TEST(CommandTable, NamesFollowTheCaptionRule) {
  struct Case {
    const char* caption;
    const char* name;
  };
  const Case cases[] = {
      {"&Mean/Dispersion Tests", "mean-dispersion-tests"},
      {"McNemar's Test", "mcnemars-test"},
      {"&z Score (Normal)", "z-score-normal"},
      {"Capability/Performance && Distribution Analysis",
       "capability-performance-distribution-analysis"},
      {"&Open...", "open"},
      {"E&xit", "exit"},
  };
  for (const auto& c : cases) EXPECT_EQ(CommandName(c.caption), c.name) << c.caption;
}

TEST(CommandTable, EveryCommandHasAUniqueNameAndAKnownMenu) {
  std::set<std::string> names, menus;
  for (const auto& m : MainMenus()) menus.insert(m.Name);
  for (const auto& e : CommandTable()) {
    EXPECT_TRUE(names.insert(e.Name).second) << "duplicate " << e.Name;
    EXPECT_TRUE(menus.count(e.Menu)) << e.Caption;
  }
  EXPECT_EQ(FindCommand("test-statistics")->WindowCaption, "Test Statistics");
  EXPECT_EQ(FindCommand("z-score-normal")->WindowCaption, "z - Score");
  EXPECT_EQ(FindCommand("explore")->Key, "F5");
}

TEST(CommandTable, StripAcceleratorKeepsDoubledAmpersand) {
  EXPECT_EQ(StripAccelerator("Capability/Performance && Distribution Analysis"),
            "Capability/Performance & Distribution Analysis");
  EXPECT_EQ(StripAccelerator("Cross&tabs"), "Crosstabs");
}

TEST(CommandTable, ShellCommandsAreAvailableAndUnbuiltAnalysesAreNot) {
  EXPECT_TRUE(IsCommandAvailable("stay-on-top"));
  EXPECT_TRUE(IsCommandAvailable("about"));
  EXPECT_FALSE(IsCommandAvailable("omega-squared"));
  EXPECT_FALSE(IsCommandAvailable("no-such-command"));
}

class MruTest : public ::testing::Test {
 protected:
  void SetUp() override { SetSettingsStore(&store); }
  void TearDown() override { SetSettingsStore(nullptr); }
  void Fill() {
    for (int i = 1; i <= 9; ++i)
      store.Write("MRU Files", "File" + std::to_string(i), "/d/f" + std::to_string(i));
  }
  std::vector<std::string> Slots() {
    std::vector<std::string> v;
    for (int i = 1; i <= 9; ++i) v.push_back(*store.Read("MRU Files", "File" + std::to_string(i)));
    return v;
  }
  MemorySettingsStore store;
  TMRUFiles mru;
};

TEST_F(MruTest, ReadCreatesMissingValuesEmpty) {
  mru.Read();
  for (const auto& f : mru.Flist) EXPECT_EQ(f, "");
  EXPECT_EQ(store.Read("MRU Files", "File9"), std::optional<std::string>(""));
}

TEST_F(MruTest, PathInSlotFiveMovesToTopAndShiftsOnlySlotsAbove) {
  Fill();
  mru.UpdateList("/D/F5");  // names compare without case
  EXPECT_EQ(Slots(), (std::vector<std::string>{"/D/F5", "/d/f1", "/d/f2", "/d/f3", "/d/f4", "/d/f6",
                                               "/d/f7", "/d/f8", "/d/f9"}));
}

TEST_F(MruTest, NewPathDropsSlotNine) {
  Fill();
  mru.UpdateList("/new/file.dat");
  EXPECT_EQ(Slots(), (std::vector<std::string>{"/new/file.dat", "/d/f1", "/d/f2", "/d/f3", "/d/f4",
                                               "/d/f5", "/d/f6", "/d/f7", "/d/f8"}));
}

TEST_F(MruTest, PathAlreadyFirstChangesNothing) {
  Fill();
  mru.UpdateList("/D/F1");
  EXPECT_EQ(Slots()[0], "/d/f1");
  EXPECT_EQ(Slots()[1], "/d/f2");
}

TEST_F(MruTest, CaptionsAndLastPath) {
  Fill();
  mru.Read();
  EXPECT_EQ(mru.Caption(3), "&3  /d/f3");
  EXPECT_EQ(PathFromMruCaption(mru.Caption(3)), "/d/f3");
  EXPECT_EQ(mru.LastPath(), "/d");
}

TEST(Startup, CommandLineArgumentDropsQuotesAndBlanks) {
  EXPECT_EQ(CommandLineArgument({"\"/home/a b/data.sorvel\"  "}), "/home/a b/data.sorvel");
  EXPECT_EQ(CommandLineArgument({"/home/a", "b.dat"}), "/home/a b.dat");
  EXPECT_EQ(CommandLineArgument({}), "");
}

TEST(Startup, StartFileResolvesLastInAnyCaseAndIgnoresMissingFiles) {
  auto dir = std::filesystem::temp_directory_path() / "sorvel_startup_test";
  std::filesystem::create_directories(dir);
  auto file = (dir / "recent.dat").string();
  std::ofstream(file) << "1\n";
  TMRUFiles mru;
  mru.Flist[0] = file;
  EXPECT_EQ(StartFile("@last", mru), file);
  EXPECT_EQ(StartFile("@LAST", mru), file);
  EXPECT_EQ(StartFile(file, mru), file);
  EXPECT_EQ(StartFile((dir / "missing.dat").string(), mru), "");
  EXPECT_EQ(StartFile(dir.string(), mru), "");  // a folder is not a data file
  mru.Flist[0] = "";
  EXPECT_EQ(StartFile("@LAST", mru), "");
  std::filesystem::remove_all(dir);
}

TEST(Startup, SecondAndThirdCopiesAreNumbered) {
  std::set<std::string> running;
  auto taken = [&](const std::string& c) { return running.count(c) > 0; };
  EXPECT_EQ(ChooseMainCaption(taken), "Sorvelstats");
  running.insert("Sorvelstats");
  EXPECT_EQ(ChooseMainCaption(taken), "Sorvelstats (2)");
  running.insert("Sorvelstats (2)");
  EXPECT_EQ(ChooseMainCaption(taken), "Sorvelstats (3)");
}
