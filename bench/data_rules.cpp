// The data rules on 1,000,000 cases (bench/make_rules_data.py writes the file; this
// program runs it when the file is missing). bench/rules_anchors.sh times the same work
// in R and NumPy; run both side by side.
//
//   BM_ProcessIfMissingLogLoad  Process If 'Line in [1,3] or Shift = 2', missing 'X <= -99',
//                               LOG: the Value column into A_Array
//   BM_WeightCasesThenLoad      Weight Cases by Weight (about 2,000,000 cases), then the
//                               next load of Value (which parses the new cases)
//   BM_AddTransformedLog        Add Transformed Variable LOG of Value with the missing rule
//                               on: the text cells written, then parsed by the next load
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_files.h"

#include "data/data_rules.h"
#include "data/data_state.h"
#include "data/io/data_file.h"

namespace {

using namespace sorvel;

constexpr int Weight = 3, Value = 4;  // columns: Line, Shift, Weight, Value, Other

const std::string& RulesFile() {
  static const std::string path = [] {
    const std::string p = "/tmp/sorvel_bench_rules_1m.dat";
    if (!std::filesystem::exists(p)) {
      const std::string cmd = "python3 " SORVEL_SOURCE_DIR "/bench/make_rules_data.py " + p;
      if (std::system(cmd.c_str()) != 0) std::abort();
    }
    return p;
  }();
  return path;
}

// The file as read once; each benchmark works on a copy.
const TDataList& Loaded() {
  static const std::unique_ptr<TDataList> list = [] {
    auto l = std::make_unique<TDataList>();
    TFileResult r = ReadDataFile(RulesFile(), *l);
    if (!r.Ok || l->Ncount != bench::BigRows || l->MaxCol() != 5) std::abort();
    return l;
  }();
  return *list;
}

void Fresh() {
  ResetDataState();
  ReplaceDataList(std::make_unique<TDataList>(Loaded()));
}

void SetMissingRule() {
  TMissingChoice m;
  std::string error;
  if (!ParseMissingText("X <= -99", m, error)) std::abort();
  ApplyMissingChoice(m);
}

void SetLog() {
  std::string error;
  if (!SetTransform(TransformRec, TransformLog, "1", "0", "1", false, error)) std::abort();
}

int LoadColumn(int c) {
  TRunInfo ri;
  ri.ColRefRun = sorvel::LoadColumn;
  DataList().IncludeCol[c] = true;
  DataList().DataToA_Array(c, ri);
  return A_ArrayCount;
}

void BM_ProcessIfMissingLogLoad(benchmark::State& state) {
  Fresh();
  TProcessIfChoice p;
  std::string error;
  if (!ParseProcessIfText("Line in [1,3] or Shift = 2", DataList(), p, error)) std::abort();
  ApplyProcessIfChoice(p, DataList());
  SetMissingRule();
  SetLog();
  int n = 0;
  for (auto _ : state) {
    n = LoadColumn(Value);
    if (TransformRec.no != TransformLog) state.SkipWithError("transform error");
    benchmark::DoNotOptimize(A_Array.data());
  }
  state.counters["values"] = n;
}
BENCHMARK(BM_ProcessIfMissingLogLoad)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

void BM_WeightCasesThenLoad(benchmark::State& state) {
  std::int64_t rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Fresh();
    state.ResumeTiming();
    TDataCommandResult r = WeightCases(DataList(), Weight, [](std::int64_t) { return true; });
    if (!r.Done) state.SkipWithError("not weighted");
    rows = LoadColumn(Value);
    benchmark::DoNotOptimize(A_Array.data());
  }
  state.counters["cases"] = static_cast<double>(rows);
}
// CPU time of the whole process: the parse of new cells runs on every core.
BENCHMARK(BM_WeightCasesThenLoad)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(5);

void BM_AddTransformedLog(benchmark::State& state) {
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Fresh();
    SetMissingRule();
    SetLog();
    state.ResumeTiming();
    TDataCommandResult r = AddTransformedVariables(DataList(), {Value}, false, false);
    if (!r.Done || !r.Failed.empty()) state.SkipWithError("not added");
    n = LoadColumn(DataList().MaxCol());  // parses the new column's texts
    benchmark::DoNotOptimize(A_Array.data());
  }
  state.counters["values"] = n;
}
BENCHMARK(BM_AddTransformedLog)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) { return sorvel::bench::RunBenchmarks(argc, argv); }
