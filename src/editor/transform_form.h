// "Transform": chooses the transformation every load applies (page "&Transform") and
// writes transformed values into new or existing columns (page "Add Transformed
// Variable"). Choices go into the live record at once; Cancel restores the record the
// dialog opened with.
#pragma once

#include <QDialog>

#include "data/data_rules.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace sorvel {

class TTransformForm : public QDialog {
  Q_OBJECT
 public:
  explicit TTransformForm(QWidget* parent = nullptr);

  QTabWidget* PageControl;
  // Page "&Transform".
  QButtonGroup* Transforms;   // ids TransformNone .. TransformChiSquare
  QGroupBox* ConstantsGroup;  // "&Constants"
  QLineEdit* EditA;
  QLineEdit* EditB;
  QLineEdit* EditC;
  QLabel* LabelC;
  QCheckBox* NormalFirst;  // "Apply Random Normal (10=mean,1=std) First"
  QLabel* FormulaLabel;    // "Transform: " + formula
  // Page "Add Transformed Variable".
  QListWidget* ColumnList;  // "Select Variables to Transform", checkable
  QRadioButton* Button_AddNew;
  QRadioButton* Button_Modify;
  QPushButton* Button_Add;  // "&Add" / "&Modify"
  QCheckBox* TurnOff;       // "Turn off Transform when done"
  QPushButton* Button_OK;
  QPushButton* Button_Cancel;
  QPushButton* Button_Help;

  // True after "&Add"/"&Modify" changed the data set (the editor shows it again).
  bool DataAdded() const { return dataAdded_; }

  void OKClick();
  void CancelClick();
  void AddClick();

 protected:
  void reject() override;  // Escape and the close box: Cancel

 private:
  // A radio item or a box changed: the live record, the label, the controls.
  void ChoiceChanged();
  void Show(const TTransformRec& t);
  void FillColumns();
  // The boxes parsed into the live record; false (after saying why) when they do not parse.
  bool ReadConstants();

  TTransformRec saved_;
  bool dataAdded_ = false;
  bool showing_ = false;
};

}  // namespace sorvel
