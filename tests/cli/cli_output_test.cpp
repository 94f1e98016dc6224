// The command line's output options: rich text and pictures.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli_run.h"
#include "numerics/picture.h"

namespace sorvel {
namespace {

TCliRun RunArgs(std::vector<std::string> args) { return Cli(std::move(args)); }

class CliChartTest : public ::testing::Test {
 protected:
  void TearDown() override { SetPictureSaver(nullptr); }
};

TEST_F(CliChartTest, WithoutQtTheChartIsRefusedBeforeAnythingRuns) {
  SetPictureSaver(nullptr);
  TCliRun r = RunArgs({"test-statistics", "--value", "1.96", "--chart", "z.png"});
  EXPECT_EQ(r.Status, CliUsage);
  EXPECT_EQ(r.Out, "");
  EXPECT_NE(r.Err.find("no Qt"), std::string::npos) << r.Err;
}

TEST_F(CliChartTest, SaverGetsThePictureOfTheReport) {
  std::vector<std::string> saved;
  int items = 0;
  SetPictureSaver([&](const TGraphicToSave& g, const std::string& path, std::string&) {
    saved.push_back(path);
    items = g.Picture && !g.Chart ? static_cast<int>(g.Picture->Items.size()) : -1;
    return true;
  });
  for (std::string file : {"z.png", "Z.SVG", "z.pdf"}) {
    TCliRun r = RunArgs({"test-statistics", "--value", "1.96", "--chart", file});
    EXPECT_EQ(r.Status, CliOk) << r.Err;
    EXPECT_NE(r.Out.find("p-Value = 0.0500"), std::string::npos);
  }
  EXPECT_EQ(saved, (std::vector<std::string>{"z.png", "Z.SVG", "z.pdf"}));
  EXPECT_GT(items, 5);  // background, texts, curve, tails, axis, marker, arrow
}

TEST_F(CliChartTest, RefusedInputDrawsNothing) {
  bool called = false;
  SetPictureSaver([&](const TGraphicToSave&, const std::string&, std::string&) {
    called = true;
    return true;
  });
  TCliRun r = RunArgs({"test-statistics", "--distribution", "t", "--chart", "t.png"});
  EXPECT_EQ(r.Status, CliRefused);
  EXPECT_EQ(r.Err, "Degrees of Freedom must be > 0!\n");
  EXPECT_FALSE(called);
}

TEST_F(CliChartTest, UnknownPictureTypeIsAUsageError) {
  SetPictureSaver([](const TGraphicToSave&, const std::string&, std::string&) { return true; });
  for (std::string file : {"z.jpg", "z", "dir.png/z"}) {
    TCliRun r = RunArgs({"test-statistics", "--chart", file});
    EXPECT_EQ(r.Status, CliUsage) << file;
  }
}

TEST_F(CliChartTest, ChartSizeReachesTheSaver) {
  int width = -1, height = -1;
  SetPictureSaver([&](const TGraphicToSave& g, const std::string&, std::string&) {
    width = g.Width;
    height = g.Height;
    return true;
  });
  TCliRun r = RunArgs({"test-statistics", "--chart", "z.png", "--chart-size", "800x500"});
  EXPECT_EQ(r.Status, CliOk) << r.Err;
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 500);
  r = RunArgs({"test-statistics", "--chart", "z.png"});
  EXPECT_EQ(width, 0) << "no size: the graphic's own";
  for (std::string bad : {"800", "800x", "x500", "8x500", "800x-5", "1e3x500", "800x500x2"}) {
    r = RunArgs({"test-statistics", "--chart", "z.png", "--chart-size", bad});
    EXPECT_EQ(r.Status, CliUsage) << bad;
    EXPECT_NE(r.Err.find("--chart-size takes"), std::string::npos) << r.Err;
  }
}

TEST_F(CliChartTest, FailedSaveIsAFileError) {
  SetPictureSaver([](const TGraphicToSave&, const std::string&, std::string& why) {
    why = "disk full";
    return false;
  });
  TCliRun r = RunArgs({"test-statistics", "--chart", "z.png"});
  EXPECT_EQ(r.Status, CliFileError);
  EXPECT_NE(r.Err.find("disk full"), std::string::npos);
}

TEST(CliFormatTest, RtfGoesToTheOutputFile) {
  namespace fs = std::filesystem;
  fs::path file = fs::temp_directory_path() / "sorvel_cli_output_test.rtf";
  TCliRun r =
      RunArgs({"test-statistics", "--value", "1.96", "--format", "rtf", "--output", file.string()});
  ASSERT_EQ(r.Status, CliOk) << r.Err;
  EXPECT_EQ(r.Out, "");
  std::ifstream f(file, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  EXPECT_EQ(ss.str().rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(ss.str().find("p-Value = 0.0500\\par"), std::string::npos);
  fs::remove(file);
}

}  // namespace
}  // namespace sorvel
