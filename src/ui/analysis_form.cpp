#include "ui/analysis_form.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QScreen>
#include <QStyle>
#include <QSvgGenerator>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>

#include "data/data_state.h"
#include "output/report_rtf.h"
#include "output/report_text.h"
#include "output/report_writer.h"
#include "ui/messages.h"
#include "ui/printing.h"
#include "ui/report_view.h"
#include "ui/shell_services.h"
#include "ui/window_placement.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {

// Small toolbar images drawn here, so that no image files are needed.
enum class TGlyph {
  Back,
  Save,
  Print,
  Graph,
  Copy,
  Paste,
  Maximize,
  Minimize,
  Main,
  Help,
  Hide,
  FontUp,
  FontDown
};

QIcon GlyphIcon(TGlyph glyph) {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(40, 60, 110);
  p.setPen(QPen(ink, 1.6));
  p.setBrush(Qt::NoBrush);
  auto paper = [&](QRectF r) {
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setBrush(Qt::NoBrush);
  };
  switch (glyph) {
    case TGlyph::Back: {
      QPainterPath path;
      path.moveTo(4, 12);
      path.lineTo(11, 5);
      path.lineTo(11, 9);
      path.lineTo(20, 9);
      path.lineTo(20, 15);
      path.lineTo(11, 15);
      path.lineTo(11, 19);
      path.closeSubpath();
      p.setBrush(QColor(90, 150, 220));
      p.drawPath(path);
      break;
    }
    case TGlyph::Save:
      p.setBrush(QColor(90, 130, 200));
      p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(7, 4, 10, 6));
      p.drawRect(QRectF(7, 14, 10, 6.5));
      break;
    case TGlyph::Print:
      paper(QRectF(7, 3.5, 10, 7));
      p.setBrush(QColor(150, 160, 175));
      p.drawRoundedRect(QRectF(3.5, 9.5, 17, 8), 1.5, 1.5);
      paper(QRectF(7, 14, 10, 7));
      break;
    case TGlyph::Graph: {
      paper(QRectF(3.5, 3.5, 17, 17));
      QPainterPath curve;
      curve.moveTo(5, 18);
      curve.cubicTo(9, 18, 9, 6, 12, 6);
      curve.cubicTo(15, 6, 15, 18, 19, 18);
      p.setPen(QPen(QColor(200, 40, 40), 1.6));
      p.drawPath(curve);
      break;
    }
    case TGlyph::Copy:
      paper(QRectF(3.5, 3.5, 11, 13));
      paper(QRectF(9.5, 7.5, 11, 13));
      break;
    case TGlyph::Paste:
      p.setBrush(QColor(190, 150, 90));
      p.drawRoundedRect(QRectF(4.5, 4.5, 13, 16), 1.5, 1.5);
      paper(QRectF(10.5, 9.5, 10, 12));
      break;
    case TGlyph::Maximize:
    case TGlyph::Minimize: {
      p.drawRect(QRectF(3.5, 3.5, 17, 17));
      const bool grow = glyph == TGlyph::Maximize;
      p.setPen(QPen(ink, 2));
      p.drawLine(QPointF(8, 16), QPointF(16, 8));
      const QPointF tip = grow ? QPointF(16, 8) : QPointF(8, 16);
      const double s = grow ? -1 : 1;
      p.drawLine(tip, tip + QPointF(s * 5, 0));
      p.drawLine(tip, tip + QPointF(0, -s * 5));
      break;
    }
    case TGlyph::Main:
      paper(QRectF(3.5, 4.5, 17, 15));
      p.setBrush(QColor(90, 130, 200));
      p.drawRect(QRectF(3.5, 4.5, 17, 4));
      break;
    case TGlyph::Help: {
      p.setBrush(QColor(90, 150, 220));
      p.drawEllipse(QRectF(3.5, 3.5, 17, 17));
      QFont f = p.font();
      f.setBold(true);
      f.setPixelSize(13);
      p.setFont(f);
      p.setPen(Qt::white);
      p.drawText(QRectF(3.5, 3.5, 17, 17), Qt::AlignCenter, QStringLiteral("?"));
      break;
    }
    case TGlyph::Hide:
      p.drawRect(QRectF(3.5, 3.5, 17, 17));
      p.setPen(QPen(QColor(200, 40, 40), 2.2));
      p.drawLine(QPointF(8, 8), QPointF(16, 16));
      p.drawLine(QPointF(16, 8), QPointF(8, 16));
      break;
    case TGlyph::FontUp:
    case TGlyph::FontDown: {
      QFont f = p.font();
      f.setBold(true);
      f.setPixelSize(glyph == TGlyph::FontUp ? 18 : 12);
      p.setFont(f);
      p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("A"));
      break;
    }
  }
  return QIcon(pm);
}

QAction* MakeAction(QWidget* owner, const QString& caption, const QString& hint,
                    const QKeySequence& key = {}) {
  auto* a = new QAction(caption, owner);
  if (!hint.isEmpty()) {
    a->setToolTip(hint);
    a->setStatusTip(hint);
  }
  if (!key.isEmpty()) a->setShortcut(key);
  return a;
}

// Presses its button on Enter or Return that reaches the window unused, as a dialog's
// default button is pressed. Keys meant for other buttons stay theirs; with several
// Action buttons (one per page) the visible one is pressed.
class TDefaultButton : public QObject {
 public:
  TDefaultButton(QPushButton* button, QWidget* window)
      : QObject(button), button_(button), window_(window) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || watched != window_) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus != button_ && qobject_cast<QAbstractButton*>(focus) &&
        !qobject_cast<QRadioButton*>(focus) && !qobject_cast<QCheckBox*>(focus))
      return false;
    if (!button_->isVisible() || !button_->isEnabled()) return false;
    button_->click();
    return true;
  }

 private:
  QPushButton* button_;
  QWidget* window_;
};

// The edit box behind a control: itself, or the text box inside a spin edit.
QLineEdit* LineEditOf(QWidget* w) {
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e;
  if (auto* s = qobject_cast<QAbstractSpinBox*>(w)) return s->findChild<QLineEdit*>();
  return nullptr;
}

}  // namespace

TDecimalSpinEdit::TDecimalSpinEdit(QWidget* parent, int initial)
    : QSpinBox(parent), initial_(initial) {
  setRange(0, 9);
  setValue(initial);
}

void TDecimalSpinEdit::fixup(QString& input) const {
  if (input.trimmed().isEmpty()) input = QString::number(initial_);
}

TAnalysisForm::TAnalysisForm(QWidget* owner, const QString& caption, const QString& subject,
                             int helpTopic)
    : QMainWindow(owner, Qt::Window), HelpTopic(helpTopic) {
  setWindowTitle(caption);
  BuildCommands(subject);
  baseFont_ = font();
  KeepOnScreen(this);
}

void TAnalysisForm::BuildCommands(const QString& subject) {
  ReturnAction = MakeAction(this, QStringLiteral("&Return to Main Form"),
                            QStringLiteral("Return to Main Form"));
  ReturnAction->setIcon(GlyphIcon(TGlyph::Back));
  connect(ReturnAction, &QAction::triggered, this, [this] {
    if (returnTarget_)
      RestoreAndShow(returnTarget_);
    else
      ShowMainForm();
  });
  SaveAsAction = MakeAction(this, QStringLiteral("Save &As..."), QStringLiteral("Save to File"));
  SaveAsAction->setIcon(GlyphIcon(TGlyph::Save));
  connect(SaveAsAction, &QAction::triggered, this, &TAnalysisForm::SaveReportAs);
  PrintAction = MakeAction(this, QStringLiteral("&Print..."), QStringLiteral("Print"),
                           QKeySequence(Qt::CTRL | Qt::Key_P));
  PrintAction->setIcon(GlyphIcon(TGlyph::Print));
  connect(PrintAction, &QAction::triggered, this, &TAnalysisForm::PrintCurrentReport);
  CopyGraphAction = MakeAction(this, QStringLiteral("Copy &Graph"), QStringLiteral("Copy Graph"),
                               QKeySequence(Qt::CTRL | Qt::Key_G));
  CopyGraphAction->setIcon(GlyphIcon(TGlyph::Graph));
  connect(CopyGraphAction, &QAction::triggered, this, &TAnalysisForm::CopyGraph);

  UndoAction = MakeAction(this, QStringLiteral("&Undo"), {}, QKeySequence(Qt::CTRL | Qt::Key_Z));
  UndoAction->setObjectName(QStringLiteral("Undo1"));
  CutAction = MakeAction(this, QStringLiteral("Cu&t Text"), {}, QKeySequence(Qt::CTRL | Qt::Key_X));
  CutAction->setObjectName(QStringLiteral("Cut1"));
  CopyAction = MakeAction(this, QStringLiteral("&Copy Text"), QStringLiteral("Copy Text"),
                          QKeySequence(Qt::CTRL | Qt::Key_C));
  CopyAction->setObjectName(QStringLiteral("Copy1"));
  PasteAction = MakeAction(this, QStringLiteral("&Paste Text"), QStringLiteral("Paste"),
                           QKeySequence(Qt::CTRL | Qt::Key_V));
  PasteAction->setObjectName(QStringLiteral("Paste1"));
  SelectAllAction =
      MakeAction(this, QStringLiteral("Select &All Text"), {}, QKeySequence(Qt::CTRL | Qt::Key_A));
  SelectAllAction->setObjectName(QStringLiteral("Select1"));
  const std::pair<QAction*, TEditCommand> edits[] = {{UndoAction, TEditCommand::Undo},
                                                     {CutAction, TEditCommand::Cut},
                                                     {CopyAction, TEditCommand::Copy},
                                                     {PasteAction, TEditCommand::Paste},
                                                     {SelectAllAction, TEditCommand::SelectAll}};
  for (const auto& [action, command] : edits) {
    // The focused edit box handles its own standard keys; the shortcut is for the
    // report and for the menu.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, [this, c = command] { EditCommand(c); });
  }

  ResizeAction =
      MakeAction(this, QStringLiteral("&Form Resize"), QStringLiteral("Maximize Form Size"));
  connect(ResizeAction, &QAction::triggered, this, &TAnalysisForm::ToolButton_ResizeClick);
  MainFormAction = MakeAction(this, QStringLiteral("Main Form"), QStringLiteral("Main Form"));
  MainFormAction->setIcon(GlyphIcon(TGlyph::Main));
  connect(MainFormAction, &QAction::triggered, this, [] { ShowMainForm(); });
  HelpAction = MakeAction(this, QStringLiteral("&Help on ") + subject, QStringLiteral("Help"),
                          QKeySequence(Qt::Key_F1));
  HelpAction->setIcon(GlyphIcon(TGlyph::Help));
  connect(HelpAction, &QAction::triggered, this, [this] { ShowHelpTopic(HelpTopic); });
  ContentsAction = MakeAction(this, QStringLiteral("&Contents"), {});
  connect(ContentsAction, &QAction::triggered, this, [] { ShowHelpContents(); });
  HideAction = MakeAction(this, QStringLiteral("Hide Form"), QStringLiteral("Hide Form"));
  HideAction->setIcon(GlyphIcon(TGlyph::Hide));
  connect(HideAction, &QAction::triggered, this, &QWidget::close);

  FileMenu = menuBar()->addMenu(QStringLiteral("&File"));
  FileMenu->addAction(ReturnAction);
  FileMenu->addSeparator();
  FileMenu->addAction(SaveAsAction);
  FileMenu->addAction(PrintAction);
  EditMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
  EditMenu->addAction(UndoAction);
  EditMenu->addSeparator();
  EditMenu->addAction(CutAction);
  EditMenu->addAction(CopyAction);
  EditMenu->addAction(PasteAction);
  EditMenu->addSeparator();
  EditMenu->addAction(SelectAllAction);
  EditMenu->addSeparator();
  EditMenu->addAction(CopyGraphAction);
  connect(EditMenu, &QMenu::aboutToShow, this, &TAnalysisForm::UpdateEditMenu);
  // Closed again, every item works by its key as before.
  connect(EditMenu, &QMenu::aboutToHide, this, [this] {
    for (QAction* a : {UndoAction, CutAction, CopyAction, PasteAction, SelectAllAction})
      a->setEnabled(true);
  });
  ViewMenu = menuBar()->addMenu(QStringLiteral("&View"));
  ViewMenu->addAction(ResizeAction);
  HelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
  HelpMenu->addAction(ContentsAction);
  HelpMenu->addAction(HelpAction);

  ToolBar = addToolBar(QStringLiteral("Commands"));
  ToolBar->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar->setMovable(false);
  ToolBar->setIconSize(QSize(24, 24));
  ToolBar->addAction(ReturnAction);
  ToolBar->addSeparator();
  ToolBar->addAction(SaveAsAction);
  ToolBar->addAction(PrintAction);
  ToolBar->addAction(CopyGraphAction);
  ToolBar->addSeparator();
  // Toolbar copy and paste are always enabled; the menu items follow the Edit menu's rules.
  auto* copyButton = MakeAction(this, QStringLiteral("Copy"), QStringLiteral("Copy Text"));
  copyButton->setIcon(GlyphIcon(TGlyph::Copy));
  connect(copyButton, &QAction::triggered, this, [this] { EditCommand(TEditCommand::Copy); });
  auto* pasteButton = MakeAction(this, QStringLiteral("Paste"), QStringLiteral("Paste"));
  pasteButton->setIcon(GlyphIcon(TGlyph::Paste));
  connect(pasteButton, &QAction::triggered, this, [this] { EditCommand(TEditCommand::Paste); });
  ToolBar->addAction(copyButton);
  ToolBar->addAction(pasteButton);
  ToolBar->addSeparator();
  ToolBar->addAction(ResizeAction);
  ToolButton_Resize = qobject_cast<QToolButton*>(ToolBar->widgetForAction(ResizeAction));
  if (ToolButton_Resize) ToolButton_Resize->setObjectName(QStringLiteral("ToolButton_Resize"));
  ToolBar->addAction(MainFormAction);
  ToolBar->addAction(HelpAction);
  ToolBar->addSeparator();
  ToolBar->addAction(HideAction);
  UpdateResizeButton();

  // Zoom keys: Ctrl and "+", "-" or "0", on the main keyboard or the keypad.
  auto zoomKeys = [this](QList<QKeySequence> keys, std::function<void()> zoom) {
    auto* a = new QAction(this);
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    addAction(a);
    connect(a, &QAction::triggered, this, std::move(zoom));
  };
  const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
  const Qt::KeyboardModifiers pad = Qt::ControlModifier | Qt::KeypadModifier;
  const Qt::KeyboardModifiers shift = Qt::ControlModifier | Qt::ShiftModifier;
  auto key = [](Qt::KeyboardModifiers m, Qt::Key k) { return QKeySequence(QKeyCombination(m, k)); };
  zoomKeys({key(ctrl, Qt::Key_Plus), key(ctrl, Qt::Key_Equal), key(shift, Qt::Key_Plus),
            key(pad, Qt::Key_Plus)},
           [this] { ZoomForm(Size * 1.25); });
  zoomKeys({key(ctrl, Qt::Key_Minus), key(pad, Qt::Key_Minus)}, [this] { ZoomForm(Size / 1.25); });
  zoomKeys({key(ctrl, Qt::Key_0), key(pad, Qt::Key_0)}, [this] { ZoomForm(1.0); });
}

QPushButton* TAnalysisForm::MakeActionButton(QWidget* parent) {
  auto* b = new QPushButton(QStringLiteral("&Action"), parent);
  b->setObjectName(QStringLiteral("Button_Action"));
  b->setToolTip(QStringLiteral("Display Results"));
  b->setDefault(true);
  b->setAutoDefault(true);
  // Outside a dialog nothing presses the default button: Enter that no box of the
  // window has used reaches the window and presses Action here.
  installEventFilter(new TDefaultButton(b, this));
  return b;
}

TDecimalSpinEdit* TAnalysisForm::MakeDecimalSpinEdit(QWidget* parent, const QString& name,
                                                     int initial) {
  auto* spin = new TDecimalSpinEdit(parent, initial);
  spin->setObjectName(name);
  connect(spin, &QSpinBox::valueChanged, this, [this, spin] {
    if (!spin->text().trimmed().isEmpty()) Recompute();
  });
  // Left empty: the box shows its default again (fixup) when editing ends.
  connect(spin, &QSpinBox::editingFinished, spin, [spin] {
    if (spin->text().trimmed().isEmpty()) spin->setValue(spin->Initial());
  });
  return spin;
}

void TAnalysisForm::SetCurrentReport(TReportView* view) { currentReport_ = view; }

void TAnalysisForm::SetReturnTarget(QWidget* caller, const QString& name) {
  returnTarget_ = caller;
  ReturnAction->setText(QStringLiteral("&Return to ") + name);
  ReturnAction->setToolTip(QStringLiteral("Return to ") + name);
}

void TAnalysisForm::PaintGraphic(QPainter&, const QRectF&) const {}

bool TAnalysisForm::SaveReportToFile(const QString& path) {
  if (!currentReport_) return false;
  const TReport report = currentReport_->Report();
  const bool rtf = QFileInfo(path).suffix().toUpper() == QLatin1String("RTF");
  const std::string bytes = rtf ? ReportRtf(report) : ReportPlainText(report);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
          static_cast<qint64>(bytes.size()) ||
      !file.commit()) {
    ShowFileError();
    return false;
  }
  return true;
}

void TAnalysisForm::SaveReportAs() {
  if (!currentReport_) return;
  QFileDialog dialog(this, QStringLiteral("Save As"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  const QString rtfFilter = QStringLiteral("Rich Text Format (*.rtf)");
  const QString txtFilter = QStringLiteral("Plain Text File (*.txt)");
  dialog.setNameFilters({rtfFilter, txtFilter});
  dialog.selectNameFilter(txtFilter);
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& f) {
    dialog.setDefaultSuffix(f == rtfFilter ? QStringLiteral("rtf") : QStringLiteral("txt"));
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveReportToFile(dialog.selectedFiles().front());
}

void TAnalysisForm::PrintCurrentReport() {
  if (!currentReport_) return;
  const TReport report = currentReport_->Report();
  const QString title = QStringLiteral("Sorvelstats");
  if (PrintsGraphic()) {
    if (!HasGraphic()) return;
    PrintReportWithGraphic(
        report, title, [this](QPainter& p, const QRectF& r) { PaintGraphic(p, r); }, this);
  } else {
    PrintReport(report, title, this);
  }
}

void TAnalysisForm::CopyGraph() {
  if (!HasGraphic()) return;
  ShowNotice(QStringLiteral("Graph Copied to Clipboard!"), 2);
  // The vector copy keeps the pictures' own 3000 x 2000 drawing space; the bitmap is
  // half of it, sharp enough to paste into a document.
  const QSize logical(3000, 2000);
  const QSize pixels(1500, 1000);
  QImage image(pixels, QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    PaintGraphic(p, QRectF(QPointF(0, 0), pixels));
  }
  QBuffer svg;
  svg.open(QIODevice::WriteOnly);
  {
    QSvgGenerator generator;
    generator.setOutputDevice(&svg);
    generator.setSize(logical);
    generator.setViewBox(QRect(QPoint(0, 0), logical));
    generator.setTitle(windowTitle());
    QPainter p(&generator);
    PaintGraphic(p, QRectF(QPointF(0, 0), logical));
  }
  auto* mime = new QMimeData;
  mime->setImageData(image);
  mime->setData(QStringLiteral("image/svg+xml"), svg.data());
  QGuiApplication::clipboard()->setMimeData(mime);
}

QWidget* TAnalysisForm::ActiveControl() const {
  QWidget* w = focusWidget();
  // Inside a spin edit the focus may sit on its text box.
  if (w && qobject_cast<QAbstractSpinBox*>(w->parentWidget())) w = w->parentWidget();
  return w;
}

void TAnalysisForm::EditCommand(TEditCommand command) {
  QWidget* control = ActiveControl();
  if (QLineEdit* edit = LineEditOf(control)) {
    switch (command) {
      case TEditCommand::Undo: edit->undo(); break;
      case TEditCommand::Cut: edit->cut(); break;
      case TEditCommand::Copy: edit->copy(); break;
      case TEditCommand::Paste: edit->paste(); break;
      case TEditCommand::Delete: edit->del(); break;
      case TEditCommand::SelectAll: edit->selectAll(); break;
    }
    return;
  }
  // Any rich-text control acts through the current report.
  QTextEdit* report = qobject_cast<QTextEdit*>(control);
  if (report && currentReport_) report = currentReport_;
  if (!report) report = currentReport_;
  if (!report) return;
  switch (command) {
    case TEditCommand::Undo: report->undo(); break;
    case TEditCommand::Cut: report->cut(); break;
    case TEditCommand::Copy: report->copy(); break;
    case TEditCommand::Paste: report->paste(); break;
    case TEditCommand::Delete: report->textCursor().removeSelectedText(); break;
    case TEditCommand::SelectAll: report->selectAll(); break;
  }
}

void TAnalysisForm::UpdateEditMenu() {
  QWidget* control = ActiveControl();
  QLineEdit* edit = LineEditOf(control);
  auto* rich = qobject_cast<QTextEdit*>(control);
  UndoAction->setEnabled(edit ? edit->isUndoAvailable()
                              : rich && rich->document()->isUndoAvailable());
  const bool selectAll = edit || rich;
  SelectAllAction->setEnabled(selectAll);
  const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
  PasteAction->setEnabled(selectAll && clip && clip->hasText() && !clip->text().isEmpty());
  const bool selection = edit ? edit->hasSelectedText() : rich && rich->textCursor().hasSelection();
  CopyAction->setEnabled(selection);
  CutAction->setEnabled(selection);
}

void TAnalysisForm::UpdateResizeButton() {
  const bool big = Size > 1.0;
  ResizeAction->setIcon(GlyphIcon(big ? TGlyph::Minimize : TGlyph::Maximize));
  const QString hint =
      big ? QStringLiteral("Minimize Form Size") : QStringLiteral("Maximize Form Size");
  ResizeAction->setToolTip(hint);
  ResizeAction->setStatusTip(hint);
}

void TAnalysisForm::ZoomForm(double newSize) {
  if (newSize < 1.0) newSize = 1.0;
  if (newSize == Size) return;
  const QRect work = AvailableArea(this);
  if (work.isEmpty()) return;
  // The whole window, frame and caption included, must fit the available area.
  const QMargins frame = FrameMargins(this);
  const QSize room = work.size().shrunkBy(frame);
  const QSize outer = size().grownBy(frame);
  const bool fits = outer.width() < work.width() && outer.height() < work.height();
  if (!fits && newSize > Size) return;
  // Sizes are taken from the size at zoom 1, so that zooming back restores it exactly.
  if (Size == 1.0 || !baseSize_.isValid()) baseSize_ = (QSizeF(size()) / Size).toSize();
  const int w = std::max(baseSize_.width(), 1);
  const int h = std::max(baseSize_.height(), 1);
  const double old = Size;
  // Lowered until the enlarged window fits the available area.
  newSize = std::min(
      {newSize, static_cast<double>(room.width()) / w, static_cast<double>(room.height()) / h});
  if (newSize < 1.0) newSize = 1.0;
  if (std::abs(newSize - old) < 1e-9) return;
  const double r = newSize / old;
  Size = newSize;
  const bool wasVisible = isVisible();
  setUpdatesEnabled(false);
  QFont f = baseFont_;
  if (baseFont_.pointSizeF() > 0)
    f.setPointSizeF(baseFont_.pointSizeF() * Size);
  else
    f.setPixelSize(std::max(1, static_cast<int>(baseFont_.pixelSize() * Size + 0.5)));
  setFont(f);
  for (TReportView* view : findChildren<TReportView*>()) view->ScaleReportFonts(r, 0);
  // The layouts take the new fonts now: a minimum size left over from the larger fonts
  // would keep the window from shrinking back.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  if (layout()) layout()->activate();
  const QSize target = Size == 1.0
                           ? baseSize_
                           : QSize(std::min(static_cast<int>(w * Size + 0.5), room.width()),
                                   std::min(static_cast<int>(h * Size + 0.5), room.height()));
  // Centred: the frame's top-left corner, then the inner area inside the frame.
  const QPoint corner(
      work.left() + (work.width() - target.width() - frame.left() - frame.right()) / 2,
      work.top() + (work.height() - target.height() - frame.top() - frame.bottom()) / 2);
  setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), target));
  setUpdatesEnabled(true);
  UpdateResizeButton();
  AfterZoom(r);
  if (wasVisible) update();
}

void TAnalysisForm::ToolButton_ResizeClick() {
  if (Size == 1.0) {
    const QRect work = AvailableArea(this);
    if (work.isEmpty()) return;
    const QSize room = work.size().shrunkBy(FrameMargins(this));
    const double largest = std::max(static_cast<double>(room.width()) / std::max(width(), 1),
                                    static_cast<double>(room.height()) / std::max(height(), 1));
    ZoomForm(largest);
  } else {
    ZoomForm(1.0);
  }
}

std::pair<QAction*, QAction*> TAnalysisForm::AddFontCommands(std::function<void()> increase,
                                                             std::function<void()> decrease) {
  auto* up = new QAction(QStringLiteral("&Increase Font"), this);
  up->setToolTip(QStringLiteral("Increase Font"));
  up->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  up->setIcon(GlyphIcon(TGlyph::FontUp));
  connect(up, &QAction::triggered, this, std::move(increase));
  auto* down = new QAction(QStringLiteral("&Decrease Font"), this);
  down->setToolTip(QStringLiteral("Decrease Font"));
  down->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  down->setIcon(GlyphIcon(TGlyph::FontDown));
  connect(down, &QAction::triggered, this, std::move(decrease));
  ViewMenu->addAction(up);
  ViewMenu->addAction(down);
  ToolBar->insertAction(ResizeAction, up);
  ToolBar->insertAction(ResizeAction, down);
  return {up, down};
}

TOutcome TAnalysisForm::RunAnalysis(const std::string& name, const TOptions& options,
                                    TReportView* view) {
  if (view) {
    SetCurrentReport(view);
    view->ClearReport();
  }
  const TAnalysis* analysis = AnalysisRegistry().Find(name);
  if (!analysis || !analysis->Run) {
    TOutcome missing = TOutcome::Refuse("This analysis is not available.");
    ShowInfo(QString::fromStdString(missing.Error));
    return missing;
  }
  // The window hands over the editor's data set, as the command line hands over its file.
  auto warn = [](const std::string& text) { ShowInfo(QString::fromStdString(text)); };
  TOutcome outcome =
      RunValidated(*analysis, options, analysis->NeedsData ? &DataList() : nullptr, {}, warn);
  if (outcome.Status == TOutcome::TStatus::Refused) {
    ShowInfo(QString::fromStdString(outcome.Error));
    return outcome;
  }
  if (view && outcome.Status == TOutcome::TStatus::Ok) {
    // Reports are written at zoom 1; the window's zoom applies on top.
    view->SetReport(outcome.Report);
    if (Size != 1.0) view->ScaleReportFonts(Size, 0);
  }
  return outcome;
}

// ---------------------------------------------------------------------------

TTFOutputForm::TTFOutputForm(QWidget* owner)
    : TAnalysisForm(owner, QStringLiteral("Mean/Dispersion Tests Output"),
                    QStringLiteral("Mean/Dispersion Tests Output"), 1020) {
  setObjectName(QStringLiteral("TFOutputForm"));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  CheckBox_Clear = new QCheckBox(QStringLiteral("Clear Before Display"), central);
  CheckBox_Clear->setObjectName(QStringLiteral("CheckBox_Clear"));
  CheckBox_Clear->setChecked(true);
  RichEdit = new TReportView(central);
  RichEdit->setObjectName(QStringLiteral("RichEdit1"));
  layout->addWidget(CheckBox_Clear);
  layout->addWidget(RichEdit, 1);
  setCentralWidget(central);
  SetCurrentReport(RichEdit);
  // Until the tests' window places it, Return leads to the main window.
  ReturnAction->setText(QStringLiteral("&Return to Mean/Dispersion Tests"));
  ReturnAction->setToolTip(QStringLiteral("Return to Mean/Dispersion Tests"));
  CopyGraphAction->setVisible(false);
  RichEdit->viewport()->installEventFilter(this);

  std::tie(IncreaseFontAction, DecreaseFontAction) =
      AddFontCommands([this] { IncreaseFont(); }, [this] { DecreaseFont(); });
  resize(560, 420);
}

void TTFOutputForm::PlaceBelow(QWidget* caller) {
  if (!caller) return;
  SetReturnTarget(caller, QStringLiteral("Mean/Dispersion Tests"));
  int frame = 0;
  if (QWidget* main = MainForm())
    frame = main->frameGeometry().height() - main->geometry().height();
  move(caller->frameGeometry().topLeft() + QPoint(0, frame));
}

void AppendReportRun(TReportView* view, const TReport& run, bool clear, double zoom, int delta) {
  TReport combined;
  if (!clear) {
    combined = view->Report();
    if (!combined.Empty()) {
      TReport mark;
      {
        TReportScope scope(mark);
        WriteBlankLine();
        WritePageMark();
      }
      for (TReportLine& line : mark.Lines)
        for (TRun& r : line.Runs)
          r.Style.Size = std::max(1, static_cast<int>(std::lround(r.Style.Size * zoom)));
      combined.Lines.insert(combined.Lines.end(), mark.Lines.begin(), mark.Lines.end());
    }
  }
  for (TReportLine line : run.Lines) {
    for (TRun& r : line.Runs)
      r.Style.Size = std::max(1, static_cast<int>(std::lround(r.Style.Size * zoom)) + delta);
    combined.Lines.push_back(std::move(line));
  }
  view->SetReport(combined);
  view->moveCursor(QTextCursor::End);
  view->ensureCursorVisible();
}

void TTFOutputForm::AppendRun(const TReport& run) {
  AppendReportRun(RichEdit, run, CheckBox_Clear->isChecked(), Size, BodySize - InitialBodySize);
}

void TTFOutputForm::IncreaseFont() {
  if (TitleSize >= 72) return;
  ++TitleSize;
  ++BodySize;
  RichEdit->ScaleReportFonts(1.0, 1);
}

void TTFOutputForm::DecreaseFont() {
  if (BodySize <= 6) return;
  --TitleSize;
  --BodySize;
  RichEdit->ScaleReportFonts(1.0, -1);
}

bool FontWheelEvent(QEvent* event, const std::function<void()>& increase,
                    const std::function<void()>& decrease) {
  if (event->type() != QEvent::Wheel) return false;
  auto* wheel = static_cast<QWheelEvent*>(event);
  if (!(wheel->modifiers() & Qt::ControlModifier)) return false;
  if (wheel->angleDelta().y() > 0)
    increase();
  else if (wheel->angleDelta().y() < 0)
    decrease();
  return true;
}

bool TTFOutputForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == RichEdit->viewport() &&
      FontWheelEvent(
          event, [this] { IncreaseFont(); }, [this] { DecreaseFont(); }))
    return true;
  return TAnalysisForm::eventFilter(watched, event);
}

}  // namespace sorvel
