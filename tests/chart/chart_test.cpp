// The chart component: file exports, the chart view, the chart window's commands and
// the titles and point label dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSvgGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>
#include <functional>

#include "ui/chart_dialogs.h"
#include "ui/chart_form.h"
#include "ui/chart_painter.h"
#include "ui/graph_module.h"
#include "ui/messages.h"
#include "ui/shell_services.h"

namespace sorvel {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Individuals over moving ranges: n points, a red point every tenth, limits, a gap.
TChart SampleChart(int n = 60) {
  TChart chart;
  chart.Title = {"Weight Chart", "Line 1"};
  chart.Panels.resize(2);
  chart.Panels[0].Left.Title = "X";
  chart.Panels[1].Left.Title = "MR";
  chart.Bottom.Title = "Point";
  auto& ucl = chart.Add(TSeriesKind::Segments, "Location UCL", 0);
  auto& line = chart.Add(TSeriesKind::Line, "", 0);
  auto& loc = chart.Add(TSeriesKind::Points, "Location Statistic", 0);
  auto& mr = chart.Add(TSeriesKind::Points, "Dispersion Statistic", 1);
  loc.Palette = {{ChartBlue, ChartBlack}, {ChartRed, 0x010000}};
  line.Palette = loc.Palette;
  for (int i = 1; i <= n; ++i) {
    double v = 10 + (i % 7) - 3 + (i % 10 == 0 ? 6 : 0);
    loc.X.push_back(i);
    loc.Y.push_back(v);
    loc.ColorIndex.push_back(i % 10 == 0 ? 1 : 0);
    line.X.push_back(i);
    line.Y.push_back(i == n / 2 ? NaN : v);
    line.ColorIndex.push_back(loc.ColorIndex.back());
    ucl.X.push_back(i);
    ucl.Y.push_back(16);
    if (i > 1) {
      mr.X.push_back(i);
      mr.Y.push_back(std::abs(v - loc.Y[loc.Y.size() - 2]));
    }
  }
  ucl.Palette = {{ChartRed, ChartBlack}};
  return chart;
}

int CountColor(const QImage& img, QRgb rgb) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if ((img.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF)) ++n;
  return n;
}

TEST(ChartExportTest, PngOfTheAskedSizeSvgWithTitleAndPointsPdfWithTitle) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  TChart chart = SampleChart();
  const QString png = dir.filePath("c.png"), svg = dir.filePath("c.svg"),
                pdf = dir.filePath("c.pdf");
  ASSERT_TRUE(SaveChartFile(chart, png, QSize(1200, 700)));
  QImage img(png);
  EXPECT_EQ(img.size(), QSize(1200, 700));
  EXPECT_GT(CountColor(img, 0xFF0000), 20) << "red points and limit";

  ASSERT_TRUE(SaveChartFile(chart, svg, QSize(900, 600)));
  QFile f(svg);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&f);
  int circles = 0;
  bool title = false;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == QLatin1String("circle")) ++circles;
    if (xml.isStartElement() && xml.name() == QLatin1String("text") &&
        xml.readElementText(QXmlStreamReader::IncludeChildElements).contains("Weight Chart"))
      title = true;
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_TRUE(title);
  EXPECT_EQ(circles, static_cast<int>(chart.PointCount())) << "every point in vector output";

  ASSERT_TRUE(SaveChartFile(chart, pdf, QSize(1600, 1000)));
  QProcess text;
  text.start("pdftotext", {pdf, "-"});
  if (!text.waitForFinished(20000) || text.exitCode() != 0) GTEST_SKIP() << "no pdftotext";
  EXPECT_TRUE(text.readAllStandardOutput().contains("Weight Chart"));

  for (QString bad : {dir.filePath("c.txt"), dir.filePath("c")})
    EXPECT_FALSE(SaveChartFile(chart, bad, QSize(400, 300)));
  EXPECT_FALSE(SaveChartFile(chart, "/no/such/folder/c.png", QSize(400, 300)));
}

// Raster output keeps each pixel column's lowest and highest value: a series jumping
// between 0 and 10 at every point still paints the whole height in every column.
TEST(ChartExportTest, DenseLineKeepsEachColumnsExtremes) {
  TChart chart;
  auto& s = chart.Add(TSeriesKind::Line, "Location Statistic");
  s.Width = 1;
  for (int i = 1; i <= 100000; ++i) {
    s.X.push_back(i);
    s.Y.push_back(i % 2 ? 0 : 10);
  }
  QImage img = RenderChartImage(chart, QSize(600, 400));
  // the plot's middle column, just inside the top and the bottom of the series' range
  QPainter p(&img);
  TQtChartMetrics metrics(p);
  TChartLayout l = LayoutChart(chart, metrics, 600, 400);
  p.end();
  int x = static_cast<int>(l.MapX(50000));
  int top = static_cast<int>(l.MapY(0, 10)), bottom = static_cast<int>(l.MapY(0, 0));
  auto dark = [&](int y) { return QColor(img.pixel(x, y)).lightness() < 128; };
  EXPECT_TRUE(dark(top + 1) || dark(top));
  EXPECT_TRUE(dark(bottom - 1) || dark(bottom));
  EXPECT_TRUE(dark((top + bottom) / 2));
}

// In a file a dense line keeps, per tenth of a pixel, its entry, extremes and exit: a lone
// spike and the first and last points are still there.
TEST(ChartExportTest, DenseLineInAFileKeepsItsExtremes) {
  TChart chart;
  auto& s = chart.Add(TSeriesKind::Line, "Location Statistic");
  for (int i = 1; i <= 100000; ++i) {
    s.X.push_back(i);
    s.Y.push_back(i == 61234 ? 20 : i == 1 ? 3 : i == 100000 ? 7 : 5 + (i % 3));
  }
  const QByteArray svg = ChartSvg(chart, QSize(600, 400));
  QXmlStreamReader xml(svg);
  std::vector<QPointF> pts;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement() || xml.name() != QLatin1String("polyline")) continue;
    const QStringList pairs =
        xml.attributes().value("points").toString().split(' ', Qt::SkipEmptyParts);
    if (pairs.size() < 1000) continue;  // the axes' and grid's lines
    for (const QString& p : pairs)
      pts.emplace_back(p.section(',', 0, 0).toDouble(), p.section(',', 1, 1).toDouble());
  }
  ASSERT_FALSE(xml.hasError());
  ASSERT_GT(pts.size(), 1000u);
  // the layout as the file's painter measured it
  QBuffer sink;
  sink.open(QIODevice::WriteOnly);
  QSvgGenerator gen;
  gen.setOutputDevice(&sink);
  gen.setSize(QSize(600, 400));
  gen.setResolution(96);
  QPainter p(&gen);
  TQtChartMetrics metrics(p);
  TChartLayout l = LayoutChart(chart, metrics, 600, 400);
  p.end();
  auto near = [](QPointF a, double x, double y) {
    return std::abs(a.x() - x) <= 0.06 && std::abs(a.y() - y) <= 0.06;
  };
  EXPECT_TRUE(near(pts.front(), l.MapX(1), l.MapY(0, 3)));
  EXPECT_TRUE(near(pts.back(), l.MapX(100000), l.MapY(0, 7)));
  double top = 1e9, bottom = -1e9;
  for (const QPointF& q : pts) {
    top = std::min(top, q.y());
    bottom = std::max(bottom, q.y());
  }
  EXPECT_NEAR(top, l.MapY(0, 20), 0.06);
  EXPECT_NEAR(bottom, l.MapY(0, 3), 0.06);
}

TEST(ChartExportTest, BlackAndWhiteDrawsNoColour) {
  TChart chart = SampleChart();
  EXPECT_GT(CountColor(RenderChartImage(chart, QSize(800, 500)), 0xFF0000), 0);
  chart.BlackWhite = true;
  QImage bw = RenderChartImage(chart, QSize(800, 500));
  EXPECT_EQ(CountColor(bw, 0xFF0000), 0);
  EXPECT_EQ(CountColor(bw, 0x0000FF), 0);
}

class ChartFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageRecorder(&messages);
    ChartBlackWhite() = false;
    ChartTitleMemory() = {};
    form = std::make_unique<TChartForm>(nullptr, "Test Chart", "Charts", 0);
    form->ChartView->SetChart(SampleChart());
    form->resize(900, 640);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  void TearDown() override {
    form.reset();
    SetMessageRecorder(nullptr);
    ChartBlackWhite() = false;
  }
  // While the modal dialog that `open` starts is shown, `act` works on it.
  template <class Dialog>
  bool WithDialog(const std::function<void()>& open, const std::function<void(Dialog*)>& act) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      if (d) {
        seen = true;
        d->activateWindow();
        act(d);
      }
      if (QApplication::activeModalWidget()) QApplication::activeModalWidget()->close();
    });
    open();
    return seen;
  }
  QPoint Pixel(int panel, double x, double y) {
    const TChartLayout& l = form->ChartView->Layout();
    return QPoint(static_cast<int>(std::lround(l.MapX(x))),
                  static_cast<int>(std::lround(l.MapY(panel, y))));
  }
  TMessageLog messages;
  std::unique_ptr<TChartForm> form;
};

TEST_F(ChartFormTest, CommandsAndKeys) {
  struct Case {
    QAction* action;
    const char* text;
    const char* hint;
    QKeySequence key;
  } cases[] = {
      {form->SaveAsAction, "Save &As...", "Save Graph", {}},
      {form->PrintAction, "&Print...", "Print Graph", QKeySequence(Qt::CTRL | Qt::Key_P)},
      {form->CopyChartAction, "&Copy Chart", "Copy Graph", QKeySequence(Qt::CTRL | Qt::Key_C)},
      {form->EditTitlesAction, "Edit &Titles", "Edit Titles", QKeySequence(Qt::CTRL | Qt::Key_T)},
      {form->BlackWhiteAction, "&Black && White", "Color/BW", {}},
      {form->ZoomOutAction, "&Zoom Out", "Zoom Out", {}},
      {form->HideAction, "Hide Form", "Hide Form", {}},
      {form->MainFormAction, "Main Form", "Main Form", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.action->text(), c.text);
    EXPECT_EQ(c.action->toolTip(), c.hint);
    EXPECT_EQ(c.action->shortcut(), c.key) << c.text;
  }
  form->SetReturnTarget(form.get(), "Variables Chart Setup");
  EXPECT_EQ(form->ReturnAction->toolTip(), "Return to Variables Chart Setup");
  EXPECT_EQ(form->ReturnAction->text(), "&Return to Variables Chart Setup");
}

TEST_F(ChartFormTest, ZoomByDraggingAndZoomOut) {
  TChartView* view = form->ChartView;
  EXPECT_FALSE(form->ZoomOutAction->isEnabled());
  QPoint from = Pixel(0, 10, 15), to = Pixel(0, 20, 8);
  QTest::mousePress(view, Qt::LeftButton, {}, from);
  QTest::mouseMove(view, from + QPoint(10, 10));
  QTest::mouseMove(view, to);
  QTest::mouseRelease(view, Qt::LeftButton, {}, to);
  ASSERT_TRUE(view->Zoomed());
  EXPECT_TRUE(form->ZoomOutAction->isEnabled());
  view->repaint();
  EXPECT_NEAR(view->Layout().XMin, 10, 0.1);
  EXPECT_NEAR(view->Layout().XMax, 20, 0.1);
  EXPECT_NEAR(view->Layout().Panels[0].Left.Max, 15, 0.1);
  form->ZoomOutAction->trigger();
  EXPECT_FALSE(view->Zoomed());
  EXPECT_FALSE(form->ZoomOutAction->isEnabled());
  // a drag up and left undoes a zoom too
  view->ZoomTo(from, to);
  QTest::mousePress(view, Qt::LeftButton, {}, to);
  QTest::mouseMove(view, to - QPoint(10, 10));
  QTest::mouseMove(view, from);
  QTest::mouseRelease(view, Qt::LeftButton, {}, from);
  EXPECT_FALSE(view->Zoomed());
}

TEST_F(ChartFormTest, ReadoutAndHandOverTheTitle) {
  TChartView* view = form->ChartView;
  view->repaint();
  QTest::mouseMove(view, Pixel(0, 10, 16 + 0));  // point 10 is red at 16, on the UCL
  EXPECT_EQ(form->Label_Readout->text(), "Location Statistic  X=10  Y=16");
  QTest::mouseMove(view, Pixel(0, 12.3, 16));
  EXPECT_EQ(form->Label_Readout->text(), "Location UCL  X=12  Y=16");
  const TChartRect& t = view->Layout().TitleRect;
  QTest::mouseMove(view, QPoint(int((t.Left + t.Right) / 2), int((t.Top + t.Bottom) / 2)));
  EXPECT_EQ(view->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseMove(view, Pixel(1, 30, 0.01));
  EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ChartFormTest, TitleClickOpensTheTitlesDialog) {
  TChartView* view = form->ChartView;
  view->repaint();
  const TChartRect& t = view->Layout().TitleRect;
  QPoint centre(int((t.Left + t.Right) / 2), int((t.Top + t.Bottom) / 2));
  EXPECT_TRUE(WithDialog<TForm_ChartTitles>(
      [&] { QTest::mouseClick(view, Qt::LeftButton, {}, centre); },
      [](TForm_ChartTitles* d) { EXPECT_EQ(d->windowTitle(), "Titles"); }));
}

TEST_F(ChartFormTest, PointClickEditsItsLabel) {
  TChartView* view = form->ChartView;
  view->repaint();
  EXPECT_TRUE(WithDialog<TForm_PointLabel>(
      [&] { QTest::mouseClick(view, Qt::LeftButton, {}, Pixel(0, 13, 13)); },
      [](TForm_PointLabel* d) {
        EXPECT_EQ(d->windowTitle(), "Enter Text for Point");
        QTest::keyClicks(d->Edit_Text, "Lot 7");
        d->Button_OK->click();
      }));
  const TChartSeries& loc = form->ChartView->Chart().Series[2];
  EXPECT_EQ(loc.Label(12), "Lot 7");
  EXPECT_EQ(ChartTitleMemory().PointText, "Lot 7");
}

TEST_F(ChartFormTest, CopyReportsOnlyWhatReachedTheClipboard) {
  ASSERT_TRUE(form->CopyGraph());
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(mime, nullptr);
  EXPECT_TRUE(mime->hasImage());
  EXPECT_TRUE(mime->data("image/svg+xml").contains("Weight Chart"));
  EXPECT_EQ(CurrentNoticeText(), "Graph Copied to Clipboard!");
  EXPECT_TRUE(messages.Texts.isEmpty());
  // nothing could be rendered: an error box, no notice
  ShowNotice({}, 0);
  EXPECT_FALSE(TGraphModule::Instance().CopyChart(form->ChartView->Chart(), QSize(0, 0)));
  EXPECT_EQ(messages.Texts.size(), 1);
  EXPECT_NE(CurrentNoticeText(), "Graph Copied to Clipboard!");
}

TEST_F(ChartFormTest, BlackAndWhiteTogglesTheSharedFlag) {
  form->BlackWhiteAction->trigger();
  EXPECT_TRUE(ChartBlackWhite());
  EXPECT_TRUE(form->ChartView->Chart().BlackWhite);
  EXPECT_TRUE(form->BlackWhiteAction->isChecked());
  form->BlackWhiteAction->trigger();
  EXPECT_FALSE(ChartBlackWhite());
  EXPECT_FALSE(form->ChartView->Chart().BlackWhite);
}

TEST_F(ChartFormTest, SaveByExtensionJpegQualityFirst) {
  QTemporaryDir dir;
  TGraphModule& g = TGraphModule::Instance();
  const TChart& chart = form->ChartView->Chart();
  // any other extension writes nothing
  for (const char* name : {"c.txt", "c.emf", "c"}) {
    messages.Texts.clear();
    EXPECT_FALSE(g.SaveChartAs(chart, QSize(400, 300), dir.filePath(name), form.get()));
    EXPECT_EQ(messages.Texts, QStringList{"File Extension Not Valid!"}) << name;
    EXPECT_FALSE(QFile::exists(dir.filePath(name)));
  }
  for (const char* name : {"c.svg", "c.PDF", "c.png", "c.bmp"}) {
    EXPECT_TRUE(g.SaveChartAs(chart, QSize(400, 300), dir.filePath(name), form.get())) << name;
    EXPECT_GT(QFile(dir.filePath(name)).size(), 100) << name;
  }
  // JPEG: the options come first; Cancel writes nothing
  bool asked = WithDialog<QInputDialog>(
      [&] {
        EXPECT_FALSE(g.SaveChartAs(chart, QSize(400, 300), dir.filePath("c.jpg"), form.get()));
      },
      [](QInputDialog* d) { d->reject(); });
  EXPECT_TRUE(asked);
  EXPECT_FALSE(QFile::exists(dir.filePath("c.jpg")));
  asked = WithDialog<QInputDialog>(
      [&] {
        EXPECT_TRUE(g.SaveChartAs(chart, QSize(400, 300), dir.filePath("c.jpg"), form.get()));
      },
      [](QInputDialog* d) {
        d->setIntValue(75);
        d->accept();
      });
  EXPECT_TRUE(asked);
  EXPECT_EQ(QImage(dir.filePath("c.jpg")).size(), QSize(400, 300));
  EXPECT_EQ(g.LastJpegQuality, 75);
}

TEST(ChartPrintTest, PrintsToAPdfPrinter) {
  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.filePath("p.pdf"));
  ASSERT_TRUE(PrintChartOn(printer, SampleChart(), 5));
  EXPECT_GT(QFile(dir.filePath("p.pdf")).size(), 1000);
}

// The titles dialog: live changes, Cancel, OK's remembered texts, the Y2 row, sizes.
class ChartTitlesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ChartTitleMemory() = {};
    chart.Title = {"Weight Chart"};
    chart.Panels[0].Left.Title = "Weight";
    chart.Bottom.Title = "Point";
  }
  static void Retype(QLineEdit* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
  }
  TChart chart;
  int changes = 0;
};

TEST_F(ChartTitlesTest, TypingChangesTheChartAndCancelRestores) {
  TForm_ChartTitles d(chart, [this] { ++changes; });
  d.show();
  Retype(d.Edit_X, "Lot");
  EXPECT_EQ(chart.Bottom.Title, "Lot");
  EXPECT_GT(changes, 0);
  Retype(d.ComboBox_TitleSize->lineEdit(), "20");
  EXPECT_EQ(chart.Fonts.Title, 20);
  d.Memo_Title->setFocus();
  QTest::keyClick(d.Memo_Title, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(d.Memo_Title, "X");
  EXPECT_EQ(chart.Title.front().back(), 'X');
  d.Button_Cancel->click();
  EXPECT_EQ(chart.Bottom.Title, "Point");
  EXPECT_EQ(chart.Fonts.Title, TChartFonts{}.Title);
  EXPECT_EQ(chart.Title, std::vector<std::string>{"Weight Chart"});
  EXPECT_TRUE(ChartTitleMemory().XTitle.empty()) << "Cancel remembers nothing";
}

TEST_F(ChartTitlesTest, OkRemembersForTheNextDialogsLastText) {
  {
    TForm_ChartTitles d(chart, {});
    d.show();
    d.Memo_Title->selectAll();
    d.Memo_Title->setFocus();
    QTest::keyClicks(d.Memo_Title, "Run 7");
    d.Button_OK->click();
  }
  EXPECT_EQ(chart.Title, std::vector<std::string>{"Run 7"});
  TChart other;  // any chart
  TForm_ChartTitles next(other, {});
  EXPECT_EQ(next.Button_LastTitle->toolTip(), "Last Text:\nRun 7");
  EXPECT_EQ(next.Button_LastX->toolTip(), "Last Text:\nPoint");
  next.Button_LastTitle->click();
  EXPECT_EQ(other.Title, std::vector<std::string>{"Run 7"});
}

TEST_F(ChartTitlesTest, Y2RowOnlyWithAnExtraAxisTitle) {
  {
    TForm_ChartTitles d(chart, {});
    d.show();
    EXPECT_FALSE(d.Edit_Y2->isVisible());
    EXPECT_FALSE(d.Label_Y2->isVisible());
  }
  chart.Panels.resize(2);
  chart.Panels[1].Left.Title = "MR";
  TForm_ChartTitles d(chart, {});
  d.show();
  ASSERT_TRUE(d.Edit_Y2->isVisible());
  EXPECT_EQ(d.Edit_Y2->text(), "MR");
  EXPECT_EQ(d.Label_Y2->text(), "Y&2:");
  Retype(d.Edit_Y2, "Range");
  d.Button_Cancel->click();
  EXPECT_EQ(chart.Panels[1].Left.Title, "Range") << "Y2 keeps what was typed";
}

TEST_F(ChartTitlesTest, SizeBoxesTakeNumbersAndRound) {
  TForm_ChartTitles d(chart, {});
  d.show();
  EXPECT_EQ(d.ComboBox_YLabelSize->currentText(), "8");
  EXPECT_EQ(d.ComboBox_YLabelSize->count(), 23);
  Retype(d.ComboBox_YLabelSize->lineEdit(), "9.6");
  EXPECT_EQ(chart.Fonts.YLabel, 10);
  Retype(d.ComboBox_XLabelSize->lineEdit(), "1a4");  // the letter is refused
  EXPECT_EQ(d.ComboBox_XLabelSize->currentText(), "14");
  EXPECT_EQ(chart.Fonts.XLabel, 14);
  Retype(d.ComboBox_XTitleSize->lineEdit(), "1234");  // three characters at most
  EXPECT_EQ(d.ComboBox_XTitleSize->currentText(), "123");
  struct Case {
    const char* text;
    int size;
  } cases[] = {{"12", 12}, {"12.5", 13}, {"0.4", 0}, {".", 0}, {"", 0}, {"7.49", 7}};
  for (const auto& c : cases) EXPECT_EQ(TForm_ChartTitles::SizeFromText(c.text), c.size) << c.text;
}

TEST(PointLabelTest, PlacedAboveTheMouseInsideTheScreen) {
  const QRect screen(0, 0, 1920, 1080);
  const QSize frame(300, 100);
  struct Case {
    QPoint mouse, topLeft;
  } cases[] = {
      {{800, 600}, {650, 480}},
      {{100, 600}, {0, 480}},  // not beyond the left edge
      {{800, 50}, {650, 0}},   // nor the top
      {{1900, 1000}, {1750, 880}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TForm_PointLabel::Placement(frame, c.mouse, screen), c.topLeft);
}

TEST(PointLabelTest, LastTextAndCancel) {
  ChartTitleMemory() = {};
  {
    TForm_PointLabel d("old");
    EXPECT_TRUE(d.Button_LastText->toolTip().isEmpty());
    EXPECT_EQ(d.Edit_Text->text(), "old");
    d.Edit_Text->setText("Shift change");
    d.reject();
  }
  EXPECT_TRUE(ChartTitleMemory().PointText.empty());
  {
    TForm_PointLabel d("");
    d.Edit_Text->setText("Shift change");
    d.Button_OK->click();
  }
  TForm_PointLabel d("x");
  EXPECT_EQ(d.Button_LastText->toolTip(), "Shift change");
  d.Button_LastText->click();
  EXPECT_EQ(d.Text(), "Shift change");
}

}  // namespace
}  // namespace sorvel
