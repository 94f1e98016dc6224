#include "data/io/workbook.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/data_state.h"
#include "support/workbook_fixture.h"

namespace sorvel {
namespace {

namespace fs = std::filesystem;
using test::TXlsx;
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

struct TRead {
  TFileResult Result;
  std::unique_ptr<TDataList> List = std::make_unique<TDataList>();
};
TRead Read(const std::string& bytes, std::string_view sheet = {}) {
  TRead r;
  r.Result = ReadWorkbookBytes(bytes, *r.List, sheet);
  return r;
}

// One-sheet workbook from its rows.
TXlsx Sheet(const std::string& rows) {
  TXlsx x;
  x.Sheets.push_back({"Sheet1", rows});
  return x;
}

TEST(Workbook, XlsxCellsBecomeTheDataSetsCells) {
  TXlsx x = Sheet(
      // Names: shared strings, an inline string, one empty name.
      "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" "
      "t=\"inlineStr\"><is><t>Label</t></is></c>"
      "<c r=\"C1\" t=\"s\"><v>1</v></c><c r=\"E1\" t=\"s\"><v>2</v></c></row>"
      // An empty row inside the sheet is skipped, as an empty line of a text file.
      "<row r=\"2\"/>"
      "<row r=\"3\"><c r=\"A3\"><v>0.10000000000000001</v></c><c r=\"B3\" t=\"s\"><v>3</v></c>"
      "<c r=\"C3\" t=\"b\"><v>1</v></c><c r=\"D3\" s=\"1\"><v>45322</v></c><c "
      "r=\"E3\"><f>A3*2</f><v>0.2</v></c></row>"
      "<row r=\"4\"><c r=\"A4\"><v>-1.5E-3</v></c><c r=\"B4\" "
      "t=\"str\"><f>\"x\"&amp;\"y\"</f><v>xy</v></c>"
      "<c r=\"C4\" t=\"b\"><v>0</v></c><c r=\"D4\" s=\"2\"><v>0.5</v></c><c r=\"E4\" "
      "t=\"e\"><v>#DIV/0!</v></c></row>"
      // Cells without references follow each other; a gap left by references is missing.
      "<row r=\"5\"><c><v>123456789012345678</v></c><c t=\"inlineStr\"><is><r><t>rich "
      "</t></r><r><t>text</t></r>"
      "<rPh><t>phonetic</t></rPh></is></c><c r=\"E5\" s=\"3\"><v>45322.75</v></c></row>");
  x.Strings = {"<t>Weight</t>", "<t>Flag</t>", "<t xml:space=\"preserve\">  Note\ttwo </t>",
               "<t>a, b</t>"};
  x.CellFormats = {0, 14, 164, 22};
  x.NumFmts = {{164, "h:mm"}};
  TRead r = Read(x.Bytes());
  ASSERT_TRUE(r.Result.Ok) << r.Result.Detail;
  EXPECT_TRUE(r.Result.NamesRead);
  EXPECT_EQ(r.Result.DataLines, 3);
  const Rows want = {
      {"Weight", "Label", "Flag", "Col4", "Note two"},
      {"0.1", "a, b", "1", "20240131", "0.2"},
      {"-0.0015", "xy", "0", "12:00", ""},
      {"123456789012345680", "rich text", "", "", "2024-01-31 18:00"},
  };
  EXPECT_EQ(Cells(*r.List), want);
  // Parsed as the text reader's cells are: numbers, a text column, a missing error value.
  const TDataList& d = *r.List;
  EXPECT_EQ(d.Ncount, 3);
  EXPECT_FALSE(d.StringVar[1]);
  EXPECT_TRUE(d.StringVar[2]);
  EXPECT_FALSE(d.StringVar[3]);
  EXPECT_DOUBLE_EQ(d.Value(1, 1), 0.1);
  EXPECT_EQ(d.Value(1, 3), 123456789012345678.0);
  EXPECT_TRUE(d.StringVar[4]);  // a time of day among its dates makes the column text
}

// Some writers put a prefix on every element of the sheet: the names are matched without it.
TEST(Workbook, PrefixedElementsAreReadAsUnprefixedOnes) {
  TRead r =
      Read(Sheet("<x:row xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                 "<x:c r=\"A1\" s=\"0\"><x:v>1.5</x:v></x:c><x:c r=\"C1\" "
                 "t=\"inlineStr\"><x:is><x:t>a</x:t>"
                 "</x:is></x:c><x:c r=\"D1\" t=\"b\"><x:v>1</x:v></x:c></x:row>")
               .Bytes());
  ASSERT_TRUE(r.Result.Ok) << r.Result.Detail;
  EXPECT_EQ(Cells(*r.List), (Rows{{"Col1", "Col2", "Col3", "Col4"}, {"1.5", "", "a", "1"}}));
}

TEST(Workbook, SerialDatesAndTimes) {
  struct Case {
    const char* serial;
    int format;  // numFmtId, or 164 = the custom code
    const char* code;
    bool date1904;
    const char* want;
  };
  const Case cases[] = {
      {"1", 14, "", false, "19000101"},
      {"59", 14, "", false, "19000228"},
      {"60", 14, "", false, "19000229"},  // the 1900 system's own leap day
      {"61", 14, "", false, "19000301"},
      {"45322", 14, "", false, "20240131"},
      {"45322.99", 14, "", false, "20240131"},  // a date format shows the day only
      {"0", 14, "", true, "19040101"},
      {"43830", 164, "yyyy\\-mm\\-dd", false, "20191231"},
      {"43830", 164, "d/m/yy;@", false, "20191231"},
      {"0.5", 164, "[$-409]h:mm:ss\\ AM/PM", false, "12:00:00"},
      {"1.25", 46, "", false, "30:00:00"},       // [h]:mm:ss counts hours past a day
      {"0.3", 164, "mm:ss", false, "07:12:00"},  // m beside s is minutes; the whole time is kept
      {"12.5", 164, "0.0\"m\"", false, "12.5"},  // quoted text is no date part
      {"12.5", 164, "[Red]0.00", false, "12.5"},
      {"-3", 14, "", false, "-3"},  // before the epoch: the number
  };
  for (const auto& c : cases) {
    // Under a names row: a time alone in the first row would be taken for a name.
    TXlsx x = Sheet(
        std::string(
            "<row><c t=\"inlineStr\"><is><t>X</t></is></c></row><row><c r=\"A2\" s=\"1\"><v>") +
        c.serial + "</v></c></row>");
    x.CellFormats = {0, c.format};
    if (c.format == 164) x.NumFmts = {{164, c.code}};
    x.Date1904 = c.date1904;
    TRead r = Read(x.Bytes());
    ASSERT_TRUE(r.Result.Ok) << c.serial << " " << r.Result.Detail;
    EXPECT_EQ(r.List->DataGrid.Cell(1, 1), c.want)
        << c.serial << " as " << c.format << " " << c.code;
  }
}

TEST(Workbook, FirstRowIsTheNamesLineOnlyWithoutNumbers) {
  struct Case {
    const char* first;
    bool names;
  };
  const Case cases[] = {
      {"<c t=\"inlineStr\"><is><t>Height</t></is></c><c t=\"inlineStr\"><is><t>Weight</t></is></c>",
       true},
      {"<c t=\"inlineStr\"><is><t>Height</t></is></c><c><v>2019</v></c>", false},
      {"<c t=\"inlineStr\"><is><t>Height</t></is></c><c t=\"inlineStr\"><is><t>2019</t></is></c>",
       false},
      {"<c t=\"inlineStr\"><is><t>Height</t></is></c><c t=\"b\"><v>1</v></c>", false},
      {"<c t=\"inlineStr\"><is><t>-</t></is></c>", false},  // number characters only
  };
  for (const auto& c : cases) {
    TRead r = Read(
        Sheet(std::string("<row>") + c.first + "</row><row><c><v>1</v></c><c><v>2</v></c></row>")
            .Bytes());
    ASSERT_TRUE(r.Result.Ok) << c.first;
    EXPECT_EQ(r.Result.NamesRead, c.names) << c.first;
    EXPECT_EQ(r.List->Ncount, c.names ? 1 : 2) << c.first;
  }
}

TEST(Workbook, SheetsByNameOrNumber) {
  TXlsx x;
  x.Sheets = {{"Data", "<row><c><v>1</v></c></row>"},
              {"2", "<row><c><v>2</v></c></row>"},
              {"Notes", "<row><c><v>3</v></c></row>"}};
  const std::string bytes = x.Bytes();
  std::vector<std::string> names;
  ASSERT_TRUE(WorkbookSheetsFromBytes(bytes, names).Ok);
  EXPECT_EQ(names, (std::vector<std::string>{"Data", "2", "Notes"}));
  struct Case {
    const char* sheet;
    const char* first;  // the first cell read, or nullptr when the read fails
  };
  const Case cases[] = {{"", "1"},  {"Data", "1"},  {"Notes", "3"},     {"3", "3"},
                        {"2", "2"},  // a name wins over a number
                        {"1", "1"}, {"4", nullptr}, {"notes", nullptr}, {"0", nullptr}};
  for (const auto& c : cases) {
    TRead r = Read(bytes, c.sheet);
    if (!c.first) {
      EXPECT_FALSE(r.Result.Ok) << c.sheet;
      EXPECT_EQ(r.Result.Error, FileReadErrorText);
      EXPECT_EQ(r.Result.Detail, std::string("no sheet '") + c.sheet +
                                     "' (the workbook has 3 sheets: Data, 2, Notes)");
      continue;
    }
    ASSERT_TRUE(r.Result.Ok) << c.sheet << ": " << r.Result.Detail;
    EXPECT_EQ(r.List->DataGrid.Cell(1, 1), c.first) << c.sheet;
  }
}

TEST(Workbook, OdsCells) {
  const std::string tables =
      "<table:table table:name=\"Measures\">"
      "<table:table-column table:number-columns-repeated=\"1024\"/>"
      "<table:table-row>"
      "<table:table-cell office:value-type=\"string\"><text:p>Part</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"string\"><text:p>Size</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"string\"><text:p>Made</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"string\"><text:p>At</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"string\"><text:p>OK</text:p></table:table-cell>"
      "<table:table-cell table:number-columns-repeated=\"1019\"/></table:table-row>"
      "<table:table-row table:number-rows-repeated=\"2\">"
      "<table:table-cell office:value-type=\"string\"><text:p>A<text:s text:c=\"2\"/>1</text:p>"
      "<office:annotation><text:p>a comment</text:p></office:annotation></table:table-cell>"
      "<table:table-cell office:value-type=\"float\" "
      "office:value=\"0.1\"><text:p>0.10</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"date\" "
      "office:date-value=\"2024-01-31\"><text:p>31.01.24</text:p>"
      "</table:table-cell>"
      "<table:table-cell office:value-type=\"time\" "
      "office:time-value=\"PT13H05M00S\"><text:p>13:05</text:p>"
      "</table:table-cell>"
      "<table:table-cell office:value-type=\"boolean\" "
      "office:boolean-value=\"true\"><text:p>TRUE</text:p>"
      "</table:table-cell>"
      "<table:table-cell table:number-columns-repeated=\"1019\"/></table:table-row>"
      "<table:table-row table:number-rows-repeated=\"3\"><table:table-cell "
      "table:number-columns-repeated=\"1024\"/>"
      "</table:table-row>"
      "<table:table-row><table:table-cell table:number-columns-repeated=\"2\"/>"
      "<table:table-cell office:value-type=\"percentage\" "
      "office:value=\"0.25\"><text:p>25%</text:p>"
      "</table:table-cell>"
      "<table:table-cell office:value-type=\"date\" office:date-value=\"2024-01-31T08:30:00\"/>"
      "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"false\"/>"
      "<table:covered-table-cell/></table:table-row>"
      // The sheet's edge: a million empty rows are only counted.
      "<table:table-row table:number-rows-repeated=\"1048571\"><table:table-cell "
      "table:number-columns-repeated=\"1024\"/></table:table-row>"
      "</table:table>"
      "<table:table table:name=\"Other\"><table:table-row><table:table-cell "
      "office:value-type=\"float\" "
      "office:value=\"7\"/></table:table-row></table:table>";
  const std::string bytes = test::OdsBytes(tables);
  std::vector<std::string> names;
  ASSERT_TRUE(WorkbookSheetsFromBytes(bytes, names).Ok);
  EXPECT_EQ(names, (std::vector<std::string>{"Measures", "Other"}));

  TRead r = Read(bytes);
  ASSERT_TRUE(r.Result.Ok) << r.Result.Detail;
  const Rows want = {
      {"Part", "Size", "Made", "At", "OK"},
      {"A  1", "0.1", "20240131", "13:05:00", "1"},
      {"A  1", "0.1", "20240131", "13:05:00", "1"},
      {"", "", "0.25", "2024-01-31 08:30:00", "0"},
  };
  EXPECT_EQ(Cells(*r.List), want);
  EXPECT_TRUE(r.Result.Warnings.empty());

  TRead other = Read(bytes, "Other");
  ASSERT_TRUE(other.Result.Ok);
  EXPECT_EQ(Cells(*other.List), (Rows{{"Col1"}, {"7"}}));
}

TEST(Workbook, MoreThan512ColumnsAreTruncatedWithTheWarning) {
  std::string row;
  for (int c = 1; c <= 600; ++c) row += "<c><v>" + std::to_string(c) + "</v></c>";
  TRead r = Read(Sheet("<row>" + row + "</row>").Bytes());
  ASSERT_TRUE(r.Result.Ok);
  EXPECT_EQ(r.List->MaxCol(), MaxColumns);
  EXPECT_EQ(r.List->DataGrid.Cell(512, 1), "512");
  EXPECT_EQ(r.Result.Warnings, std::vector<std::string>{ColumnsTruncatedText});

  // The same through repeated OpenDocument cells.
  TRead o = Read(test::OdsBytes(
      "<table:table table:name=\"S\"><table:table-row><table:table-cell "
      "table:number-columns-repeated=\"600\" office:value-type=\"float\" office:value=\"1\"/>"
      "</table:table-row></table:table>"));
  ASSERT_TRUE(o.Result.Ok);
  EXPECT_EQ(o.List->MaxCol(), MaxColumns);
  EXPECT_EQ(o.Result.Warnings, std::vector<std::string>{ColumnsTruncatedText});
}

// A sheet of several megabytes is inflated on a second thread while it is parsed: every
// row arrives once and in order, and stopping or failing part-way ends the read cleanly.
TEST(Workbook, LargeSheetReadWhileInflating) {
  constexpr int N = 250000;
  std::string rows =
      "<row><c t=\"inlineStr\"><is><t>Case</t></is></c><c "
      "t=\"inlineStr\"><is><t>Half</t></is></c></row>";
  for (int i = 1; i <= N; ++i)
    rows += "<row><c><v>" + std::to_string(i) + "</v></c><c><v>" + std::to_string(i) +
            ".5</v></c></row>";
  ASSERT_GT(rows.size(), std::size_t(8) << 20);  // large enough for the second thread
  const std::string bytes = Sheet(rows).Bytes();

  TRead r = Read(bytes);
  ASSERT_TRUE(r.Result.Ok) << r.Result.Detail;
  ASSERT_EQ(r.List->Ncount, N);
  long double sum = 0;
  for (int i = 1; i <= N; ++i) sum += r.List->CellArray[1][i];
  EXPECT_EQ(sum, static_cast<long double>(N) * (N + 1) / 2);
  EXPECT_EQ(r.List->DataGrid.Cell(2, N), std::to_string(N) + ".5");

  TDataList stopped;
  TFileResult s = ReadWorkbookBytes(bytes, stopped, {}, [](double f) { return f < 0.3; });
  EXPECT_FALSE(s.Ok);
  EXPECT_EQ(s.Error, FileStoppedText);

  std::string broken = rows;
  broken.replace(broken.size() / 2, 0, "<row><c><v>1</v></row>");
  TRead b = Read(Sheet(broken).Bytes());
  EXPECT_FALSE(b.Result.Ok);
  EXPECT_NE(b.Result.Detail.find("malformed XML"), std::string::npos) << b.Result.Detail;
}

// Damaged, encrypted and hostile workbooks fail with "Error Reading File" and a reason.
TEST(Workbook, HostileWorkbooksFailWithAReason) {
  const std::string good = Sheet("<row><c><v>1</v></c></row>").Bytes();

  std::string crc = test::ZipBytes(Sheet("<row><c><v>12345</v></c></row>").Entries(), true);
  crc[crc.find("12345")] = '9';  // a stored entry's byte changed: its CRC no longer matches

  std::string bomb(3 << 20, ' ');  // 3 MB of blanks deflate to a few kB: far beyond 100x
  TXlsx bombed = Sheet("<row><c><v>1</v></c></row>" + bomb);

  std::string laughs =
      "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 "
      "\"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">]><sst><si><t>&lol2;</t></si></sst>";
  test::TEntries dtd = Sheet("<row><c t=\"s\"><v>0</v></c></row>").Entries();
  dtd.emplace_back("xl/sharedStrings.xml", laughs);

  test::TEntries encryptedOds = test::OdsEntries("");
  encryptedOds[1].second =
      "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
      "<manifest:file-entry manifest:full-path=\"content.xml\"><manifest:encryption-data/>"
      "</manifest:file-entry></manifest:manifest>";
  encryptedOds[2].second = "\x8f\x12 not xml at all";

  // An OpenDocument row repeated a billion times would fill the memory.
  const std::string repeated = test::OdsBytes(
      "<table:table table:name=\"S\"><table:table-row table:number-rows-repeated=\"1000000000\">"
      "<table:table-cell office:value-type=\"float\" "
      "office:value=\"1\"/></table:table-row></table:table>");

  struct Case {
    const char* name;
    std::string bytes;
    const char* reason;  // a piece of the detail
  };
  const Case cases[] = {
      {"empty", "", "the file is empty"},
      {"text", "Height\tWeight\r\n1\t2\r\n", "no zip archive"},
      {"truncated", good.substr(0, good.size() / 2), "damaged archive"},
      {"bad CRC", crc, "damaged archive entry xl/worksheets/sheet1.xml"},
      {"encrypted OOXML",
       std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0'), "encrypted"},
      {"encrypted ODS", test::ZipBytes(encryptedOds), "encrypted"},
      {"zip bomb", bombed.Bytes(), "inflates beyond"},
      {"repeat bomb", repeated, "expands beyond"},
      {"no workbook inside", test::ZipBytes({{"readme.txt", "hello"}}), "no spreadsheet"},
      {"malformed XML", test::ZipBytes(Sheet("<row><c><v>1</v></row>").Entries()), "malformed XML"},
      {"entity declarations", test::ZipBytes(dtd), "document type declaration"},
      {"shared string out of range", Sheet("<row><c t=\"s\"><v>7</v></c></row>").Bytes(),
       "shared string"},
      {"no sheets", TXlsx().Bytes(), "no sheets"},
  };
  for (const auto& c : cases) {
    TRead r = Read(c.bytes);
    EXPECT_FALSE(r.Result.Ok) << c.name;
    EXPECT_EQ(r.Result.Error, FileReadErrorText) << c.name;
    EXPECT_NE(r.Result.Detail.find(c.reason), std::string::npos)
        << c.name << ": " << r.Result.Detail;
  }
  // The ratio rule is the archive's: the same sheet in a larger archive of other parts
  // is read.
  TXlsx padded = bombed;
  std::string noise;
  unsigned s = 1;
  for (int i = 0; i < 200000; ++i)
    noise += static_cast<char>('a' + (s = s * 1103515245 + 12345) % 26);
  padded.Strings = {"<t>" + noise + "</t>"};
  TRead ok = Read(padded.Bytes());
  EXPECT_TRUE(ok.Result.Ok) << ok.Result.Detail;
}

class WorkbookFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDataState();
    Dir = fs::temp_directory_path() /
          ("sorvel_workbook_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override {
    ResetDataState();
    fs::remove_all(Dir);
  }
  void Write(const fs::path& p, const std::string& bytes) {
    std::ofstream f(p, std::ios::binary);
    f << bytes;
  }
  fs::path Dir;
};

// Opened from the editor: a failed read keeps the data set; a workbook is never written.
TEST_F(WorkbookFileTest, OpenKeepsTheDataSetOnFailureAndSavesOnlyUnderANewName) {
  const fs::path dat = Dir / "current.dat";
  Write(dat, "A\tB\r\n1\t2\r\n");
  ASSERT_TRUE(FileToDataGrid(dat.string()).Ok);
  DataEditor.FileModified = true;

  const fs::path bad = Dir / "bad.xlsx";
  Write(bad, "not a zip");
  TFileResult r = FileToDataGrid(bad.string());
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Error, FileReadErrorText);
  EXPECT_EQ(DataEditor.DataFilename, dat.string());
  EXPECT_EQ(DataList().DataGrid.Cell(1, 0), "A");
  EXPECT_TRUE(DataEditor.FileModified);

  // Only workbooks have sheets.
  r = FileToDataGrid(dat.string(), {}, "2");
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(DataEditor.DataFilename, dat.string());

  TXlsx x;
  x.Sheets = {
      {"First",
       "<row><c t=\"inlineStr\"><is><t>Size</t></is></c></row><row><c><v>4.5</v></c></row>"},
      {"Second",
       "<row><c t=\"inlineStr\"><is><t>Mass</t></is></c></row><row><c><v>7</v></c></row>"}};
  const fs::path book = Dir / "Book.XLSX";
  const std::string bytes = x.Bytes();
  Write(book, bytes);
  DataEditor.FileModified = false;
  r = FileToDataGrid(book.string(), {}, "Second");
  ASSERT_TRUE(r.Ok) << r.Detail;
  EXPECT_EQ(DataList().ColumnName(1), "Mass");
  EXPECT_EQ(DataEditor.DataFilename, book.string());
  EXPECT_EQ(WorkbookSaveName(book.string()), (Dir / "Book.sorvel").string());

  DataList().SetCellText(1, 1, "8");
  DataEditor.FileModified = true;
  TFileResult w = SaveFile(book.string(), TSaveOptions());
  EXPECT_FALSE(w.Ok);
  EXPECT_EQ(w.Error, FileWriteErrorText);
  EXPECT_NE(w.Detail.find("Book.sorvel"), std::string::npos) << w.Detail;
  EXPECT_TRUE(DataEditor.FileModified);
  EXPECT_EQ(DataEditor.DataFilename, book.string());
  std::ifstream f(book, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), {}), bytes);

  // Saved as the program's own file, it reads back as the same cells.
  const fs::path saved = Dir / "Book.sorvel";
  ASSERT_TRUE(SaveFile(saved.string(), TSaveOptions()).Ok);
  const Rows before = Cells(DataList());
  ASSERT_TRUE(FileToDataGrid(saved.string()).Ok);
  EXPECT_EQ(Cells(DataList()), before);

  std::vector<std::string> names;
  ASSERT_TRUE(WorkbookSheets(book.string(), names).Ok);
  EXPECT_EQ(names, (std::vector<std::string>{"First", "Second"}));
  EXPECT_FALSE(WorkbookSheets((Dir / "missing.ods").string(), names).Ok);
}

TEST(Workbook, WorkbookPathsAndSaveNames) {
  EXPECT_TRUE(IsWorkbookPath("a.xlsx"));
  EXPECT_TRUE(IsWorkbookPath("/d/A.ODS"));
  EXPECT_TRUE(IsWorkbookPath("b.xlsm"));
  EXPECT_FALSE(IsWorkbookPath("a.xls"));
  EXPECT_FALSE(IsWorkbookPath("a.sorvel"));
  EXPECT_FALSE(IsWorkbookPath("dir.xlsx/file"));
  EXPECT_EQ(WorkbookSaveName("/d/x.y/Book.ods"), "/d/x.y/Book.sorvel");
  EXPECT_EQ(WorkbookSaveName("/d/x.y/Book"), "/d/x.y/Book.sorvel");
}

}  // namespace
}  // namespace sorvel
