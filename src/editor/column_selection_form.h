// "Variable Selection" (TColSel_Form): the one- and two-sample tests choose two columns
// ("Define Columns") or one data column split by two levels of a reference column
// ("Define Reference"). Created once by its caller and shown modally by GetColumns; the
// choice lives in the Qt-free record Sel (data/column_selection.h).
#pragma once

#include <QDialog>
#include <QString>

#include "data/column_selection.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace sorvel {

inline constexpr int ColumnSelectionHelpTopic = 7680;

class TColSel_Form : public QDialog {
  Q_OBJECT
 public:
  explicit TColSel_Form(QWidget* parent = nullptr);

  TColumnSelection Sel;  // SelectedCol1 .. OKClose
  // The window "&Data" returns to from the data editor.
  QString ReturnName = QStringLiteral("T/F Tests Form");

  QTabWidget* PageControl;
  QWidget* ColumnsPage;    // "Define Columns"
  QWidget* ReferencePage;  // "Define Reference"
  QComboBox* Group1Box;
  QComboBox* Group2Box;
  QLabel* Group2Label;
  QCheckBox* ExcludePairs;  // "&Exclude Incomplete Pairs"
  QComboBox* ReferenceBox;
  QComboBox* DataBox;
  QLineEdit* Level1Box;
  QLineEdit* Level2Box;
  QLabel* Level2Caption;
  QLabel* Level1Name;  // the level's text in a text reference column
  QLabel* Level2Name;
  QPushButton* Button_OK;
  QPushButton* Button_Cancel;
  QPushButton* Button_Data;
  QPushButton* Button_Help;

  // Shows the dialog modally for test kind csTest (1 one-sample mean, 2 one-sample
  // variance, 3 two independent samples, 4 two dependent samples); on OK the choice is in
  // Sel and in `ri`. Returns Sel.OKClose.
  bool GetColumns(int csTest, TRunInfo& ri);
  // What every activation does: after a change of the columns the choices go back to
  // column 1 and "Define Columns" is shown; the boxes show the data set's columns.
  void Activate();
  bool ReferencePageShown() const;

  void OKClick();
  void DataClick();

 protected:
  void reject() override;

 private:
  void ReferenceChosen(int index);
  void LevelChanged();
  TRunInfo* ri_ = nullptr;
  bool filling_ = false;
};

}  // namespace sorvel
