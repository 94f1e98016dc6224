// Where a chart's parts go on a device: margins, axis ranges and ticks, the mapping of data
// to pixels and back, and what lies under the mouse. Qt-free: text is measured through
// TChartMetrics, which the painter implements with the device's fonts and tests fake.
#pragma once

#include <string>
#include <vector>

#include "output/chart.h"

namespace sorvel {

enum class TChartFont { Title, Foot, AxisTitle, Label, Legend };

class TChartMetrics {
 public:
  virtual ~TChartMetrics() = default;
  // Device pixels of a text, and of a line of text, in a font of `points` points.
  virtual double TextWidth(const std::string& text, TChartFont font, double points) = 0;
  virtual double LineHeight(TChartFont font, double points) = 0;
};

struct TChartRect {
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
  double Width() const { return Right - Left; }
  double Height() const { return Bottom - Top; }
  bool Contains(double x, double y) const {
    return x >= Left && x <= Right && y >= Top && y <= Bottom;
  }
};

struct TChartTick {
  double Value = 0;
  double Pos = 0;  // pixel along the axis
  std::string Text;
};

struct TVerticalAxisLayout {
  double Min = 0, Max = 1;
  std::vector<TChartTick> Ticks;
};

struct TPanelLayout {
  TChartRect Plot;
  TVerticalAxisLayout Left, Extra;
};

// A zoomed view: the x range and each panel's left-axis range (extra axes follow in
// proportion).
struct TChartZoom {
  bool Active = false;
  double XMin = 0, XMax = 1;
  std::vector<double> YMin, YMax;  // per panel
};

struct TChartLayout {
  double Width = 0, Height = 0;
  double Scale = 1;  // device pixels per screen pixel (pens, points, gaps)
  TChartRect Plot;   // all panels together
  TChartRect TitleRect;
  std::vector<double> TitleLineTop, FootLineTop;
  double FootLeft = 0;
  double XMin = 0, XMax = 1;
  std::vector<TPanelLayout> Panels;
  std::vector<TChartTick> BottomTicks, TopTicks;
  double BottomLabelTop = 0;  // first pixel row of the bottom labels
  double BottomTitleTop = 0;
  double TopLabelTop = 0;
  double LeftTitleCentre = 0;  // pixel column of the rotated left-axis titles
  double ExtraTitleCentre = 0;
  double ExtraLabelLeft = 0;
  // The legend's box, its title's top and each entry's top (empty without a legend);
  // swatches are LegendSwatch pixels square at the box's left inside LegendPad.
  TChartRect Legend;
  double LegendTitleTop = 0;
  std::vector<double> LegendLineTop;
  double LegendSwatch = 0, LegendPad = 0;

  double MapX(double x) const { return Plot.Left + (x - XMin) / (XMax - XMin) * Plot.Width(); }
  double UnmapX(double px) const;
  double MapY(int panel, double y, bool extra = false) const {
    const TPanelLayout& p = Panels[static_cast<size_t>(panel)];
    const TVerticalAxisLayout& a = extra ? p.Extra : p.Left;
    return p.Plot.Bottom - (y - a.Min) / (a.Max - a.Min) * p.Plot.Height();
  }
  double UnmapY(int panel, double py, bool extra = false) const;
  // Pixels per slot (one x unit).
  double SlotPixels() const { return Plot.Width() / (XMax - XMin); }
  int PanelAt(double px, double py) const;  // -1 outside every panel
};

// Round steps (1, 2, 5 times a power of ten) from min to max, at most about maxCount.
std::vector<double> NiceTicks(double min, double max, int maxCount);

// The range of the series measured on one axis (missing values ignored); false when none.
bool SeriesRange(const TChart& chart, int panel, bool extra, double& min, double& max);
bool SeriesXRange(const TChart& chart, double& min, double& max);

TChartLayout LayoutChart(const TChart& chart, TChartMetrics& metrics, double width, double height,
                         double scale = 1, const TChartZoom* zoom = nullptr);

struct TChartHit {
  int Series = -1;  // -1: nothing
  size_t Point = 0;
  double Value = 0;
};
// The series point nearest to (px, py) within tolerance pixels, topmost first: points,
// line points, segments and candles.
TChartHit HitTest(const TChart& chart, const TChartLayout& layout, double px, double py,
                  double tolerance = 5);

// "X=" + label + "  Y=" + value, the readout of a hit (the label is the point's, else its x).
std::string ReadoutText(const TChart& chart, const TChartHit& hit, const std::string& format);

}  // namespace sorvel
