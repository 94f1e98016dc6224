// "Missing Values": up to two conditions X relation value that make a stored number count
// as missing. Edits a working copy; OK hands it to the core (ApplyMissingChoice).
#pragma once

#include <QDialog>

#include "data/data_rules.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;

namespace sorvel {

class TMissingForm : public QDialog {
  Q_OBJECT
 public:
  explicit TMissingForm(QWidget* parent = nullptr);

  QButtonGroup* Relation[2];  // ids RelNone .. RelLessEqual
  QLabel* SignLabel[2];       // the chosen symbol ("=" for none)
  QLineEdit* Value[2];        // shown only when a relation is chosen
  QPushButton* Button_OK;
  QPushButton* Button_Cancel;
  QPushButton* Button_Help;

  // The controls show `m` (the live record when the dialog opens).
  void Load(const TMissingRec& m);
  TMissingChoice Choice() const;
  // OK: the choice becomes the live rule.
  void OKClick();

 private:
  void RelationChanged(int i);
};

}  // namespace sorvel
