// "Crosstabs": the two-way table from two data columns or typed counts, its display modes,
// row and column selection with Remove, Merge and Restore, the statistics report, the
// 3-D bar chart and printing of table and report.
#pragma once

#include <QPointer>
#include <functional>
#include <vector>

#include "hypothesis/crosstabs.h"
#include "ui/analysis_form.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QListWidget;
class QMenu;
class QPrinter;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class QTableWidget;

namespace sorvel {

class TChartView;

class TForm_Crosstabs : public TAnalysisForm {
  Q_OBJECT
 public:
  explicit TForm_Crosstabs(QWidget* owner);

  TCrossTab CT;
  // One flag per grid column / row: the columns and rows the user selected.
  std::vector<bool> SelCol, SelRow;
  bool ManualEntry = false;
  double Angle = 45;  // the chart's receding axis, turned by Rotate

  QTabWidget* PageControl_Input = nullptr;  // "File Data", "Manual Entry"
  QComboBox* ComboBox_Rows = nullptr;
  QComboBox* ComboBox_Cols = nullptr;
  QSpinBox* SpinEdit_Row = nullptr;
  QSpinBox* SpinEdit_Col = nullptr;
  QLineEdit* Edit_RowName = nullptr;
  QLineEdit* Edit_ColName = nullptr;
  QPushButton* Button_Clear = nullptr;
  QPushButton* Button_Stats = nullptr;
  QButtonGroup* Display = nullptr;  // 0 Count, 1 Proportion, 2 %
  QCheckBox* CheckBox_Expected = nullptr;
  QListWidget* StatCheckListBox = nullptr;
  TDecimalSpinEdit* DecimalSpinEdit = nullptr;
  QComboBox* ConfComboBox = nullptr;
  QCheckBox* CheckBox_MinWidths = nullptr;
  QPushButton* Button_Remove = nullptr;
  QPushButton* Button_Merge = nullptr;
  QTabWidget* PageControl_Main = nullptr;  // table and report, graph
  QTableWidget* StringGrid_CT = nullptr;
  TReportView* RichEdit = nullptr;
  TChartView* ChartView = nullptr;
  QScrollBar* ScrollBar_Zoom = nullptr;  // "Zoom In:", 0..40
  QCheckBox* CheckBox_Rotate = nullptr;
  QPushButton* Button_ResetView = nullptr;
  QMenu* PopupMenu = nullptr;
  QAction* PopupCopy = nullptr;
  QAction* PopupRemoveCols = nullptr;
  QAction* PopupRemoveRows = nullptr;
  QAction* PopupMergeCols = nullptr;
  QAction* PopupMergeRows = nullptr;
  QAction* PopupRestore = nullptr;
  QAction* NewDataAction = nullptr;
  QAction* OpenDataAction = nullptr;
  QAction* DataEditorAction = nullptr;

  // The variables' names as the headers and the report use them.
  std::string ColVar() const;
  std::string RowVar() const;
  // Rebuilds the table from the two chosen columns, then shows it and the report.
  void RebuildFromData();
  // The table in the current display mode, selections cleared; then the report.
  void Redisplay();
  void WriteReport();
  // Header clicks (grid row and column).
  void GridClick(int row, int col);
  void RemoveClick();
  void MergeClick();
  void RestoreClick();
  // Manual entry: pasted cells become the table (a text that is not counts is refused).
  void PasteTable(const QString& text);
  void SizeChanged();
  void ClearClick();
  void DrawChart();
  // Table and report on a printer that is set up (no dialogs).
  void PrintOn(QPrinter& printer);
  // The font dialog, then AskPrinter, then PrintOn; nothing when either is cancelled.
  void PrintClick();
  // Sets up the printer for Print: the print dialog (tests put a file there instead).
  std::function<bool(QPrinter&)> AskPrinter;
  // A recent file from the File menu: opened in the data editor, then "File Data".
  void MRFileClick(int slot);
  void CopyGrid();
  unsigned CheckedStats() const;
  // The graph page's chart is the window's picture (Copy Graph, double click).
  bool HasGraphic() const override;
  void PaintGraphic(QPainter& painter, const QRectF& target) const override;
  int SelectedCount(const std::vector<bool>& sel) const;

 protected:
  void Recompute() override;  // decimals changed
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Activated();
  void FillCombos();
  void ShowTable();
  void ColorCells();
  void CellChanged(int row, int col);
  void SetManual(bool manual);
  void AfterEdit();
  // Keeps the table as it is before the first removal or merge, for Restore.
  void KeepOriginal();
  // Removes or merges the selected columns or rows.
  void EditSelection(bool columns, bool merge);
  std::vector<int> Selected(const std::vector<bool>& sel, int count) const;
  void UpdateSelectionButtons();
  void FontStep(int delta);

  TCrossTab snapshot_;  // the table before the first removal or merge (typed tables)
  bool edited_ = false;
  bool filling_ = false;
  std::int32_t seenData_ = -1;
  int dragX_ = 0;
};

}  // namespace sorvel
