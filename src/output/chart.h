// The chart model: what an analysis hands to the chart component. Titles and foot lines,
// one or two panels stacked by a split percentage, a shared bottom axis, and series in
// data coordinates with per-point colours. Qt-free; laid out by output/chart_layout.h and
// painted by ui/chart_painter.h on screen, into files, on the printer and the clipboard.
//
// Every value that is not finite (or is MissingValue) is missing: a gap in a line, no
// point, no bar, and it never widens an axis.
#pragma once

#include <cmath>
#include <cstdint>
#include <deque>
#include <limits>
#include <string>
#include <vector>

namespace sorvel {

using TRgb = std::uint32_t;  // 0xRRGGBB

inline constexpr TRgb ChartBlack = 0x000000;
inline constexpr TRgb ChartWhite = 0xFFFFFF;
inline constexpr TRgb ChartRed = 0xFF0000;
inline constexpr TRgb ChartGreen = 0x008000;
inline constexpr TRgb ChartBlue = 0x0000FF;
inline constexpr TRgb ChartSilver = 0xC0C0C0;

// A colour for each mode; the analysis picks both.
struct TChartColor {
  TRgb Color = ChartBlack;
  TRgb Mono = ChartBlack;  // black-and-white mode
  TRgb Get(bool blackWhite) const { return blackWhite ? Mono : Color; }
  bool operator==(const TChartColor&) const = default;
};

inline constexpr double ChartMissing = std::numeric_limits<double>::quiet_NaN();
// Not finite, or the data set's missing value (-2147483647, numerics/common.h).
inline bool ChartValueMissing(double v) { return !std::isfinite(v) || v == -2147483647.0; }

enum class TChartPen { Solid, Dash, Dot, None };
enum class TPointShape { Circle, Square, Diamond, Triangle, Cross };

enum class TSeriesKind {
  Line,      // X, Y joined; a missing Y leaves a gap; each piece in the later point's colour
  Points,    // markers at X, Y in the point's colour, Size pixels across, Labels beside them
  Bars,      // from Base up (or down) to Y, Width slots wide
  Candles,   // a stick from Y (low) to Y2 (high) with caps; a box from Y3 to Y4 when present
  Segments,  // a horizontal piece at Y across the slot of X (stepped limits)
  Bands,     // a filled slot at X from Y (lower) to Y2 (upper) (zones)
  TopText,   // Labels at X along the top of the panel
  Lines,     // X, Y to X2, Y2; with FullHeight the vertical line at X across the panel
  Polygons,  // Polygons, vertices in data coordinates plus pixel offsets
  Range,     // invisible: its Y values only widen the axis
};

struct TChartVertex {
  double X = 0, Y = 0;    // data coordinates
  double Dx = 0, Dy = 0;  // then moved by pixels (at screen scale; Dy down)
};

struct TChartPolygon {
  std::vector<TChartVertex> Vertices;
  int ColorIndex = 0;
};

struct TChartSeries {
  TSeriesKind Kind = TSeriesKind::Line;
  std::string Title;       // shown by the mouse readout
  int Panel = 0;           // 0 the top panel, 1 the lower one
  bool ExtraAxis = false;  // measured on the panel's extra (right) axis
  bool Visible = true;

  std::vector<double> X, Y;
  std::vector<double> X2, Y2, Y3, Y4;  // by kind, see above
  std::vector<std::string> Labels;     // per point; may be shorter than X
  // Colours: Palette[ColorIndex[i]], or Palette[0] when ColorIndex is empty.
  std::vector<TChartColor> Palette{TChartColor{}};
  std::vector<std::uint8_t> ColorIndex;
  std::vector<TChartPolygon> Polygons;

  double Width = 1;  // pen width in pixels (lines), slots (bars), cap length in slots (candles)
  TChartPen Pen = TChartPen::Solid;
  double Size = 3;  // points: pixels from the centre to the edge
  TPointShape Shape = TPointShape::Circle;
  double Base = 0;  // bars
  // Candles: the box's width in slots (0: one and a half times Width), its fill, and the
  // pen of stick, caps and box in pixels.
  double BoxWidth = 0;
  TChartColor BoxFill{ChartWhite, ChartWhite};
  double PenWidth = 1;
  bool FullHeight = false;  // Lines
  int TextSize = 8;         // labels and top texts, points

  size_t Count() const { return X.size(); }
  const TChartColor& PointColor(size_t i) const {
    return Palette[ColorIndex.empty() || ColorIndex[i] >= Palette.size() ? 0 : ColorIndex[i]];
  }
  std::string Label(size_t i) const { return i < Labels.size() ? Labels[i] : std::string(); }
};

// A value format as "#,##0.###": "," groups thousands, each "0" after the point is a decimal
// always shown, each "#" one shown when not zero.
struct TValueFormat {
  bool Group = true;
  int MinDecimals = 0;
  int MaxDecimals = 3;
};
TValueFormat ParseValueFormat(const std::string& format);
std::string FormatAxisValue(double v, const std::string& format);

struct TChartAxis {
  std::string Title;
  bool Automatic = true;  // the range of the series measured on it
  double Min = 0, Max = 1;
  std::string Format = "#,##0.###";
  bool Grid = true;
  bool Visible = true;
};

struct TChartPanel {
  TChartAxis Left;
  bool HasExtra = false;  // a vertical axis on the right
  TChartAxis Extra;
};

struct TAxisLabel {
  double X = 0;
  std::string Text;
};

struct TBottomAxis {
  std::string Title;
  bool Automatic = true;
  double Min = 0, Max = 1;
  std::string Format = "#,##0.###";
  bool Grid = false;
  // Labels at given x positions instead of numbers; those that would overlap are thinned.
  std::vector<TAxisLabel> Labels;
  int LabelAngle = 0;                 // 0 or 315 (reading down to the right)
  std::vector<TAxisLabel> TopLabels;  // optional labels along the top of the chart
  double Pad = 0.5;  // an automatic range reaches this far beyond the outer x values
};

struct TChartFonts {  // points
  int Title = 12;
  int Foot = 9;
  int YTitle = 10;
  int YLabel = 8;
  int XTitle = 10;
  int XLabel = 8;
  int Legend = 8;
};

// A box at the right of the plot naming series: a swatch of each entry's colour beside
// its text, under an optional title. Drawn only when it has entries.
struct TLegendEntry {
  std::string Text;
  TChartColor Color;
};
struct TChartLegend {
  std::string Title;
  std::vector<TLegendEntry> Entries;
};

struct TChart {
  std::vector<std::string> Title;  // lines
  std::vector<std::string> Foot;
  TChartColor TitleColor{ChartBlue, ChartBlack};
  TChartColor FootColor{ChartBlue, ChartBlack};
  TChartFonts Fonts;
  std::vector<TChartPanel> Panels{TChartPanel{}};  // one or two
  int Split = 60;  // percent of the height the top panel takes when there are two
  TBottomAxis Bottom;
  // Drawn in order. A deque, so that the reference Add returns stays valid while more
  // series are added.
  std::deque<TChartSeries> Series;
  TChartLegend Legend;
  // Room left empty around everything, in percent of the chart's width (left, right) and
  // height (top, bottom); a larger margin draws the chart smaller.
  double MarginLeft = 0, MarginRight = 0, MarginTop = 0, MarginBottom = 0;
  // Screen pixels that 3-D faces (polygon offsets) reach right of and above the plot:
  // kept free beside it, and polygons are drawn into them.
  double DepthX = 0, DepthY = 0;
  bool BlackWhite = false;

  TChartSeries& Add(TSeriesKind kind, std::string title, int panel = 0);
  size_t PointCount() const;  // points of all Points series (tests, exports)
  // The vertical axis the titles dialog calls Y2: the lower panel's axis, else the top
  // panel's extra axis; nullptr when there is none.
  TChartAxis* ExtraVerticalAxis();
  const TChartAxis* ExtraVerticalAxis() const;
};

// Shared by every chart window for the whole program.
bool& ChartBlackWhite();           // false at start
std::string& SharedReportTitle();  // empty at start

}  // namespace sorvel
