#include "numerics/picture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace sorvel {
namespace {

using TKind = TPicturePrimitive::TKind;

std::vector<const TPicturePrimitive*> Items(const TPicture& pic, TKind kind) {
  std::vector<const TPicturePrimitive*> out;
  for (const auto& p : pic.Items)
    if (p.Kind == kind) out.push_back(&p);
  return out;
}

// Red triangles are arrows; red polygons with more points are shaded tails.
std::vector<int> ArrowTips(const TPicture& pic) {
  std::vector<int> tips;
  for (const auto* p : Items(pic, TKind::Polygon))
    if (p->Points.size() == 3 && p->Brush == PictureRed) {
      EXPECT_EQ(p->Points[0].Y, 1610);
      EXPECT_EQ(p->Points[1], (TPicturePoint{p->Points[0].X - 30, 1680}));
      EXPECT_EQ(p->Points[2], (TPicturePoint{p->Points[0].X + 30, 1680}));
      tips.push_back(p->Points[0].X);
    }
  return tips;
}

std::vector<const TPicturePrimitive*> Tails(const TPicture& pic) {
  std::vector<const TPicturePrimitive*> out;
  for (const auto* p : Items(pic, TKind::Polygon))
    if (p->Points.size() > 3 && p->Brush == PictureRed) out.push_back(p);
  return out;
}

int Row(double f) { return 1600 - static_cast<int>(std::lround(f * 1120)) - 10; }

TPictureRecord Record(int kind, double x, double lower, double upper, double df1, double df2,
                      bool wantPV, int tailType) {
  TPictureRecord r;
  SetPicture(r, kind, x, lower, upper, df1, df2, wantPV, tailType);
  return r;
}

TEST(SetPictureTest, FillsTheRecordAndDerivesTails) {
  TPictureRecord r = Record(PictureF, 3, 0.2, 4.1, 2, 10, true, 0);
  EXPECT_TRUE(r.valid);
  EXPECT_EQ(r.Tails, 2);
  EXPECT_EQ(r.kind, PictureF);
  EXPECT_DOUBLE_EQ(r.Xlower, 0.2);
  EXPECT_DOUBLE_EQ(r.df2, 10);
  EXPECT_EQ(Record(PictureF, 3, 0, 0, 2, 10, true, 1).Tails, 1);
  EXPECT_EQ(Record(PictureF, 3, 0, 0, 2, 10, true, 2).Tails, 1);
}

// z = 1.96, two tails, p wanted: range -4..4, so x maps to 100 + (x + 4) * 350.
TEST(DrawTestPictureTest, NormalTwoTailsShadesBothTailsAndMarksTheStatistic) {
  TPictureRecord r = Record(PictureNormal, 1.96, -1.96, 1.96, 0, 0, true, 0);
  const TPicture& pic = DrawTestPicture(r);
  EXPECT_EQ(&pic, &r.graphic);
  EXPECT_EQ(pic.Width, 3000);
  EXPECT_EQ(pic.Height, 2000);
  ASSERT_EQ(pic.Items.front().Kind, TKind::FillRect);
  EXPECT_EQ(pic.Items.front().Brush, PictureWhite);

  EXPECT_EQ(ArrowTips(pic), std::vector<int>{2186});
  auto tails = Tails(pic);
  ASSERT_EQ(tails.size(), 2u);
  const auto& lower = tails[0]->Points;
  const auto& upper = tails[1]->Points;
  // each starts with the foot and the top of its first point and ends at a foot
  EXPECT_EQ(lower[0], (TPicturePoint{814, 1600}));
  EXPECT_EQ(lower[1], (TPicturePoint{814, Row(std::exp(-1.96 * 1.96 / 2))}));
  EXPECT_EQ(lower.back().Y, 1600);
  EXPECT_EQ(lower.back().X, lower[lower.size() - 2].X);
  EXPECT_EQ(upper[0], (TPicturePoint{2186, 1600}));
  EXPECT_EQ(upper[1].Y, lower[1].Y);
  for (const auto& p : lower) EXPECT_LE(p.X, 814);
  for (const auto& p : upper) EXPECT_GE(p.X, 2186);
  // the walk leaves out points within 10 units of the baseline (|z| beyond about 3.93)
  EXPECT_GT(lower.back().X, 100);
  EXPECT_LT(upper.back().X, 2900);
  EXPECT_NEAR(upper.back().X, 100 + (3.93 + 4) * 350, 5);
  for (size_t i = 1; i + 1 < upper.size(); ++i) EXPECT_LT(upper[i].Y, 1590);

  // axis, and the zero marker up to the height of density 1 with "0" centred under it
  auto lines = Items(pic, TKind::Line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]->Points, (std::vector<TPicturePoint>{{100, 1600}, {2900, 1600}}));
  EXPECT_EQ(lines[1]->Points, (std::vector<TPicturePoint>{{1500, 1600}, {1500, 470}}));
  auto texts = Items(pic, TKind::Text);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0]->Text, "z (Normal) Distribution");
  EXPECT_EQ(texts[0]->Points[0], (TPicturePoint{100, 100}));
  EXPECT_EQ(texts[0]->Font, "Arial");
  EXPECT_TRUE(texts[0]->Bold);
  EXPECT_EQ(texts[0]->FontSize, 90);
  EXPECT_EQ(texts[1]->Text, "z");
  EXPECT_EQ(texts[1]->Points[0], (TPicturePoint{2810, 1670}));
  EXPECT_EQ(texts[2]->Text, "0");
  EXPECT_EQ(texts[2]->Points[0], (TPicturePoint{1500, 1670}));
  EXPECT_DOUBLE_EQ(texts[2]->ShiftLeft, 0.4);
}

TEST(DrawTestPictureTest, NormalCurveIsAGreenPolylineOverTheWholeRange) {
  TPictureRecord r = Record(PictureNormal, 1.96, -1.96, 1.96, 0, 0, true, 0);
  DrawTestPicture(r);
  auto curves = Items(r.graphic, TKind::Polyline);
  ASSERT_EQ(curves.size(), 1u);
  const auto& c = *curves[0];
  EXPECT_EQ(c.Pen.Color, PictureGreen);
  EXPECT_EQ(c.Pen.Width, 20);
  ASSERT_EQ(c.Points.size(), 1001u);
  EXPECT_EQ(c.Points.front().X, 110);
  EXPECT_EQ(c.Points.back().X, 2890);
  EXPECT_EQ(c.Points[500], (TPicturePoint{1500, 470}));  // the mode at density 1
  EXPECT_EQ(c.Points.front().Y, Row(std::exp(-8.0)));
}

struct TRangeCase {
  const char* Name;
  TPictureRecord Rec;
  double XMin, XMax;  // the drawn range
};

class PictureRangeTest : public ::testing::TestWithParam<TRangeCase> {};

// The arrow at Xvalue and the zero marker sit where the range puts them.
TEST_P(PictureRangeTest, RangeCoversTheStatistic) {
  TRangeCase c = GetParam();
  DrawTestPicture(c.Rec);
  double scale = 2800 / (c.XMax - c.XMin);
  auto col = [&](double x) { return 100 + static_cast<int>(std::lround((x - c.XMin) * scale)); };
  auto tips = ArrowTips(c.Rec.graphic);
  ASSERT_EQ(tips.size(), 1u);
  EXPECT_NEAR(tips[0], col(c.Rec.Xvalue), 1);
  auto lines = Items(c.Rec.graphic, TKind::Line);
  ASSERT_EQ(lines.size(), 2u);
  double marker = c.Rec.kind == PictureExponential && c.Rec.df1 > 0 ? c.Rec.df1 : 0;
  EXPECT_NEAR(lines[1]->Points[0].X, col(marker), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureRangeTest,
    ::testing::Values(
        TRangeCase{"z5", Record(PictureNormal, 5, -5, 5, 0, 0, true, 0), -4, 5},
        TRangeCase{"zMinus5", Record(PictureNormal, -5, -5, 5, 0, 0, true, 1), -5, 4},
        TRangeCase{"zInside", Record(PictureNormal, -1, -1, 1, 0, 0, true, 1), -4, 4},
        // qt(0.999, 10) = 4.143700 (R)
        TRangeCase{"t10", Record(PictureT, 2, -2, 2, 10, 0, true, 2), -4.1437, 4.1437},
        TRangeCase{"t10Far", Record(PictureT, -6, -6, 6, 10, 0, true, 1), -6, 4.1437},
        // qchisq(0.999, 4) = 18.46683 (R)
        TRangeCase{"chisq4", Record(PictureChiSq, 3, 1, 9, 4, 0, true, 2), 0, 18.46683},
        TRangeCase{"chisq4Far", Record(PictureChiSq, 30, 1, 9, 4, 0, true, 2), 0, 30},
        // qf(0.999, 3, 12) = 10.80420 (R)
        TRangeCase{"f", Record(PictureF, 2, 0.1, 4, 3, 12, true, 2), 0, 10.8042},
        // minimum 2, mean 4: range 2 .. 2 + 5 * 2
        TRangeCase{"exponential", Record(PictureExponential, 5, 0, 5, 2, 4, true, 2), 2, 12},
        TRangeCase{"exponentialBelow", Record(PictureExponential, 1, 0, 1, 2, 4, true, 1), 1, 12}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(DrawTestPictureTest, EnteredPValueTwoTailsMarksBothBoundaries) {
  // p = 0.05 entered for two tails: arrows at -1.96 and 1.96, none at the statistic alone
  TPictureRecord r = Record(PictureNormal, 1.96, -1.96, 1.96, 0, 0, false, 0);
  DrawTestPicture(r);
  EXPECT_EQ(ArrowTips(r.graphic), (std::vector<int>{814, 2186}));
  EXPECT_EQ(Tails(r.graphic).size(), 2u);
}

TEST(DrawTestPictureTest, OneTailedShadesFromTheStatisticOnly) {
  for (bool wantPV : {true, false}) {
    // lower: from Xvalue = -1 leftwards, Xlower is ignored
    TPictureRecord lower = Record(PictureNormal, -1, -3, 3, 0, 0, wantPV, 1);
    DrawTestPicture(lower);
    auto tails = Tails(lower.graphic);
    ASSERT_EQ(tails.size(), 1u);
    EXPECT_EQ(tails[0]->Points[0].X, 1150);
    for (const auto& p : tails[0]->Points) EXPECT_LE(p.X, 1150);
    EXPECT_EQ(ArrowTips(lower.graphic), std::vector<int>{1150});

    TPictureRecord upper = Record(PictureNormal, -1, -3, 3, 0, 0, wantPV, 2);
    DrawTestPicture(upper);
    tails = Tails(upper.graphic);
    ASSERT_EQ(tails.size(), 1u);
    EXPECT_EQ(tails[0]->Points[0].X, 1150);
    for (const auto& p : tails[0]->Points) EXPECT_GE(p.X, 1150);
    // the last point drawn is where the curve comes within 10 units of the axis (z = 3.93)
    EXPECT_NEAR(tails[0]->Points.back().X, 2900 - 350 * 0.07, 30);
  }
}

TEST(DrawTestPictureTest, TailBeyondTheCurveHeightIsNotDrawn) {
  // from z = 4.5 upwards every point lies within 10 units of the baseline
  TPictureRecord r = Record(PictureNormal, 4.5, -4.5, 4.5, 0, 0, true, 2);
  DrawTestPicture(r);
  EXPECT_TRUE(Tails(r.graphic).empty());
  EXPECT_EQ(ArrowTips(r.graphic).size(), 1u);
}

TEST(DrawTestPictureTest, ChiSquareTwoDfStartsOffScaleAtZero) {
  TPictureRecord r = Record(PictureChiSq, 3, 0.05, 7.4, 2, 0, true, 2);
  DrawTestPicture(r);
  auto curves = Items(r.graphic, TKind::Polyline);
  ASSERT_EQ(curves.size(), 1u);
  const auto& pts = curves[0]->Points;
  ASSERT_EQ(pts.size(), 1000u);  // x = 0 left out
  // step = qchisq(0.999, 2)/1000; the first drawn point is one step in: column 110 + 2.78
  EXPECT_EQ(pts[0].X, 113);
  EXPECT_EQ(pts[0].Y, Row(std::exp(-0.01381551 / 2)));  // qchisq(0.999, 2) = 13.81551 (R)
  EXPECT_EQ(Items(r.graphic, TKind::Text)[0]->Text, "X\xC2\xB2 Distribution");
}

TEST(DrawTestPictureTest, ChiSquareOneDfSkipsEveryOffScalePoint) {
  TPictureRecord r = Record(PictureChiSq, 3, 0.05, 7.4, 1, 0, true, 2);
  DrawTestPicture(r);
  const auto& pts = Items(r.graphic, TKind::Polyline)[0]->Points;
  // e^(-x/2) / sqrt(x) exceeds 1 up to x = 0.5671433 (R: uniroot), step = 10.82757/1000
  EXPECT_EQ(1001 - static_cast<int>(pts.size()), 53);
  for (const auto& p : pts) EXPECT_GE(p.Y, 470);
}

TEST(DrawTestPictureTest, ExponentialMarksTheMinimum) {
  TPictureRecord r = Record(PictureExponential, 5, 0, 5, 2, 4, true, 2);
  DrawTestPicture(r);
  auto texts = Items(r.graphic, TKind::Text);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0]->Text, "Exponential Distribution");
  EXPECT_EQ(texts[1]->Text, "X");
  EXPECT_EQ(texts[2]->Text, "Min");
  EXPECT_EQ(texts[2]->Points[0], (TPicturePoint{100, 1670}));
}

struct TDensityCase {
  const char* Name;
  int Kind;
  double Df1, Df2, X, Want;
};

class PictureDensityTest : public ::testing::TestWithParam<TDensityCase> {};

TEST_P(PictureDensityTest, RelativeToTheMode) {
  TDensityCase c = GetParam();
  TPictureRecord r = Record(c.Kind, 0, 0, 0, c.Df1, c.Df2, true, 0);
  EXPECT_NEAR(PictureDensity(r, c.X), c.Want, 1e-9);
}

// Values from R: dchisq(x, df)/dchisq(mode, df), df(x, a, b)/df(mode, a, b), dt(x, n)/dt(0, n).
INSTANTIATE_TEST_SUITE_P(
    Cases, PictureDensityTest,
    ::testing::Values(TDensityCase{"normalMode", PictureNormal, 0, 0, 0, 1},
                      TDensityCase{"normal2", PictureNormal, 0, 0, 2, 0.1353352832366127},
                      TDensityCase{"t5", PictureT, 5, 0, 2, 0.17146776406},
                      TDensityCase{"chisq4Mode", PictureChiSq, 4, 0, 2, 1},
                      TDensityCase{"chisq4", PictureChiSq, 4, 0, 6, 0.4060058497},
                      TDensityCase{"chisq4Zero", PictureChiSq, 4, 0, 0, 0},
                      TDensityCase{"chisq2Zero", PictureChiSq, 2, 0, 0, 1.01},
                      TDensityCase{"chisq1Small", PictureChiSq, 1, 0, 0.1, 1.01},
                      TDensityCase{"chisqNegative", PictureChiSq, 3, 0, -1, 0},
                      TDensityCase{"fMode", PictureF, 5, 10, 0.5, 1},
                      TDensityCase{"f", PictureF, 5, 10, 2, 0.235608045769},
                      TDensityCase{"fTwoDfZero", PictureF, 2, 10, 0, 1.01},
                      // df1 <= 2 is scaled to the density at 0.5: df(1.5,2,10)/df(0.5,2,10)
                      TDensityCase{"fTwoDf", PictureF, 2, 10, 1.5, 0.367025295594},
                      TDensityCase{"exponential", PictureExponential, 2, 4, 3, 0.6065306597},
                      TDensityCase{"exponentialBelowMin", PictureExponential, 2, 4, 1, 0}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(DrawCurvePictureTest, DottedVerticalsUpToTheCurveAndOneArrow) {
  TPictureRecord r = Record(PictureNormal, 1.5, -1.5, 1.5, 0, 0, true, 0);
  DrawCurvePicture(r);
  auto lines = Items(r.graphic, TKind::Line);
  ASSERT_EQ(lines.size(), 8u);  // axis and seven verticals
  for (int i = -3; i <= 3; ++i) {
    const auto& l = *lines[i + 4];
    EXPECT_EQ(l.Pen.Style, TPenStyle::Dot);
    EXPECT_EQ(l.Points[0], (TPicturePoint{1500 + 350 * i, 1600}));
    EXPECT_EQ(l.Points[1], (TPicturePoint{1500 + 350 * i, Row(std::exp(-i * i / 2.0))}));
  }
  EXPECT_EQ(ArrowTips(r.graphic), std::vector<int>{2025});
  EXPECT_TRUE(Tails(r.graphic).empty());
  EXPECT_EQ(Items(r.graphic, TKind::Text).size(), 2u);  // title and axis letter, no marker
}

TEST(BlankPictureTest, LeavesOneWhiteRectangle) {
  TPictureRecord r = Record(PictureNormal, 1, -1, 1, 0, 0, true, 0);
  DrawTestPicture(r);
  BlankPicture(r.graphic);
  ASSERT_EQ(r.graphic.Items.size(), 1u);
  const auto& fill = r.graphic.Items[0];
  EXPECT_EQ(fill.Kind, TKind::FillRect);
  EXPECT_EQ(fill.Brush, PictureWhite);
  EXPECT_EQ(fill.Points, (std::vector<TPicturePoint>{{0, 0}, {3000, 2000}}));
}

}  // namespace
}  // namespace sorvel
