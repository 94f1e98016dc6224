// Histogram and box plots on 1,000,000 values (a fixed seed).
// bench/histogram_plots_anchors.sh times the same work in R; run both side by side (the
// machine's load moves both).
//
//   BM_Histogram         1,000,000 N(10, 2) values: sort, nice interval, counts, the chart model
//   BM_HistogramCurve    the same with the normal curve and the process limits
//   BM_HistogramPng      that chart (bars and curve) into a 1600 x 1000 PNG file
//   BM_BoxOutliers       B & W (outliers) of the same values in 10 groups of 100,000:
//                        quartiles, fences, outliers per group, the chart model
//   BM_BoxOutliersPng    that chart into a 1600 x 1000 PNG file
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <random>
#include <vector>

#include "explore/histogram.h"
#include "explore/plots.h"
#include "ui/chart_painter.h"

namespace {

using namespace sorvel;

const std::vector<double>& Values() {
  static const std::vector<double> x = [] {
    std::mt19937_64 g(20261210);
    std::normal_distribution<double> n(10, 2);
    std::vector<double> v(1000000);
    for (auto& e : v) e = n(g);
    return v;
  }();
  return x;
}

THistogramInputs Inputs(bool curve) {
  THistogramInputs in;
  in.Options.NormalCurve = curve;
  in.Options.ProcessLimits = curve;
  return in;
}

TChart HistogramOnce(bool curve) {
  std::vector<double> x = Values();
  const THistogramInputs in = Inputs(curve);
  return HistogramChart(ComputeHistogram(x, in), in, {{"Histogram: X"}, "Value", "", false});
}

void BM_Histogram(benchmark::State& state) {
  Values();
  for (auto _ : state) benchmark::DoNotOptimize(HistogramOnce(false));
}

void BM_HistogramCurve(benchmark::State& state) {
  Values();
  for (auto _ : state) benchmark::DoNotOptimize(HistogramOnce(true));
}

QString OutFile(const char* name) { return QDir::temp().filePath(QString("sorvel_bench_") + name); }

void BM_HistogramPng(benchmark::State& state) {
  const TChart chart = HistogramOnce(true);
  const QString path = OutFile("histogram.png");
  for (auto _ : state) SaveChartFile(chart, path, QSize(1600, 1000));
  state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
}

const std::vector<TExploreSet>& Groups() {
  static const std::vector<TExploreSet> sets = [] {
    std::vector<TExploreSet> s(10);
    const auto& x = Values();
    for (std::size_t i = 0; i < x.size(); ++i) s[i % 10].Values.push_back(x[i]);
    for (std::size_t k = 0; k < s.size(); ++k) s[k].Name = s[k].Title = "G" + std::to_string(k + 1);
    return s;
  }();
  return sets;
}

TChart BoxOnce() {
  TPlotOptions o;
  o.Kind = TPlotKind::BWOutliers;
  const TPlotResult r = ComputePlots(Groups(), o, nullptr);
  return PlotsChart(r, o, {{}, "Value", "Group", "", false});
}

void BM_BoxOutliers(benchmark::State& state) {
  Groups();
  for (auto _ : state) benchmark::DoNotOptimize(BoxOnce());
}

void BM_BoxOutliersPng(benchmark::State& state) {
  const TChart chart = BoxOnce();
  const QString path = OutFile("box_outliers.png");
  for (auto _ : state) SaveChartFile(chart, path, QSize(1600, 1000));
  state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
  state.counters["outliers"] = static_cast<double>(chart.PointCount());
}

BENCHMARK(BM_Histogram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistogramCurve)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistogramPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoxOutliers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoxOutliersPng)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // Painting needs the fonts of a GUI application, not a screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
