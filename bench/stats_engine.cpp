// The descriptive engine on 1,000,000 standard normal values (a fixed seed).
// bench/stats_engine_anchors.sh times the same work in R and NumPy/SciPy; run both side by
// side (the machine's load moves both).
//
//   BM_StatsByCodeS   StatsByCode('S'): sort, quartiles, mean, SD, mean absolute
//                     deviations, moments, G1, G2 (each iteration on a fresh copy)
//   BM_StatsByCodeT   StatsByCode('T'): adds Shapiro-Wilk, Lin-Mudholkar, Anderson-Darling
//   BM_RadixSort      the engine's sort alone, and BM_StdSort std::sort, for comparison
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "stats/stats_engine.h"

namespace {

using namespace sorvel;

const std::vector<double>& Normals() {
  static const std::vector<double> x = [] {
    std::mt19937_64 g(20261210);
    std::normal_distribution<double> n;
    std::vector<double> v(1000000);
    for (auto& e : v) e = n(g);
    return v;
  }();
  return x;
}

void ByCode(benchmark::State& state, char code) {
  std::vector<double> x;
  for (auto _ : state) {
    x = Normals();
    TStatsEngine e(x);
    e.StatsByCode(code);
    benchmark::DoNotOptimize(e.Stats);
  }
}

void BM_StatsByCodeS(benchmark::State& state) { ByCode(state, 'S'); }
void BM_StatsByCodeT(benchmark::State& state) {
  ResetStatsEngineState();  // the Shapiro-Wilk coefficients once, as a first run has them
  ByCode(state, 'T');
}

void BM_RadixSort(benchmark::State& state) {
  std::vector<double> x;
  for (auto _ : state) {
    x = Normals();
    SortDoubles(x);
    benchmark::DoNotOptimize(x.data());
  }
}

void BM_StdSort(benchmark::State& state) {
  std::vector<double> x;
  for (auto _ : state) {
    x = Normals();
    std::sort(x.begin(), x.end());
    benchmark::DoNotOptimize(x.data());
  }
}

BENCHMARK(BM_StatsByCodeS)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatsByCodeT)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RadixSort)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSort)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
