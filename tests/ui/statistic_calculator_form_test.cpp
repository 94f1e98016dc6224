// The "Test Statistics" window under the offscreen platform: fill a page, press
// "&Action", read the report and the picture.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "hypothesis/forms/register.h"
#include "hypothesis/forms/statistic_calculator_form.h"
#include "ui/messages.h"
#include "ui/picture_view.h"
#include "ui/report_view.h"
#include "ui/window_registry.h"

using namespace sorvel;

namespace {

class TestStatFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageRecorder(&messages);
    form = std::make_unique<TTestStatForm>(nullptr);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  void TearDown() override {
    form.reset();
    SetMessageRecorder(nullptr);
  }
  // Fills page n and presses "&Action"; returns the report's lines.
  QStringList Run(int n, const QString& value, int tails, bool wantValue, const QString& df1 = {},
                  const QString& df2 = {}) {
    form->PageControl->setCurrentIndex(n - 1);
    TTestStatForm::TPage& page = form->Page(n);
    page.Want->button(wantValue ? 1 : 0)->click();
    page.Tails->button(tails)->click();
    page.ValueEdit->setText(value);
    if (page.Df1Edit) page.Df1Edit->setText(df1);
    if (page.Df2Edit) page.Df2Edit->setText(df2);
    QTest::mouseClick(form->Button_Action, Qt::LeftButton);
    return page.Richedit->toPlainText().split(QChar('\n'));
  }

  TMessageLog messages;
  std::unique_ptr<TTestStatForm> form;
};

TEST_F(TestStatFormTest, ControlsAsDesigned) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Test Statistics"));
  const char* tabs[] = {"z (Normal)", "t", "X\xC2\xB2", "F"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(form->PageControl->tabText(i), QString::fromUtf8(tabs[i]));
  for (const char* name :
       {"EditZV", "EditTV", "EditTdf", "EditXV", "EditXdf", "EditFV", "EditFdf1", "EditFdf2"}) {
    auto* e = form->findChild<QLineEdit*>(QString::fromLatin1(name));
    ASSERT_NE(e, nullptr) << name;
    EXPECT_EQ(e->text(), QStringLiteral("0")) << name;
  }
  for (int n = 1; n <= 4; ++n) {
    EXPECT_NE(form->findChild<TDecimalSpinEdit*>(QStringLiteral("DecimalSpinEdit%1").arg(n)),
              nullptr);
    EXPECT_NE(form->findChild<TReportView*>(QStringLiteral("Richedit%1").arg(n)), nullptr);
    EXPECT_NE(form->findChild<TPictureView*>(QStringLiteral("Image%1").arg(n)), nullptr);
    EXPECT_EQ(form->Page(n).TailsBox->title(), QStringLiteral("&Tails"));
    EXPECT_EQ(form->Page(n).WantBox->title(), QStringLiteral("&Want"));
  }
  EXPECT_EQ(form->Page(3).Title->text(), QString::fromUtf8("Convert  X\xC2\xB2 -Value to p-Value"));
  EXPECT_EQ(form->HelpAction->text(), QStringLiteral("&Help on Test Statistics"));
  EXPECT_EQ(form->HelpTopic, 2800);
  EXPECT_EQ(form->Button_Action->toolTip(), QStringLiteral("Display Results"));
}

TEST_F(TestStatFormTest, WantRelabelsThePage) {
  struct Case {
    int Page;
    bool WantValue;
    const char* Title;
    const char* Label;
  };
  const Case cases[] = {
      {1, true, "Convert p-Value to z-Value", "p-&Value:"},
      {1, false, "Convert z-Value to p-Value", "z-&Value:"},
      {2, false, "Convert t-Value to p-Value", " t-&Value:"},
      {3, true, "Convert p-Value to X\xC2\xB2-Value", "  p-&Value:"},
      {3, false, "Convert X\xC2\xB2-Value to p-Value", "X\xC2\xB2 -&Value:"},
      {4, true, "Convert p-Value to F-Value", "p-&Value:"},
      {4, false, "Convert F-Value to p-Value", "F-&Value:"},
  };
  for (const auto& c : cases) {
    form->Page(c.Page).Want->button(c.WantValue ? 1 : 0)->click();
    EXPECT_EQ(form->Page(c.Page).Title->text(), QString::fromUtf8(c.Title));
    EXPECT_EQ(form->Page(c.Page).ValueLabel->text(), QString::fromUtf8(c.Label));
  }
}

TEST_F(TestStatFormTest, ActionShowsTheConvertersReportAndPicture) {
  struct Case {
    int Page;
    const char* Value;
    int Tails;
    bool WantValue;
    const char* Df1;
    const char* Df2;
    const char* Line1;
    const char* Line2End;
  };
  const Case cases[] = {
      {1, "1.96", 0, false, "", "", "For z (Normal) Value = 1.96:", "0.0500"},
      {1, "0.05", 0, true, "", "", "For z (Normal) p-Value = 0.05:", "\xC2\xB1 1.9600"},
      {1, "0.05", 1, true, "", "", "For z (Normal) p-Value = 0.05:", "-1.6449"},
      {2, "-2", 2, false, "10", "", "For t Value = -2  with 10 df:", "0.9633"},
      {3, "0.05", 0, true, "4", "", "For X\xC2\xB2 p-Value = 0.05  with 4 df:", "0.4844, 11.1433"},
      // Upper area of F(2, 10) at 3: (1 + 2 * 3 / 10)^-5 = 0.09537, the closed form for 2
      // numerator degrees of freedom.
      {4, "3", 2, false, "2", "10", "For F Value = 3  with 2, 10 df:", "0.0954"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Line1);
    const QStringList lines = Run(c.Page, QString::fromUtf8(c.Value), c.Tails, c.WantValue,
                                  QString::fromUtf8(c.Df1), QString::fromUtf8(c.Df2));
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], QString::fromUtf8(c.Line1));
    EXPECT_TRUE(lines[1].startsWith(QChar('\t')));
    EXPECT_TRUE(lines[1].endsWith(QString::fromUtf8(c.Line2End))) << lines[1].toStdString();
    EXPECT_TRUE(form->Page(c.Page).Image->HasPicture());
    EXPECT_TRUE(form->HasGraphic());
    EXPECT_EQ(form->CurrentReportView(), form->Page(c.Page).Richedit);
  }
  EXPECT_TRUE(messages.Texts.isEmpty()) << messages.Texts.join(QChar('|')).toStdString();
}

TEST_F(TestStatFormTest, RefusedInputShowsTheMessageAndBlanksThePicture) {
  Run(2, QStringLiteral("2"), 0, false, QStringLiteral("10"));
  ASSERT_TRUE(form->Page(2).Image->HasPicture());
  const QStringList lines = Run(2, QStringLiteral("2"), 0, false, QStringLiteral("0"));
  EXPECT_EQ(messages.Texts, QStringList{QStringLiteral("Degrees of Freedom must be > 0!")});
  EXPECT_FALSE(form->Page(2).Image->HasPicture());
  EXPECT_TRUE(form->Page(2).Richedit->toPlainText().isEmpty());
  EXPECT_FALSE(form->HasGraphic());

  messages.Texts.clear();
  Run(1, QStringLiteral("1"), 0, true);
  EXPECT_EQ(messages.Texts, QStringList{QStringLiteral("p-value must be < 1.0 and > 0.0!")});
  EXPECT_FALSE(form->Page(1).Image->HasPicture());
}

TEST_F(TestStatFormTest, DecimalsChangeRecomputes) {
  Run(1, QStringLiteral("1.96"), 0, false);
  form->Page(1).DecimalSpinEdit->setValue(2);
  const QStringList lines = form->Page(1).Richedit->toPlainText().split(QChar('\n'));
  ASSERT_GE(lines.size(), 2);
  EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" 0.05"))) << lines[1].toStdString();
}

TEST_F(TestStatFormTest, ValueBoxesFilterKeys) {
  struct Case {
    int Page;
    bool WantValue;
    const char* Typed;
    const char* Shown;
  };
  const Case cases[] = {
      {1, false, "-1a.9x6", "-1.96"},  // real numbers
      {3, false, "-3.5", "3.5"},       // positive reals
      {2, true, ".05", "0.05"},        // probabilities
  };
  for (const auto& c : cases) {
    form->PageControl->setCurrentIndex(c.Page - 1);
    auto& page = form->Page(c.Page);
    page.Want->button(c.WantValue ? 1 : 0)->click();
    page.ValueEdit->clear();
    page.ValueEdit->setFocus();
    QTest::keyClicks(page.ValueEdit, QString::fromLatin1(c.Typed));
    EXPECT_EQ(page.ValueEdit->text(), QString::fromLatin1(c.Shown)) << c.Typed;
  }
  auto& t = form->Page(2);
  t.Df1Edit->clear();
  QTest::keyClicks(t.Df1Edit, QStringLiteral("-12"));
  EXPECT_EQ(t.Df1Edit->text(), QStringLiteral("12"));
}

TEST_F(TestStatFormTest, EachPageKeepsItsOwnReportAndPicture) {
  Run(1, QStringLiteral("1.96"), 0, false);
  Run(2, QStringLiteral("2"), 0, false, QStringLiteral("0"));  // refused
  form->PageControl->setCurrentIndex(0);
  EXPECT_EQ(form->CurrentReportView(), form->Page(1).Richedit);
  EXPECT_TRUE(form->HasGraphic());
  EXPECT_FALSE(form->Page(1).Richedit->toPlainText().isEmpty());
  form->PageControl->setCurrentIndex(1);
  EXPECT_FALSE(form->HasGraphic());
}

TEST(HypothesisForms, RegisteredForTheMainMenu) {
  RegisterHypothesisForms();
  EXPECT_TRUE(HasForm("test-statistics"));
  QWidget* w = FormFor("test-statistics");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Test Statistics"));
  EXPECT_EQ(FormFor("test-statistics"), w);  // created once
  ResetForms();
}

}  // namespace
