// The base of every analysis window: the common File, Edit, View and Help commands,
// the toolbar, saving and printing the current report, copying the picture, the zoom
// of the whole window and the "&Decimals:" box. A window fills the options record
// of its analysis from its controls, runs it and shows what comes back.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QSpinBox>
#include <functional>
#include <string>
#include <utility>

#include "shell/analysis_registry.h"
#include "ui/analysis_window.h"
#include "ui/report_view.h"

class QAction;
class QCheckBox;
class QEvent;
class QMenu;
class QPainter;
class QPushButton;
class QRectF;
class QToolBar;
class QToolButton;

namespace sorvel {

// The "&Decimals:" spin edit: 0..9, default 4; left empty it shows 4 again.
class TDecimalSpinEdit : public QSpinBox {
  Q_OBJECT
 public:
  explicit TDecimalSpinEdit(QWidget* parent = nullptr, int initial = 4);
  int Initial() const { return initial_; }

 protected:
  void fixup(QString& input) const override;

 private:
  int initial_;
};

enum class TEditCommand { Undo, Cut, Copy, Paste, Delete, SelectAll };

class TAnalysisForm : public QMainWindow, public TAnalysisWindow {
  Q_OBJECT
 public:
  // subject completes the Help menu's "&Help on " item.
  TAnalysisForm(QWidget* owner, const QString& caption, const QString& subject, int helpTopic);

  double Size = 1.0;  // zoom factor, 1 at creation
  int HelpTopic = 0;

  // The report the common commands act on.
  void SetCurrentReport(TReportView* view);
  TReportView* CurrentReportView() const { return currentReport_; }

  // "Save As" without the dialog: .rtf (any case) as rich text with page breaks, anything
  // else as plain text without page marks. Written beside the target and renamed over
  // it, so a failed save leaves the old file. False after telling the user.
  bool SaveReportToFile(const QString& path);
  void SaveReportAs();
  void PrintCurrentReport();
  void CopyGraph();
  void EditCommand(TEditCommand command);
  // Enables the Edit menu's items for the active control (done when the menu opens).
  void UpdateEditMenu();

  // Zoom to newSize (at least 1), limited to the screen's available area.
  void ZoomForm(double newSize);
  void ToolButton_ResizeClick();  // Maximize / Minimize Form Size

  // A window opened from another: Return shows the caller, captioned "Return to " + name.
  void SetReturnTarget(QWidget* caller, const QString& name);

  // The picture of the active page, painted into a rectangle (Copy Graph, printing).
  virtual bool HasGraphic() const { return false; }
  virtual void PaintGraphic(QPainter& painter, const QRectF& target) const;
  // Forms that draw pictures print them with their report.
  virtual bool PrintsGraphic() const { return false; }

  // Common commands, for subclasses and tests.
  QAction* ReturnAction = nullptr;
  QAction* SaveAsAction = nullptr;
  QAction* PrintAction = nullptr;
  QAction* CopyGraphAction = nullptr;
  QAction* CopyAction = nullptr;
  QAction* PasteAction = nullptr;
  QAction* UndoAction = nullptr;
  QAction* CutAction = nullptr;
  QAction* SelectAllAction = nullptr;
  QAction* ResizeAction = nullptr;
  QAction* MainFormAction = nullptr;
  QAction* HelpAction = nullptr;
  QAction* ContentsAction = nullptr;
  QAction* HideAction = nullptr;
  QToolBar* ToolBar = nullptr;
  QToolButton* ToolButton_Resize = nullptr;
  QMenu* FileMenu = nullptr;
  QMenu* EditMenu = nullptr;
  QMenu* ViewMenu = nullptr;
  QMenu* HelpMenu = nullptr;

 protected:
  // The "&Action" button with its hint; Enter in the window's boxes presses it.
  QPushButton* MakeActionButton(QWidget* parent);
  // A "&Decimals:" box whose change recomputes at once.
  TDecimalSpinEdit* MakeDecimalSpinEdit(QWidget* parent, const QString& name, int initial = 4);
  // "&Increase Font" (Ctrl+I) and "&Decrease Font" (Ctrl+D) in the View menu and the
  // toolbar, before the resize button; the window's own handlers do the work.
  std::pair<QAction*, QAction*> AddFontCommands(std::function<void()> increase,
                                                std::function<void()> decrease);
  // Called when a decimals box changes (not while it is empty).
  virtual void Recompute() {}
  // Called after a zoom with the ratio new / old.
  virtual void AfterZoom(double ratio) {}

  // Runs a registered analysis on the options and shows its report in view. A refusal
  // is shown with ShowInfo and leaves the report empty. Returns the outcome.
  TOutcome RunAnalysis(const std::string& name, const TOptions& options, TReportView* view);

 private:
  void BuildCommands(const QString& subject);
  QWidget* ActiveControl() const;
  void UpdateResizeButton();

  QPointer<TReportView> currentReport_;
  QPointer<QWidget> returnTarget_;
  QFont baseFont_;
  QSize baseSize_;  // the window's size at zoom 1
};

// A run's report (written at zoom 1) into a window's report view: with clear it replaces
// the view's report, otherwise it follows a blank line and a page mark. Its fonts are
// scaled by zoom and then moved by delta points; the view scrolls to its end.
void AppendReportRun(TReportView* view, const TReport& run, bool clear, double zoom, int delta);
// Ctrl + mouse wheel over a report page: one font step up or down. True when it took the
// event.
bool FontWheelEvent(QEvent* event, const std::function<void()>& increase,
                    const std::function<void()>& decrease);

// The separate text window of the mean and dispersion tests: its own title and body
// sizes, "Clear Before Display", Increase/Decrease Font.
class TTFOutputForm : public TAnalysisForm {
  Q_OBJECT
 public:
  explicit TTFOutputForm(QWidget* owner);

  // The report sizes at start; Increase/Decrease Font move both by one point.
  static constexpr int InitialTitleSize = 10;
  static constexpr int InitialBodySize = 9;
  int TitleSize = InitialTitleSize;
  int BodySize = InitialBodySize;
  TReportView* RichEdit = nullptr;
  QCheckBox* CheckBox_Clear = nullptr;
  QAction* IncreaseFontAction = nullptr;
  QAction* DecreaseFontAction = nullptr;

  // At the caller's top-left corner, lowered by the main window's caption and frame;
  // Return then shows the caller.
  void PlaceBelow(QWidget* caller);
  // A run's report (written at the initial sizes and zoom 1): with "Clear Before Display"
  // it replaces the window's report, otherwise it follows a blank line and a page mark.
  // Its fonts follow the window's font changes and zoom; the view scrolls to its end.
  void AppendRun(const TReport& run);
  void IncreaseFont();  // not above a title size of 72
  void DecreaseFont();  // not below a body size of 6

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace sorvel
