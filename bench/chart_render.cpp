// Drawing a 100,000-point Individuals / Moving Range chart: both panels, zone bands,
// three limits each, 1 % of the points coded (red, with a code text along the top).
// bench/chart_anchors.sh draws the same points with R's png(), svg() and pdf().
//
//   BM_ChartModel    building the chart model from the point values
//   BM_ChartPng      1600 x 1000 PNG file (painting and encoding)
//   BM_ChartRepaint  a repaint into a window-sized (1200 x 800) image, as the chart view does
//   BM_ChartSvg      SVG file, every point
//   BM_ChartPdf      PDF file, every point
// The file benchmarks report the file's size in the counter "bytes".
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <random>
#include <vector>

#include "ui/chart_painter.h"

namespace {

using namespace sorvel;

constexpr int Points = 100000;

struct TData {
  std::vector<double> X, Mr;
  std::vector<bool> Coded;
};

const TData& Data() {
  static const TData d = [] {
    TData t;
    std::mt19937_64 g(20261210);
    std::normal_distribution<double> n(50, 2);
    for (int i = 0; i < Points; ++i) {
      t.X.push_back(n(g));
      t.Mr.push_back(i ? std::abs(t.X[i] - t.X[i - 1]) : std::nan(""));
      t.Coded.push_back(i % 100 == 37);
    }
    return t;
  }();
  return d;
}

// One panel: zones around the centre, limits, the statistic as line and points.
void Panel(TChart& chart, int panel, const std::vector<double>& y, double cl, double sigma,
           const char* name) {
  const TData& d = Data();
  const TChartColor red{ChartRed, ChartBlack}, green{ChartGreen, ChartBlack},
      blue{ChartBlue, ChartBlack}, coded{ChartRed, 0x010000};
  struct TBand {
    double Lo, Hi;
    TRgb Color;
  } bands[] = {{-1, 1, 0xCCFFCC},
               {1, 2, 0xFFFF99},
               {-2, -1, 0xFFFF99},
               {2, 3, 0xFFCCCC},
               {-3, -2, 0xFFCCCC}};
  for (const auto& b : bands) {
    auto& s = chart.Add(TSeriesKind::Bands, "", panel);
    s.Palette = {{b.Color, ChartWhite}};
    for (int i = 0; i < Points; ++i) {
      s.X.push_back(i + 1);
      s.Y.push_back(std::max(0.0, cl + b.Lo * sigma));
      s.Y2.push_back(std::max(0.0, cl + b.Hi * sigma));
    }
  }
  const std::string n = name;
  const std::pair<const char*, double> limits[] = {
      {"LCL", std::max(0.0, cl - 3 * sigma)}, {"Centerline", cl}, {"UCL", cl + 3 * sigma}};
  for (const auto& [title, v] : limits) {
    auto& s = chart.Add(TSeriesKind::Segments, n + " " + title, panel);
    s.Palette = {std::string(title) == "Centerline" ? green : red};
    s.X.resize(Points);
    s.Y.assign(Points, v);
    for (int i = 0; i < Points; ++i) s.X[i] = i + 1;
  }
  auto& line = chart.Add(TSeriesKind::Line, "", panel);
  auto& pts = chart.Add(TSeriesKind::Points, n + " Statistic", panel);
  line.Palette = pts.Palette = {blue, coded};
  for (int i = 0; i < Points; ++i) {
    line.X.push_back(i + 1);
    line.Y.push_back(y[i]);
    line.ColorIndex.push_back(d.Coded[i] ? 1 : 0);
  }
  pts.X = line.X;
  pts.Y = line.Y;
  pts.ColorIndex = line.ColorIndex;
}

TChart BuildChart() {
  const TData& d = Data();
  TChart chart;
  chart.Title = {"Individuals and Moving Range Chart: Diameter"};
  chart.Panels.resize(2);
  chart.Panels[0].Left.Title = "X";
  chart.Panels[1].Left.Title = "MR";
  chart.Bottom.Title = "Point";
  auto& range = chart.Add(TSeriesKind::Range, "", 0);
  range.X = {1, Points};
  range.Y = {42, 58};
  Panel(chart, 0, d.X, 50, 2, "Location");
  Panel(chart, 1, d.Mr, 2.256, 0.853 * 2, "Dispersion");
  auto& codes = chart.Add(TSeriesKind::TopText, "", 0);
  codes.Palette = {{ChartRed, ChartBlack}};
  for (int i = 0; i < Points; ++i)
    if (d.Coded[i]) {
      codes.X.push_back(i + 1);
      codes.Labels.push_back("1");
    }
  chart.Foot = {"  Location Chart Control Limits [56, 44] from Average Moving Range"};
  return chart;
}

const TChart& Chart() {
  static const TChart c = BuildChart();
  return c;
}

QString OutFile(const char* name) { return QDir::temp().filePath(QString("sorvel_bench_") + name); }

void BM_ChartModel(benchmark::State& state) {
  Data();
  for (auto _ : state) benchmark::DoNotOptimize(BuildChart());
}

void BM_ChartPng(benchmark::State& state) {
  const QString path = OutFile("chart.png");
  for (auto _ : state) SaveChartFile(Chart(), path, QSize(1600, 1000));
  state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
}

void BM_ChartRepaint(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(RenderChartImage(Chart(), QSize(1200, 800)));
}

void BM_ChartSvg(benchmark::State& state) {
  const QString path = OutFile("chart.svg");
  for (auto _ : state) SaveChartFile(Chart(), path, QSize(1600, 1000));
  state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
}

void BM_ChartPdf(benchmark::State& state) {
  const QString path = OutFile("chart.pdf");
  for (auto _ : state) SaveChartFile(Chart(), path, QSize(1600, 1000));
  state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
}

BENCHMARK(BM_ChartModel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartSvg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartPdf)->Unit(benchmark::kMillisecond);

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
