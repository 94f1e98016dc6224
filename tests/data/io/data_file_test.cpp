#include "data/io/data_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "data/data_state.h"

namespace sorvel {
namespace {

namespace fs = std::filesystem;

using Rows = std::vector<std::vector<std::string>>;

// Every cell of the data grid, names row first (case numbers left out).
Rows Cells(const TDataList& d) {
  Rows rows;
  for (int r = 0; r < d.DataGrid.RowCount(); ++r) {
    std::vector<std::string> row;
    for (int c = 1; c < d.DataGrid.ColCount(); ++c) row.push_back(d.DataGrid.Cell(c, r));
    rows.push_back(row);
  }
  return rows;
}
Rows DescCells(const TDataList& d) {
  Rows rows;
  for (int r = 0; r < 5; ++r) {
    std::vector<std::string> row;
    for (int c = 1; c < d.DescGrid.ColCount(); ++c) row.push_back(d.DescGrid.Cell(c, r));
    rows.push_back(row);
  }
  return rows;
}

struct TRead {
  TFileResult Result;
  std::unique_ptr<TDataList> List = std::make_unique<TDataList>();
};
TRead Read(const std::string& bytes) {
  TRead r;
  r.Result = ReadDataBytes(bytes, *r.List);
  return r;
}

std::string FileBytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}
void WriteBytes(const fs::path& p, const std::string& bytes) {
  std::ofstream f(p, std::ios::binary);
  f << bytes;
}

class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDataState();
    Dir = fs::temp_directory_path() /
          ("sorvel_data_file_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override {
    ResetDataState();
    std::error_code ec;
    fs::permissions(Dir, fs::perms::owner_all, ec);
    fs::remove_all(Dir, ec);
  }
  fs::path Dir;
};

TEST_F(DataFileTest, ReadsNamesDescriptionsAndDataLines) {
  struct Case {
    const char* name;
    std::string bytes;
    Rows cells;  // names row first
  };
  const Case cases[] = {
      {"names line",
       "Height\tWeight\r\n170\t65\r\n180\t72\r\n",
       {{"Height", "Weight"}, {"170", "65"}, {"180", "72"}}},
      {"no names line", "170\t65\r\n180\t72\r\n", {{"Col1", "Col2"}, {"170", "65"}, {"180", "72"}}},
      {"a number makes it data",
       "Height\t2019\r\n1\t2\r\n",
       {{"Col1", "Col2"}, {"Height", "2019"}, {"1", "2"}}},
      {"2147483647 is a number too",
       "Year\t2147483647\r\n1\t2\r\n",
       {{"Col1", "Col2"}, {"Year", "2147483647"}, {"1", "2"}}},
      {"and -2147483647", "Year\t-2147483647\r\n", {{"Col1", "Col2"}, {"Year", "-2147483647"}}},
      // clang-format off
      {"names only on the first line", "* comment\r\nA\tB\r\n1\t2\r\n", {{"Col1", "Col2"}, {"A", "B"}, {"1", "2"}}},
      {"names after a title line are data", "Title:\tT\r\nA\tB\r\n", {{"Col1", "Col2"}, {"A", "B"}}},
      {"trailing tab names a third column", "A\tB\t\r\n1\t2\t3\r\n", {{"A", "B", "Col3"}, {"1", "2", "3"}}},
      {"names without tabs split at blanks", "First Name,Last Name\r\n1\r\n",
       // clang-format on
       {{"First", "Name", "Last", "Name"}, {"1", "", "", ""}}},
      // clang-format off
      {"wide data lines add columns", "A\tB\r\n1\t2\t3\t4\r\n", {{"A", "B", "Col3", "Col4"}, {"1", "2", "3", "4"}}},
      {"separators", "1,2,3\r\n1 2   3\r\n1\t\t3\r\n1,,3\r\n1\t2\t\r\n",
       {{"Col1", "Col2", "Col3"}, {"1", "2", "3"}, {"1", "2", "3"}, {"1", "", "3"}, {"1", "", "3"}, {"1", "2", ""}}},
      // clang-format on
      {"comments and blank lines skipped", "*x\r\n\r\n5\r\n* y\r\n6\r\n", {{"Col1"}, {"5"}, {"6"}}},
      {"empty file", "", {{"Col1"}, {""}}},
      {"fields trimmed", "1\r\n  a \t b\x01\r\n", {{"Col1", "Col2"}, {"1", ""}, {"a", "b"}}},
  };
  for (const auto& c : cases) {
    TRead r = Read(c.bytes);
    ASSERT_TRUE(r.Result.Ok) << c.name;
    EXPECT_EQ(Cells(*r.List), c.cells) << c.name;
    EXPECT_EQ(r.List->DescGrid.ColCount(), r.List->DataGrid.ColCount()) << c.name;
  }
}

TEST_F(DataFileTest, DescriptionLines) {
  TRead r = Read(
      "Length\tMass\r\nTitle:\tBar length\tBar "
      "mass\r\nusl:\t10\r\nTARGET:\t9\t\t\r\nLSL:\t8\t1.5\r\n9.5\t2\r\n");
  ASSERT_TRUE(r.Result.Ok);
  EXPECT_TRUE(r.Result.NamesRead);
  EXPECT_TRUE(r.Result.DescriptionsRead);
  EXPECT_EQ(
      DescCells(*r.List),
      (Rows{{"Length", "Mass"}, {"Bar length", "Bar mass"}, {"10", ""}, {"9", ""}, {"8", "1.5"}}));
  EXPECT_EQ(r.List->ColumnLSL(2), 1.5);
  EXPECT_EQ(r.List->Ncount, 1);
  EXPECT_EQ(r.List->DescGrid.Cell(0, 3), "Target:");

  // One tab or blank after the ":" separates; any other character starts the first field,
  // whole when it takes several bytes.
  struct Case {
    const char* name;
    std::string line;
    std::vector<std::string> titles;
  };
  const Case cases[] = {
      {"tab, as written", "Title:\tLength\tMass", {"Length", "Mass"}},
      {"nothing between", "Title:Length\tMass", {"Length", "Mass"}},
      {"a blank", "Title: Length\tMass", {"Length", "Mass"}},
      {"empty first title", "Title:\t\tMass", {"", "Mass"}},
      {"UTF-8 letter first",
       "Title:\xC3\xA9"
       "A\tB",
       {"\xC3\xA9"
        "A",
        "B"}},
      {"Windows-1252 letter first",
       "Title:\xE9"
       "A\tB",
       {"\xC3\xA9"
        "A",
        "B"}},
      {"nothing after", "Title:", {"", ""}},
  };
  for (const auto& c : cases) {
    TRead t = Read(c.line + "\r\n1\t2\r\n");
    ASSERT_TRUE(t.Result.Ok) << c.name;
    EXPECT_EQ(DescCells(*t.List)[1], c.titles) << c.name;
  }
  TRead usl = Read("usl:10\t20\r\n1\t2\r\n");
  EXPECT_EQ(usl.List->ColumnUSL(1), 10);
  EXPECT_EQ(usl.List->ColumnUSL(2), 20);
}

TEST_F(DataFileTest, EncodingsAndLineEnds) {
  struct Case {
    const char* name;
    std::string bytes;
    Rows cells;
  };
  const Rows plain = {{"Name", "X"}, {"a", "1"}, {"b", "2"}};
  const Case cases[] = {
      {"CR LF", "Name\tX\r\na\t1\r\nb\t2\r\n", plain},
      {"LF", "Name\tX\na\t1\nb\t2\n", plain},
      {"CR", "Name\tX\ra\t1\rb\t2\r", plain},
      {"mixed", "Name\tX\r\na\t1\rb\t2\n", plain},
      {"no last line end", "Name\tX\r\na\t1\r\nb\t2", plain},
      {"byte-order mark", "\xEF\xBB\xBFName\tX\r\na\t1\r\nb\t2\r\n", plain},
      {"UTF-8 kept",
       "Gr\xC3\xB6\xC3\x9F"
       "e\r\n\xE2\x82\xAC"
       "5\r\n",
       {{"Gr\xC3\xB6\xC3\x9F"
         "e"},
        {"\xE2\x82\xAC"
         "5"}}},
      {"Windows-1252 converted",
       "Caf\xE9\r\n\x80"
       "5\r\n",
       {{"Caf\xC3\xA9"},
        {"\xE2\x82\xAC"
         "5"}}},
      {"mixed bytes in one line", "\xC3\xA9\xE9\x81\r\n", {{"\xC3\xA9\xC3\xA9\xC2\x81"}, {""}}},
      {"overlong and surrogate forms are not UTF-8",
       "\xC0\xAF\tx\xED\xA0\x80\r\n",
       {{"\xC3\x80\xC2\xAF", "x\xC3\xAD\xC2\xA0\xE2\x82\xAC"}, {"", ""}}},
  };
  for (const auto& c : cases) {
    TRead r = Read(c.bytes);
    ASSERT_TRUE(r.Result.Ok) << c.name;
    EXPECT_EQ(Cells(*r.List), c.cells) << c.name;
  }
}

// Text as UTF-16 with its byte-order mark, from UTF-8.
std::string Utf16(std::string_view utf8, bool bigEndian) {
  std::u16string units;
  for (size_t i = 0; i < utf8.size();) {
    auto b = static_cast<unsigned char>(utf8[i]);
    int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t cp = len == 1 ? b : b & (0x7F >> len);
    for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += len;
    if (cp >= 0x10000) {
      units += char16_t(0xD800 + ((cp - 0x10000) >> 10));
      units += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      units += char16_t(cp);
    }
  }
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t u : units) {
    char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    bytes += bigEndian ? hi : lo;
    bytes += bigEndian ? lo : hi;
  }
  return bytes;
}

TEST_F(DataFileTest, Utf16FilesAreDecoded) {
  // "Unicode text" as spreadsheet programs export it.
  const std::string text =
      "Gr\xC3\xB6\xC3\x9F"
      "e\tTitle\r\nTitle:\t\xE2\x82\xAC\r\n1,5\t\xF0\x90\x8D\x88\r\n2\tx\r\n";
  const Rows cells = {{"Gr\xC3\xB6\xC3\x9F"
                       "e",
                       "Title"},
                      {"1,5", "\xF0\x90\x8D\x88"},
                      {"2", "x"}};
  for (bool big : {false, true}) {
    SCOPED_TRACE(big ? "big-endian" : "little-endian");
    TRead r = Read(Utf16(text, big));
    ASSERT_TRUE(r.Result.Ok);
    EXPECT_EQ(Cells(*r.List), cells);
    EXPECT_EQ(r.List->ColumnTitle(1), "\xE2\x82\xAC");
    EXPECT_EQ(r.List->Value(1, 1), 15);
    EXPECT_TRUE(r.List->StringVar[2]);
  }
  // Broken text: a lone surrogate and an odd last byte become U+FFFD.
  struct Case {
    const char* name;
    std::string bytes;
    Rows cells;
  };
  const std::string fffd = "\xEF\xBF\xBD";
  const Case broken[] = {
      // clang-format off
      {"lone high surrogate", std::string("\xFF\xFE" "a\0\x00\xD8" "b\0", 8), {{"a" + fffd + "b"}}},
      {"lone low surrogate", std::string("\xFF\xFE\x00\xDC" "1\0", 6), {{fffd + "1"}}},
      {"high surrogate at the end", std::string("\xFF\xFE" "a\0\x00\xD8", 6), {{"a" + fffd}}},
      {"odd last byte", std::string("\xFF\xFE" "a\0b", 5), {{"a" + fffd}}},
      // clang-format on
      {"only the mark", "\xFF\xFE", {{"Col1"}, {""}}},
  };
  for (const auto& c : broken) {
    TRead r = Read(c.bytes);
    ASSERT_TRUE(r.Result.Ok) << c.name;
    Rows got = Cells(*r.List);
    if (c.cells.size() == 1) got.resize(1);  // the names line is what the case checks
    EXPECT_EQ(got, c.cells) << c.name;
  }
  // A surrogate pair split between two reads of the file (1 MiB each after the mark),
  // read through the file reader: one line of 10 bytes puts a pair across the boundary.
  std::string many;
  while (many.size() < (std::size_t(3) << 20)) many += "ab\xF0\x90\x8D\x88\n";
  const fs::path file = Dir / "unicode.txt";
  WriteBytes(file, Utf16(many, false));
  auto list = std::make_unique<TDataList>();
  TFileResult r = ReadDataFile(file.string(), *list);
  ASSERT_TRUE(r.Ok);
  ASSERT_EQ(list->Ncount, static_cast<int>(many.size() / 7) - 1);  // the first line: names
  for (int row = 1; row <= list->Ncount; ++row)
    ASSERT_EQ(list->DataGrid.View(1, row), "ab\xF0\x90\x8D\x88") << "row " << row;

  // Saving writes UTF-8, which reads back the same.
  TRead utf16 = Read(Utf16(text, false));
  TRead back = Read(DataFileText(*utf16.List, {}));
  EXPECT_EQ(Cells(*back.List), cells);
}

TEST_F(DataFileTest, LinesAcrossReadBlocks) {
  // The reader takes the file in blocks of 4 MiB: a line that straddles a block boundary,
  // its digits or its CR LF split between two blocks, must stay one line.
  const size_t block = size_t(4) << 20;
  struct Case {
    const char* name;
    std::string prefix, line;
  };
  const Case cases[] = {
      {"digits split", "*\r\n", "123456\r\n"},
      {"CR LF split", "*23456\r\n\n", "123456\r\n"},
      {"CR lines", "*\r", "123456\r"},
  };
  for (const auto& c : cases) {
    std::string bytes = c.prefix;
    size_t lines = 0;
    while (bytes.size() < 2 * block + 100) {
      bytes += c.line;
      ++lines;
    }
    TRead r = Read(bytes);
    ASSERT_TRUE(r.Result.Ok) << c.name;
    ASSERT_EQ(r.List->Ncount, static_cast<int>(lines)) << c.name;
    for (int row = 1; row <= r.List->Ncount; ++row)
      ASSERT_EQ(r.List->DataGrid.View(1, row), "123456") << c.name << " row " << row;
  }
}

TEST_F(DataFileTest, LinesWiderThan512FieldsAreTruncatedWithOneWarning) {
  std::string wide;
  for (int i = 1; i <= 700; ++i) wide += std::to_string(i) + (i < 700 ? "\t" : "\r\n");
  std::string names;
  for (int i = 1; i <= 600; ++i) names += "n" + std::to_string(i) + (i < 600 ? "\t" : "\r\n");
  TRead r = Read(names + wide + wide);
  ASSERT_TRUE(r.Result.Ok);
  EXPECT_EQ(r.Result.Warnings, std::vector<std::string>{ColumnsTruncatedText});
  EXPECT_EQ(r.List->MaxCol(), 512);
  EXPECT_EQ(r.List->ColumnName(512), "n512");
  EXPECT_EQ(r.List->DataGrid.Cell(512, 2), "512");
  EXPECT_EQ(r.List->Ncount, 2);

  TRead ok = Read(wide.substr(0, wide.find("513")) + "\r\n");
  EXPECT_TRUE(ok.Result.Warnings.empty());
  EXPECT_EQ(ok.List->MaxCol(), 512);
}

TEST_F(DataFileTest, LinesLongerThanTheLimitStopTheRead) {
  // The limit is a parameter so that a small one shows the rule; the real one is 256 MB.
  const std::size_t limit = 10000;
  const std::string at(limit, 'x'), over(limit + 1, 'x');
  struct Case {
    const char* name;
    std::string bytes;
    bool ok;
  };
  const Case cases[] = {
      {"at the limit, CR LF", "1\r\n" + at + "\r\n2\r\n", true},
      {"at the limit, CR", "1\r" + at + "\r2\r", true},
      {"at the limit, last line", "1\n" + at, true},
      {"over, CR LF", "1\r\n" + over + "\r\n2\r\n", false},
      {"over, last line", "1\n" + over, false},
      {"over, first line", over + "\n", false},
      {"no line end at all", std::string(5 * limit, '\0'), false},
  };
  for (const auto& c : cases) {
    auto list = std::make_unique<TDataList>();
    TFileResult r = ReadDataBytes(c.bytes, *list, {}, limit);
    EXPECT_EQ(r.Ok, c.ok) << c.name;
    if (!c.ok) {
      EXPECT_EQ(r.Error, FileReadErrorText) << c.name;
    }
  }
  // From a file, in blocks: the buffer stops growing at the limit.
  const fs::path file = Dir / "zeros.dat";
  WriteBytes(file, "A\r\n" + std::string(std::size_t(20) << 20, '\0'));
  auto list = std::make_unique<TDataList>();
  TFileResult r = ReadDataFile(file.string(), *list, {}, std::size_t(1) << 20);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Error, FileReadErrorText);
  EXPECT_NE(r.Detail.find("line 2"), std::string::npos) << r.Detail;
  EXPECT_TRUE(ReadDataFile(file.string(), *std::make_unique<TDataList>()).Ok);  // under 256 MB
}

TEST_F(DataFileTest, ProgressMovesAndCanStop) {
  std::string bytes;
  for (int i = 0; i < 800000; ++i) bytes += std::to_string(i) + "\t1\r\n";
  std::vector<double> seen;
  auto list = std::make_unique<TDataList>();
  TFileResult r = ReadDataBytes(bytes, *list, [&](double f) {
    seen.push_back(f);
    return true;
  });
  ASSERT_TRUE(r.Ok);
  ASSERT_GE(seen.size(), 3u);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(seen.back(), 1.0);

  auto stopped = std::make_unique<TDataList>();
  int calls = 0;
  r = ReadDataBytes(bytes, *stopped, [&](double) { return ++calls < 2; });
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Error, FileStoppedText);
}

TEST_F(DataFileTest, FailedOpenKeepsTheCurrentDataSet) {
  fs::path good = Dir / "good.dat";
  WriteBytes(good, "A\tB\r\n1\t2\r\n");
  ASSERT_TRUE(FileToDataGrid(good.string()).Ok);
  DataList().SetCellText(1, 1, "5");
  DataEditor.FileModified = true;
  const int newData = NewDataCount;

  struct Case {
    const char* name;
    fs::path path;
    const char* error;
  };
  fs::create_directories(Dir / "folder.dat");
  const fs::path fifo = Dir / "pipe.dat";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const Case cases[] = {
      {"missing file", Dir / "missing.dat", FileSizeErrorText},
      {"a folder", Dir / "folder.dat", FileReadErrorText},
      // Neither has a line end, or an end: they are refused before reading.
      {"a device", "/dev/zero", FileReadErrorText},
      {"a pipe without a writer", fifo, FileReadErrorText},
  };
  for (const auto& c : cases) {
    TFileResult r = FileToDataGrid(c.path.string());
    EXPECT_FALSE(r.Ok) << c.name;
    EXPECT_EQ(r.Error, c.error) << c.name;
    EXPECT_EQ(DataEditor.DataFilename, good.string()) << c.name;
    EXPECT_TRUE(DataEditor.FileModified) << c.name;
    EXPECT_EQ(DataList().DataGrid.Cell(1, 1), "5") << c.name;
    EXPECT_EQ(NewDataCount, newData) << c.name;
  }

  // Stopped part-way: nothing of the file replaces the current data set either.
  fs::path big = Dir / "big.dat";
  std::string bytes;
  for (int i = 0; i < 800000; ++i) bytes += "1\t2\r\n";
  WriteBytes(big, bytes);
  TFileResult r = FileToDataGrid(big.string(), [](double f) { return f < 0.5; });
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(DataEditor.DataFilename, good.string());
  EXPECT_EQ(DataList().Ncount, 1);

  // A complete read replaces it and resets the rules a new data set resets.
  ProcessIfRec.Active = true;
  r = FileToDataGrid(big.string());
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(DataList().Ncount, 800000);
  EXPECT_EQ(DataEditor.DataFilename, big.string());
  EXPECT_FALSE(DataEditor.FileModified);
  EXPECT_FALSE(ProcessIfRec.Active);
  EXPECT_EQ(NewDataCount, newData + 1);
}

// A data set built cell by cell, as the editor would.
TDataList Build(const Rows& cells, const Rows& desc = {}) {
  TDataList d;
  int cols = static_cast<int>(cells[0].size());
  d.SetColCount(cols);
  d.SetRowCount(static_cast<int>(cells.size()) - 1);
  for (size_t r = 0; r < cells.size(); ++r)
    for (int c = 1; c <= cols; ++c) d.SetCellText(c, static_cast<int>(r), cells[r][c - 1]);
  for (size_t r = 0; r < desc.size(); ++r)
    for (int c = 1; c <= cols; ++c) d.SetDescText(c, static_cast<int>(r) + 1, desc[r][c - 1]);
  d.UpdateData();
  return d;
}

TEST_F(DataFileTest, RoundTripKeepsEveryCell) {
  struct Case {
    const char* name;
    Rows cells;
    Rows desc;
    TSaveOptions options;
  };
  TSaveOptions noNames;
  noNames.VarNames = false;
  const Case cases[] = {
      {"numbers as typed", {{"Col1", "Col2"}, {"1,234", "50%"}, {"$5", "-.5"}, {"", "7"}}, {}, {}},
      {"first case all text with default names",
       {{"Col1", "Col2"}, {"red", "big"}, {"1", "2"}},
       {},
       {}},
      {"first case a text and 2147483647",
       {{"Col1", "Col2"}, {"Year", "2147483647"}, {"x", "-2147483647"}},
       {},
       {}},
      {"first case text and empty", {{"Col1", "Col2"}, {"red", ""}, {"1", "2"}}, {}, {}},
      {"first case all text, names not wanted",
       {{"Col1", "Col2"}, {"red", "big"}, {"1", "2"}},
       {},
       noNames},
      {"first cell a comment mark", {{"Col1", "Col2"}, {"*x", "1"}, {"*", "2"}}, {}, {}},
      {"first cells like description keys",
       {{"Col1", "Col2"}, {"Title:", "1"}, {"usl:5", "2"}, {"Target:x", "3"}, {"LSL:", "4"}},
       {},
       {}},
      {"named columns with descriptions",
       {{"Diameter", "Machine"}, {"10.01", "M1"}, {"*", "M2"}},
       {{"Shaft diameter", ""}, {"10.05", ""}, {"10", ""}, {"9.95", ""}},
       {}},
      {"one column: commas, blanks, empty cells",
       {{"Col1"}, {"1,234"}, {"a b"}, {""}, {"x,y"}, {""}},
       {},
       {}},
      {"one column, first case with a blank", {{"Col1"}, {"New York"}, {"5"}}, {}, {}},
      {"one named column", {{"City"}, {"*Paris"}, {"Title:"}}, {}, {}},
      {"last column empty throughout",
       {{"Col1", "Col2", "Col3"}, {"1", "", ""}, {"2", "3", ""}},
       {},
       {}},
      {"last column only described",
       {{"Col1", "Col2"}, {"1", ""}},
       {{"", "Title"}, {"", ""}, {"", ""}, {"", ""}},
       {}},
      {"first cell a byte-order mark", {{"Col1", "Col2"}, {"\xEF\xBB\xBFx", "1"}}, {}, {}},
      {"non-ASCII text",
       {{"Gr\xC3\xB6\xC3\x9F"
         "e",
         "Col2"},
        {"\xE2\x82\xAC", "1"}},
       {},
       {}},
      {"typed with blanks, tabs and line breaks",
       {{" Name ", "Col2"}, {"5 ", " 5"}, {"a\tb", "c\r\nd"}},
       {{" T\t", ""}, {"", ""}, {"", ""}, {"", ""}},
       {}},
  };
  for (const auto& c : cases) {
    TDataList d = Build(c.cells, c.desc);
    std::string text = DataFileText(d, c.options);
    TRead back = Read(text);
    ASSERT_TRUE(back.Result.Ok) << c.name;
    EXPECT_EQ(Cells(*back.List), Cells(d)) << c.name << "\n" << text;
    if (!c.desc.empty()) {
      EXPECT_EQ(DescCells(*back.List), DescCells(d)) << c.name;
    }
    // UTF-8 without a byte-order mark, CR LF after every line and nowhere else.
    EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF");
    size_t lines = 0;
    for (size_t i = 0; i < text.size(); ++i)
      if (text[i] == '\n') {
        ++lines;
        EXPECT_EQ(text[i - 1], '\r');
      }
    EXPECT_EQ(text.back(), '\n');
  }
}

TEST_F(DataFileTest, WriterLayout) {
  TDataList d = Build({{"A", "Col2"}, {"1", "2"}}, {{"T", ""}, {"", ""}, {"", ""}, {"0", ""}});
  EXPECT_EQ(DataFileText(d, {}), "A\tCol2\r\nTitle:\tT\t\r\nLSL:\t0\t\r\n1\t2\r\n");
  TSaveOptions bare;
  bare.VarNames = bare.Descriptions = false;
  EXPECT_EQ(DataFileText(d, bare), "1\t2\r\n");
  // Default names write no names line.
  TDataList plain = Build({{"col1", "COL2"}, {"1", "2"}});
  EXPECT_EQ(DataFileText(plain, {}), "1\t2\r\n");
  // A selection writes its block, its names and no descriptions.
  TDataList big = Build({{"A", "B", "C"}, {"1", "2", "3"}, {"4", "5", "6"}}, {{"t", "u", "v"}});
  TSaveOptions sel;
  sel.Selection = true;
  sel.Left = 2;
  sel.Right = 3;
  sel.Top = 2;
  sel.Bottom = 2;
  EXPECT_EQ(DataFileText(big, sel), "B\tC\r\n5\t6\r\n");
}

TEST_F(DataFileTest, NamesAFileCannotCarryAreSavedAsDefaults) {
  // Written as they are, these names would read back as a first case (a number among
  // them, number characters only) or as two columns (one name with a blank): the cases
  // must come back unchanged, the names as far as a names line can carry them.
  struct Case {
    const char* name;
    Rows cells;
    std::vector<std::string> namesBack;
    bool warned;
    bool varNames = true;
  };
  const Case cases[] = {
      {"years as names", {{"2019", "2020"}, {"5", "6"}}, {"Col1", "Col2"}, true},
      {"one year among names", {{"2019", "Weight"}, {"5", "6"}}, {"Col1", "Weight"}, true},
      {"2147483647 among names", {{"2147483647", "Weight"}, {"5", "6"}}, {"Col1", "Weight"}, true},
      {"signs only", {{"-", "+"}, {"5", "6"}}, {"Col1", "+"}, true},
      {"one column named with a blank", {{"New York"}, {"5"}}, {"Col1"}, true},
      // clang-format off
      {"one column named with a blank, a text first case", {{"New York"}, {"Paris"}}, {"Col1"}, true},
      {"number characters beside a name are fine", {{"Height", "1-2"}, {"5", "6"}}, {"Height", "1-2"}, false},
      {"names not wanted, a text first case", {{"Name", "Kind"}, {"red", "big"}, {"1", "2"}},
       {"Col1", "Col2"}, false, false},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TDataList d = Build(c.cells);
    TSaveOptions options;
    options.VarNames = c.varNames;
    const fs::path file = Dir / "names.sorvel";
    TFileResult w = WriteDataFile(file.string(), d, options);
    ASSERT_TRUE(w.Ok);
    EXPECT_EQ(w.Warnings,
              c.warned ? std::vector<std::string>{NamesNotSavedText} : std::vector<std::string>{});
    TRead back = Read(FileBytes(file));
    Rows want = Cells(d);
    want[0] = c.namesBack;
    EXPECT_EQ(Cells(*back.List), want) << FileBytes(file);
  }
}

TEST_F(DataFileTest, SaveReplacesTheFileOnlyWhenWritingSucceeded) {
  fs::path target = Dir / "data.sorvel";
  WriteBytes(target, "old contents\r\n");
  ReplaceDataList(std::make_unique<TDataList>(Build({{"A"}, {"1"}, {"2"}})));
  DataEditor.FileModified = true;

  // A file size limit makes the write itself fail part-way.
  std::string many;
  for (int i = 0; i < 5000; ++i) many += std::to_string(i) + "\r\n";
  auto list = std::make_unique<TDataList>();
  ASSERT_TRUE(ReadDataBytes(many, *list).Ok);
  ReplaceDataList(std::move(list));
  DataEditor.FileModified = true;
  {
    struct rlimit old;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    TFileResult r = SaveFile(target.string(), {});
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Error, FileWriteErrorText);
  }
  EXPECT_EQ(FileBytes(target), "old contents\r\n");
  EXPECT_TRUE(DataEditor.FileModified);
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()),
            1);  // no temporary left

  // A folder in the way, and a folder that does not exist.
  fs::create_directories(Dir / "taken.dat");
  for (fs::path bad : {Dir / "taken.dat", Dir / "no-such-folder" / "x.dat"}) {
    TFileResult r = SaveFile(bad.string(), {});
    EXPECT_FALSE(r.Ok) << bad;
    EXPECT_EQ(r.Error, FileWriteErrorText) << bad;
  }
  EXPECT_TRUE(fs::is_directory(Dir / "taken.dat"));
  EXPECT_TRUE(DataEditor.FileModified);

  // A folder without write permission (not for root, which may write anyway).
  if (::geteuid() != 0) {
    fs::path locked = Dir / "locked";
    fs::create_directories(locked);
    WriteBytes(locked / "x.dat", "keep\r\n");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    TFileResult r = SaveFile((locked / "x.dat").string(), {});
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(FileBytes(locked / "x.dat"), "keep\r\n");
  }

  // And a write that succeeds replaces the file and clears the modified mark.
  TFileResult r = SaveFile(target.string(), {});
  ASSERT_TRUE(r.Ok) << r.Detail;
  EXPECT_FALSE(DataEditor.FileModified);
  EXPECT_EQ(DataEditor.DataFilename, target.string());
  EXPECT_EQ(FileBytes(target).substr(0, 6), "0\r\n1\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 2);
}

TEST_F(DataFileTest, SaveQuestionGoesOnOnlyWhenTheSaveSucceeded) {
  int asked = 0;
  auto answer = [&](TSaveAnswer a) {
    return [&asked, a] {
      ++asked;
      return a;
    };
  };
  auto saved = [] { return true; };
  auto failed = [] { return false; };
  EXPECT_TRUE(MayDiscardData(answer(TSaveAnswer::Cancel), failed));  // nothing to save
  EXPECT_EQ(asked, 0);
  DataEditor.FileModified = true;
  EXPECT_TRUE(MayDiscardData(answer(TSaveAnswer::Yes), saved));
  EXPECT_FALSE(MayDiscardData(answer(TSaveAnswer::Yes), failed));
  EXPECT_TRUE(MayDiscardData(answer(TSaveAnswer::No), failed));
  EXPECT_FALSE(MayDiscardData(answer(TSaveAnswer::Cancel), saved));
  EXPECT_EQ(asked, 4);
}

TEST_F(DataFileTest, MalformedInputNeitherCrashesNorHangs) {
  std::string binary;
  for (int i = 0; i < 100000; ++i) binary += static_cast<char>((i * 7919) % 256);
  std::string nuls(1000, '\0');
  nuls += std::string("\r\n1\0002\r\n", 8);
  std::string longLine(std::size_t(20) << 20, 'x');
  std::string manyColumns;
  for (int i = 0; i < 10000; ++i) manyColumns += "1,";
  for (const std::string& bytes :
       {binary, nuls, longLine, manyColumns, std::string("\r"), std::string("Title:")}) {
    TRead r = Read(bytes);
    EXPECT_TRUE(r.Result.Ok);
    EXPECT_LE(r.List->MaxCol(), 512);
    EXPECT_GE(r.List->Ncount, 1);
  }
}

}  // namespace
}  // namespace sorvel
