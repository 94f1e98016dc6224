#include "output/chart_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sorvel {

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

struct TExtent {
  double Min = Inf, Max = -Inf;
  void Add(double v) {
    if (ChartValueMissing(v)) return;
    Min = std::min(Min, v);
    Max = std::max(Max, v);
  }
  void AddAll(const std::vector<double>& vs) {
    for (double v : vs) Add(v);
  }
  bool Empty() const { return Min > Max; }
};

// A range that can be drawn: an empty one becomes 0..1, a single value gets room around it.
void Settle(TExtent& e) {
  if (e.Empty()) {
    e.Min = 0;
    e.Max = 1;
  } else if (e.Max - e.Min <= std::abs(e.Max) * 1e-12) {
    double d = e.Max == 0 ? 1 : std::abs(e.Max) * 0.1;
    e.Min -= d;
    e.Max += d;
  }
}

std::vector<TChartTick> VerticalTicks(double min, double max, const std::string& format, double top,
                                      double bottom, double labelHeight) {
  std::vector<TChartTick> ticks;
  int room = static_cast<int>((bottom - top) / std::max(1.0, 2 * labelHeight));
  for (double v : NiceTicks(min, max, std::max(2, room))) {
    double pos = bottom - (v - min) / (max - min) * (bottom - top);
    ticks.push_back({v, pos, FormatAxisValue(v, format)});
  }
  return ticks;
}

double WidestText(TChartMetrics& m, const std::vector<TChartTick>& ticks, TChartFont font,
                  double points) {
  double w = 0;
  for (const auto& t : ticks) w = std::max(w, m.TextWidth(t.Text, font, points));
  return w;
}

// Labels at their x positions, thinned so that none overlaps the one before: only labels
// that may fit are measured (a 100,000-point axis measures a few dozen).
// keepInside: a label is moved (not centred on its x) so that it stays over the plot, as
// set names along the top must; bottom labels stay under their ticks.
std::vector<TChartTick> ThinLabels(const std::vector<TAxisLabel>& labels, const TChartLayout& l,
                                   TChartMetrics& m, double points, bool rotated, double gap,
                                   bool keepInside = false) {
  std::vector<TChartTick> out;
  double lastEnd = -Inf;
  double nextFrom = -Inf;  // a label that did not fit says how far the next must be
  double rotatedStep = m.LineHeight(TChartFont::Label, points);
  for (const auto& label : labels) {
    if (ChartValueMissing(label.X) || label.X < l.XMin || label.X > l.XMax) continue;
    double pos = l.MapX(label.X);
    if (pos < lastEnd + gap || pos < nextFrom) continue;
    if (rotated) {
      out.push_back({label.X, pos, label.Text});
      lastEnd = pos + rotatedStep - gap;
      continue;
    }
    double w = m.TextWidth(label.Text, TChartFont::Label, points);
    if (keepInside && w < l.Plot.Width())
      pos = std::clamp(pos, l.Plot.Left + w / 2, l.Plot.Right - w / 2);
    if (pos - w / 2 < lastEnd + gap) {
      nextFrom = lastEnd + gap + w / 2;
      continue;
    }
    out.push_back({label.X, pos, label.Text});
    lastEnd = pos + w / 2;
  }
  return out;
}

}  // namespace

double TChartLayout::UnmapX(double px) const {
  return XMin + (px - Plot.Left) / Plot.Width() * (XMax - XMin);
}

double TChartLayout::UnmapY(int panel, double py, bool extra) const {
  const TPanelLayout& p = Panels[static_cast<size_t>(panel)];
  const TVerticalAxisLayout& a = extra ? p.Extra : p.Left;
  return a.Min + (p.Plot.Bottom - py) / p.Plot.Height() * (a.Max - a.Min);
}

int TChartLayout::PanelAt(double px, double py) const {
  for (size_t i = 0; i < Panels.size(); ++i)
    if (Panels[i].Plot.Contains(px, py)) return static_cast<int>(i);
  return -1;
}

std::vector<double> NiceTicks(double min, double max, int maxCount) {
  std::vector<double> out;
  if (!(max > min) || !std::isfinite(min) || !std::isfinite(max) || maxCount < 1) return out;
  double raw = (max - min) / maxCount;
  double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = power;
  for (double f : {1.0, 2.0, 5.0, 10.0}) {
    step = f * power;
    if (step >= raw) break;
  }
  double first = std::ceil(min / step - 1e-9) * step;
  for (int i = 0;; ++i) {
    double v = first + i * step;
    if (v > max + step * 1e-9) break;
    if (std::abs(v) < step * 1e-9) v = 0;  // no -0 or 1e-17 for zero
    out.push_back(v);
  }
  return out;
}

bool SeriesRange(const TChart& chart, int panel, bool extra, double& min, double& max) {
  TExtent e;
  for (const auto& s : chart.Series) {
    if (s.Panel != panel || s.ExtraAxis != extra) continue;
    switch (s.Kind) {
      case TSeriesKind::TopText: break;
      case TSeriesKind::Lines:
        if (!s.FullHeight) {
          e.AddAll(s.Y);
          e.AddAll(s.Y2);
        }
        break;
      case TSeriesKind::Polygons:
        for (const auto& p : s.Polygons)
          for (const auto& v : p.Vertices) e.Add(v.Y);
        break;
      case TSeriesKind::Bars:
        e.AddAll(s.Y);
        if (!s.Y.empty()) e.Add(s.Base);
        break;
      default:
        e.AddAll(s.Y);
        e.AddAll(s.Y2);
        e.AddAll(s.Y3);
        e.AddAll(s.Y4);
    }
  }
  if (e.Empty()) return false;
  min = e.Min;
  max = e.Max;
  return true;
}

bool SeriesXRange(const TChart& chart, double& min, double& max) {
  TExtent e;
  for (const auto& s : chart.Series) {
    if (s.Kind == TSeriesKind::Polygons) {
      for (const auto& p : s.Polygons)
        for (const auto& v : p.Vertices) e.Add(v.X);
      continue;
    }
    e.AddAll(s.X);
    if (s.Kind == TSeriesKind::Lines) e.AddAll(s.X2);
  }
  if (e.Empty()) return false;
  min = e.Min;
  max = e.Max;
  return true;
}

TChartLayout LayoutChart(const TChart& chart, TChartMetrics& m, double width, double height,
                         double scale, const TChartZoom* zoom) {
  TChartLayout l;
  l.Width = width;
  l.Height = height;
  l.Scale = scale;
  const TChartFonts& f = chart.Fonts;
  const double margin = 8 * scale, gap = 4 * scale, tick = 4 * scale;
  const double marginLeft = margin + width * std::max(0.0, chart.MarginLeft) / 100;
  const double marginRight = margin + width * std::max(0.0, chart.MarginRight) / 100;
  const double marginTop = margin + height * std::max(0.0, chart.MarginTop) / 100;
  const double marginBottom = margin + height * std::max(0.0, chart.MarginBottom) / 100;

  // Title lines centred at the top, foot lines at the bottom left.
  double y = marginTop;
  double titleWidth = 0;
  for (const auto& line : chart.Title) {
    l.TitleLineTop.push_back(y);
    titleWidth = std::max(titleWidth, m.TextWidth(line, TChartFont::Title, f.Title));
    y += m.LineHeight(TChartFont::Title, f.Title);
  }
  l.TitleRect = {width / 2 - titleWidth / 2, marginTop, width / 2 + titleWidth / 2, y};
  double top = y + (chart.Title.empty() ? 0 : gap);
  double footHeight = m.LineHeight(TChartFont::Foot, f.Foot);
  double bottom = height - marginBottom - footHeight * static_cast<double>(chart.Foot.size());
  for (size_t i = 0; i < chart.Foot.size(); ++i)
    l.FootLineTop.push_back(bottom + footHeight * static_cast<double>(i));
  if (!chart.Foot.empty()) bottom -= gap;

  // Texts along the top of the plot.
  bool topTexts = !chart.Bottom.TopLabels.empty();
  for (const auto& s : chart.Series)
    if (s.Kind == TSeriesKind::TopText && s.Visible && !s.X.empty()) topTexts = true;
  double labelLine = m.LineHeight(TChartFont::Label, f.XLabel);
  if (topTexts) {
    l.TopLabelTop = top;
    top += labelLine + gap;
  }

  // The x range.
  TExtent ex;
  double xmin = 0, xmax = 1;
  if (!chart.Bottom.Automatic) {
    ex.Add(chart.Bottom.Min);
    ex.Add(chart.Bottom.Max);
  } else if (SeriesXRange(chart, xmin, xmax)) {
    ex.Add(xmin - chart.Bottom.Pad);
    ex.Add(xmax + chart.Bottom.Pad);
  }
  Settle(ex);
  l.XMin = ex.Min;
  l.XMax = ex.Max;
  if (zoom && zoom->Active && zoom->XMax > zoom->XMin) {
    l.XMin = zoom->XMin;
    l.XMax = zoom->XMax;
  }

  // Vertical ranges and ticks, first on a guessed height to measure the labels' widths.
  const size_t panels = std::clamp<size_t>(chart.Panels.size(), 1, 2);
  const TChartPanel defaultPanel;
  auto panelOf = [&](size_t i) -> const TChartPanel& {
    return i < chart.Panels.size() ? chart.Panels[i] : defaultPanel;
  };
  l.Panels.resize(panels);
  double yLabelLine = m.LineHeight(TChartFont::Label, f.YLabel);
  for (size_t i = 0; i < panels; ++i) {
    for (bool extra : {false, true}) {
      const TChartAxis& axis = extra ? panelOf(i).Extra : panelOf(i).Left;
      if (extra && !panelOf(i).HasExtra) continue;
      TExtent e;
      double lo, hi;
      if (!axis.Automatic) {
        e.Add(axis.Min);
        e.Add(axis.Max);
      } else if (SeriesRange(chart, static_cast<int>(i), extra, lo, hi)) {
        e.Add(lo);
        e.Add(hi);
      }
      Settle(e);
      TVerticalAxisLayout& a = extra ? l.Panels[i].Extra : l.Panels[i].Left;
      a.Min = e.Min;
      a.Max = e.Max;
    }
    if (zoom && zoom->Active && i < zoom->YMin.size() && zoom->YMax[i] > zoom->YMin[i]) {
      TVerticalAxisLayout& a = l.Panels[i].Left;
      TVerticalAxisLayout& b = l.Panels[i].Extra;
      double lo = (zoom->YMin[i] - a.Min) / (a.Max - a.Min);
      double hi = (zoom->YMax[i] - a.Min) / (a.Max - a.Min);
      double bspan = b.Max - b.Min;
      b.Min += lo * bspan;
      b.Max = b.Min + (hi - lo) * bspan;
      a.Min = zoom->YMin[i];
      a.Max = zoom->YMax[i];
    }
  }

  // Bottom labels: their height (rotated ones by their widest text) and the title's.
  const bool rotated = chart.Bottom.LabelAngle == 315;
  double bottomLabels = labelLine;
  if (rotated) {
    double widest = 0;
    // Measured on at most a few hundred evenly spread labels: enough to size the margin.
    const auto& labels = chart.Bottom.Labels;
    size_t stride = std::max<size_t>(1, labels.size() / 200);
    for (size_t i = 0; i < labels.size(); i += stride)
      widest = std::max(widest, m.TextWidth(labels[i].Text, TChartFont::Label, f.XLabel));
    bottomLabels = std::min(height * 0.4, (widest + labelLine) * std::sqrt(0.5));
  }
  double bottomTitle =
      chart.Bottom.Title.empty() ? 0 : m.LineHeight(TChartFont::AxisTitle, f.XTitle);
  double plotBottom =
      bottom - bottomTitle - (bottomTitle > 0 ? gap : 0) - bottomLabels - tick - gap;
  l.BottomTitleTop = plotBottom + tick + gap + bottomLabels + gap;
  l.BottomLabelTop = plotBottom + tick + gap / 2;

  double leftTitle = 0, extraTitle = 0;
  bool anyExtra = false;
  for (size_t i = 0; i < panels; ++i) {
    if (!panelOf(i).Left.Title.empty()) leftTitle = m.LineHeight(TChartFont::AxisTitle, f.YTitle);
    if (panelOf(i).HasExtra) {
      anyExtra = true;
      if (!panelOf(i).Extra.Title.empty())
        extraTitle = m.LineHeight(TChartFont::AxisTitle, f.YTitle);
    }
  }

  // The legend at the right, from the top of the plot down as far as its lines fit.
  double legendRoom = 0;
  if (!chart.Legend.Entries.empty()) {
    const double line = m.LineHeight(TChartFont::Legend, f.Legend);
    l.LegendPad = gap;
    l.LegendSwatch = std::round(line * 0.7);
    double widest = m.TextWidth(chart.Legend.Title, TChartFont::Legend, f.Legend);
    double textLeft = l.LegendSwatch + gap;
    for (const auto& e : chart.Legend.Entries)
      widest = std::max(widest, textLeft + m.TextWidth(e.Text, TChartFont::Legend, f.Legend));
    const double boxWidth = std::min(width * 0.3, widest + 2 * gap);
    double ly = top + gap;
    if (!chart.Legend.Title.empty()) {
      l.LegendTitleTop = ly;
      ly += line;
    }
    for (size_t i = 0; i < chart.Legend.Entries.size() && ly + line <= bottom - gap; ++i) {
      l.LegendLineTop.push_back(ly);
      ly += line;
    }
    l.Legend = {width - marginRight - boxWidth, top, width - marginRight, ly + gap};
    legendRoom = boxWidth + gap;
  }

  // Two passes: ticks on the guessed height give the label widths, which fix the width.
  const double depthX = std::max(0.0, chart.DepthX) * scale,
               depthY = std::max(0.0, chart.DepthY) * scale;
  double plotTop = top + yLabelLine / 2 + depthY;
  double leftLabels = 0, extraLabels = 0;
  double splitGap = panels > 1 ? yLabelLine + gap : 0;
  for (int pass = 0; pass < 2; ++pass) {
    double plotLeft = marginLeft + leftTitle + (leftTitle > 0 ? gap : 0) + leftLabels + tick + gap;
    double plotRight =
        width - marginRight - legendRoom - depthX -
        (anyExtra ? extraTitle + (extraTitle > 0 ? gap : 0) + extraLabels + tick + gap : 0);
    // room for the last bottom label, which reaches past the plot (a slanted one by its
    // whole run to the right)
    if (!anyExtra && !chart.Bottom.Labels.empty()) {
      double last = m.TextWidth(chart.Bottom.Labels.back().Text, TChartFont::Label, f.XLabel);
      plotRight -= std::min(width * 0.3, rotated ? (last + labelLine) * std::sqrt(0.5) : last / 2);
    }
    plotRight = std::max(plotRight, plotLeft + 10);
    double plotBottomSafe = std::max(plotBottom, plotTop + 10);
    l.Plot = {plotLeft, plotTop, plotRight, plotBottomSafe};
    double usable = l.Plot.Height() - splitGap;
    double split = panels > 1 ? std::clamp(chart.Split, 10, 90) / 100.0 : 1.0;
    leftLabels = extraLabels = 0;
    for (size_t i = 0; i < panels; ++i) {
      TPanelLayout& p = l.Panels[i];
      p.Plot.Left = l.Plot.Left;
      p.Plot.Right = l.Plot.Right;
      if (i == 0) {
        p.Plot.Top = l.Plot.Top;
        p.Plot.Bottom = l.Plot.Top + usable * split;
      } else {
        p.Plot.Top = l.Panels[0].Plot.Bottom + splitGap;
        p.Plot.Bottom = l.Plot.Bottom;
      }
      const TChartPanel& cp = panelOf(i);
      p.Left.Ticks = cp.Left.Visible ? VerticalTicks(p.Left.Min, p.Left.Max, cp.Left.Format,
                                                     p.Plot.Top, p.Plot.Bottom, yLabelLine)
                                     : std::vector<TChartTick>{};
      leftLabels = std::max(leftLabels, WidestText(m, p.Left.Ticks, TChartFont::Label, f.YLabel));
      if (cp.HasExtra && cp.Extra.Visible) {
        p.Extra.Ticks = VerticalTicks(p.Extra.Min, p.Extra.Max, cp.Extra.Format, p.Plot.Top,
                                      p.Plot.Bottom, yLabelLine);
        extraLabels =
            std::max(extraLabels, WidestText(m, p.Extra.Ticks, TChartFont::Label, f.YLabel));
      }
    }
  }
  l.LeftTitleCentre = marginLeft + leftTitle / 2;
  l.ExtraLabelLeft = l.Plot.Right + tick + gap;
  l.ExtraTitleCentre = width - marginRight - legendRoom - extraTitle / 2;

  // Bottom ticks: the given labels thinned, else round numbers.
  if (!chart.Bottom.Labels.empty()) {
    l.BottomTicks = ThinLabels(chart.Bottom.Labels, l, m, f.XLabel, rotated, 2 * gap);
  } else {
    double sample = std::max(
        m.TextWidth(FormatAxisValue(l.XMin, chart.Bottom.Format), TChartFont::Label, f.XLabel),
        m.TextWidth(FormatAxisValue(l.XMax, chart.Bottom.Format), TChartFont::Label, f.XLabel));
    int room = static_cast<int>(l.Plot.Width() / std::max(1.0, sample + 4 * gap));
    for (double v : NiceTicks(l.XMin, l.XMax, std::max(2, room)))
      l.BottomTicks.push_back({v, l.MapX(v), FormatAxisValue(v, chart.Bottom.Format)});
  }
  if (!chart.Bottom.TopLabels.empty())
    l.TopTicks = ThinLabels(chart.Bottom.TopLabels, l, m, f.XLabel, false, 2 * gap, true);
  l.FootLeft = marginLeft;
  return l;
}

TChartHit HitTest(const TChart& chart, const TChartLayout& l, double px, double py,
                  double tolerance) {
  TChartHit best, bestSlot;
  int panel = l.PanelAt(px, py);
  if (panel < 0) return best;
  // A point beats a limit segment running through it.
  double bestDist = tolerance * l.Scale, bestSlotDist = bestDist;
  auto consider = [&](int series, size_t i, double d, double value) {
    if (d < bestDist) {
      bestDist = d;
      best = {series, i, value};
    }
  };
  auto considerSlot = [&](int series, size_t i, double d, double value) {
    if (d < bestSlotDist) {
      bestSlotDist = d;
      bestSlot = {series, i, value};
    }
  };
  // Topmost first: a later series is drawn over an earlier one and wins a tie.
  for (int si = static_cast<int>(chart.Series.size()) - 1; si >= 0; --si) {
    const TChartSeries& s = chart.Series[static_cast<size_t>(si)];
    if (!s.Visible || s.Panel != panel) continue;
    const bool pointLike = s.Kind == TSeriesKind::Points || s.Kind == TSeriesKind::Line;
    const bool slotLike = s.Kind == TSeriesKind::Segments || s.Kind == TSeriesKind::Candles ||
                          s.Kind == TSeriesKind::Bars;
    if (!pointLike && !slotLike) continue;
    double halfSlot = l.SlotPixels() / 2;
    double reach = tolerance * l.Scale;
    double xlo = l.UnmapX(px - reach - halfSlot), xhi = l.UnmapX(px + reach + halfSlot);
    size_t n = std::min(s.X.size(), s.Y.size());
    for (size_t i = 0; i < n; ++i) {
      double x = s.X[i], v = s.Y[i];
      if (x < xlo || x > xhi || ChartValueMissing(v)) continue;
      double cx = l.MapX(x), cy = l.MapY(panel, v, s.ExtraAxis);
      if (pointLike) {
        consider(si, i, std::hypot(cx - px, cy - py), v);
      } else if (std::abs(cx - px) <= std::max(halfSlot * s.Width, 1.0)) {
        if (s.Kind == TSeriesKind::Segments) {
          considerSlot(si, i, std::abs(cy - py), v);
        } else {
          double hi = i < s.Y2.size() && !ChartValueMissing(s.Y2[i]) ? s.Y2[i]
                      : s.Kind == TSeriesKind::Bars                  ? s.Base
                                                                     : v;
          double top = std::min(cy, l.MapY(panel, hi, s.ExtraAxis));
          double bot = std::max(cy, l.MapY(panel, hi, s.ExtraAxis));
          if (py >= top - reach && py <= bot + reach) considerSlot(si, i, std::abs(cx - px), v);
        }
      }
    }
  }
  return best.Series >= 0 ? best : bestSlot;
}

std::string ReadoutText(const TChart& chart, const TChartHit& hit, const std::string& format) {
  if (hit.Series < 0) return {};
  const TChartSeries& s = chart.Series[static_cast<size_t>(hit.Series)];
  double x = s.X[hit.Point];
  std::string label;
  const auto& labels = chart.Bottom.Labels;
  auto it = std::lower_bound(labels.begin(), labels.end(), x,
                             [](const TAxisLabel& a, double v) { return a.X < v; });
  if (it != labels.end() && it->X == x)
    label = it->Text;
  else
    label = FormatAxisValue(x, "0.###");
  return "X=" + label + "  Y=" + FormatAxisValue(hit.Value, format);
}

}  // namespace sorvel
