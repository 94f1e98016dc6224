// Distribution curve pictures: the density of the normal, t, chi-square, F or
// exponential distribution with a statistic marked by an arrow and the tail areas filled,
// as a list of vector primitives in a 3000 x 2000 logical space that the windows stretch
// onto their images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sorvel {

inline constexpr std::uint32_t PictureBlack = 0x000000;
inline constexpr std::uint32_t PictureWhite = 0xFFFFFF;
inline constexpr std::uint32_t PictureRed = 0xFF0000;
inline constexpr std::uint32_t PictureGreen = 0x008000;

struct TPicturePoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPicturePoint&) const = default;
};

enum class TPenStyle { Solid, Dot };

struct TPicturePen {
  std::uint32_t Color = PictureBlack;  // 0xRRGGBB
  int Width = 10;                      // logical units
  TPenStyle Style = TPenStyle::Solid;
  bool operator==(const TPicturePen&) const = default;
};

struct TPicturePrimitive {
  enum class TKind {
    Polyline,  // Points joined by Pen
    Polygon,   // Points outlined by Pen and filled with Brush
    Line,      // Points[0] to Points[1] with Pen
    Text,      // Text with its top-left corner at Points[0]
    FillRect,  // rectangle Points[0] (top-left) to Points[1] (bottom-right) filled with Brush
  };
  TKind Kind = TKind::Line;
  std::vector<TPicturePoint> Points;
  TPicturePen Pen;
  std::uint32_t Brush = PictureWhite;
  // Text only.
  std::string Text;  // UTF-8
  std::string Font = "Arial";
  int FontSize = 90;  // height of the text in logical units
  bool Bold = false;
  std::uint32_t TextColor = PictureBlack;
  double ShiftLeft = 0;  // the text moves left by this fraction of its drawn width
};

struct TPicture {
  int Width = 3000;
  int Height = 2000;
  std::vector<TPicturePrimitive> Items;
  bool Empty() const { return Items.empty(); }
};

enum TPictureKind : int {
  PictureNormal = 1,
  PictureT = 2,
  PictureChiSq = 3,
  PictureF = 4,
  PictureExponential = 5
};

// One per picture; forms keep one per output page.
struct TPictureRecord {
  double Xvalue = 0;  // the statistic to mark
  double Xlower = 0;  // start of the lower shaded tail
  double Xupper = 0;  // start of the upper shaded tail
  double df1 = 0;     // degrees of freedom; the minimum (location) for the exponential
  double df2 = 0;     // second degrees of freedom of F; the mean for the exponential
  int TailType = 0;   // 0 two tails, 1 lower tail, 2 upper tail
  int Tails = 2;      // 2 when TailType = 0, else 1
  int kind = PictureNormal;
  bool valid = false;   // the record has been filled
  bool WantPV = false;  // the statistic was entered (a p-value is being shown)
  TPicture graphic;     // the last drawing, kept for copying and printing
};

void SetPicture(TPictureRecord& record, int kind, double Xvalue, double Xlower, double Xupper,
                double df1, double df2, bool WantPV, int TailType);

// Title, curve, shaded tails, axis, zero or minimum marker and arrows.
const TPicture& DrawTestPicture(TPictureRecord& record);
// Title, curve, axis, dotted verticals at x = -3..3 and one arrow at Xvalue.
const TPicture& DrawCurvePicture(TPictureRecord& record);
// A white picture (after an input error).
void BlankPicture(TPicture& image);

// The relative density of the record's distribution at x, 1 at the mode; 1.01 marks a
// point off the top of the picture. Exposed for tests.
double PictureDensity(const TPictureRecord& record, double x);

}  // namespace sorvel
