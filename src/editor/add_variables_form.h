// "Generate Run Numbers" and "Auto Recode": one window in two modes. The user moves
// columns into the target list; OK appends the new column(s) through the core
// (GenerateRunNumbers, AutoRecodeVariables).
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace sorvel {

class TDualListPicker;

enum class TAddVariablesMode { RunNumbers = 1, Recode = 2 };

class TAddVariablesForm : public QDialog {
  Q_OBJECT
 public:
  TAddVariablesForm(TAddVariablesMode mode, QWidget* parent = nullptr);

  QLabel* Label;
  TDualListPicker* Picker;  // "Data Variables" -> "Selected Variables" / "Recoded Variables"
  QPushButton* Button_OK;
  QPushButton* Button_Cancel;
  QPushButton* Button_Help;

  TAddVariablesMode Mode() const { return mode_; }
  void OKClick();

 private:
  TAddVariablesMode mode_;
};

}  // namespace sorvel
