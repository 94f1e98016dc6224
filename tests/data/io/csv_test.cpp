// Comma-separated values as other programs write them: RFC 4180 quotes, R's write.csv
// files against what R's read.csv makes of them, the missing-value marks, and .csv files
// written by this program read back as the same data set.
#include "data/io/csv.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "data/data_state.h"
#include "data/io/data_file.h"

namespace sorvel {
namespace {

namespace fs = std::filesystem;

using Fields = std::vector<std::string>;
using Rows = std::vector<Fields>;

// Every cell of the data grid, names row first.
Rows Cells(const TDataList& d) {
  Rows rows;
  for (int r = 0; r < d.DataGrid.RowCount(); ++r) {
    Fields row;
    for (int c = 1; c < d.DataGrid.ColCount(); ++c) row.push_back(d.DataGrid.Cell(c, r));
    rows.push_back(row);
  }
  return rows;
}
Rows DescCells(const TDataList& d) {
  Rows rows;
  for (int r = 1; r < 5; ++r) {
    Fields row;
    for (int c = 1; c < d.DescGrid.ColCount(); ++c) row.push_back(d.DescGrid.Cell(c, r));
    rows.push_back(row);
  }
  return rows;
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

class CsvTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDataState();
    Dir = fs::temp_directory_path() /
          ("sorvel_csv_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override {
    ResetDataState();
    std::error_code ec;
    fs::remove_all(Dir, ec);
  }
  // Reads `bytes` as the file `name` in the test's folder (the name decides ".csv").
  TFileResult Read(const std::string& name, const std::string& bytes, TDataList& list,
                   std::size_t maxLine = MaxLineBytes) {
    WriteBytes(Dir / name, bytes);
    return ReadDataFile((Dir / name).string(), list, {}, maxLine);
  }
  fs::path Dir;
};

// ------------------------------------------------------------------ the record scanner

TEST(CsvRecord, LinesBecomeFields) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;  // physical lines of one record
    Fields want;
  };
  const Case cases[] = {
      {"plain", {"a,b,c"}, {"a", "b", "c"}},
      {"quotes removed", {"\"Ozone\",\"Solar.R\""}, {"Ozone", "Solar.R"}},
      {"comma inside quotes", {"\"Smith, J\",30"}, {"Smith, J", "30"}},
      {"doubled quotes", {"\"say \"\"hi\"\"\",\"\"\"\""}, {"say \"hi\"", "\""}},
      {"empty quoted fields", {"\"\",x,\"\""}, {"", "x", ""}},
      {"empty unquoted fields", {"1,,3"}, {"1", "", "3"}},
      {"a comma at the end adds an empty field", {"1,2,"}, {"1", "2", ""}},
      {"an empty line is one empty field", {""}, {""}},
      {"tab inside quotes", {"\"a\tb\",c"}, {"a\tb", "c"}},
      {"line break inside quotes", {"1,\"two", "lines\",3"}, {"1", "two\nlines", "3"}},
      {"empty line inside quotes", {"\"a", "", "b\""}, {"a\n\nb"}},
      {"a quote alone on the next line closes", {"x,\"a", "\""}, {"x", "a\n"}},
      {"unquoted fields trimmed, quoted kept", {" 1 , \" a \" ,3 "}, {"1", " a ", "3"}},
      {"a quote inside an unquoted field is a character", {"5\" bolt,x"}, {"5\" bolt", "x"}},
      {"text after the closing quote is kept", {"\"a\"b,\"c\" d"}, {"ab", "c d"}},
      {"comma and quote right after a line break", {"\"x", ",\"\"", "y\""}, {"x\n,\"\ny"}},
  };
  for (const auto& c : cases) {
    TCsvRecord rec;
    rec.Start(c.lines[0], 512);
    for (size_t i = 1; i < c.lines.size(); ++i) {
      ASSERT_TRUE(rec.Open()) << c.name;
      rec.Continue("\n", c.lines[i]);
    }
    ASSERT_FALSE(rec.Open()) << c.name;
    Fields got;
    for (size_t i = 0; i < rec.Kept(); ++i) got.emplace_back(rec.Field(i));
    EXPECT_EQ(got, c.want) << c.name;
    EXPECT_EQ(rec.FieldCount, c.want.size()) << c.name;
  }
}

TEST(CsvRecord, WhatTheFirstLineShows) {
  struct Case {
    const char* line;
    bool open, commaOutside, tabOutside, firstQuoted;
  };
  const Case cases[] = {
      {"\"unclosed,x", true, false, false, true}, {"1,\"unclosed", true, true, false, false},
      {"a\tb,c", false, true, true, false},       {"\"a\"\t\"b\"", false, false, true, true},
      {"\"a\tb\"", false, false, false, true},    {"\"\"", false, false, false, true},
      {"abc", false, false, false, false},
  };
  for (const auto& c : cases) {
    TCsvRecord rec;
    rec.Start(c.line, 512);
    EXPECT_EQ(rec.Open(), c.open) << c.line;
    EXPECT_EQ(rec.CommaOutside, c.commaOutside) << c.line;
    EXPECT_EQ(rec.TabOutside, c.tabOutside) << c.line;
    if (!c.open) {
      EXPECT_EQ(rec.FirstQuoted, c.firstQuoted) << c.line;
    }
  }
}

TEST(CsvRecord, KeepsAtMostTheLimitAndCountsTheRest) {
  std::string line;
  for (int i = 1; i <= 600; ++i) line += "\"" + std::to_string(i) + "\",";
  line.pop_back();
  TCsvRecord rec;
  rec.Start(line, 512);
  EXPECT_EQ(rec.FieldCount, 600u);
  ASSERT_EQ(rec.Kept(), 512u);
  EXPECT_EQ(rec.Field(511), "512");
  EXPECT_EQ(rec.Text.size(), rec.Ends.back());
}

TEST(CsvRecord, FieldsAreQuotedExactlyWhenTheyMustBe) {
  struct Case {
    const char* cell;
    const char* want;
  };
  const Case cases[] = {
      // clang-format off
      {"plain", "plain"},           {"New York", "New York"},  {"", ""},
      {"1,234", "\"1,234\""},       {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"a\tb", "\"a\tb\""},         {"a\nb", "\"a\nb\""},      {"a\rb", "\"a\rb\""},
      {" lead", "\" lead\""},       {"trail ", "\"trail \""},  {"5\"", "\"5\"\"\""},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string out;
    AppendCsvField(out, c.cell);
    EXPECT_EQ(out, c.want) << c.cell;
  }
  std::string forced;
  AppendCsvField(forced, "*x", true);
  EXPECT_EQ(forced, "\"*x\"");
}

TEST(CsvRecord, CsvFileNames) {
  EXPECT_TRUE(IsCsvFileName("a.csv"));
  EXPECT_TRUE(IsCsvFileName("/tmp/DATA.CSV"));
  EXPECT_TRUE(IsCsvFileName(".Csv"));
  EXPECT_FALSE(IsCsvFileName("a.csv.dat"));
  EXPECT_FALSE(IsCsvFileName("acsv"));
  EXPECT_FALSE(IsCsvFileName("csv"));
}

// ------------------------------------------------------------------ reading files

TEST_F(CsvTest, CommaSeparatedLinesWithQuotes) {
  struct Case {
    const char* name;
    const char* file;  // ".csv" or ".dat": what the file is called
    std::string bytes;
    Rows cells;  // names row first
  };
  const Case cases[] = {
      {"R's names line and row names",
       ".dat",
       "\"\",\"mpg\",\"cyl\"\n\"Mazda RX4\",21,6\n\"Datsun 710\",22.8,4\n",
       {{"Col1", "mpg", "cyl"}, {"Mazda RX4", "21", "6"}, {"Datsun 710", "22.8", "4"}}},
      {"a comma inside quotes splits nothing",
       ".txt",
       "\"Smith, J\",30\n\"Doe, A\",41\n",
       {{"Col1", "Col2"}, {"Smith, J", "30"}, {"Doe, A", "41"}}},
      {"quoted numbers make no names line",
       ".dat",
       "\"1\",\"2\"\n3,4\n",
       {{"Col1", "Col2"}, {"1", "2"}, {"3", "4"}}},
      // A cell holds what Save gives back: line breaks and tabs inside become blanks.
      {"line breaks inside quotes",
       ".dat",
       "id,note\r\n1,\"first\r\nsecond\"\r\n2,\"x\"\r\n",
       {{"id", "note"}, {"1", "first  second"}, {"2", "x"}}},
      {"a comment mark inside quotes is text",
       ".dat",
       "1,\"b\n*c\"\n",
       {{"Col1", "Col2"}, {"1", "b *c"}}},
      {"every line end inside quotes a blank",
       ".dat",
       "1,\"a\r\nb\rc\nd\"\r\n",
       {{"Col1", "Col2"}, {"1", "a  b c d"}}},
      {"quoted empty fields", ".dat", "\"x\",\"y\"\n\"\",1\n", {{"x", "y"}, {"", "1"}}},
      {"tabs inside quotes once the file is comma-separated",
       ".dat",
       "\"a\",\"b\"\n\"c\td\",1\n",
       {{"a", "b"}, {"c d", "1"}}},
      {"a description line",
       ".dat",
       "\"Length\",\"Mass\"\nTitle:,\"Length, mm\",Mass\nUSL:,10,\nTarget:,\"9\"\n9.5,2\n",
       {{"Length", "Mass"}, {"9.5", "2"}}},
      {"more than one names field empty",
       ".csv",
       ",\"b\",\n1,2,3\n",
       {{"Col1", "b", "Col3"}, {"1", "2", "3"}}},
      // The Part's rules stay for tab- and blank-separated lines: quotes are characters there.
      {"tab-separated lines keep their quotes",
       ".dat",
       "\"a\"\t\"b\"\n\"1\"\t2\n",
       {{"\"a\"", "\"b\""}, {"\"1\"", "2"}}},
      {"blank-separated lines keep their quotes",
       ".dat",
       "1 \"x y\"\n",
       {{"Col1", "Col2", "Col3"}, {"1", "\"x", "y\""}}},
      {"a tab in the first quoted line: tab-separated",
       ".dat",
       "* c\n\"a,\tb\",c\n",
       {{"Col1", "Col2"}, {"\"a,", "b\",c"}}},
      {"a lone quoted field outside .csv files", ".dat", "\"x\"\n5\n", {{"\"x\""}, {"5"}}},
      // A ".csv" file is comma-separated throughout.
      {"one column of a .csv file",
       ".csv",
       "\"City\"\n\"New York\"\nNew York\n\"\"\n",
       {{"City"}, {"New York"}, {"New York"}, {""}}},
      {"names without quotes in a .csv file",
       ".csv",
       "First Name,Last Name\nAda,Lovelace\n",
       {{"First Name", "Last Name"}, {"Ada", "Lovelace"}}},
      {"a tab-separated .csv file", ".csv", "a\tb\n1\t2\n", {{"a", "b"}, {"1", "2"}}},
  };
  int n = 0;
  for (const auto& c : cases) {
    TDataList d;
    TFileResult r = Read("case" + std::to_string(++n) + c.file, c.bytes, d);
    ASSERT_TRUE(r.Ok) << c.name << ": " << r.Error << " " << r.Detail;
    EXPECT_EQ(Cells(d), c.cells) << c.name;
    EXPECT_EQ(d.DescGrid.ColCount(), d.DataGrid.ColCount()) << c.name;
  }
  TDataList d;
  ASSERT_TRUE(
      Read("desc.csv",
           "\"Length\",\"Mass\"\nTitle:,\"Length, mm\",Mass\nUSL:,10,\nTarget:,\"9\"\n9.5,2\n", d)
          .Ok);
  EXPECT_EQ(DescCells(d), (Rows{{"Length, mm", "Mass"}, {"10", ""}, {"9", ""}, {"", ""}}));
  EXPECT_EQ(d.ColumnUSL(1), 10);
}

TEST_F(CsvTest, QuotedNumbersAreNumbers) {
  TDataList d;
  ASSERT_TRUE(Read("q.csv", "\"n\",\"name\"\n\"30\",\"x\"\n\"1,234\",\"7\"\n", d).Ok);
  EXPECT_FALSE(d.StringVar[1]);
  EXPECT_EQ(d.CellArray[1][1], 30);
  EXPECT_EQ(d.CellArray[1][2], 1234);
  EXPECT_TRUE(d.StringVar[2]);
}

TEST_F(CsvTest, AQuoteLeftOpenFailsTheReadAndKeepsTheDataSet) {
  const fs::path good = Dir / "good.dat";
  WriteBytes(good, "A\tB\r\n1\t2\r\n");
  ASSERT_TRUE(FileToDataGrid(good.string()).Ok);
  const fs::path bad = Dir / "bad.csv";
  WriteBytes(bad, "x,y\n1,\"open\n2,3\n4,5\n");
  TFileResult r = FileToDataGrid(bad.string());
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Error, FileReadErrorText);
  EXPECT_NE(r.Detail.find("line 2"), std::string::npos) << r.Detail;
  EXPECT_EQ(DataEditor.DataFilename, good.string());
  EXPECT_EQ(Cells(DataList()), (Rows{{"A", "B"}, {"1", "2"}}));
  // The same in a file of another name, and at the very end of a file without a line end.
  for (const char* bytes : {"1,\"a\n", "\"x\",\"y"}) {
    TDataList d;
    TFileResult e = Read("open.dat", bytes, d);
    EXPECT_FALSE(e.Ok) << bytes;
    EXPECT_EQ(e.Error, FileReadErrorText) << bytes;
  }
}

TEST_F(CsvTest, AQuotedFieldCannotOutgrowTheLineLimit) {
  std::string bytes = "1,\"";
  for (int i = 0; i < 100; ++i) bytes += "0123456789\n";
  bytes += "\"\n";
  TDataList d;
  TFileResult r = Read("long.csv", bytes, d, 500);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Error, FileReadErrorText);
  TDataList fits;
  EXPECT_TRUE(Read("fits.csv", bytes, fits, 5000).Ok);
  EXPECT_EQ(fits.DataGrid.View(2, 1).size(), 1099u);  // the last line break goes with the trim
}

// Files this program writes hold a tab on every line with a comma, so however their cells
// are quoted they read as before: the tab layout's rules, quotes as characters.
TEST_F(CsvTest, TabFilesWithQuotesAndCommasReadAsTheyAlwaysDid) {
  const Rows sets[] = {
      {{"Col1", "Col2"}, {"x,\"a", "b\""}, {"\"q\"", "1"}},
      {{"Col1"}, {"\"a,b\""}, {"\"a\""}, {"\"open"}, {"close\""}},
      {{"Col1", "Col2"}, {"\"", ","}, {"\",\"", "\"\""}},
      {{"\"N\"", "M,x"}, {"1", "2"}},
  };
  for (const auto& cells : sets) {
    TDataList d;
    const int cols = static_cast<int>(cells[0].size());
    d.SetColCount(cols);
    d.SetRowCount(static_cast<int>(cells.size()) - 1);
    for (size_t r = 0; r < cells.size(); ++r)
      for (int c = 1; c <= cols; ++c) d.SetCellText(c, static_cast<int>(r), cells[r][c - 1]);
    d.UpdateData();
    const std::string text = DataFileText(d, {});
    TDataList back;
    ASSERT_TRUE(ReadDataBytes(text, back).Ok) << text;
    EXPECT_EQ(Cells(back), Cells(d)) << text;
  }
}

// ------------------------------------------------------------------ missing-value marks

TEST_F(CsvTest, MissingMarksKeepNumericColumnsNumeric) {
  TDataList d;
  ASSERT_TRUE(Read("marks.csv",
                   "x,y,region,none\n"
                   "1,NA,NA,NA\n"
                   "N/A,2.5,Europe,null\n"
                   "#N/A,NaN,NA,-\n"
                   "4,nan,Asia,NULL\n"
                   "-,null,,#N/A\n",
                   d)
                  .Ok);
  // Numbers and marks: numeric, the marks missing, the cells as typed.
  EXPECT_FALSE(d.StringVar[1]);
  EXPECT_FALSE(d.StringVar[2]);
  EXPECT_FALSE(d.StringVar[4]);
  int valid[5] = {};
  for (int c = 1; c <= 4; ++c)
    for (int r = 1; r <= d.Ncount; ++r) valid[c] += d.DataValid(c, r) ? 1 : 0;
  EXPECT_EQ(valid[1], 2);
  EXPECT_EQ(valid[2], 1);
  EXPECT_EQ(valid[4], 0);
  EXPECT_EQ(d.ColumnLow[1], 1);
  EXPECT_EQ(d.ColumnHigh[1], 4);
  EXPECT_EQ(d.DataGrid.Cell(1, 2), "N/A");
  // With other text the marks are levels like any text ("NA" may be North America).
  ASSERT_TRUE(d.StringVar[3]);
  EXPECT_EQ(d.LevelCount(3), 3);
  EXPECT_EQ(d.GetLevelName(3, 1), "NA");
  EXPECT_EQ(d.CellArray[3][3], 1);
  EXPECT_FALSE(d.DataValid(3, 5));
}

TEST_F(CsvTest, TypingAMarkKeepsAColumnNumericAndTextMakesItText) {
  TDataList d;
  ASSERT_TRUE(Read("t.dat", "x\n1\n2\n3\n", d).Ok);
  d.SetCellText(1, 2, "NA");
  d.UpdateData();
  EXPECT_FALSE(d.StringVar[1]);
  EXPECT_FALSE(d.DataValid(1, 2));
  EXPECT_EQ(d.CellArray[1][3], 3);
  d.SetCellText(1, 3, "three");
  d.UpdateData();
  EXPECT_TRUE(d.StringVar[1]);
  EXPECT_EQ(d.LevelCount(1), 3);
}

// ------------------------------------------------------------------ R's files

// R's write.csv of three of its data sets, and what its read.csv reads back from them
// (tests/data/r/make_fixtures.R wrote both once).
struct TRColumn {
  std::string Name, Type;
  int Missing = 0;
  std::vector<std::string> Values;
};
std::vector<TRColumn> RExpected(const fs::path& p) {
  std::vector<TRColumn> cols;
  std::ifstream f(p);
  std::string line;
  while (std::getline(f, line)) {
    std::vector<std::string> parts;
    std::stringstream s(line);
    std::string part;
    while (std::getline(s, part, '\t')) parts.push_back(part);
    TRColumn col;
    col.Name = parts.at(0);
    col.Type = parts.at(1);
    col.Missing = std::stoi(parts.at(2));
    col.Values.assign(parts.begin() + 3, parts.end());
    cols.push_back(col);
  }
  return cols;
}

TEST_F(CsvTest, RWriteCsvFilesReadAsRReadsThem) {
  const fs::path dir = fs::path(SORVEL_SOURCE_DIR) / "tests" / "data" / "r";
  for (const char* name : {"airquality", "mtcars", "ToothGrowth"}) {
    const auto want = RExpected(dir / (std::string(name) + ".expected.tsv"));
    ASSERT_FALSE(want.empty()) << name;
    TDataList d;
    TFileResult r = ReadDataFile((dir / (std::string(name) + ".csv")).string(), d);
    ASSERT_TRUE(r.Ok) << name << ": " << r.Detail;
    ASSERT_EQ(d.MaxCol(), static_cast<int>(want.size())) << name;
    for (int c = 1; c <= d.MaxCol(); ++c) {
      const TRColumn& w = want[c - 1];
      SCOPED_TRACE(std::string(name) + " column " + w.Name);
      ASSERT_EQ(d.Ncount, static_cast<int>(w.Values.size()));
      // R names the row names' empty header "X"; here an empty name is the default one.
      EXPECT_EQ(d.ColumnName(c), w.Name == "X" && c == 1 ? DefaultColumnName(1) : w.Name);
      EXPECT_EQ(d.StringVar[c], w.Type == "character");
      int missing = 0;
      for (int row = 1; row <= d.Ncount; ++row) {
        const std::string& v = w.Values[row - 1];
        missing += d.DataValid(c, row) ? 0 : 1;
        if (w.Type == "character")
          EXPECT_EQ(d.DataGrid.Cell(c, row), v) << "row " << row;
        else if (v == "NA")
          EXPECT_FALSE(d.DataValid(c, row)) << "row " << row;
        else
          EXPECT_EQ(d.CellArray[c][row], std::strtod(v.c_str(), nullptr)) << "row " << row;
      }
      EXPECT_EQ(missing, w.Missing);
    }
  }
}

// ------------------------------------------------------------------ writing

TDataList Raw(const Rows& cells, const Rows& desc = {}) {
  // Cells as other programs may give them (tabs and line breaks inside, blanks around),
  // put into the grid as they are.
  TDataList d;
  const int cols = static_cast<int>(cells[0].size());
  d.SetColCount(cols);
  d.SetRowCount(static_cast<int>(cells.size()) - 1);
  for (size_t r = 0; r < cells.size(); ++r)
    for (int c = 1; c <= cols; ++c) {
      d.DataGrid.SetCell(c, static_cast<int>(r), cells[r][c - 1]);
      if (r == 0) d.DescGrid.SetCell(c, 0, cells[r][c - 1]);
    }
  for (size_t r = 0; r < desc.size(); ++r)
    for (int c = 1; c <= cols; ++c) d.DescGrid.SetCell(c, static_cast<int>(r) + 1, desc[r][c - 1]);
  d.SetAllRowsModified();
  d.UpdateData();
  return d;
}

TEST_F(CsvTest, CsvRoundTripKeepsEveryCell) {
  struct Case {
    const char* name;
    Rows cells;
    Rows desc;
    TSaveOptions options;
  };
  TSaveOptions noNames;
  noNames.VarNames = false;
  const Case cases[] = {
      {"tricky cells",
       {{"Name, first", "Say \"hi\""},
        {"Smith, J", "a \"quoted\" word"},
        {"", "\""},
        {"in side", ",,,"}},
       {},
       {}},
      // clang-format off
      {"numbers as typed", {{"Col1", "Col2"}, {"1,234", "50%"}, {"$5", "-.5"}, {"", "7"}, {"NA", "N/A"}}, {}, {}},
      {"first case all text with default names", {{"Col1", "Col2"}, {"red", "big"}, {"1", "2"}}, {}, {}},
      {"first case all text, names not wanted", {{"Col1", "Col2"}, {"red", "big"}, {"1", "2"}}, {}, noNames},
      // clang-format on
      {"first case text and empty", {{"Col1", "Col2"}, {"red", ""}, {"1", "2"}}, {}, {}},
      {"first cells like comments and description keys",
       {{"Col1", "Col2"}, {"*x", "1"}, {"Title:", "2"}, {"usl:5", "3"}, {"*", "4"}, {"LSL:,", "5"}},
       {},
       {}},
      {"names like comments and keys", {{"*Name", "Title:"}, {"1", "2"}}, {}, {}},
      {"first cell a byte-order mark", {{"Col1", "Col2"}, {"\xEF\xBB\xBFx", "1"}}, {}, {}},
      {"one column: blanks, commas, empty cells",
       {{"Col1"}, {"New York"}, {""}, {"x,y"}, {"5"}, {""}},
       {},
       {}},
      {"one named column with a blank", {{"Home town"}, {"Paris"}, {""}}, {}, {}},
      {"empty rows and an empty last column",
       {{"Col1", "Col2", "Col3"}, {"", "", ""}, {"2", "3", ""}},
       {},
       {}},
      {"descriptions with commas and quotes",
       {{"Diameter", "Machine"}, {"10.01", "M1"}, {"*", "M2"}},
       {{"Shaft diameter, mm", "Say \"M\""}, {"10.05", ""}, {"10", ""}, {"9.95", ""}},
       {}},
      {"non-ASCII text",
       {{"Gr\xC3\xB6\xC3\x9F"
         "e",
         "Col2"},
        {"\xE2\x82\xAC", "1"}},
       {},
       {}},
  };
  int n = 0;
  for (const auto& c : cases) {
    TDataList d = Raw(c.cells, c.desc);
    const fs::path path = Dir / ("out" + std::to_string(++n) + ".csv");
    TFileResult w = WriteDataFile(path.string(), d, c.options);
    ASSERT_TRUE(w.Ok) << c.name;
    const std::string text = FileBytes(path);
    TSaveOptions csv = c.options;
    csv.Csv = true;
    EXPECT_EQ(DataFileText(d, csv), text) << c.name;
    TDataList back;
    TFileResult r = ReadDataFile(path.string(), back);
    ASSERT_TRUE(r.Ok) << c.name << ": " << r.Detail << "\n" << text;
    EXPECT_EQ(Cells(back), Cells(d)) << c.name << "\n" << text;
    if (!c.desc.empty()) {
      EXPECT_EQ(DescCells(back), DescCells(d)) << c.name << "\n" << text;
    }
    for (int col = 1; col <= d.MaxCol(); ++col) {
      EXPECT_EQ(back.StringVar[col], d.StringVar[col]) << c.name << " column " << col;
    }
    // Written again, the copy is the same file.
    const fs::path again = Dir / ("again" + std::to_string(n) + ".csv");
    ASSERT_TRUE(WriteDataFile(again.string(), back, c.options).Ok);
    EXPECT_EQ(FileBytes(again), text) << c.name;
  }
}

// A cell never holds what Save cannot give back: tabs and line breaks inside a quoted
// field become blanks and its surrounding blanks go, as for typed cells.
TEST_F(CsvTest, QuotedFieldsAreCleanedAsTypedCellsAre) {
  struct {
    const char* Line;
    const char* Cell;
  } cases[] = {
      {"1,\"tab\there\"\r\n", "tab here"},
      {"1,\"two\r\nlines\"\r\n", "two  lines"},
      {"1,\" lead\"\r\n", "lead"},
      {"1,\"trail \"\r\n", "trail"},
      {"1,\"\"\r\n", ""},
  };
  for (const auto& c : cases) {
    TDataList d;
    ASSERT_TRUE(ReadDataBytes(std::string("\"A\",\"B\"\r\n") + c.Line, d).Ok) << c.Line;
    EXPECT_EQ(d.DataGrid.Cell(2, 1), c.Cell) << c.Line;
    // and the tab-separated save reads back the same cell
    TDataList back;
    ASSERT_TRUE(ReadDataBytes(DataFileText(d, {}), back).Ok);
    EXPECT_EQ(back.DataGrid.Cell(2, 1), c.Cell) << c.Line;
  }
}

TEST_F(CsvTest, CsvWriterLayout) {
  TDataList d = Raw({{"Part", "Note"}, {"A-1", "fits, barely"}, {"A-2", ""}},
                    {{"Part number", "Say \"ok\""}, {"", ""}, {"", ""}, {"0", ""}});
  TSaveOptions csv;
  csv.Csv = true;
  EXPECT_EQ(DataFileText(d, csv),
            "Part,Note\r\n"
            "Title:,Part number,\"Say \"\"ok\"\"\"\r\n"
            "LSL:,0,\r\n"
            "A-1,\"fits, barely\"\r\n"
            "A-2,\r\n");
  // The tab layout is what it was for the same data set.
  EXPECT_EQ(DataFileText(d, {}),
            "Part\tNote\r\nTitle:\tPart number\tSay \"ok\"\r\nLSL:\t0\t\r\nA-1\tfits, "
            "barely\r\nA-2\t\r\n");
  // A selection: its block and names, no descriptions.
  csv.Selection = true;
  csv.Left = csv.Right = 2;
  csv.Top = csv.Bottom = 1;
  EXPECT_EQ(DataFileText(d, csv), "Note\r\n\"fits, barely\"\r\n");
}

TEST_F(CsvTest, OnlyACsvNameWritesCommas) {
  TDataList d = Raw({{"A", "B"}, {"1", "x, y"}});
  ASSERT_TRUE(WriteDataFile((Dir / "t.dat").string(), d, {}).Ok);
  ASSERT_TRUE(WriteDataFile((Dir / "t.CSV").string(), d, {}).Ok);
  EXPECT_EQ(FileBytes(Dir / "t.dat"), "A\tB\r\n1\tx, y\r\n");
  EXPECT_EQ(FileBytes(Dir / "t.CSV"), "A,B\r\n1,\"x, y\"\r\n");
}

}  // namespace
}  // namespace sorvel
