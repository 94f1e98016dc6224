// The common commands of every analysis window, the report view and printing, under the
// offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>
#include <optional>

#include "hypothesis/forms/statistic_calculator_form.h"
#include "output/report_writer.h"
#include "ui/analysis_form.h"
#include "ui/key_filter_qt.h"
#include "ui/messages.h"
#include "ui/pdf_pages.h"
#include "ui/printing.h"
#include "ui/report_view.h"
#include "ui/shell_services.h"
#include "ui/window_registry.h"

using namespace sorvel;

namespace {

// A title, body lines and page marks, as the report writer writes them.
TReport SampleReport(int parts) {
  TReport report;
  SetReport(report);
  ClearReport();
  for (int p = 1; p <= parts; ++p) {
    if (p > 1) WritePageMark();
    TitleStyle(10);
    WriteLine("Part " + std::to_string(p));
    BodyStyle(8);
    WriteBlankLine();
    WriteLine("Mean            12.5000");
    WriteRedLine("Red line " + std::to_string(p));
  }
  ResetReportWriter();
  return report;
}

// The smallest analysis window: an edit box, a decimals box, a report and, on request,
// a picture (a filled rectangle).
class TFixtureForm : public TAnalysisForm {
 public:
  explicit TFixtureForm(QWidget* owner = nullptr)
      : TAnalysisForm(owner, QStringLiteral("Fixture"), QStringLiteral("Fixture"), 1234) {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    Edit = new QLineEdit(QStringLiteral("12.5"), central);
    Decimals = MakeDecimalSpinEdit(central, QStringLiteral("DecimalSpinEdit"));
    Button = MakeActionButton(central);
    View = new TReportView(central);
    layout->addWidget(Edit);
    layout->addWidget(Decimals);
    layout->addWidget(Button);
    layout->addWidget(View, 1);
    setCentralWidget(central);
    SetCurrentReport(View);
    resize(400, 300);
  }
  bool HasGraphic() const override { return Graphic; }
  void PaintGraphic(QPainter& painter, const QRectF& target) const override {
    painter.fillRect(target.adjusted(10, 10, -10, -10), Qt::red);
  }
  bool PrintsGraphic() const override { return Graphic; }

  QLineEdit* Edit;
  TDecimalSpinEdit* Decimals;
  QPushButton* Button;
  TReportView* View;
  bool Graphic = false;
  int Recomputed = 0;

 protected:
  void Recompute() override { ++Recomputed; }
};

class AnalysisFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageRecorder(&messages);
    form = std::make_unique<TFixtureForm>();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }
  void TearDown() override {
    form.reset();
    SetMessageRecorder(nullptr);
  }
  QString ReadFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(f.readAll());
  }

  TMessageLog messages;
  std::unique_ptr<TFixtureForm> form;
  QTemporaryDir dir;
};

TEST_F(AnalysisFormTest, SaveAsTextDropsPageMarksAndRtfBreaksPages) {
  form->View->SetReport(SampleReport(3));
  const QString txt = dir.filePath(QStringLiteral("out.txt"));
  const QString rtf = dir.filePath(QStringLiteral("out.RTF"));
  ASSERT_TRUE(form->SaveReportToFile(txt));
  ASSERT_TRUE(form->SaveReportToFile(rtf));
  const QString text = ReadFile(txt);
  EXPECT_FALSE(text.contains(QStringLiteral("-Page-")));
  EXPECT_TRUE(text.startsWith(QStringLiteral("Part 1\n\nMean            12.5000\n")));
  EXPECT_EQ(text.count(QStringLiteral("Part ")), 3);
  const QString rich = ReadFile(rtf);
  EXPECT_TRUE(rich.startsWith(QStringLiteral("{\\rtf1")));
  EXPECT_EQ(rich.count(QStringLiteral("\\page")), 2);
  EXPECT_FALSE(rich.contains(QStringLiteral("-Page-")));
}

TEST_F(AnalysisFormTest, SavedReportKeepsTheUsersEdits) {
  form->View->SetReport(SampleReport(1));
  QTextCursor c(form->View->document());
  c.movePosition(QTextCursor::End);
  c.insertText(QStringLiteral("typed by the user"));
  const QString txt = dir.filePath(QStringLiteral("edited.txt"));
  ASSERT_TRUE(form->SaveReportToFile(txt));
  EXPECT_TRUE(ReadFile(txt).contains(QStringLiteral("Red line 1typed by the user\n")));
}

TEST_F(AnalysisFormTest, FailedSaveIsReportedAndLeavesNoFile) {
  form->View->SetReport(SampleReport(1));
  const QString bad = dir.filePath(QStringLiteral("missing/folder/out.txt"));
  EXPECT_FALSE(form->SaveReportToFile(bad));
  EXPECT_EQ(messages.Texts, QStringList{QStringLiteral("File Error!")});
  EXPECT_FALSE(QFile::exists(bad));
}

TEST_F(AnalysisFormTest, EditMenuFollowsTheActiveControl) {
  form->View->SetReport(SampleReport(1));
  QGuiApplication::clipboard()->setText(QStringLiteral("3.5"));
  struct Case {
    const char* Name;
    std::function<void()> Prepare;
    bool Undo, Cut, Copy, Paste, SelectAll;
  };
  const Case cases[] = {
      {"edit box, no selection",
       [&] {
         form->Edit->setFocus();
         form->Edit->deselect();
       },
       false, false, false, true, true},
      {"edit box, selection",
       [&] {
         form->Edit->setFocus();
         form->Edit->selectAll();
       },
       false, true, true, true, true},
      {"edit box after typing",
       [&] {
         form->Edit->setFocus();
         form->Edit->end(false);
         QTest::keyClick(form->Edit, Qt::Key_5);
       },
       true, false, false, true, true},
      {"report, selection",
       [&] {
         form->View->setFocus();
         form->View->selectAll();
       },
       false, true, true, true, true},
      {"report, caret only",
       [&] {
         form->View->setFocus();
         form->View->moveCursor(QTextCursor::Start);
       },
       false, false, false, true, true},
      {"button", [&] { form->Button->setFocus(); }, false, false, false, false, false},
  };
  for (const auto& c : cases) {
    c.Prepare();
    form->UpdateEditMenu();
    EXPECT_EQ(form->UndoAction->isEnabled(), c.Undo) << c.Name;
    EXPECT_EQ(form->CutAction->isEnabled(), c.Cut) << c.Name;
    EXPECT_EQ(form->CopyAction->isEnabled(), c.Copy) << c.Name;
    EXPECT_EQ(form->PasteAction->isEnabled(), c.Paste) << c.Name;
    EXPECT_EQ(form->SelectAllAction->isEnabled(), c.SelectAll) << c.Name;
  }
  // Without text on the clipboard nothing can be pasted.
  QGuiApplication::clipboard()->clear();
  form->Edit->setFocus();
  form->UpdateEditMenu();
  EXPECT_FALSE(form->PasteAction->isEnabled());
}

TEST_F(AnalysisFormTest, EditCommandsActOnTheActiveControl) {
  form->View->SetReport(SampleReport(1));
  form->Edit->setFocus();
  form->Edit->selectAll();
  form->EditCommand(TEditCommand::Copy);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("12.5"));
  form->EditCommand(TEditCommand::Cut);
  EXPECT_EQ(form->Edit->text(), QString());
  form->EditCommand(TEditCommand::Undo);
  EXPECT_EQ(form->Edit->text(), QStringLiteral("12.5"));
  // On the report: select all and copy takes the report's text.
  form->View->setFocus();
  form->EditCommand(TEditCommand::SelectAll);
  form->EditCommand(TEditCommand::Copy);
  EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("Part 1")));
  // Paste into the edit box.
  QGuiApplication::clipboard()->setText(QStringLiteral("7"));
  form->Edit->setFocus();
  form->Edit->selectAll();
  form->EditCommand(TEditCommand::Paste);
  EXPECT_EQ(form->Edit->text(), QStringLiteral("7"));
}

TEST_F(AnalysisFormTest, MaximizeScalesWindowAndReportWithinTheScreen) {
  form->View->SetReport(SampleReport(1));
  const QRect work = form->screen()->availableGeometry();
  const QSize before = form->size();
  const double fontBefore = form->font().pointSizeF();
  EXPECT_EQ(form->ResizeAction->toolTip(), QStringLiteral("Maximize Form Size"));

  form->ToolButton_ResizeClick();
  ASSERT_GT(form->Size, 1.0);
  EXPECT_EQ(form->ResizeAction->toolTip(), QStringLiteral("Minimize Form Size"));
  EXPECT_EQ(form->ToolButton_Resize->toolTip(), QStringLiteral("Minimize Form Size"));
  EXPECT_LE(form->width(), work.width());
  EXPECT_LE(form->height(), work.height());
  EXPECT_NEAR(form->font().pointSizeF(), fontBefore * form->Size, 0.01);
  // Title 10 and body 8 points grow in proportion.
  const TReport big = form->View->Report();
  EXPECT_EQ(big.Lines[0].Runs[0].Style.Size, static_cast<int>(std::lround(10 * form->Size)));
  EXPECT_EQ(big.Lines[2].Runs[0].Style.Size, static_cast<int>(std::lround(8 * form->Size)));
  // Already as large as the screen allows: Ctrl and "+" changes nothing.
  const double maxSize = form->Size;
  QTest::keyClick(form.get(), Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(form->Size, maxSize);

  form->ToolButton_ResizeClick();
  EXPECT_DOUBLE_EQ(form->Size, 1.0);
  EXPECT_EQ(form->ResizeAction->toolTip(), QStringLiteral("Maximize Form Size"));
  EXPECT_NEAR(form->width(), before.width(), 2);
  EXPECT_NEAR(form->height(), before.height(), 2);
  const TReport back = form->View->Report();
  EXPECT_EQ(back.Lines[0].Runs[0].Style.Size, 10);
  EXPECT_EQ(back.Lines[2].Runs[0].Style.Size, 8);
}

TEST_F(AnalysisFormTest, ZoomKeys) {
  // Ctrl and "-" at size 1 does nothing.
  QTest::keyClick(form.get(), Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(form->Size, 1.0);
  QTest::keyClick(form.get(), Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(form->Size, 1.25);
  // The key reaches the window from a focused edit box as well.
  QTest::keyClick(form->Edit, Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(form->Size, 1.0);
  QTest::keyClick(form.get(), Qt::Key_Plus, Qt::ControlModifier);
  QTest::keyClick(form.get(), Qt::Key_0, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(form->Size, 1.0);
  // Without Ctrl nothing happens.
  QTest::keyClick(form.get(), Qt::Key_Plus);
  EXPECT_DOUBLE_EQ(form->Size, 1.0);
}

TEST_F(AnalysisFormTest, DecimalsLeftEmptyShowFourAndAChangeRecomputes) {
  form->Decimals->setValue(2);
  EXPECT_EQ(form->Recomputed, 1);
  auto* text = form->Decimals->findChild<QLineEdit*>();
  ASSERT_NE(text, nullptr);
  text->clear();
  form->Decimals->interpretText();
  EXPECT_EQ(form->Decimals->value(), 4);
  EXPECT_EQ(form->Decimals->text(), QStringLiteral("4"));
  EXPECT_EQ(form->Decimals->minimum(), 0);
  EXPECT_EQ(form->Decimals->maximum(), 9);
}

TEST_F(AnalysisFormTest, CommonCommandCaptionsHintsAndKeys) {
  struct Case {
    QAction* Action;
    const char* Caption;
    const char* Hint;
    QKeySequence Key;
  };
  const Case cases[] = {
      {form->ReturnAction, "&Return to Main Form", "Return to Main Form", {}},
      {form->SaveAsAction, "Save &As...", "Save to File", {}},
      {form->PrintAction, "&Print...", "Print", QKeySequence(Qt::CTRL | Qt::Key_P)},
      {form->CopyGraphAction, "Copy &Graph", "Copy Graph", QKeySequence(Qt::CTRL | Qt::Key_G)},
      {form->CopyAction, "&Copy Text", "Copy Text", QKeySequence(Qt::CTRL | Qt::Key_C)},
      {form->PasteAction, "&Paste Text", "Paste", QKeySequence(Qt::CTRL | Qt::Key_V)},
      {form->UndoAction, "&Undo", nullptr, QKeySequence(Qt::CTRL | Qt::Key_Z)},
      {form->CutAction, "Cu&t Text", nullptr, QKeySequence(Qt::CTRL | Qt::Key_X)},
      {form->SelectAllAction, "Select &All Text", nullptr, QKeySequence(Qt::CTRL | Qt::Key_A)},
      {form->ResizeAction, "&Form Resize", "Maximize Form Size", {}},
      {form->MainFormAction, "Main Form", "Main Form", {}},
      {form->HelpAction, "&Help on Fixture", "Help", QKeySequence(Qt::Key_F1)},
      {form->ContentsAction, "&Contents", nullptr, {}},
      {form->HideAction, "Hide Form", "Hide Form", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.Action->text(), QString::fromUtf8(c.Caption));
    if (c.Hint) {
      EXPECT_EQ(c.Action->toolTip(), QString::fromUtf8(c.Hint)) << c.Caption;
    }
    EXPECT_EQ(c.Action->shortcut(), c.Key) << c.Caption;
  }
  EXPECT_EQ(form->Button->text(), QStringLiteral("&Action"));
  EXPECT_EQ(form->Button->toolTip(), QStringLiteral("Display Results"));
  form->HideAction->trigger();
  EXPECT_FALSE(form->isVisible());
}

TEST_F(AnalysisFormTest, CopyGraphPutsImageAndSvgOnTheClipboard) {
  QGuiApplication::clipboard()->clear();
  form->CopyGraph();  // no picture: nothing happens
  EXPECT_TRUE(CurrentNoticeText().isEmpty());
  const QMimeData* none = QGuiApplication::clipboard()->mimeData();
  EXPECT_TRUE(!none || !none->hasImage());

  form->Graphic = true;
  form->CopyGraph();
  EXPECT_EQ(CurrentNoticeText(), QStringLiteral("Graph Copied to Clipboard!"));
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  ASSERT_TRUE(mime->hasImage());
  const QImage image = qvariant_cast<QImage>(mime->imageData());
  EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2), QColor(Qt::red));
  EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
  const QByteArray svg = mime->data(QStringLiteral("image/svg+xml"));
  EXPECT_TRUE(svg.contains("<svg"));
  EXPECT_TRUE(svg.contains("viewBox=\"0 0 3000 2000\"")) << svg.left(300).toStdString();
}

TEST_F(AnalysisFormTest, KeyFiltersSeeTheKeysOfEditsAndSpinEdits) {
  // A spin edit hands keys to its text box without events, so its filter must sit on
  // the spin edit itself: a filter refusing "5" keeps the box at its value.
  std::string seen;
  SetKeyFilter(form->Decimals, [&](const TKeyEdit& edit, char key) {
    seen = edit.Text;
    return TKeyResult{key != '5', std::nullopt};
  });
  form->Decimals->setFocus();
  form->Decimals->selectAll();
  QTest::keyClick(form->Decimals, Qt::Key_5);
  EXPECT_EQ(form->Decimals->value(), 4);
  EXPECT_EQ(seen, "4");
  QTest::keyClick(form->Decimals, Qt::Key_7);
  EXPECT_EQ(form->Decimals->value(), 7);
  // Navigation keys are not offered to the filter; a refused key is dropped.
  SetKeyFilter(form->Edit, PosRealKeyFilter);
  form->Edit->clear();
  QTest::keyClicks(form->Edit, QStringLiteral("-2.5e"));
  EXPECT_EQ(form->Edit->text(), QStringLiteral("2.5e"));
  QTest::keyClick(form->Edit, Qt::Key_Home);
  QTest::keyClick(form->Edit, Qt::Key_Delete);
  EXPECT_EQ(form->Edit->text(), QStringLiteral(".5e"));
  SetKeyFilter(form->Edit, {});
  QTest::keyClicks(form->Edit, QStringLiteral("x"));
  EXPECT_EQ(form->Edit->text(), QStringLiteral("x.5e"));
}

TEST_F(AnalysisFormTest, MaximizeCentresAndMinimizeRestoresTheExactSize) {
  // A window as small as its controls allow: at the larger fonts its controls need more
  // room, which must not keep it large once it is back at zoom 1.
  form->resize(form->minimumSizeHint());
  QCoreApplication::processEvents();
  const QSize before = form->size();
  const QRect work = form->screen()->availableGeometry();

  form->ToolButton_ResizeClick();
  ASSERT_GT(form->Size, 1.0);
  const QRect frame = form->frameGeometry();
  EXPECT_TRUE(work.contains(frame))
      << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
  // As large as the area allows in one direction, and centred.
  EXPECT_TRUE(frame.width() >= work.width() - 1 || frame.height() >= work.height() - 1);
  EXPECT_NEAR(frame.left() - work.left(), work.right() - frame.right(), 1);
  EXPECT_NEAR(frame.top() - work.top(), work.bottom() - frame.bottom(), 1);

  form->ToolButton_ResizeClick();
  EXPECT_DOUBLE_EQ(form->Size, 1.0);
  EXPECT_EQ(form->size(), before);
  // Ctrl and "+" twice, then "0": back to the same size as well.
  QTest::keyClick(form.get(), Qt::Key_Plus, Qt::ControlModifier);
  QTest::keyClick(form.get(), Qt::Key_Plus, Qt::ControlModifier);
  QTest::keyClick(form.get(), Qt::Key_0, Qt::ControlModifier);
  EXPECT_EQ(form->size(), before);
}

// Enter in a box of the window presses "&Action", as the default button of any dialog;
// a control that uses Enter itself (the report) keeps it.
TEST_F(AnalysisFormTest, EnterInABoxPressesAction) {
  int presses = 0;
  QObject::connect(form->Button, &QPushButton::clicked, [&] { ++presses; });
  struct Case {
    QWidget* Target;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    int Presses;
  };
  const Case cases[] = {
      {form->Edit, Qt::Key_Return, Qt::NoModifier, 1},
      {form->Edit, Qt::Key_Enter, Qt::KeypadModifier, 1},
      {form->Decimals, Qt::Key_Return, Qt::NoModifier, 1},
      {form->View, Qt::Key_Return, Qt::NoModifier, 0},
      {form->Edit, Qt::Key_Return, Qt::ControlModifier, 0},
  };
  for (const Case& c : cases) {
    presses = 0;
    c.Target->setFocus();
    QTest::keyClick(c.Target, c.Key, c.Modifiers);
    EXPECT_EQ(presses, c.Presses) << c.Target->metaObject()->className() << " " << c.Key;
  }
  form->Button->setEnabled(false);
  presses = 0;
  QTest::keyClick(form->Edit, Qt::Key_Return);
  EXPECT_EQ(presses, 0);
}

TEST(TestStatisticsWindow, ReturnInTheValueBoxComputes) {
  TMessageLog messages;
  SetMessageRecorder(&messages);
  {
    TTestStatForm form(nullptr);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    TTestStatForm::TPage& page = form.Page(1);
    page.ValueEdit->setText(QStringLiteral("1.96"));
    page.ValueEdit->setFocus();
    QTest::keyClick(page.ValueEdit, Qt::Key_Return);
    const QStringList lines = page.Richedit->toPlainText().split(QChar('\n'));
    EXPECT_EQ(lines.value(0), QStringLiteral("For z (Normal) Value = 1.96:"));
    EXPECT_TRUE(lines.value(1).endsWith(QStringLiteral("0.0500"))) << lines.value(1).toStdString();
  }
  EXPECT_TRUE(messages.Texts.isEmpty()) << messages.Texts.join(QChar('|')).toStdString();
  SetMessageRecorder(nullptr);
}

// F1 opens the window's own topic; when the desktop cannot open the page, the user is
// told instead of nothing happening.
TEST_F(AnalysisFormTest, F1OpensTheTopicOrSaysTheHelpFileWasNotFound) {
  QTemporaryDir help;
  for (const char* page : {"index.html", "topic1234.html"}) {
    QFile f(help.filePath(QString::fromLatin1(page)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  qputenv("SORVEL_HELP_DIR", help.path().toUtf8());
  struct Case {
    bool DesktopOpens;
    QStringList Messages;
  };
  const Case cases[] = {{true, {}}, {false, {QStringLiteral("The Help file was not found.")}}};
  for (const Case& c : cases) {
    QStringList launched;
    SetAddressLauncher([&](const QString& address) {
      launched << QUrl(address).fileName();
      return c.DesktopOpens;
    });
    messages.Texts.clear();
    QTest::keyClick(form.get(), Qt::Key_F1);
    EXPECT_EQ(launched, QStringList{QStringLiteral("topic1234.html")});
    EXPECT_EQ(messages.Texts, c.Messages);
  }
  SetAddressLauncher({});
  qunsetenv("SORVEL_HELP_DIR");
}

// Every window opens, and opens again, wholly inside the screen's available area, its
// frame included.
TEST(WindowPlacement, WindowsOpenInsideTheAvailableArea) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QSize normal(400, 300);
  enum TWhere { BelowMain, AboveMain, BottomRight, TopLeft };
  struct Case {
    const char* What;
    QRect Main;                     // the main window's place, or none
    std::optional<QPoint> MovedTo;  // where the window was put before showing it
    QSize Size;
    TWhere Expected;
  };
  const Case cases[] = {
      // clang-format off
      {"below the main window", QRect(area.left() + 40, area.top() + 10, 300, 30), std::nullopt, normal, BelowMain},
      {"above the main window", QRect(area.left() + 40, area.bottom() - 40, 300, 30), std::nullopt, normal,
       AboveMain},
      {"past the bottom-right corner", {}, area.bottomRight() - QPoint(100, 50), normal, BottomRight},
      {"larger than the screen", {}, area.topLeft() + QPoint(30, 30), area.size() + QSize(100, 100), TopLeft},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    QWidget main;
    if (!c.Main.isNull()) {
      main.setGeometry(c.Main);
      main.show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
      SetMainForm(&main);
    }
    TAnalysisForm form(nullptr, QStringLiteral("Placed"), QStringLiteral("Placed"), 1);
    form.resize(c.Size);
    if (c.MovedTo) form.move(*c.MovedTo);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QRect frame = form.frameGeometry();
    const QRect mainFrame = main.frameGeometry();
    switch (c.Expected) {
      case BelowMain:
        EXPECT_EQ(frame.topLeft(), QPoint(mainFrame.left(), mainFrame.bottom() + 1));
        break;
      case AboveMain:
        EXPECT_EQ(frame.bottomLeft(), QPoint(mainFrame.left(), mainFrame.top() - 1));
        break;
      case BottomRight: EXPECT_EQ(frame.bottomRight(), area.bottomRight()); break;
      case TopLeft: EXPECT_EQ(frame, area); break;
    }
    if (c.Expected != TopLeft) {
      EXPECT_EQ(form.size(), c.Size);
    }
    EXPECT_TRUE(area.contains(frame));
    // Shown again after it was moved off the screen: back inside.
    form.hide();
    form.move(area.topLeft() - QPoint(200, 200));
    form.show();
    EXPECT_TRUE(area.contains(form.frameGeometry()));
    SetMainForm(nullptr);
  }
  // The main window itself, a menu bar, opens at the top, leaving the room below.
  TAnalysisForm main(nullptr, QStringLiteral("Main"), QStringLiteral("Main"), 1);
  main.resize(300, 30);
  SetMainForm(&main);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  EXPECT_EQ(main.frameGeometry().top(), area.top());
  EXPECT_NEAR(main.frameGeometry().left() - area.left(),
              area.right() - main.frameGeometry().right(), 1);
  SetMainForm(nullptr);
}

TEST(ReportView, RoundTripKeepsEveryRunStyle) {
  TReport report = SampleReport(2);
  // A line of two runs in different styles.
  TReportLine mixed;
  mixed.Runs.push_back({"bold ", {"Arial", 12, true, false, 0x0000FF}});
  mixed.Runs.push_back({"plain", {"Courier New", 8, false, true, 0x000000}});
  report.Lines.push_back(mixed);
  TReportView view;
  view.SetReport(report);
  const TReport back = view.Report();
  ASSERT_EQ(back.Lines.size(), report.Lines.size());
  for (std::size_t i = 0; i < report.Lines.size(); ++i)
    EXPECT_EQ(back.Lines[i], report.Lines[i]) << "line " << i << ": " << report.Lines[i].Text();
}

TEST(ReportView, ScalingRoundsEachSize) {
  TReportView view;
  view.SetReport(SampleReport(1));
  view.ScaleReportFonts(1.5, 0);
  TReport r = view.Report();
  EXPECT_EQ(r.Lines[0].Runs[0].Style.Size, 15);
  EXPECT_EQ(r.Lines[1].Runs[0].Style.Size, 12);  // the blank line too
  EXPECT_EQ(r.Lines[2].Runs[0].Style.Size, 12);
  view.ScaleReportFonts(1.0, -1);
  r = view.Report();
  EXPECT_EQ(r.Lines[0].Runs[0].Style.Size, 14);
  EXPECT_EQ(r.Lines[2].Runs[0].Style.Size, 11);
  EXPECT_TRUE(r.Lines[0].Runs[0].Style.Bold);
  EXPECT_EQ(r.Lines[3].Runs[0].Style.Color, RedColor);
  // Undo would bring back a size the window's zoom no longer has.
  EXPECT_FALSE(view.document()->isUndoAvailable());
}

TEST(ReportView, PopupMenuFollowsTheReportsState) {
  TReportView view;
  view.SetReport(SampleReport(1));
  struct Case {
    const char* Name;
    std::function<void()> Prepare;
    bool Undo, Cut, Copy, Paste, Delete;
  };
  const Case cases[] = {
      {"fresh report, caret only",
       [&] {
         QGuiApplication::clipboard()->clear();
         view.moveCursor(QTextCursor::Start);
       },
       false, false, false, false, false},
      {"selection, text on the clipboard",
       [&] {
         QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
         view.selectAll();
       },
       false, true, true, true, true},
      {"after an edit",
       [&] {
         view.moveCursor(QTextCursor::End);
         view.insertPlainText(QStringLiteral("x"));
       },
       true, false, false, true, false},
  };
  const QStringList captions = {QStringLiteral("&Undo"),   QStringLiteral("Cu&t"),
                                QStringLiteral("&Copy"),   QStringLiteral("&Paste"),
                                QStringLiteral("&Delete"), QStringLiteral("Select &All")};
  for (const auto& c : cases) {
    c.Prepare();
    std::unique_ptr<QMenu> menu(view.CreatePopupMenu());
    QStringList texts;
    QList<QAction*> items;
    for (QAction* a : menu->actions())
      if (!a->isSeparator()) {
        texts << a->text();
        items << a;
      }
    ASSERT_EQ(texts, captions) << c.Name;
    EXPECT_EQ(items[0]->isEnabled(), c.Undo) << c.Name;
    EXPECT_EQ(items[1]->isEnabled(), c.Cut) << c.Name;
    EXPECT_EQ(items[2]->isEnabled(), c.Copy) << c.Name;
    EXPECT_EQ(items[3]->isEnabled(), c.Paste) << c.Name;
    EXPECT_EQ(items[4]->isEnabled(), c.Delete) << c.Name;
    EXPECT_TRUE(items[5]->isEnabled()) << c.Name;
  }
  // "&Delete" removes the selection; "Select &All" selects the whole report.
  std::unique_ptr<QMenu> menu(view.CreatePopupMenu());
  menu->findChild<QAction*>(QStringLiteral("Select1"))->trigger();
  EXPECT_TRUE(view.textCursor().hasSelection());
  menu.reset(view.CreatePopupMenu());
  menu->findChild<QAction*>(QStringLiteral("Delete1"))->trigger();
  EXPECT_TRUE(view.toPlainText().isEmpty());
}

TEST(TextOutputForm, FontStepsStopAtTheLimits) {
  TTFOutputForm form(nullptr);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Mean/Dispersion Tests Output"));
  EXPECT_EQ(form.CheckBox_Clear->text(), QStringLiteral("Clear Before Display"));
  EXPECT_TRUE(form.CheckBox_Clear->isChecked());
  EXPECT_EQ(form.HelpAction->text(), QStringLiteral("&Help on Mean/Dispersion Tests Output"));
  EXPECT_EQ(form.HelpTopic, 1020);
  EXPECT_EQ(form.IncreaseFontAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
  EXPECT_EQ(form.DecreaseFontAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
  form.RichEdit->SetReport(SampleReport(1));
  form.IncreaseFont();
  EXPECT_EQ(form.TitleSize, 11);
  EXPECT_EQ(form.RichEdit->Report().Lines[0].Runs[0].Style.Size, 11);
  form.TitleSize = 72;
  form.IncreaseFont();
  EXPECT_EQ(form.TitleSize, 72);
  EXPECT_EQ(form.RichEdit->Report().Lines[0].Runs[0].Style.Size, 11);
  form.BodySize = 6;
  form.DecreaseFont();
  EXPECT_EQ(form.BodySize, 6);
  form.BodySize = 9;
  form.TitleSize = 10;
  // Ctrl and the mouse wheel.
  QWheelEvent up(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton,
                 Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(form.RichEdit->viewport(), &up);
  EXPECT_EQ(form.TitleSize, 11);
  EXPECT_EQ(form.RichEdit->Report().Lines[0].Runs[0].Style.Size, 12);
}

TEST(TextOutputForm, ReturnLeadsBackToTheTestsWindow) {
  QMainWindow tests;
  tests.setWindowTitle(QStringLiteral("Mean/Dispersion Tests"));
  tests.move(140, 90);
  TTFOutputForm form(nullptr);
  EXPECT_EQ(form.ReturnAction->text(), QStringLiteral("&Return to Mean/Dispersion Tests"));
  form.PlaceBelow(&tests);
  EXPECT_EQ(form.ReturnAction->toolTip(), QStringLiteral("Return to Mean/Dispersion Tests"));
  EXPECT_EQ(form.pos(), tests.frameGeometry().topLeft());  // no main window: no caption offset
  form.show();
  EXPECT_FALSE(tests.isVisible());
  form.ReturnAction->trigger();
  EXPECT_TRUE(tests.isVisible());
}

// --- printing ---------------------------------------------------------------

TEST(Printing, PageMarksSplitTheReportIntoPagesWithHeaderAndFooter) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
    GTEST_SKIP() << "pdftotext not installed";
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  SetupPdf(printer, pdf);
  PrintReportOn(printer, SampleReport(3), QStringLiteral("Sorvelstats"));
  const QStringList pages = PdfPages(pdf);
  ASSERT_EQ(pages.size(), 3);
  const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(pages[i].contains(QStringLiteral("Sorvelstats")));
    EXPECT_TRUE(pages[i].contains(date));
    EXPECT_TRUE(pages[i].contains(QStringLiteral("Page (%1)").arg(i + 1)));
    EXPECT_TRUE(pages[i].contains(QStringLiteral("Part %1").arg(i + 1)));
    EXPECT_FALSE(pages[i].contains(QStringLiteral("-Page-")));
  }
}

TEST(Printing, LongReportRunsOntoMorePages) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
    GTEST_SKIP() << "pdftotext not installed";
  TReport report;
  SetReport(report);
  BodyStyle(8);
  for (int i = 1; i <= 150; ++i) WriteLine("Line " + std::to_string(i));
  WritePageMark();  // a trailing mark adds no blank page
  ResetReportWriter();
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("long.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  SetupPdf(printer, pdf);
  PrintReportOn(printer, report, QStringLiteral("Sorvelstats"));
  const QStringList pages = PdfPages(pdf);
  ASSERT_GE(pages.size(), 2);
  EXPECT_TRUE(pages.back().contains(QStringLiteral("Line 150")));
  EXPECT_TRUE(pages.back().contains(QStringLiteral("Page (%1)").arg(pages.size())));
  // Every line printed exactly once.
  const QString all = pages.join(QChar('\n'));
  for (int i : {1, 75, 149}) {
    const QRegularExpression line(QStringLiteral("^ *Line %1 *$").arg(i),
                                  QRegularExpression::MultilineOption);
    EXPECT_EQ(all.count(line), 1) << i;
  }
}

TEST(Printing, ReportWithGraphicPutsThePictureAboveTheText) {
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("graphic.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  SetupPdf(printer, pdf);
  QRectF drawnAt;
  PrintReportWithGraphicOn(printer, SampleReport(1), QStringLiteral("Sorvelstats"),
                           [&](QPainter& p, const QRectF& r) {
                             drawnAt = r;
                             p.fillRect(r, Qt::blue);
                           });
  // 4 by 3 inches, 2 inches from the paper's left edge.
  const double dpi = printer.resolution();
  EXPECT_NEAR(drawnAt.width(), 4 * dpi, 2);
  EXPECT_NEAR(drawnAt.height(), 3 * dpi, 2);
  const QRectF paint = printer.pageLayout().paintRectPixels(printer.resolution());
  EXPECT_NEAR(drawnAt.left() + paint.left(), 2 * dpi, 2);
  const QStringList pages = PdfPages(pdf);
  if (!pages.isEmpty()) {
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Part 1")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("12.5000")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Page (1)")));
  }
}

}  // namespace
