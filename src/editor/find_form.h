// The data editor's "Find" window: two conditions, a replacement text (the window is then
// "Find and Replace"), and the search limited to the selection when wanted. Stays on top,
// does not block.
#pragma once

#include <QDialog>

#include "data/grid_edit.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace sorvel {

class TDataForm;

class TFindForm : public QDialog {
  Q_OBJECT
 public:
  explicit TFindForm(TDataForm* editor);

  QComboBox* Relation1;
  QComboBox* Relation2;
  QLineEdit* Value1;
  QLineEdit* Value2;
  QLineEdit* ReplaceWith;
  QCheckBox* SelectionOnly;
  QPushButton* Button_Find;
  QPushButton* Button_Replace;
  QPushButton* Button_ReplaceAll;

  TFindSpec Spec() const;
  // Called when the window is shown for a new search.
  void Prepare(bool multiCellSelection);

  void FindClick();
  void ReplaceClick();
  void ReplaceAllClick();

 private:
  void UpdateButtons();
  TDataForm* editor_;
};

}  // namespace sorvel
