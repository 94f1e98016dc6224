// The "Variables Chart Setup" window under the offscreen platform, driven by clicks and
// keys on the example process data (Subgroup, Diameter, Machine, Shift, Date).
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <memory>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "data/io/data_file.h"
#include "quality/forms/var_chart_form.h"
#include "quality/forms/var_setup_form.h"
#include "ui/messages.h"
#include "ui/variable_lists.h"

using namespace sorvel;

namespace {

const std::string ProcessFile = std::string(SORVEL_SOURCE_DIR) + "/examples/process.sorvel";

QStringList Items(const QComboBox* box) {
  QStringList out;
  for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
  return out;
}

QStringList Names(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << ItemName(list->item(i));
  return out;
}

class VarSetupFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageRecorder(&messages);
    ASSERT_TRUE(FileToDataGrid(ProcessFile).Ok);
    form = std::make_unique<TForm_VARsetup>(nullptr);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  void TearDown() override {
    delete VariablesChartForm();  // Action opened it
    form.reset();
    ResetDataState();
    SetMessageRecorder(nullptr);
  }
  // Clicks the item of the data variables named `name` (selecting it alone).
  void Pick(const char* name) {
    QListWidget* list = form->DataVarList;
    for (int i = 0; i < list->count(); ++i)
      if (ItemName(list->item(i)) == QLatin1String(name)) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(i)).center());
        return;
      }
    ADD_FAILURE() << "no data variable " << name;
  }
  // On the button's left end: a check box's indicator, not the empty room of its cell.
  void Click(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
  }
  // Chooses an item of a combo box with the keyboard, as a user tabbing to it would.
  void Choose(QComboBox* box, const char* item) {
    const int at = box->findText(QString::fromUtf8(item));
    ASSERT_GE(at, 0) << item << " not in " << box->objectName().toStdString();
    box->setFocus();
    while (box->currentIndex() < at) QTest::keyClick(box, Qt::Key_Down);
    while (box->currentIndex() > at) QTest::keyClick(box, Qt::Key_Up);
  }
  void Type(QLineEdit* edit, const char* text) {
    edit->clear();
    QTest::keyClicks(edit, QString::fromLatin1(text));
  }
  TMessageLog messages;
  std::unique_ptr<TForm_VARsetup> form;
};

TEST_F(VarSetupFormTest, IndividualsOfOneVariable) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Variables Chart Setup - process.sorvel"));
  EXPECT_EQ(Names(form->DataVarList),
            (QStringList{"Subgroup", "Diameter", "Machine", "Shift", "Date"}));
  EXPECT_FALSE(form->Button_Action->isEnabled());  // no chart variable yet
  EXPECT_EQ(form->ComboBox_AL->itemText(0), QStringLiteral("        (Use Order Number)"));
  EXPECT_EQ(form->ComboBox_AL->itemText(2), QStringLiteral("Diameter"));

  Pick("Diameter");
  Click(form->Picker->IncludeBtn);
  EXPECT_EQ(Names(form->ListBox_Measures), QStringList{"Diameter"});
  EXPECT_TRUE(form->Button_Action->isEnabled());
  EXPECT_EQ(Items(form->ComboBox_LocChartType), (QStringList{"X", "None"}));
  EXPECT_EQ(Items(form->ComboBox_DispChartType), (QStringList{"Moving Range", "None"}));
  EXPECT_EQ(Items(form->ComboBox_LocLimitCalc),
            (QStringList{"Average MR", "Median MR", "Std Dev", "Known Std Dev", "Centerline Only",
                         "User Defined", "None"}));
  EXPECT_EQ(Items(form->ComboBox_LocCL), (QStringList{"Average X", "Median of Xs", "Known Mean"}));
  EXPECT_EQ(form->ComboBox_DispCL->currentText(), QStringLiteral("Average Moving Range"));
  EXPECT_FALSE(form->RadioGroup_Layout->isVisible());
  EXPECT_TRUE(form->SpinEdit_MR->isVisible());
  EXPECT_TRUE(form->Edit_StdErr->isVisible());
  EXPECT_FALSE(form->Edit_Sigma->isVisible());
  EXPECT_FALSE(form->GroupBox_LocLimits->isVisible());

  DataList().IncludeCol.fill(true);
  Choose(form->ComboBox_AL, "Date");
  ASSERT_TRUE(form->CalcButtonClick());
  EXPECT_EQ(form->LastRequest().Layout, 1);
  EXPECT_EQ(form->LastRequest().Settings.LocationChart, ChartX);
  EXPECT_EQ(form->LastRequest().Settings.DispersionChart, ChartMovingRange);
  EXPECT_EQ(form->LastRequest().AxisLabels, 5);
  EXPECT_TRUE(DataList().IncludeCol[2]);
  EXPECT_FALSE(DataList().IncludeCol[1]);
  EXPECT_TRUE(messages.Texts.isEmpty());

  // Both charts "None": nothing to draw.
  Choose(form->ComboBox_LocChartType, "None");
  EXPECT_FALSE(form->ComboBox_LocLimitCalc->isVisible());
  Choose(form->ComboBox_DispChartType, "None");
  EXPECT_FALSE(form->Button_Action->isEnabled());
  EXPECT_FALSE(form->Edit_StdErr->isVisible());
}

TEST_F(VarSetupFormTest, SubgroupsBySampleVariableAndChartGroups) {
  Pick("Diameter");
  Click(form->Picker->IncludeBtn);
  Pick("Subgroup");
  Click(form->Edit_Sample->SelectBtn);
  EXPECT_EQ(form->Edit_Sample->Box->text(), QStringLiteral("Subgroup"));
  EXPECT_EQ(form->Edit_Sample->SelectBtn->text(), QStringLiteral("<"));
  EXPECT_FALSE(form->DataVarList->findItems(QStringLiteral("Subgroup"), Qt::MatchEndsWith).size());
  // The subgroup lists, each box at its first item.
  EXPECT_EQ(Items(form->ComboBox_LocChartType), (QStringList{"Mean", "Median", "None"}));
  EXPECT_EQ(form->ComboBox_LocLimitCalc->currentText(), QStringLiteral("Average Range"));
  EXPECT_EQ(
      Items(form->ComboBox_DispChartType),
      (QStringList{"Range", "Std Dev (s)", QString::fromUtf8("Variance (s\xC2\xB2)"), "None"}));
  EXPECT_EQ(form->ComboBox_DispCalc->itemText(5), QStringLiteral("Average MR of Range"));
  EXPECT_FALSE(form->SpinEdit_MR->isVisible());

  // The dispersion method carries the location method and centre line along.
  Choose(form->ComboBox_DispCalc, "Median Range");
  EXPECT_EQ(form->ComboBox_LocLimitCalc->currentText(), QStringLiteral("Median Range"));
  EXPECT_EQ(form->ComboBox_DispCL->currentText(), QStringLiteral("Median Range"));
  // A Median chart renames its methods and takes its median centre line.
  Choose(form->ComboBox_LocChartType, "Median");
  EXPECT_EQ(form->ComboBox_LocLimitCalc->itemText(5), QStringLiteral("Average MR of Medians"));
  EXPECT_EQ(form->ComboBox_LocCL->currentText(), QStringLiteral("Median of Medians"));
  // A new dispersion chart renames its items where they stand.
  Choose(form->ComboBox_DispCalc, "Average MR of Range");
  EXPECT_TRUE(form->SpinEdit_MR->isVisible());
  Choose(form->ComboBox_DispChartType, "Std Dev (s)");
  EXPECT_EQ(form->ComboBox_DispCalc->currentText(), QStringLiteral("Average MR of Std Dev"));

  Pick("Machine");
  Click(form->SpeedButton_GroupsIn);
  EXPECT_EQ(Names(form->ListBox_ChartGroups), QStringList{"Machine"});
  Pick("Shift");
  Click(form->Edit_Sets->SelectBtn);
  ASSERT_TRUE(form->CalcButtonClick());
  EXPECT_EQ(form->LastRequest().Layout, 10);
  EXPECT_EQ(form->LastRequest().Settings.LocationChart, ChartMedian);
  EXPECT_EQ(form->LastRequest().Settings.DispersionChart, ChartStdDev);
  EXPECT_EQ(form->LastRequest().Settings.DispersionMethod, MethodAverageMRDispersion);
  EXPECT_EQ(form->LastRequest().SampleVariable, 1);
  EXPECT_EQ(form->LastRequest().SetVariable, 4);
  EXPECT_EQ(form->LastRequest().ChartGroups, std::vector<int>{3});

  // "<<" returns the chart groups; the slot's "<" returns its variable.
  Click(form->SpeedButton_GroupsAll);
  Click(form->Edit_Sets->SelectBtn);
  EXPECT_EQ(form->ListBox_ChartGroups->count(), 0);
  EXPECT_EQ(form->DataVarList->count(), 3);  // Machine, Shift, Date
}

TEST_F(VarSetupFormTest, ActionOpensTheChartOfTheChoices) {
  Pick("Diameter");
  Click(form->Picker->IncludeBtn);
  Pick("Subgroup");
  Click(form->Edit_Sample->SelectBtn);
  Pick("Machine");
  Click(form->SpeedButton_GroupsIn);
  Click(form->Button_Action);
  TVARchart_Form* chart = VariablesChartForm();
  ASSERT_NE(chart, nullptr);
  EXPECT_TRUE(chart->isVisible());
  // One Mean/Range chart per machine, subgroups by the sample variable.
  QStringList names;
  for (int i = 0; i < chart->ListBox_Selection->count(); ++i)
    names << chart->ListBox_Selection->item(i)->text();
  EXPECT_EQ(names, (QStringList{"M1", "M2"}));
  EXPECT_EQ(chart->Points().Table(RowSize, 1), 4);
  EXPECT_EQ(chart->ReturnAction->text(), QStringLiteral("&Return to Variables Chart Setup Form"));
}

TEST_F(VarSetupFormTest, TwoVariablesInRowsAndConstantSize) {
  Pick("Subgroup");
  Click(form->Edit_Sample->SelectBtn);
  Pick("Diameter");
  Click(form->Picker->IncludeBtn);
  Pick("Date");
  Click(form->Picker->IncludeBtn);
  ASSERT_TRUE(form->RadioGroup_Layout->isVisible());
  ASSERT_TRUE(form->CalcButtonClick());
  EXPECT_EQ(form->LastRequest().Layout, 6);

  // Rows: the sample controls go and the sample variable returns to the data variables.
  Click(form->Layout->button(1));
  EXPECT_FALSE(form->CheckBox_Sample->isVisible());
  EXPECT_FALSE(form->Edit_Sample->isVisible());
  EXPECT_EQ(form->Edit_Sample->Column(), 0);
  EXPECT_TRUE(Names(form->DataVarList).contains(QStringLiteral("Subgroup")));
  EXPECT_EQ(form->Picker->TargetLabel->text(), QStringLiteral("Subgroup Measures"));
  ASSERT_TRUE(form->CalcButtonClick());
  EXPECT_EQ(form->LastRequest().Layout, 2);

  // Columns with a constant size: the spin edit replaces the slot.
  Click(form->Layout->button(0));
  Click(form->CheckBox_Sample);
  EXPECT_TRUE(form->SpinEdit_SampleSize->isVisible());
  EXPECT_FALSE(form->Edit_Sample->isVisible());
  EXPECT_EQ(form->Label_Sample->text(), QStringLiteral("  Sample Size"));
  form->SpinEdit_SampleSize->setFocus();
  QTest::keyClick(form->SpinEdit_SampleSize, Qt::Key_Up);
  ASSERT_TRUE(form->CalcButtonClick());
  EXPECT_EQ(form->LastRequest().Layout, 7);
  EXPECT_EQ(form->LastRequest().SampleSize, 6);
}

TEST_F(VarSetupFormTest, RefusedValuesBeepAndChangeNothing) {
  Pick("Diameter");
  Click(form->Picker->IncludeBtn);
  DataList().IncludeCol.fill(true);
  struct {
    const char* method;
    const char* centre;
    const char* sigma;
    const char* mu;
    const char* ucl;
    const char* cl;
    const char* lcl;
    const char* stdErr;
    const char* message;
  } cases[] = {
      {"User Defined", "", "", "", "9", "10", "8", "3", "User Defined Location Limits Not Valid!"},
      {"Known Std Dev", "Average X", "0", "", "", "", "", "3", "Known Sigma Not Valid!"},
      {"Average MR", "Known Mean", "", "", "", "", "", "3", "Known Location Parameter Not Valid!"},
      {"Average MR", "Average X", "", "", "", "", "", "0", "Std Err Not Valid!"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.message);
    Choose(form->ComboBox_LocLimitCalc, k.method);
    if (*k.centre) Choose(form->ComboBox_LocCL, k.centre);
    Type(form->Edit_Sigma, k.sigma);
    Type(form->Edit_Mu, k.mu);
    Type(form->Edit_UCL, k.ucl);
    Type(form->Edit_CL, k.cl);
    Type(form->Edit_LCL, k.lcl);
    Type(form->Edit_StdErr, k.stdErr);
    messages.Texts.clear();
    const int beeps = messages.Beeps;
    Click(form->Button_Action);
    EXPECT_EQ(messages.Texts, QStringList{QString::fromLatin1(k.message)});
    EXPECT_GT(messages.Beeps, beeps);
    EXPECT_TRUE(DataList().IncludeCol[1]);  // the data set is not prepared
  }
  // Equal limits are accepted; an unticked limit is not read.
  Choose(form->ComboBox_LocLimitCalc, "User Defined");
  Type(form->Edit_StdErr, "3");
  Type(form->Edit_UCL, "10");
  Type(form->Edit_CL, "10");
  Type(form->Edit_LCL, "8");
  Click(form->CheckBox_LCL);
  EXPECT_FALSE(form->Edit_LCL->isEnabled());
  messages.Texts.clear();
  ASSERT_TRUE(form->CalcButtonClick());
  EXPECT_TRUE(messages.Texts.isEmpty());
  EXPECT_EQ(form->LastRequest().Settings.UCL, 10);
  EXPECT_EQ(form->LastRequest().Settings.LCL, MissingValue);
}

TEST_F(VarSetupFormTest, StatusPanelsAndNewData) {
  EXPECT_EQ(form->StatusPanels[0]->text(), QStringLiteral("Missing Off"));
  EXPECT_EQ(form->StatusPanels[2]->text(), QStringLiteral("Process If Off"));
  TProcessIfChoice pi;
  std::string error;
  ASSERT_TRUE(ParseProcessIfText("Subgroup <= 3 and Machine = M1", DataList(), pi, error)) << error;
  ApplyProcessIfChoice(pi, DataList());
  Pick("Diameter");
  Click(form->Picker->IncludeBtn);
  form->hide();
  form->show();  // activation reads the rules again; the same data keeps the choices
  EXPECT_EQ(form->StatusPanels[2]->text().toStdString(), ProcessIfStatusText());
  EXPECT_TRUE(form->StatusPanels[2]->text().startsWith(QStringLiteral("Process If: ")));
  EXPECT_EQ(form->ListBox_Measures->count(), 1);

  // Another data set: the lists are filled again and the slots emptied.
  const std::string other = std::string(SORVEL_SOURCE_DIR) + "/examples/heights.dat";
  ASSERT_TRUE(FileToDataGrid(other).Ok);
  form->hide();
  form->show();
  EXPECT_EQ(form->ListBox_Measures->count(), 0);
  EXPECT_EQ(form->DataVarList->count(), DataList().MaxCol());
  EXPECT_FALSE(form->Button_Action->isEnabled());
  EXPECT_TRUE(form->windowTitle().endsWith(QStringLiteral("heights.dat")));
}

}  // namespace
