// The base of the chart windows: a chart view with its readout line and the chart
// commands of the toolbar and menus (Return, Save Graph, Print Graph, Copy Graph, Edit
// Titles, Color/BW, Zoom Out, Main Form, Help, Hide Form). A window builds its chart in
// DrawChart; clicks on the title edit the titles, clicks on a point edit its label, a
// double click copies the chart.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include "ui/chart_view.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace sorvel {

class TChartForm : public QMainWindow {
  Q_OBJECT
 public:
  TChartForm(QWidget* owner, const QString& caption, const QString& subject, int helpTopic);

  int HelpTopic = 0;
  TChartView* ChartView = nullptr;
  QLabel* Label_Readout = nullptr;

  QAction* ReturnAction = nullptr;
  QAction* SaveAsAction = nullptr;
  QAction* PrintAction = nullptr;
  QAction* CopyChartAction = nullptr;
  QAction* EditTitlesAction = nullptr;
  QAction* BlackWhiteAction = nullptr;
  QAction* ZoomOutAction = nullptr;
  QAction* MainFormAction = nullptr;
  QAction* HelpAction = nullptr;
  QAction* HideAction = nullptr;
  QToolBar* ToolBar = nullptr;
  QMenu* FileMenu = nullptr;
  QMenu* EditMenu = nullptr;
  QMenu* ViewMenu = nullptr;
  QMenu* HelpMenu = nullptr;

  // Return shows the caller, captioned "Return to " + name.
  void SetReturnTarget(QWidget* caller, const QString& name);
  // The chart drawn again from the window's state (after the colours changed).
  void Redraw();

  // A checkable item at the end of a menu.
  static QAction* AddCheckItem(QMenu* menu, const QString& caption, bool checked);
  // A panel of options, `width` pixels wide, at the right of the chart; its layout is a
  // QVBoxLayout. Zoom Out (Ctrl+Z) joins the toolbar, as options windows have it.
  QWidget* AddOptionPanel(int width);

  // The commands, for the menus, the toolbar and tests.
  bool SaveGraph();
  void PrintGraph();
  bool CopyGraph();
  bool EditTitles();
  void ToggleBlackWhite();

 protected:
  // Builds the chart into ChartView->Chart(); colours by ChartBlackWhite(). The base
  // only sets the chart's mode.
  virtual void DrawChart();
  // A click on a point of a point series: by default its label through the point label
  // dialog.
  virtual void PointClicked(int series, int point, QPoint globalPos);
  // The size files and the clipboard get: the chart's size on the screen.
  QSize GraphSize() const;

 private:
  QPointer<QWidget> returnTarget_;
};

}  // namespace sorvel
