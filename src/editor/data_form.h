// The data editor: the window in which the user types, pastes, opens, edits and saves the
// data set. A view over the data set's grids (data/), which own the texts; every block
// command is a core function of data/grid_edit.h.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>

#include "editor/data_grid.h"
#include "ui/save_options_dialog.h"

class QAction;
class QDialog;
class QLineEdit;
class QMenu;
class QTabWidget;

namespace sorvel {

class TFindForm;

// A "Name (*.a;*.b)|*.a;*.b|..." filter as Qt's list of "Name (*.a *.b)".
QStringList QtFileFilters(const char* filter);

// A status bar panel: as wide as its text + 10 pixels while the window has room; in a
// narrower window its text is cut short with "..." instead of running into the next one.
class TStatusPanel : public QLabel {
 public:
  using QLabel::QLabel;
  // What the panel shows at its present width.
  QString ShownText() const;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QRect TextRect() const;
};

class TDataForm : public QMainWindow {
  Q_OBJECT
 public:
  explicit TDataForm(QWidget* owner = nullptr);
  ~TDataForm() override;

  // The editor once created (nullptr before).
  static TDataForm* Instance();
  // False when the editor does not exist or holds the untouched empty data set.
  static bool HaveData();

  // ---- Fields ----
  int LineCount = 0;              // data lines of the last file read
  QPointer<QWidget> CallingForm;  // Return goes back here (none: the main window)
  QString CallingName;
  QString FileModString, FileModStringTab, FileModStringLine;
  // The file state lives with the data set (data_state.h); these read it.
  QString DataFilename() const;
  bool FileModified() const;

  // ---- Controls ----
  QTabWidget* PageControl;
  TDataGridModel* DataModel;
  TDataGridModel* DescModel;
  TDataGridView* DataGrid;
  TDataGridView* DescGrid;
  TStatusPanel* StatusPanels[5];

  // ---- Interfaces ----
  void ShowDataEditor(QWidget* caller, const QString& callerName);
  // A new, empty data set after the save question; false when the question was cancelled
  // or the save failed (the data set stays).
  bool New();
  void SetFileModified(bool modified);
  void SetStatusBarInfo(int panel, const QString& text);
  void UpdateStatusBarInfo();
  QString StatusBarHint() const;
  bool ModifiedColumnNames() const;
  bool GetFileModString();

  // Files. Each returns true when it did what it says; failures are shown to the user.
  bool FileToDataGrid(const QString& file);
  bool SaveFile(const QString& file, bool varnames, bool descriptions, bool selection);
  bool Save1Click();
  bool SaveAs();
  bool OpenClick();
  void MRFileClick(int slot);
  void FileMenuPopup();  // recent files
  bool Loading() const { return loading_; }

  // Where the file dialogs and "Configure Save" ask (window tests replace them).
  std::function<bool(TSaveChoices&)> AskSaveChoices;
  std::function<QString(const QString& start)> AskSaveName;
  std::function<QString(const QString& start)> AskOpenName;

  // Commands.
  void ReturnClick();
  void HideClick();
  void CopyClick();
  void CutClick();
  void PasteClick();
  void ClearClick();
  void FindReplaceClick();
  void DeleteColumnsClick();
  void DeleteRowsClick();
  void InsertColumnsClick();
  void InsertRowsClick();
  void CopyColumnNamesClick();
  void CopyNamesAndDataClick();
  void ChangeColumnNamesClick();
  void SizeColumnWidthsClick();
  void ViewLevelsClick();
  void TransposeClick();
  void InsertCaseNumbersClick();
  void MissingValuesClick();  // "&Missing Values..."
  void ProcessIfClick();      // "&Process If..."
  void TransformClick();      // "&Transform..."
  void RunNumbersClick();     // "Generate &Run Numbers..."
  void AutoRecodeClick();     // "&Auto Recode Variables..."
  void WeightCasesClick();    // "&Weight Cases..."
  void EditMenuPopup();

  // Name editing on the names row.
  void StartNameEditing(int c);
  void EndNameEditing();
  bool EditingNames() const { return nameCol_ > 0; }
  // A cell or name editor is open.
  bool ISEditing() const {
    return EditingNames() || DataGrid->IsEditing() || DescGrid->IsEditing();
  }
  QLineEdit* NameEditor() const { return nameEditor_; }

  // Find and replace on the data page. Each moves the current cell to what it found.
  bool FindNext(const TFindSpec& spec, bool selectionOnly);
  bool ReplaceNext(const TFindSpec& spec, bool selectionOnly, const QString& replacement);
  int ReplaceAllMatches(const TFindSpec& spec, bool selectionOnly, const QString& replacement);
  TFindForm* FindForm() const { return findForm_; }

  bool IsDataPage() const;
  TDataGridView* ActiveGrid() const;
  QAction* Action(const char* objectName) const;

  // Tab in the last column / Enter in the last row.
  bool AppendColumn();
  void AppendRow();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void BuildMenus();
  QAction* AddAction(QMenu* menu, const char* name, const QString& caption,
                     void (TDataForm::*slot)(), const QKeySequence& key = {},
                     const QString& hint = {});
  void ResetViews();    // the data set was replaced or rearranged
  void RefreshViews();  // cells changed in place
  void Caption();
  void DataChanged(bool columns);  // an edit: modified, counters pending
  void ResetProcessIf();
  // A data command of the Data menu rewrote the data set: shown again, columns fitted.
  void DataRewritten();
  // Opens the dialog of a data command over the parsed data set; OK rewrote it.
  void RunDataCommand(const std::function<QDialog*()>& makeDialog);
  bool MayDiscardData();
  bool Busy() const;
  void FitColumns(int first, int last, int sampleRows);
  // Widens the columns on screen to the texts on screen (a million rows are never measured).
  void FitVisibleCells();
  void ScheduleFit();
  void CommitName();
  void ShowPopup(QPoint global);
  // The find window beside the editor where the screen has room, else clear of the
  // cell (global coordinates); when it is open already, moved only if it covers the cell.
  void KeepFindFormClear(const QRect& cell, bool opening);
  QRect GlobalCellRect(int c, int r) const;
  TGridRect DataBounds(bool selectionOnly) const;
  // Where a find or replace searches and from which cell (the selection's top-left for a
  // new search inside the selection).
  TGridRect SearchStart(bool selectionOnly, int& c, int& r, bool& inclusive);
  // A found or replaced cell becomes the current cell.
  void ShowFound(int c, int r, bool selectionOnly);

  QMenu* fileMenu_ = nullptr;
  QMenu* editMenu_ = nullptr;
  QMenu* popup_ = nullptr;
  QAction* returnAction_ = nullptr;
  QLineEdit* nameEditor_ = nullptr;
  int nameCol_ = 0;
  TFindForm* findForm_ = nullptr;
  bool loading_ = false;
  bool smallColumns_ = false;
  bool fitPending_ = false;
  std::int32_t seenNewData_ = -1;  // NewDataCount the views were last reset for
  bool findStarted_ = false;       // a selection search goes on from the current cell
  TGridRect selectionBounds_;      // the selection a search is limited to
};

}  // namespace sorvel
