// Grid printing on a PDF printer, read back with pdftotext.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

#include "ui/grid_printing.h"
#include "ui/pdf_pages.h"

using namespace sorvel;

namespace {

TTextGrid SampleGrid() {
  TTextGrid g(4, 4);
  const char* heads[] = {"", "A", "Mean", "Std Dev"};
  for (int c = 1; c < 4; ++c) g.SetCell(c, 0, heads[c]);
  for (int r = 1; r < 4; ++r) {
    g.SetCell(0, r, "row" + std::to_string(r));
    for (int c = 1; c < 4; ++c) g.SetCell(c, r, std::to_string(c * 10 + r));
  }
  return g;
}

TEST(GridPrinting, SelectionRangeOnlyWhenChosenForSeveralCells) {
  const TTextGrid g = SampleGrid();
  const TGridRange whole{1, 1, 3, 3}, two{2, 1, 3, 1}, one{2, 2, 2, 2};
  struct Case {
    std::optional<TGridRange> Selection;
    bool Chosen;
    TGridRange Expected;
  };
  const Case cases[] = {
      {std::nullopt, true, whole}, {two, true, two}, {two, false, whole}, {one, true, whole}};
  for (const auto& c : cases)
    EXPECT_EQ(GridPrintRange(g, c.Selection, c.Chosen), c.Expected) << c.Chosen;
}

TEST(GridPrinting, PdfHoldsTheTableWithTitleAndHeading) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
    GTEST_SKIP() << "pdftotext not installed";
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("grid.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  SetupPdf(printer, pdf);
  PrintGridOn(printer, SampleGrid(), {2, 2, 3, 3}, QStringLiteral("My Title"), "FREQUENCY PLOT");
  const QStringList pages = PdfPages(pdf);
  ASSERT_EQ(pages.size(), 1);
  const QString& page = pages[0];
  EXPECT_TRUE(page.contains(QStringLiteral("My Title")));
  EXPECT_TRUE(page.contains(QStringLiteral("FREQUENCY PLOT")));
  // Text positions are pdftotext's reading of the page: blanks only approximately.
  EXPECT_TRUE(page.contains(QRegularExpression(QStringLiteral("\\|\\s+Mean\\s+Std Dev"))))
      << page.toStdString();
  EXPECT_TRUE(page.contains(QRegularExpression(QStringLiteral("row2 \\|\\s+22\\s+32"))))
      << page.toStdString();
  EXPECT_FALSE(page.contains(QStringLiteral("row1")));
  EXPECT_FALSE(page.contains(QStringLiteral("Page (1)")));  // the footer starts on page 2
}

}  // namespace
