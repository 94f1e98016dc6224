#include "numerics/picture.h"

#include <algorithm>
#include <cmath>

#include "numerics/distributions.h"

namespace sorvel {

namespace {

constexpr int PlotLeft = 100;
constexpr int PlotRight = 2900;
constexpr int Baseline = 1600;
constexpr double DensityScale = 0.7 * 1600;  // units for a relative density of 1
constexpr int TextRow = 1670;
constexpr int TitleSize = 90;

struct TLayout {
  double XMin = 0, XMax = 1, Span = 1, Step = 0.001, HScale = 2.8;
};

int Round(double v) { return static_cast<int>(std::lround(v)); }

int Column(const TLayout& l, double x) { return PlotLeft + Round((x - l.XMin) * l.HScale); }
// The curve keeps 10 units clear of both ends of the axis.
int CurveColumn(const TLayout& l, double x) {
  return Round((x - l.XMin) * (PlotRight - PlotLeft - 20) / l.Span) + 110;
}
int Row(double f) { return Baseline - Round(f * DensityScale) - 10; }

TLayout MakeLayout(const TPictureRecord& r) {
  double b = 0;
  switch (r.kind) {
    case PictureNormal: b = 4; break;
    case PictureT: b = TQuantile(0.001, r.df1, 1); break;
    case PictureChiSq: b = ChiSqQuantile(0.001, r.df1, 1); break;
    case PictureF: b = FQuantile(0.001, r.df1, r.df2, 1); break;
    default: break;
  }
  TLayout l;
  const double x = r.Xvalue;
  switch (r.kind) {
    case PictureNormal:
    case PictureT:
      if (b >= std::fabs(x)) {
        l.XMin = -b;
        l.XMax = b;
      } else if (x > 0) {
        l.XMin = -b;
        l.XMax = x;
      } else {
        l.XMin = x;
        l.XMax = b;
      }
      break;
    case PictureChiSq:
    case PictureF:
      l.XMin = 0;
      l.XMax = std::max(b, x);
      break;
    default:
      l.XMin = std::min(r.df1, x);
      l.XMax = std::max(r.df1 + 5 * (r.df2 - r.df1), x);
      break;
  }
  // An empty range (a degenerate record) would divide by zero below.
  if (!(l.XMax > l.XMin)) l.XMax = l.XMin + 1;
  l.Span = l.XMax - l.XMin;
  l.Step = l.Span / 1000;
  l.HScale = (PlotRight - PlotLeft) / l.Span;
  return l;
}

constexpr double OffScale = 1.01;

double FromLog(double m) {
  if (m < -87) return 0;
  if (m > 87) return OffScale;
  double f = std::exp(m);
  return f > 1 ? OffScale : f;
}

TPicturePrimitive Text(const std::string& text, int x, int y, double shiftLeft = 0) {
  TPicturePrimitive p;
  p.Kind = TPicturePrimitive::TKind::Text;
  p.Points = {{x, y}};
  p.Text = text;
  p.Font = "Arial";
  p.FontSize = TitleSize;
  p.Bold = true;
  p.TextColor = PictureBlack;
  p.ShiftLeft = shiftLeft;
  return p;
}

TPicturePrimitive Line(TPicturePoint a, TPicturePoint b, TPicturePen pen) {
  TPicturePrimitive p;
  p.Kind = TPicturePrimitive::TKind::Line;
  p.Points = {a, b};
  p.Pen = pen;
  return p;
}

TPicturePrimitive Polygon(std::vector<TPicturePoint> points, std::uint32_t color) {
  TPicturePrimitive p;
  p.Kind = TPicturePrimitive::TKind::Polygon;
  p.Points = std::move(points);
  p.Pen = {color, 1, TPenStyle::Solid};
  p.Brush = color;
  return p;
}

TPicturePrimitive Arrow(int column) {
  return Polygon(
      {{column, Baseline + 10}, {column - 30, Baseline + 80}, {column + 30, Baseline + 80}},
      PictureRed);
}

// White background, title, axis letter and curve: what both pictures start with.
TLayout Begin(const TPictureRecord& r, TPicture& pic) {
  BlankPicture(pic);
  TLayout l = MakeLayout(r);
  static const char* titles[] = {"z (Normal) Distribution", "t Distribution",
                                 "X\xC2\xB2 Distribution", "F Distribution",
                                 "Exponential Distribution"};
  static const char* letters[] = {"z", "t", "X\xC2\xB2", "F", "X"};
  int k = std::clamp(r.kind, 1, 5) - 1;
  pic.Items.push_back(Text(titles[k], 100, 100));
  pic.Items.push_back(Text(letters[k], 2810, TextRow));

  TPicturePrimitive curve;
  curve.Kind = TPicturePrimitive::TKind::Polyline;
  curve.Pen = {PictureGreen, 20, TPenStyle::Solid};
  for (int j = 0; j <= 1000; ++j) {
    double x = l.XMin + j * l.Step;
    double f = PictureDensity(r, x);
    if (f <= 1) curve.Points.push_back({CurveColumn(l, x), Row(f)});
  }
  if (curve.Points.size() >= 2) pic.Items.push_back(std::move(curve));
  return l;
}

void Axis(TPicture& pic) {
  pic.Items.push_back(Line({PlotLeft, Baseline}, {PlotRight, Baseline}, {PictureBlack, 10}));
}

// The area under the curve from `start` to the end of the range in `direction`.
void Tail(const TPictureRecord& r, const TLayout& l, TPicture& pic, double start, int direction) {
  std::vector<TPicturePoint> points;
  int lastColumn = 0;
  double x = start;
  for (int k = 0; k < 1000; ++k) {
    if (x < l.XMin || x > l.XMax) break;
    int row = Row(PictureDensity(r, x));
    if (Baseline - row > 10) {
      int column = Column(l, x);
      if (points.empty()) points.push_back({column, Baseline});
      points.push_back({column, row});
      lastColumn = column;
    }
    x += direction * l.Step;
  }
  if (points.empty()) return;
  points.push_back({lastColumn, Baseline});
  if (points.size() >= 3) pic.Items.push_back(Polygon(std::move(points), PictureRed));
}

}  // namespace

void SetPicture(TPictureRecord& record, int kind, double Xvalue, double Xlower, double Xupper,
                double df1, double df2, bool WantPV, int TailType) {
  record.kind = kind;
  record.Xvalue = Xvalue;
  record.Xlower = Xlower;
  record.Xupper = Xupper;
  record.df1 = df1;
  record.df2 = df2;
  record.WantPV = WantPV;
  record.TailType = TailType;
  record.Tails = TailType == 0 ? 2 : 1;
  record.valid = true;
}

double PictureDensity(const TPictureRecord& r, double x) {
  const double df1 = r.df1, df2 = r.df2;
  switch (r.kind) {
    case PictureNormal: return std::exp(-x * x / 2);
    case PictureT: return std::pow(1 + x * x / df1, -(df1 + 1) / 2);
    case PictureChiSq: {
      if (x == 0 && df1 <= 2) return OffScale;
      if (x <= 0) return FromLog(-88);
      double rr = df1 > 2 ? -(df1 - 2) / 2 + (df1 / 2 - 1) * std::log(df1 - 2) : 0;
      return FromLog(-x / 2 + (df1 / 2 - 1) * std::log(x) - rr);
    }
    case PictureF: {
      if (x == 0 && df1 <= 2) return OffScale;
      double d = df1 / 2 - 1, e = -(df1 + df2) / 2, rr;
      if (df1 > 2) {
        double mode = (df1 - 2) * df2 / (df1 * (df2 + 2));
        rr = d * std::log(mode) + e * std::log(df2 + df1 * mode);
      } else {
        rr = d * std::log(0.5) + e * std::log(df2 + 0.5 * df1);
      }
      if (x <= 0) return FromLog(-88);
      return FromLog(d * std::log(x) + e * std::log(df2 + df1 * x) - rr);
    }
    default: return x >= df1 ? std::exp(-(x - df1) / (df2 - df1)) : 0;
  }
}

const TPicture& DrawTestPicture(TPictureRecord& r) {
  TPicture& pic = r.graphic;
  TLayout l = Begin(r, pic);

  if (r.TailType == 0 || r.TailType == 1)
    Tail(r, l, pic, r.TailType == 1 ? r.Xvalue : r.Xlower, -1);
  if (r.TailType == 0 || r.TailType == 2)
    Tail(r, l, pic, r.TailType == 2 ? r.Xvalue : r.Xupper, +1);

  Axis(pic);

  const TPicturePen black{PictureBlack, 10};
  if (r.kind == PictureExponential && r.df1 > 0) {
    int c = Column(l, r.df1);
    pic.Items.push_back(Line({c, Baseline}, {c, Row(1)}, black));
    pic.Items.push_back(Text("Min", c, TextRow));
  } else {
    int c = Column(l, 0);
    pic.Items.push_back(Line({c, Baseline}, {c, Row(1)}, black));
    pic.Items.push_back(Text("0", c, TextRow, 0.4));
  }

  if (r.WantPV || r.TailType != 0) {
    pic.Items.push_back(Arrow(Column(l, r.Xvalue)));
  } else {
    pic.Items.push_back(Arrow(Column(l, r.Xlower)));
    pic.Items.push_back(Arrow(Column(l, r.Xupper)));
  }
  return pic;
}

const TPicture& DrawCurvePicture(TPictureRecord& r) {
  TPicture& pic = r.graphic;
  TLayout l = Begin(r, pic);
  Axis(pic);
  const TPicturePen dotted{PictureBlack, 1, TPenStyle::Dot};
  for (int i = -3; i <= 3; ++i) {
    if (i < l.XMin || i > l.XMax) continue;  // only inside the drawn range
    int c = Column(l, i);
    pic.Items.push_back(Line({c, Baseline}, {c, Row(PictureDensity(r, i))}, dotted));
  }
  pic.Items.push_back(Arrow(Column(l, r.Xvalue)));
  return pic;
}

void BlankPicture(TPicture& image) {
  image.Items.clear();
  TPicturePrimitive fill;
  fill.Kind = TPicturePrimitive::TKind::FillRect;
  fill.Points = {{0, 0}, {image.Width, image.Height}};
  fill.Brush = PictureWhite;
  fill.Pen = {PictureWhite, 0};
  image.Items.push_back(std::move(fill));
}

}  // namespace sorvel
