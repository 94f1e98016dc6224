// "Weight Cases": duplicates each case by its rounded weight, after the question
// "New Row Count = n, Continue?" (core: WeightCases).
#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace sorvel {

class TSingleVarPicker;

class TWeightCasesForm : public QDialog {
  Q_OBJECT
 public:
  explicit TWeightCasesForm(QWidget* parent = nullptr);

  QListWidget* VarList;      // "Data Variables"
  TSingleVarPicker* Weight;  // "Weight Cases By:"
  QPushButton* Button_OK;
  QPushButton* Button_Cancel;
  QPushButton* Button_Help;

  // Without a weight column, or with No to the question, nothing changes and the window
  // stays; Yes duplicates the cases and closes it.
  void OKClick();
};

}  // namespace sorvel
