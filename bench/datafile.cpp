// Reading, parsing and saving a large data file: 1,000,000 cases x 10 numeric columns,
// tab-separated with a names line (about 80 MB), written to /tmp once; and the same as a
// comma-separated file the way R writes it.
//
//   bench_datafile                      time the read (with UpdateData), the save and an edit
//   bench_datafile --peak-child FILE    (used by BM_PeakMemory) read FILE, print peak RSS
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "bench_files.h"

#include "data/data_state.h"
#include "data/io/data_file.h"

namespace {

using namespace sorvel;

constexpr int Rows = bench::BigRows, Cols = 10;

const std::string& BigFile() {
  static const std::string path = bench::BigDataFile(Cols);
  return path;
}

void BM_ReadBigFile(benchmark::State& state) {
  const std::string& path = BigFile();
  double size = static_cast<double>(GetFileLength(path));
  for (auto _ : state) {
    auto list = std::make_unique<TDataList>();
    TFileResult r = ReadDataFile(path, *list);
    if (!r.Ok || list->Ncount != Rows || list->MaxCol() != Cols) state.SkipWithError("read failed");
    // Ready for an analysis: a first load of one column.
    TRunInfo ri;
    ri.ColRefRun = LoadColumn;
    list->IncludeCol[1] = true;
    list->DataToA_Array(1, ri);
    if (A_ArrayCount != Rows) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(A_Array.data());
  }
  state.counters["MB"] = size / 1e6;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_ReadBigFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The same numbers as R's write.csv lays them out: quoted names, a quoted row name first
// on every line, LF line ends; written to /tmp once.
const std::string& BigCsvFile() {
  static const std::string path = [] {
    std::string p = "/tmp/sorvel_bench_1m_x" + std::to_string(Cols) + "_r.csv";
    if (std::filesystem::exists(p)) return p;
    std::FILE* in = std::fopen(BigFile().c_str(), "rb");
    std::FILE* out = std::fopen(p.c_str(), "wb");
    if (!in || !out) std::abort();
    char buf[1024];
    long row = 0;
    while (std::fgets(buf, sizeof buf, in)) {
      std::string line(buf);
      while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
      std::string csv = row == 0 ? "\"\"" : "\"" + std::to_string(row) + "\"";
      size_t b = 0;
      for (;;) {
        size_t e = line.find('\t', b);
        std::string field = line.substr(b, e == std::string::npos ? std::string::npos : e - b);
        csv += row == 0 ? ",\"" + field + "\"" : "," + field;
        if (e == std::string::npos) break;
        b = e + 1;
      }
      csv += '\n';
      std::fputs(csv.c_str(), out);
      ++row;
    }
    std::fclose(in);
    std::fclose(out);
    return p;
  }();
  return path;
}

void BM_ReadBigCsvFile(benchmark::State& state) {
  const std::string& path = BigCsvFile();
  double size = static_cast<double>(GetFileLength(path));
  for (auto _ : state) {
    auto list = std::make_unique<TDataList>();
    TFileResult r = ReadDataFile(path, *list);
    if (!r.Ok || list->Ncount != Rows || list->MaxCol() != Cols + 1 || list->StringVar[1])
      state.SkipWithError("read failed");
  }
  state.counters["MB"] = size / 1e6;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_ReadBigCsvFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_SaveBigFile(benchmark::State& state) {
  auto list = std::make_unique<TDataList>();
  ReadDataFile(BigFile(), *list);
  std::string out = "/tmp/sorvel_bench_save.dat";
  for (auto _ : state) {
    TFileResult r = WriteDataFile(out, *list, TSaveOptions());
    if (!r.Ok) state.SkipWithError("write failed");
  }
  state.counters["MB"] = static_cast<double>(GetFileLength(out)) / 1e6;
  std::filesystem::remove(out);
}
BENCHMARK(BM_SaveBigFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_EditOneCellAndUpdate(benchmark::State& state) {
  auto list = std::make_unique<TDataList>();
  ReadDataFile(BigFile(), *list);
  int row = 1;
  for (auto _ : state) {
    list->SetCellText(3, row, std::to_string(row));
    list->UpdateData();
    if (list->LastParsedRows() != 1) state.SkipWithError("more than one row parsed");
    row = row % Rows + 1;
  }
}
BENCHMARK(BM_EditOneCellAndUpdate)->Unit(benchmark::kMillisecond);

// Iterating the levels of a grouping column of date codes (20240101 ... 20241231): the
// cost follows the rows and the 366 levels present, not the 1,130 integers the codes span.
void BM_LevelsOfWideCodes(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  std::string text = "Day\tValue\r\n";
  std::mt19937 rng(7);
  for (int r = 0; r < rows; ++r) {
    int day = static_cast<int>(rng() % 366);
    int month = 1 + day / 31, dom = 1 + day % 31;
    text +=
        std::to_string(20240000 + month * 100 + dom) + "\t" + std::to_string(rng() % 1000) + "\r\n";
  }
  auto list = std::make_unique<TDataList>();
  ReadDataBytes(text, *list);
  TRunInfo ri;
  ri.ColRefRun = LoadMeasureByLevel;
  ri.measure = 2;
  ri.index = 1;
  ri.Afirst = static_cast<int>(list->ColumnLow[1]);
  ri.Alast = static_cast<int>(list->ColumnHigh[1]);
  long long sets = 0;
  for (auto _ : state) {
    list->SetCellText(2, 1, "5");  // an edit: the rows are indexed by level again
    list->SetupIndex(ri);
    while (list->GetAR(ri)) ++sets;
  }
  state.counters["sets"] = static_cast<double>(sets) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_LevelsOfWideCodes)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Peak resident memory of a process that only reads the file (a fresh child of this
// program), against the file's size.
std::string Self;
void BM_PeakMemory(benchmark::State& state) {
  const std::string& path = BigFile();
  double size = static_cast<double>(GetFileLength(path));
  long peakKb = 0;
  for (auto _ : state) {
    peakKb = bench::RunChild(Self, {"--peak-child", path});
    if (peakKb < 0) state.SkipWithError("child failed");
  }
  state.counters["peak_MB"] = peakKb * 1024.0 / 1e6;
  state.counters["peak_per_file_size"] = peakKb * 1024.0 / size;
}
BENCHMARK(BM_PeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--peak-child") == 0) {
    auto list = std::make_unique<TDataList>();
    TFileResult r = ReadDataFile(argv[2], *list);
    TRunInfo ri;
    ri.ColRefRun = LoadColumn;
    list->IncludeCol[1] = true;
    list->DataToA_Array(1, ri);
    if (!r.Ok) return 1;
    std::printf("%ld\n", bench::PeakRssKb());
    return 0;
  }
  Self = bench::SelfPath();
  return bench::RunBenchmarks(argc, argv);
}
