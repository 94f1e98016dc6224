// data-copy reads and writes through the editor's Open and Save: the examples come back
// byte for byte, and a copy of a copy is the copy.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "data/data_state.h"

namespace sorvel {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

int RunData(std::vector<std::string> args, std::string* out = nullptr) {
  std::ostringstream o, e;
  int status = RunCli(args, o, e);
  if (out) *out = o.str();
  return status;
}

TEST(DataCommands, CopyKeepsEveryCell) {
  fs::path dir = fs::temp_directory_path() / ("sorvel_data_copy_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path examples = fs::path(SORVEL_SOURCE_DIR) / "examples";
  for (const char* name :
       {"process.sorvel", "fill_weights.sorvel", "defects.sorvel", "heights.dat"}) {
    fs::path in = examples / name, once = dir / "once.dat", twice = dir / "twice.dat";
    ASSERT_EQ(RunData({"data-copy", in.string(), once.string()}), 0) << name;
    ASSERT_EQ(RunData({"data-copy", once.string(), twice.string()}), 0) << name;
    EXPECT_EQ(Bytes(once), Bytes(twice)) << name;
    // The examples are written the way the writer writes, except for heights.dat's comment.
    if (std::string(name) != "heights.dat") {
      EXPECT_EQ(Bytes(in), Bytes(once)) << name;
    }
    std::string infoIn, infoCopy;
    RunData({"data-info", in.string()}, &infoIn);
    RunData({"data-info", once.string()}, &infoCopy);
    EXPECT_EQ(infoIn, infoCopy) << name;
  }
  // --no-names and --no-descriptions leave those lines out.
  fs::path bare = dir / "bare.dat";
  ASSERT_EQ(RunData({"data-copy", (examples / "process.sorvel").string(), bare.string(),
                     "--no-names", "--no-descriptions"}),
            0);
  EXPECT_EQ(Bytes(bare).substr(0, 7), "1\t10.01");
  fs::remove_all(dir);
  ResetDataState();
}

// An OUT ending in .csv is written comma-separated and reads back as the same data set;
// R's file keeps its numbers, missing values and names through both layouts.
TEST(DataCommands, CopyToCsvKeepsTheDataSet) {
  fs::path dir = fs::temp_directory_path() / ("sorvel_data_copy_csv_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path examples = fs::path(SORVEL_SOURCE_DIR) / "examples";
  for (const char* name : {"airquality.csv", "process.sorvel", "defects.sorvel"}) {
    fs::path in = examples / name, csv = dir / "once.csv", again = dir / "twice.csv",
             tab = dir / "tab.dat";
    ASSERT_EQ(RunData({"data-copy", in.string(), csv.string()}), 0) << name;
    ASSERT_EQ(RunData({"data-copy", csv.string(), again.string()}), 0) << name;
    ASSERT_EQ(RunData({"data-copy", csv.string(), tab.string()}), 0) << name;
    EXPECT_EQ(Bytes(csv), Bytes(again)) << name;
    EXPECT_EQ(Bytes(csv).find('\t'), std::string::npos) << name;
    std::string infoIn, infoCsv, infoTab;
    RunData({"data-info", in.string()}, &infoIn);
    RunData({"data-info", csv.string()}, &infoCsv);
    RunData({"data-info", tab.string()}, &infoTab);
    EXPECT_EQ(infoIn, infoCsv) << name;
    EXPECT_EQ(infoIn, infoTab) << name;
  }
  std::string info;
  RunData({"data-info", (examples / "airquality.csv").string()}, &info);
  EXPECT_NE(info.find("Column 2: Ozone\n  Title: \n  LSL: -  Target: -  USL: -\n  Type: numeric\n  "
                      "Valid: 116  Missing: 37"),
            std::string::npos)
      << info;
  fs::remove_all(dir);
  ResetDataState();
}

}  // namespace
}  // namespace sorvel
