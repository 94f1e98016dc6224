// Reading a large workbook against the same data as a tab-separated file: 1,000,000 cases
// x 10 numeric columns (bench_files.h's file), as an .xlsx written to /tmp once the way
// spreadsheet programs write it (cell references, shared strings for the names, deflated).
//
//   bench_workbook                 times both reads (each with UpdateData and a first load);
//                                  Time is elapsed, CPU that of every thread of the process
//                                  (the workbook reader inflates, parses and builds the grid
//                                  on three threads, the text reader parses on every core)
//   bench_workbook --write-only    only writes /tmp/sorvel_bench_1m_x10.xlsx (for the
//                                  Python and R comparisons of bench/workbook_anchors.sh)
#include <benchmark/benchmark.h>
#include <zip.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "bench_files.h"

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "data/io/workbook.h"

namespace {

using namespace sorvel;

constexpr int Rows = bench::BigRows, Cols = 10;

std::string ColumnLetters(int c) {
  std::string s;
  for (; c > 0; c = (c - 1) / 26) s.insert(s.begin(), static_cast<char>('A' + (c - 1) % 26));
  return s;
}

// The .xlsx of the tab-separated file's cells.
std::string BigWorkbook() {
  const std::string path = "/tmp/sorvel_bench_1m_x" + std::to_string(Cols) + ".xlsx";
  if (std::filesystem::exists(path)) return path;
  std::ifstream in(bench::BigDataFile(Cols), std::ios::binary);
  std::string line, sheet, strings;
  sheet.reserve(std::size_t(360) << 20);
  sheet +=
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet "
      "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
  int r = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ++r;
    sheet += "<row r=\"" + std::to_string(r) + "\">";
    size_t from = 0;
    for (int c = 1; c <= Cols; ++c) {
      size_t tab = line.find('\t', from);
      std::string cell = line.substr(from, tab - from);
      from = tab + 1;
      std::string ref = ColumnLetters(c) + std::to_string(r);
      if (r == 1) {
        sheet += "<c r=\"" + ref + "\" t=\"s\"><v>" + std::to_string(c - 1) + "</v></c>";
        strings += "<si><t>" + cell + "</t></si>";
      } else {
        sheet += "<c r=\"" + ref + "\"><v>" + cell + "</v></c>";
      }
    }
    sheet += "</row>";
  }
  sheet += "</sheetData></worksheet>";
  const std::string ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  const std::string rns = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
  const std::string parts[][2] = {
      {"[Content_Types].xml",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
       "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default "
       "Extension=\"rels\" "
       "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default "
       "Extension=\"xml\" "
       "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
       "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/"
       "><Override "
       "PartName=\"/xl/worksheets/sheet1.xml\" "
       "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/"
       "><Override "
       "PartName=\"/xl/sharedStrings.xml\" "
       "ContentType=\"application/"
       "vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/><Override "
       "PartName=\"/xl/styles.xml\" "
       "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/></"
       "Types>"},
      {"_rels/.rels",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
       "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
       "Id=\"rId1\" Type=\"" +
           rns + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
      {"xl/workbook.xml",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook xmlns=\"" + ns + "\" xmlns:r=\"" + rns +
           "\"><sheets><sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
       // clang-format off
       "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" +
           rns + "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" + rns +
           "/sharedStrings\" Target=\"sharedStrings.xml\"/><Relationship Id=\"rId3\" Type=\"" + rns +
           "/styles\" Target=\"styles.xml\"/></Relationships>"},
      {"xl/sharedStrings.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"" + ns + "\">" + strings + "</sst>"},
      {"xl/styles.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><styleSheet xmlns=\"" + ns +
                            "\"><fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts><fills "
                            "count=\"1\"><fill><patternFill patternType=\"none\"/></fill></fills><borders "
                            "count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders><cellStyleXfs count=\"1\"><xf/></cellStyleXfs><cellXfs "
                            "count=\"1\"><xf numFmtId=\"0\"/></cellXfs></styleSheet>"},
      // clang-format on
      {"xl/worksheets/sheet1.xml", sheet},
  };
  const std::string tmp = path + ".part";
  int err = 0;
  zip_t* z = zip_open(tmp.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  for (const auto& p : parts) {
    zip_source_t* s = zip_source_buffer(z, p[1].data(), p[1].size(), 0);
    zip_file_add(z, p[0].c_str(), s, ZIP_FL_ENC_UTF_8);
  }
  if (!z || zip_close(z) != 0) return {};
  std::filesystem::rename(tmp, path);
  return path;
}

void CheckedRead(benchmark::State& state, bool workbook, const std::string& path) {
  for (auto _ : state) {
    auto list = std::make_unique<TDataList>();
    TFileResult r = workbook ? ReadWorkbookFile(path, *list) : ReadDataFile(path, *list);
    if (!r.Ok || list->Ncount != Rows || list->MaxCol() != Cols) state.SkipWithError("read failed");
    TRunInfo ri;
    ri.ColRefRun = LoadColumn;
    list->IncludeCol[1] = true;
    list->DataToA_Array(1, ri);
    if (A_ArrayCount != Rows) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(A_Array.data());
  }
  state.counters["file_MB"] = static_cast<double>(GetFileLength(path)) / 1e6;
}

void BM_ReadTabSeparated(benchmark::State& state) {
  CheckedRead(state, false, bench::BigDataFile(Cols));
}
BENCHMARK(BM_ReadTabSeparated)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3);

void BM_ReadXlsx(benchmark::State& state) {
  const std::string path = BigWorkbook();
  if (path.empty()) return state.SkipWithError("could not write the workbook");
  CheckedRead(state, true, path);
}
BENCHMARK(BM_ReadXlsx)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--write-only") == 0) return BigWorkbook().empty() ? 1 : 0;
  return sorvel::bench::RunBenchmarks(argc, argv);
}
