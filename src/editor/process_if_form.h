// "Process If...": up to two conditions column relation value, joined by And or Or, that
// select the cases every analysis reads. Edits a working copy; OK hands it to the core
// (ApplyProcessIfChoice).
#pragma once

#include <QDialog>

#include "data/data_rules.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace sorvel {

class TProcessIfForm : public QDialog {
  Q_OBJECT
 public:
  explicit TProcessIfForm(QWidget* parent = nullptr);

  QListWidget* VarList;     // "Data Variables"
  QPushButton* Select[2];   // ">" copies the selected column, "<" clears the box
  QLineEdit* ColumnBox[2];  // read-only
  QComboBox* Relation[2];   // "All" .. "Not in"
  QLineEdit* Value[2];      // hidden for "All"
  QRadioButton* Button_And;
  QRadioButton* Button_Or;
  QPushButton* Button_Reset;
  QPushButton* Button_OK;
  QPushButton* Button_Cancel;
  QPushButton* Button_Help;

  // The controls show `p` (the live record when the dialog opens).
  void Load(const TProcessIfRec& p);
  TProcessIfChoice Choice() const;
  void SelectClick(int i);
  void ResetClick();
  // OK: the choice becomes the live Process If.
  void OKClick();

 private:
  void RelationChanged(int i);
  void SetColumn(int i, int column);
  int column_[2] = {0, 0};
};

}  // namespace sorvel
