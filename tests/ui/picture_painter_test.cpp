#include "ui/picture_painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

namespace sorvel {
namespace {

// z = 1.96 for two tails: the picture the converter draws for its first edge case.
TPicture ZPicture() {
  TPictureRecord r;
  SetPicture(r, PictureNormal, 1.96, -1.96, 1.96, 0, 0, true, 0);
  return DrawTestPicture(r);
}

// Pixel of a logical point when 3000 x 2000 is stretched onto the image.
QColor At(const QImage& img, double x, double y) {
  return img.pixelColor(static_cast<int>(x * img.width() / 3000.0),
                        static_cast<int>(y * img.height() / 2000.0));
}

// Antialiased edges blend: a pixel counts as the colour when each channel is close.
::testing::AssertionResult Near(const QColor& got, const QColor& want) {
  if (std::abs(got.red() - want.red()) <= 60 && std::abs(got.green() - want.green()) <= 60 &&
      std::abs(got.blue() - want.blue()) <= 60)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << got.name().toStdString() << " is not " << want.name().toStdString();
}

TEST(PicturePainterTest, StretchesTheLogicalSpaceOntoTheTarget) {
  TPicture pic = ZPicture();
  for (QSize size : {QSize(600, 400), QSize(900, 300)}) {
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::black);
    {
      QPainter p(&img);
      PaintPicture(p, pic, QRectF(0, 0, size.width(), size.height()));
    }
    EXPECT_EQ(At(img, 50, 1900), QColor(Qt::white)) << "background";
    // inside the upper tail, between the axis and the curve at z = 2.5
    EXPECT_TRUE(Near(At(img, 100 + 6.5 * 350, 1565), Qt::red));
    // the arrow below the axis at z = 1.96
    EXPECT_TRUE(Near(At(img, 2186, 1660), Qt::red));
    // the green curve (pen 20 wide) at z = 1, the black axis and the zero marker
    EXPECT_TRUE(Near(At(img, 110 + 5 * 347.5, 911), QColor(0, 128, 0)));
    // squeezed to 1.5 pixels the axis straddles two rows, each mostly covered: dark grey
    int axisRow = 1600 * img.height() / 2000;
    int darkest = 255;
    for (int y = axisRow - 1; y <= axisRow + 1; ++y)
      darkest = std::min(darkest, img.pixelColor(img.width() / 3, y).lightness());
    EXPECT_LT(darkest, 80);
    EXPECT_TRUE(Near(At(img, 1500, 1000), Qt::black));
    // above the curve's shoulder nothing is drawn
    EXPECT_EQ(At(img, 700, 900), QColor(Qt::white));
  }
}

TEST(PicturePainterTest, DrawsIntoAnOffsetTarget) {
  QImage img(800, 600, QImage::Format_ARGB32);
  img.fill(Qt::blue);
  {
    QPainter p(&img);
    PaintPicture(p, ZPicture(), QRectF(200, 200, 600, 400));
  }
  EXPECT_EQ(img.pixelColor(100, 100), QColor(Qt::blue));  // outside the target untouched
  EXPECT_EQ(img.pixelColor(205, 580), QColor(Qt::white));
}

TEST(PicturePainterTest, SavesPngSvgAndPdf) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  TPicture pic = ZPicture();

  QString png = dir.filePath("z.png");
  ASSERT_TRUE(SavePicturePng(pic, png, QSize(300, 200)));
  QImage img(png);
  EXPECT_EQ(img.size(), QSize(300, 200));
  EXPECT_TRUE(Near(At(img, 2186, 1660), Qt::red));

  QString svg = dir.filePath("z.svg");
  ASSERT_TRUE(SavePictureSvg(pic, svg));
  QFile svgFile(svg);
  ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
  QByteArray svgText = svgFile.readAll();
  EXPECT_TRUE(svgText.contains("viewBox=\"0 0 3000 2000\"")) << svgText.left(400).toStdString();
  EXPECT_TRUE(svgText.contains("z (Normal) Distribution"));

  QString pdf = dir.filePath("z.pdf");
  ASSERT_TRUE(SavePicturePdf(pic, pdf));
  QFile pdfFile(pdf);
  ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdfFile.read(5) == "%PDF-");

  EXPECT_FALSE(SavePicturePng(pic, dir.filePath("missing/dir/z.png")));
  EXPECT_FALSE(SavePictureSvg(pic, dir.filePath("missing/dir/z.svg")));
}

}  // namespace
}  // namespace sorvel
