// A report shown in a rich-text control: each line a paragraph, each run a fragment
// with its font family, size, bold, underline and colour. The user may edit it; the
// document is read back into a report for saving and printing, so edits are kept.
#pragma once

#include <QTextEdit>

#include "output/report.h"

class QContextMenuEvent;
class QMenu;
class QTextDocument;

namespace sorvel {

void ReportToDocument(const TReport& report, QTextDocument& document);
TReport DocumentToReport(const QTextDocument& document);
// Every font size n becomes round(factor * n) + delta points, at least 1.
void ScaleDocumentFonts(QTextDocument& document, double factor, int delta);

class TReportView : public QTextEdit {
  Q_OBJECT
 public:
  explicit TReportView(QWidget* parent = nullptr);
  void SetReport(const TReport& report);
  // The report as the user sees it now.
  TReport Report() const;
  void ClearReport();
  // Keeps the first visible line and the caret in place.
  void ScaleReportFonts(double factor, int delta);
  // The report's pop-up menu ("&Undo", "Cu&t", "&Copy", "&Paste", "&Delete",
  // "Select &All"), each item enabled as the report's state allows; the caller owns it.
  QMenu* CreatePopupMenu();
  void DeleteSelection();

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace sorvel
