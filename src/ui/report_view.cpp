#include "ui/report_view.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <cmath>
#include <memory>
#include <vector>

namespace sorvel {

namespace {

QTextCharFormat ToFormat(const TTextStyle& s) {
  QTextCharFormat f;
  const QString family = QString::fromStdString(s.Font);
  f.setFontFamilies(QStringList{family});
  f.setFontStyleHint(s.Font == "Courier New" ? QFont::TypeWriter : QFont::SansSerif);
  f.setFontFixedPitch(s.Font == "Courier New");
  f.setFontPointSize(s.Size > 0 ? s.Size : 1);
  f.setFontWeight(s.Bold ? QFont::Bold : QFont::Normal);
  f.setFontUnderline(s.Underline);
  f.setForeground(QColor::fromRgb(s.Color));
  return f;
}

TTextStyle FromFormat(const QTextCharFormat& f, const QFont& fallback) {
  TTextStyle s;
  const QStringList families = f.fontFamilies().toStringList();
  s.Font = (families.isEmpty() ? fallback.family() : families.front()).toStdString();
  const double points = f.fontPointSize() > 0 ? f.fontPointSize() : fallback.pointSizeF();
  s.Size = static_cast<int>(std::lround(points));
  s.Bold = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::Bold : fallback.bold();
  s.Underline = f.fontUnderline();
  s.Color = f.foreground().style() == Qt::NoBrush
                ? 0x000000
                : static_cast<std::uint32_t>(f.foreground().color().rgb() & 0xFFFFFF);
  return s;
}

}  // namespace

void ReportToDocument(const TReport& report, QTextDocument& document) {
  document.clear();
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  bool first = true;
  for (const auto& line : report.Lines) {
    const QTextCharFormat lineFormat =
        ToFormat(line.Runs.empty() ? report.BaseFont : line.Runs.front().Style);
    if (!first) cursor.insertBlock(QTextBlockFormat(), lineFormat);
    first = false;
    // An empty paragraph keeps its font in the block's character format.
    cursor.setBlockCharFormat(lineFormat);
    for (const auto& run : line.Runs)
      if (!run.Text.empty())
        cursor.insertText(QString::fromStdString(run.Text), ToFormat(run.Style));
  }
  cursor.endEditBlock();
}

TReport DocumentToReport(const QTextDocument& document) {
  TReport report;
  const QFont fallback = document.defaultFont();
  if (document.isEmpty()) return report;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    TReportLine line;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      // Unicode line separators (shift+enter) end a line as well.
      const QStringList parts = fragment.text().split(QChar::LineSeparator);
      const TTextStyle style = FromFormat(fragment.charFormat(), fallback);
      for (int i = 0; i < parts.size(); ++i) {
        if (i > 0) {
          report.Lines.push_back(std::move(line));
          line = TReportLine{};
        }
        if (!parts[i].isEmpty()) line.Runs.push_back({parts[i].toStdString(), style});
      }
    }
    if (line.Runs.empty()) line.Runs.push_back({"", FromFormat(block.charFormat(), fallback)});
    report.Lines.push_back(std::move(line));
  }
  return report;
}

void ScaleDocumentFonts(QTextDocument& document, double factor, int delta) {
  auto scaled = [&](double points) {
    long size = std::lround(factor * points) + delta;
    return static_cast<double>(size < 1 ? 1 : size);
  };
  // Collected first: changing formats while walking the fragments would merge them.
  struct TSpan {
    int Position, Length;
    double Points;
  };
  std::vector<TSpan> spans;
  std::vector<std::pair<int, QTextCharFormat>> blocks;
  const double defaultPoints = document.defaultFont().pointSizeF();
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    QTextCharFormat blockFormat = block.charFormat();
    const double bp = blockFormat.fontPointSize() > 0 ? blockFormat.fontPointSize() : defaultPoints;
    blockFormat.setFontPointSize(scaled(bp));
    blocks.emplace_back(block.position(), blockFormat);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      const double points = fragment.charFormat().fontPointSize() > 0
                                ? fragment.charFormat().fontPointSize()
                                : defaultPoints;
      spans.push_back({fragment.position(), fragment.length(), scaled(points)});
    }
  }
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  for (const auto& [position, format] : blocks) {
    cursor.setPosition(position);
    cursor.setBlockCharFormat(format);
  }
  for (const auto& span : spans) {
    QTextCharFormat change;
    change.setFontPointSize(span.Points);
    cursor.setPosition(span.Position);
    cursor.setPosition(span.Position + span.Length, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(change);
  }
  cursor.endEditBlock();
}

TReportView::TReportView(QWidget* parent) : QTextEdit(parent) {
  setAcceptRichText(true);
  setLineWrapMode(QTextEdit::NoWrap);
  QFont base(QStringLiteral("Courier New"));
  base.setStyleHint(QFont::TypeWriter);
  base.setPointSize(8);
  document()->setDefaultFont(base);
}

void TReportView::SetReport(const TReport& report) {
  // A fresh report is not an edit the user could undo.
  document()->setUndoRedoEnabled(false);
  ReportToDocument(report, *document());
  document()->setUndoRedoEnabled(true);
  moveCursor(QTextCursor::Start);
}

TReport TReportView::Report() const { return DocumentToReport(*document()); }

void TReportView::ClearReport() {
  document()->setUndoRedoEnabled(false);
  document()->clear();
  document()->setUndoRedoEnabled(true);
}

void TReportView::ScaleReportFonts(double factor, int delta) {
  if (document()->isEmpty()) return;
  const int scroll = verticalScrollBar()->value();
  const int firstLine = cursorForPosition(QPoint(0, 0)).blockNumber();
  const int caret = textCursor().position();
  const int anchor = textCursor().anchor();
  // A new size for the whole report, as a fresh report is: not an edit to undo.
  document()->setUndoRedoEnabled(false);
  ScaleDocumentFonts(*document(), factor, delta);
  document()->setUndoRedoEnabled(true);
  QTextCursor c = textCursor();
  c.setPosition(anchor);
  c.setPosition(caret, QTextCursor::KeepAnchor);
  setTextCursor(c);
  // Back to the line that was at the top.
  const QTextBlock top = document()->findBlockByNumber(firstLine);
  if (top.isValid() && scroll > 0) {
    const QRectF r = document()->documentLayout()->blockBoundingRect(top);
    verticalScrollBar()->setValue(static_cast<int>(r.top()));
  }
}

QMenu* TReportView::CreatePopupMenu() {
  auto* menu = new QMenu(this);
  const bool selection = textCursor().hasSelection();
  const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
  const bool clipText = clip && clip->hasText() && !clip->text().isEmpty();
  struct TItem {
    const char* Caption;
    const char* Name;
    bool Enabled;
    void (TReportView::*Command)();
  };
  const TItem items[] = {
      {"&Undo", "Undo1", document()->isUndoAvailable(), &QTextEdit::undo},
      {"Cu&t", "Cut1", selection, &QTextEdit::cut},
      {"&Copy", "Copy1", selection, &QTextEdit::copy},
      {"&Paste", "Paste1", clipText, &QTextEdit::paste},
      {"&Delete", "Delete1", selection, &TReportView::DeleteSelection},
      {"Select &All", "Select1", true, &QTextEdit::selectAll},
  };
  for (const TItem& item : items) {
    if (item.Command == &QTextEdit::selectAll) menu->addSeparator();
    QAction* a = menu->addAction(QString::fromLatin1(item.Caption));
    a->setObjectName(QString::fromLatin1(item.Name));
    a->setEnabled(item.Enabled);
    connect(a, &QAction::triggered, this, item.Command);
  }
  return menu;
}

void TReportView::DeleteSelection() { textCursor().removeSelectedText(); }

void TReportView::contextMenuEvent(QContextMenuEvent* event) {
  std::unique_ptr<QMenu> menu(CreatePopupMenu());
  menu->exec(event->globalPos());
}

}  // namespace sorvel
