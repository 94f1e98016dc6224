// Block edits on a large data set: clearing and pasting a whole column (column 2) of a
// 1,000,000-case file of 10 or 2 numeric columns (the argument).
//
//   bench_grid_edit                         time the edits, and the peak memory of each
//   bench_grid_edit --peak-child MODE FILE  (used by BM_PeakMemory) read FILE, edit, print peak RSS
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_files.h"

#include "data/data_state.h"
#include "data/grid_edit.h"
#include "data/io/data_file.h"

namespace {

using namespace sorvel;

constexpr int Rows = bench::BigRows;

// What the clipboard holds when a user pastes a column of a million values.
const std::string& ColumnText() {
  static const std::string text = [] {
    std::string t;
    for (int r = 1; r <= Rows; ++r) t += std::to_string(r % 977) + ".25\r\n";
    return t;
  }();
  return text;
}

// The edits measured. "clear-cellwise" clears cell by cell (the way a small block is
// cleared), for comparison.
void Edit(const std::string& mode, TDataList& list) {
  const int last = list.DataGrid.RowCount() - 1;
  if (mode == "clear") {
    ClearDataBlock(list, {2, 1, 2, last});
  } else if (mode == "clear-cellwise") {
    for (int r = 1; r <= last; ++r) list.SetCellText(2, r, "");
  } else if (mode == "paste") {
    PasteIntoData(list, ColumnText(), {2, 1, 2, 1}, {});
  }
}

void BM_BlockEdit(benchmark::State& state, const std::string& mode) {
  const std::string path = bench::BigDataFile(static_cast<int>(state.range(0)));
  std::size_t before = 0, after = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto list = std::make_unique<TDataList>();
    if (!ReadDataFile(path, *list).Ok) state.SkipWithError("read failed");
    ColumnText();
    before = list->DataGrid.MemoryBytes();
    state.ResumeTiming();
    Edit(mode, *list);
    list->UpdateData();  // the changed rows parsed again, ready for an analysis
    state.PauseTiming();
    after = list->DataGrid.MemoryBytes();
    list.reset();
    state.ResumeTiming();
  }
  state.counters["grid_MB_before"] = static_cast<double>(before) / 1e6;
  state.counters["grid_MB_after"] = static_cast<double>(after) / 1e6;
}
BENCHMARK_CAPTURE(BM_BlockEdit, clear_column, std::string("clear"))
    ->Arg(10)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_BlockEdit, paste_column, std::string("paste"))
    ->Arg(10)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_BlockEdit, clear_column_cellwise, std::string("clear-cellwise"))
    ->Arg(10)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Peak resident memory of a fresh child process that reads the file and makes one edit
// ("read" makes none), against the file's size.
std::string Self;
void BM_PeakMemory(benchmark::State& state, const std::string& mode) {
  const std::string path = bench::BigDataFile(static_cast<int>(state.range(0)));
  const double size = static_cast<double>(GetFileLength(path));
  long peakKb = 0;
  for (auto _ : state) {
    peakKb = bench::RunChild(Self, {"--peak-child", mode, path});
    if (peakKb < 0) state.SkipWithError("child failed");
  }
  state.counters["file_MB"] = size / 1e6;
  state.counters["peak_MB"] = peakKb * 1024.0 / 1e6;
  state.counters["peak_per_file_size"] = peakKb * 1024.0 / size;
}
BENCHMARK_CAPTURE(BM_PeakMemory, read_only, std::string("read"))
    ->Arg(10)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_PeakMemory, clear_column, std::string("clear"))
    ->Arg(10)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_PeakMemory, paste_column, std::string("paste"))
    ->Arg(10)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_PeakMemory, clear_column_cellwise, std::string("clear-cellwise"))
    ->Arg(10)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--peak-child") == 0) {
    auto list = std::make_unique<TDataList>();
    if (!ReadDataFile(argv[3], *list).Ok) return 1;
    Edit(argv[2], *list);
    list->UpdateData();
    std::printf("%ld\n", bench::PeakRssKb());
    return 0;
  }
  Self = bench::SelfPath();
  return bench::RunBenchmarks(argc, argv);
}
