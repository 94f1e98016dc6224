// "Explore" (TWNormal_Form): the variables of a run picked on "Select Data", one table of
// descriptive statistics per page, recomputed for the visible page whenever the page,
// the confidence level, the decimals, the data or the case selection change. The tables
// come from the core (explore/explore_tables.h); the window only picks, shows, copies,
// saves and prints them and opens the graph windows for the same run.
#pragma once

#include <QPointer>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <array>
#include <cstdint>
#include <string>

#include "data/data_list.h"
#include "explore/explore_tables.h"
#include "ui/analysis_form.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;
class QRadioButton;
class QStackedWidget;
class QTabWidget;

namespace sorvel {

class TDualListPicker;
class TResultGrid;
class TSingleVarPicker;

// The custom statistics list: each item on its group's colour, an item that opens a group
// as its short name, a dashed rule and the group's name from 40% of the width on.
class TCustomItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};
QColor CustomItemColour(TCustomColour colour);

// "Decimals" of this window: leaving the box empty writes the current decimals back.
class TExploreDecimalSpin : public QSpinBox {
  Q_OBJECT
 public:
  using QSpinBox::QSpinBox;

 protected:
  void fixup(QString& input) const override;
};

class TWNormal_Form : public TAnalysisForm {
  Q_OBJECT
 public:
  explicit TWNormal_Form(QWidget* owner);

  // Pages of PageControl_Main.
  enum TPage {
    PageSelect = 0,
    PageDesc,
    PageQuart,
    PageNorm,
    PageCI,
    PageNT,
    PageCustomSelection,
    PageCustom,
    PageOutput,
    PageCount
  };
  static bool IsResultPage(int page) {
    return page >= PageDesc && page <= PageCustom && page != PageCustomSelection;
  }

  int Decimals = 2;
  int ColumnWidth = 64;  // 10 with "Minimize Column &Widths"

  // Top panel.
  TExploreDecimalSpin* DecimalSpinEdit = nullptr;
  QComboBox* ConfComboBox = nullptr;
  QTabWidget* PageControl_Main = nullptr;

  // "Select Data".
  QLineEdit* Edit_Title = nullptr;
  QRadioButton* RadioButton_Column = nullptr;     // "Column Analysis"
  QRadioButton* RadioButton_Reference = nullptr;  // "Reference Analysis"
  QStackedWidget* PageControl_Select = nullptr;   // column, reference, single column
  TDualListPicker* ColumnPicker = nullptr;
  QListWidget* ListBox_ColVar = nullptr;
  QListWidget* ListBox_AnalysisVar = nullptr;
  TDualListPicker* ReferencePicker = nullptr;
  QListWidget* DataVarList = nullptr;
  QListWidget* IndVarList = nullptr;
  TSingleVarPicker* DependentPicker = nullptr;
  QLineEdit* Edit_Measure = nullptr;
  QPushButton* SpeedButton_DepVar = nullptr;

  // Result pages, in TExplorePage order.
  std::array<QLabel*, ExplorePageCount> Headings{};
  std::array<TResultGrid*, ExplorePageCount> Grids{};
  TResultGrid* StringGrid_Desc = nullptr;
  TResultGrid* StringGrid_Quart = nullptr;
  TResultGrid* StringGrid_Norm = nullptr;
  TResultGrid* StringGrid_CI = nullptr;
  TResultGrid* StringGrid_NT = nullptr;
  TResultGrid* StringGrid_Custom = nullptr;
  QCheckBox* CheckBox_Pool = nullptr;
  QCheckBox* CheckBox_PoolNT = nullptr;

  // "Custom Selection" and "Output".
  QListWidget* CheckListBox_Custom = nullptr;
  QPushButton* Button_Reset = nullptr;
  QLineEdit* Edit_Title2 = nullptr;
  QListWidget* CheckListBox_Output = nullptr;
  QPushButton* Button_Print = nullptr;

  // Status panels: analysed variables, missing-value rule, transformation, Process If;
  // then an empty one.
  std::array<QLabel*, 5> StatusPanels{};

  // Commands.
  QAction* NewAction = nullptr;
  QAction* OpenDataAction = nullptr;
  QAction* DataEditorAction = nullptr;
  QAction* ProcessIfAction = nullptr;
  QAction* SaveAction = nullptr;        // "&Save Output Text" and the toolbar's Save
  QAction* CopyGridAction = nullptr;    // "&Copy Grid" (Ctrl+C)
  QAction* CopyButtonAction = nullptr;  // the toolbar's Copy
  QAction* SelectAllGridAction = nullptr;
  QAction* IncreaseFontAction = nullptr;
  QAction* DecreaseFontAction = nullptr;
  QAction* MinWidthsAction = nullptr;  // "Minimize Column &Widths"
  QAction* RefreshAction = nullptr;    // F9
  QAction* PlotsAction = nullptr;
  QAction* VarChartsAction = nullptr;
  QAction* HistogramsAction = nullptr;
  QAction* FrequenciesAction = nullptr;
  QMenu* GraphsMenu = nullptr;

  // Algorithms of the window.
  // Builds the run of the current selection; false (after a beep) without variables.
  bool BuildRun(TRunInfo& ri);
  // Recomputes the visible result page.
  void Refresh();
  // Activation: confidence, lists, caption, single column, page visibility, Refresh.
  void Activated();
  void RebuildLists();
  void UpdatePageVisibility();
  void UpdateToolbarState();
  void UpdateStatusBar();
  bool HasSelection() const;
  TCustomChecks CustomChecks() const;
  TExploreOptions Options();
  // The visible result page's grid; nullptr on the other pages.
  TResultGrid* CurrentGrid() const;
  // The current page's grid into a file as tab-separated text; false after telling the user.
  bool SaveGridToFile(const QString& path);
  // The Output page's report on a printer that is set up (no dialog).
  void PrintReportOn(QPrinter& printer);
  void StepFonts(int delta);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildPages();
  void BuildCommands();
  void SelectionChanged();
  void SetAnalysisKind(bool reference);
  void HideGraphWindows();
  void SaveClick();
  void PrintClick();
  void OutputPrintClick();
  void PlotsClick();
  void HistogramsClick();
  void FrequenciesClick();
  void VarChartsClick();
  void TitleEdited(const QString& text);
  void SetStatusText(int panel, const QString& text);
  void ConfChanged();
  // The combo's level into the shared intervals; false (level kept) when it is no level.
  bool ReadConf();

  QString statusTexts_[4];
  std::int32_t seenColumns_ = -1, seenData_ = -1;
  bool building_ = false;
  QSize minimum_;
  QPointer<QWidget> plots_, histograms_, frequencies_;
};

}  // namespace sorvel
