// The "Tests for Statistical Control" dialog under the offscreen platform.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <memory>

#include "numerics/settings_store.h"
#include "quality/control_test_selection.h"
#include "quality/forms/control_tests_dialog.h"
#include "ui/messages.h"

using namespace sorvel;

namespace {

class ControlTestsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageRecorder(&messages);
    SetSettingsStore(&store);
    LoadControlTestSettings();
    dialog = std::make_unique<TForm_ControlTests>(nullptr);
    dialog->show();
  }
  void TearDown() override {
    dialog.reset();
    SetSettingsStore(nullptr);
    LoadControlTestSettings();
    SetMessageRecorder(nullptr);
  }
  TMessageLog messages;
  MemorySettingsStore store;
  std::unique_ptr<TForm_ControlTests> dialog;
};

TEST_F(ControlTestsDialogTest, ShowsTheSettings) {
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Tests for Statistical Control"));
  EXPECT_TRUE(dialog->StdBoxes[6]->isChecked());
  EXPECT_FALSE(dialog->StdBoxes[7]->isChecked());
  EXPECT_TRUE(dialog->MRBoxes[1]->isChecked());
  EXPECT_FALSE(dialog->MRBoxes[2]->isChecked());
  EXPECT_EQ(dialog->MRBoxes[9], nullptr);
  EXPECT_EQ(dialog->ParamEdits[5]->value(), 15);
  EXPECT_EQ(dialog->ParamEdits[4]->minimum(), 3);
  EXPECT_EQ(dialog->WindowEdits[7]->value(), 5);
  EXPECT_EQ(dialog->findChild<QSpinBox*>(QStringLiteral("SpinEdit18"))->value(), 3);
  EXPECT_NE(dialog->findChild<QCheckBox*>(QStringLiteral("CheckBox18")), nullptr);
}

TEST_F(ControlTestsDialogTest, ZoneRulesKeepKBelowM) {
  dialog->ParamEdits[7]->setValue(6);
  EXPECT_EQ(dialog->WindowEdits[7]->value(), 7);
  dialog->WindowEdits[8]->setValue(2);
  EXPECT_EQ(dialog->ParamEdits[8]->value(), 1);
}

TEST_F(ControlTestsDialogTest, OkCancelSaveRestore) {
  dialog->StdBoxes[9]->setChecked(true);
  QTest::mouseClick(dialog->CancelBtn, Qt::LeftButton);
  EXPECT_FALSE(ControlTestSettings().StdCheck[9]);

  dialog->show();
  EXPECT_FALSE(dialog->StdBoxes[9]->isChecked());  // shown again from the settings
  dialog->StdBoxes[9]->setChecked(true);
  dialog->ParamEdits[2]->setValue(9);
  QTest::mouseClick(dialog->OKBtn, Qt::LeftButton);
  EXPECT_TRUE(ControlTestSettings().StdCheck[9]);
  EXPECT_EQ(ControlTestSettings().TestParam[2], 9);
  EXPECT_TRUE(store.Values.empty());  // OK does not store

  dialog->show();
  QTest::mouseClick(dialog->Button_Save, Qt::LeftButton);
  ASSERT_EQ(messages.Texts.size(), 1);
  EXPECT_EQ(messages.Texts[0], QStringLiteral("Settings Saved as Default"));
  EXPECT_EQ(messages.Beeps, 1);
  EXPECT_EQ(store.Values["Settings\\StdControlTestCheck"], "111111001");
  EXPECT_EQ(store.Values["Settings\\ControlTestValues"], "@IFHONDB@@@@@@@EC@");

  dialog->ParamEdits[2]->setValue(20);
  dialog->StdBoxes[1]->setChecked(false);
  QTest::mouseClick(dialog->Button_Restore, Qt::LeftButton);
  EXPECT_EQ(dialog->ParamEdits[2]->value(), 9);
  EXPECT_TRUE(dialog->StdBoxes[1]->isChecked());
}

}  // namespace
