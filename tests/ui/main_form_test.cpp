// The main window under the offscreen platform: menus, enabling rules, recent files,
// forms list, close prompt, start file and dropped files.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <vector>

#include "numerics/format.h"
#include "numerics/settings_store.h"
#include "shell/analysis_registry.h"
#include "shell/command_table.h"
#include "shell/forms/main_form.h"
#include "shell/mru.h"
#include "ui/analysis_form.h"
#include "ui/data_editor_hooks.h"
#include "ui/messages.h"
#include "ui/settings_qt.h"
#include "ui/shell_services.h"
#include "ui/window_registry.h"

using namespace sorvel;

namespace {

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSettingsStore(&store);
    SetMessageRecorder(&messages);
    SetNumberFormat(3);
    DataEditorHooks() = TDataEditorHooks{};
    form = std::make_unique<TSorvelStatsMainForm>(QStringLiteral("Sorvelstats"));
  }
  void TearDown() override {
    ResetForms();
    form.reset();
    for (const auto& name : standIns) AnalysisRegistry().Remove(name);
    standIns.clear();
    DataEditorHooks() = TDataEditorHooks{};
    SetMessageRecorder(nullptr);
    SetSettingsStore(nullptr);
  }
  // A plain window standing in for an analysis window, and the analysis behind it (a
  // menu command is built when its analysis is registered).
  void RegisterPlainForm(const std::string& name, const QString& caption) {
    RegisterForm(name, [caption](QWidget* owner) {
      auto* w = new QWidget(owner, Qt::Window);
      w->setWindowTitle(caption);
      return w;
    });
    TAnalysis standIn;
    standIn.Name = name;
    standIn.Run = [](const TAnalysisContext&) { return TOutcome(); };
    AnalysisRegistry().Add(standIn);
    standIns.push_back(name);
  }
  std::vector<std::string> standIns;
  QAction* Item(const char* objectName) {
    return form->findChild<QAction*>(QString::fromLatin1(objectName));
  }

  MemorySettingsStore store;
  TMessageLog messages;
  std::unique_ptr<TSorvelStatsMainForm> form;
};

// The menus as the design lists them, typed here rather than taken from the command
// table the menus are built from: caption, then a tab and the key; "-" a separator.
TEST_F(MainFormTest, MenusHoldEveryCommandWithCaptionKeyAndSeparators) {
  struct TMenuCase {
    const char* Menu;
    std::vector<const char*> Items;
  };
  const TMenuCase menus[] = {
      {"&File",
       {"&New", "&Open...\tF3", "-", "Stay on &Top", "-", "&Data Editor\tF4", "Process &If\tF8",
        "Number Format", "-", "View Main Form\tF6", "View Next Visible Form\tF11",
        "View Next Open Form\tF12", "-", "E&xit"}},
      {"&Tests",
       {"&Mean/Dispersion Tests", "&Proportion Tests", "McNemar's Test", "Poisson &Rate Tests",
        "&Nonparametric Tests", "Cross&tabs", "-", "&Oneway ANOVA", "Omega-Squared",
        "Critical Mean &Difference", "-", "&Correlation Tests", "Correlation Matrix",
        "&Scatter Plot", "-", "&Explore\tF5"}},
      {"&Design", {"&Random Sequences", "&Sample Size", "&Power Curves", "&Expected Mean Squares"}},
      {"D&istributions",
       {"&Binomial", "&Poisson", "&Hypergeometric", "&Geometric", "&Exponential",
        "&Test Statistics", "&z Score (Normal)"}},
      {"&SPC",
       {"&Variables Control Charts", "&Attributes Control Charts", "A&utocorrelation", "-",
        "Control &Test Selection", "-", "Control &Limit Calculations",
        "Capability/Performance && Distribution Analysis", "&Capability", "-",
        "&Measurement Systems Analysis"}},
      // The web-site and update commands are the program's own captions.
      {"&Help",
       {"&Contents", "&Introduction\tF1", "&Main Form", "-", "Sorvel &Web Site",
        "Check for &Updates", "&About..."}},
  };
  auto shown = [](QAction* a) {
    if (a->isSeparator()) return QStringLiteral("-");
    const QString key = a->shortcut().toString();
    return key.isEmpty() ? a->text() : a->text() + QChar('\t') + key;
  };
  QList<QMenu*> bar;
  for (QAction* a : form->menuBar()->actions())
    if (a->menu() && a->menu() != form->FormsMenu()) bar << a->menu();
  ASSERT_EQ(bar.size(), static_cast<int>(std::size(menus)));
  for (int m = 0; m < bar.size(); ++m) {
    const TMenuCase& expected = menus[m];
    EXPECT_EQ(bar[m]->title(), QString::fromUtf8(expected.Menu));
    QStringList items;
    for (QAction* a : bar[m]->actions()) items << shown(a);
    if (m == 0) {
      // then the recent files: their separator and nine items
      ASSERT_EQ(items.size(), static_cast<int>(expected.Items.size()) + 10);
      EXPECT_EQ(bar[0]->actions()[expected.Items.size()]->objectName(),
                QStringLiteral("MenuLineMRU"));
      EXPECT_EQ(bar[0]->actions().last()->objectName(), QStringLiteral("MRFile9"));
      items = items.mid(0, static_cast<int>(expected.Items.size()));
    }
    QStringList want;
    for (const char* item : expected.Items) want << QString::fromUtf8(item);
    EXPECT_EQ(items, want) << expected.Menu;
  }
  EXPECT_EQ(form->menuBar()->actions().first()->text(), "&File");
  const QStringList formats = {form->NumberFormatMenu()->actions()[0]->text(),
                               form->NumberFormatMenu()->actions()[1]->text()};
  EXPECT_EQ(formats, (QStringList{"Use Commas (123,123.11)", "No Commas (123123.11)"}));
  // The icon-only forms menu stands before Help.
  const auto top = form->menuBar()->actions();
  EXPECT_EQ(top[top.size() - 2], form->FormsMenu()->menuAction());
}

// Once the desktop has made w the window the keyboard goes to.
bool BecomesActive(QWidget* w) {
  return QTest::qWaitFor([w] { return QApplication::activeWindow() == w; }, 2000);
}

// F3 to F12 reach the main window's commands from whichever window has the keyboard;
// F1 stays with the window it is pressed in, each window showing its own help.
TEST_F(MainFormTest, FunctionKeysWorkFromEveryWindowAndF1FromItsOwn) {
  QTemporaryDir help;
  for (const char* page : {"index.html", "topic100.html", "topic2800.html"}) {
    QFile f(help.filePath(page));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  qputenv("SORVEL_HELP_DIR", help.path().toUtf8());
  QStringList launched;
  SetAddressLauncher([&](const QString& address) {
    launched << QUrl(address).fileName();
    return true;
  });
  RegisterPlainForm("omega-squared", "Omega-Squared Calculation");
  RegisterForm("help-fixture", [](QWidget* owner) {
    return new TAnalysisForm(owner, "Test Statistics", "Test Statistics", 2800);
  });
  form->show();
  QWidget* omega = FormFor("omega-squared");
  QWidget* stats = FormFor("help-fixture");
  for (QWidget* w : {omega, stats}) {
    RestoreAndShow(w);
    ASSERT_TRUE(BecomesActive(w));
  }

  // F6 in an analysis window brings the main window forward.
  QTest::keyClick(stats, Qt::Key_F6);
  ASSERT_TRUE(BecomesActive(form.get()));

  // F12, pressed each time in the window in front, brings up the one at the back:
  // main, stats, omega front to back, so omega, stats, main come up in turn.
  for (QWidget* next : {omega, stats, static_cast<QWidget*>(form.get())}) {
    QTest::keyClick(QApplication::activeWindow(), Qt::Key_F12);
    EXPECT_TRUE(BecomesActive(next)) << next->windowTitle().toStdString();
  }
  // F11 takes visible windows only.
  omega->hide();
  QTest::keyClick(form.get(), Qt::Key_F11);
  EXPECT_TRUE(BecomesActive(stats));
  EXPECT_FALSE(omega->isVisible());

  // F4 in an analysis window opens the data editor.
  int editorShown = 0;
  DataEditorHooks().OpenFile = [](const QString&) { return true; };
  DataEditorHooks().ShowEditor = [&] { ++editorShown; };
  form->UpdateCommandStates();
  QTest::keyClick(stats, Qt::Key_F4);
  EXPECT_EQ(editorShown, 1);

  // F1: the analysis window's topic there, the main window's topic in the main window.
  QTest::keyClick(stats, Qt::Key_F1);
  RestoreAndShow(form.get());
  ASSERT_TRUE(BecomesActive(form.get()));
  QTest::keyClick(form.get(), Qt::Key_F1);
  EXPECT_EQ(launched, (QStringList{"topic2800.html", "topic100.html"}));
  EXPECT_TRUE(messages.Texts.isEmpty()) << messages.Texts.join('|').toStdString();
  SetAddressLauncher({});
  qunsetenv("SORVEL_HELP_DIR");
}

TEST_F(MainFormTest, CommandsWithoutAWindowAreDisabled) {
  EXPECT_FALSE(form->CommandAction("omega-squared")->isEnabled());
  EXPECT_FALSE(form->CommandAction("open")->isEnabled());  // no data editor yet
  EXPECT_TRUE(form->CommandAction("stay-on-top")->isEnabled());
  EXPECT_TRUE(form->CommandAction("exit")->isEnabled());
  EXPECT_FALSE(form->CommandAction("sorvel-web-site")->isEnabled());  // no address configured

  RegisterPlainForm("omega-squared", "Omega-Squared Calculation");
  DataEditorHooks().OpenFile = [](const QString&) { return true; };
  form->UpdateCommandStates();
  EXPECT_TRUE(form->CommandAction("omega-squared")->isEnabled());
  EXPECT_TRUE(form->CommandAction("open")->isEnabled());
  EXPECT_FALSE(form->CommandAction("process-if")->isEnabled());
}

TEST_F(MainFormTest, OpeningACommandTwiceShowsOneWindowAndRestoresIt) {
  RegisterPlainForm("omega-squared", "Omega-Squared Calculation");
  form->UpdateCommandStates();
  form->CommandAction("omega-squared")->trigger();
  QWidget* w = FormFor("omega-squared");
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  w->showMinimized();
  form->CommandAction("omega-squared")->trigger();
  EXPECT_EQ(FormFor("omega-squared"), w);
  EXPECT_FALSE(w->isMinimized());
  EXPECT_EQ(CreatedForms().size(), 1u);
}

TEST_F(MainFormTest, ViewNextNeedsThreeForms) {
  RegisterPlainForm("omega-squared", "Omega-Squared Calculation");
  RegisterPlainForm("explore", "Explore");
  form->UpdateCommandStates();
  form->show();
  form->CommandAction("omega-squared")->trigger();
  QWidget* omega = FormFor("omega-squared");
  omega->hide();
  form->FileMenuPopup();
  EXPECT_FALSE(form->CommandAction("view-next-open-form")->isEnabled());
  EXPECT_FALSE(form->CommandAction("view-next-visible-form")->isEnabled());
  form->ViewNextForm(false);
  EXPECT_FALSE(omega->isVisible());  // does nothing with two forms

  form->CommandAction("explore")->trigger();
  form->FileMenuPopup();
  EXPECT_TRUE(form->CommandAction("view-next-open-form")->isEnabled());
  // front to back: explore, omega, main -> the last non-dialog form comes forward
  form->ViewNextForm(false);
  EXPECT_EQ(form->FormsFrontToBack().front(), form.get());
  form->ViewNextForm(false);
  EXPECT_EQ(form->FormsFrontToBack().front(), omega);
  EXPECT_TRUE(omega->isVisible());
}

TEST_F(MainFormTest, FormsMenuListsWindowsSortedWithVisibilityChecks) {
  form->FormsMenuPopup();
  auto visibleTexts = [&] {
    QStringList t;
    for (QAction* a : form->FormsMenu()->actions())
      if (a->isVisible() && !a->isSeparator()) t << a->text();
    return t;
  };
  EXPECT_EQ(visibleTexts(), QStringList{"(No Open Forms)"});

  RegisterPlainForm("omega-squared", "Omega-Squared Calculation");
  RegisterPlainForm("explore", "Explore");
  form->UpdateCommandStates();
  form->CommandAction("omega-squared")->trigger();
  form->CommandAction("explore")->trigger();
  FormFor("explore")->hide();
  form->FormsMenuPopup();
  EXPECT_EQ(visibleTexts(),
            (QStringList{"Explore", "Omega-Squared Calculation", "&Hide All Forms"}));
  auto* first = form->FormsMenu()->actions().first();
  EXPECT_FALSE(first->isChecked());  // Explore is hidden

  first->trigger();
  EXPECT_TRUE(FormFor("explore")->isVisible());
  Item("HideAllForms")->trigger();
  EXPECT_FALSE(FormFor("explore")->isVisible());
  EXPECT_FALSE(FormFor("omega-squared")->isVisible());
}

TEST_F(MainFormTest, RecentFilesShowInTheFileMenu) {
  QTemporaryDir dir;
  const QString existing = dir.filePath("data.sorvel");
  QFile f(existing);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("1\n");
  f.close();
  store.Write("MRU Files", "File1", existing.toStdString());
  store.Write("MRU Files", "File2", "/no/such/file.dat");
  form->FileMenuPopup();
  EXPECT_TRUE(Item("MenuLineMRU")->isVisible());
  EXPECT_EQ(Item("MRFile1")->text(), "&1  " + existing);
  EXPECT_TRUE(Item("MRFile2")->isVisible());
  EXPECT_FALSE(Item("MRFile3")->isVisible());

  QStringList opened;
  DataEditorHooks().OpenFile = [&](const QString& file) {
    opened << file;
    return true;
  };
  Item("MRFile2")->trigger();
  EXPECT_EQ(messages.Texts, QStringList{"File Not Found!\n\n/no/such/file.dat"});
  Item("MRFile1")->trigger();
  EXPECT_EQ(opened, QStringList{existing});
}

TEST_F(MainFormTest, NoRecentFilesHidesTheSeparator) {
  form->FileMenuPopup();
  EXPECT_FALSE(Item("MenuLineMRU")->isVisible());
  EXPECT_FALSE(Item("MRFile1")->isVisible());
}

TEST_F(MainFormTest, NumberFormatSubmenuShowsAndStoresTheChoice) {
  form->NumberFormatPopup();
  auto items = form->NumberFormatMenu()->actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->text(), "Use Commas (123,123.11)");
  EXPECT_TRUE(items[0]->isChecked());
  items[1]->trigger();
  EXPECT_EQ(NumberFormat(), 2);
  EXPECT_EQ(store.Read("Settings", "SorvelNumberFormat"), std::optional<std::string>("F"));
  form->NumberFormatPopup();
  EXPECT_TRUE(items[1]->isChecked());
  EXPECT_FALSE(items[0]->isChecked());
}

TEST_F(MainFormTest, ClosePromptGuardsUnsavedData) {
  bool saveSucceeds = false;
  int saves = 0;
  DataEditorHooks().IsModified = [] { return true; };
  DataEditorHooks().SaveAs = [&] {
    ++saves;
    return saveSucceeds;
  };
  form->show();

  messages.Answer = QMessageBox::Cancel;
  EXPECT_FALSE(form->close());
  EXPECT_EQ(messages.Texts.last(), "File Not Saved.  Save?");

  messages.Answer = QMessageBox::Yes;  // a failed or cancelled save keeps the program open
  EXPECT_FALSE(form->close());
  EXPECT_EQ(saves, 1);

  saveSucceeds = true;
  EXPECT_TRUE(form->close());
  EXPECT_EQ(saves, 2);
  EXPECT_TRUE(store.Read("Settings", "MainTop").has_value());
  EXPECT_TRUE(store.Read("Settings", "MainLeft").has_value());
}

TEST_F(MainFormTest, CloseWithoutChangesAsksNothing) {
  DataEditorHooks().IsModified = [] { return false; };
  form->show();
  EXPECT_TRUE(form->close());
  EXPECT_TRUE(messages.Texts.isEmpty());
}

TEST_F(MainFormTest, StartArgumentLastOpensTheMostRecentFile) {
  QTemporaryDir dir;
  const QString recent = dir.filePath("recent.sorvel");
  QFile f(recent);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  store.Write("MRU Files", "File1", recent.toStdString());
  MRUFiles().Read();

  // Without a data editor the file is kept for it.
  form->SetStartArgument("@last");
  form->FirstActivation();
  EXPECT_EQ(form->PendingStartFile(), recent);

  QStringList opened;
  DataEditorHooks().OpenFile = [&](const QString& file) {
    opened << file;
    return true;
  };
  form->FirstActivation();
  EXPECT_EQ(opened, QStringList{recent});

  opened.clear();
  form->SetStartArgument(dir.filePath("missing.sorvel"));
  form->FirstActivation();
  EXPECT_TRUE(opened.isEmpty());
  EXPECT_TRUE(messages.Texts.isEmpty());
}

TEST_F(MainFormTest, OnlyTheFirstDroppedFileOpens) {
  QStringList opened;
  DataEditorHooks().OpenFile = [&](const QString& file) {
    opened << file;
    return true;
  };
  form->OpenDroppedFiles({"/tmp/a.sorvel", "/tmp/b.sorvel"});
  EXPECT_EQ(opened, QStringList{"/tmp/a.sorvel"});
}

TEST_F(MainFormTest, MinimumSizeHoldsTheMenuBar) {
  EXPECT_GT(form->MinFormWidth, 0);
  EXPECT_EQ(form->minimumWidth(), form->MinFormWidth);
  EXPECT_EQ(form->minimumHeight(), form->MinFormHeight);
  form->resize(10, 10);
  EXPECT_GE(form->width(), form->MinFormWidth);
}

TEST(ShellServices, HelpWithoutAddressOrFolderWarns) {
  MemorySettingsStore store;
  SetSettingsStore(&store);
  TMessageLog messages;
  SetMessageRecorder(&messages);
  qputenv("SORVEL_HELP_DIR", "/nonexistent-help-folder");
  ShowHelpTopic(100);
  qunsetenv("SORVEL_HELP_DIR");
  EXPECT_EQ(messages.Texts, QStringList{"The Help file was not found."});
  SetMessageRecorder(nullptr);
  SetSettingsStore(nullptr);
}

TEST(ShellServices, HelpFolderIsFoundBesideThePrograms) {
  QTemporaryDir dir;
  qputenv("SORVEL_HELP_DIR", dir.path().toUtf8());
  EXPECT_TRUE(LocalHelpFolder().isEmpty());  // no index.html
  QFile index(dir.filePath("index.html"));
  ASSERT_TRUE(index.open(QIODevice::WriteOnly));
  index.close();
  EXPECT_EQ(LocalHelpFolder(), dir.path());
  qunsetenv("SORVEL_HELP_DIR");
}

TEST(ShellServices, NoticeClosesItself) {
  ShowNotice("Graph Copied to Clipboard!", 1);
  EXPECT_EQ(CurrentNoticeText(), "Graph Copied to Clipboard!");
  QTRY_VERIFY_WITH_TIMEOUT(CurrentNoticeText().isEmpty(), 3000);
}

TEST(ShellServices, QSettingsStoreKeepsValuesAcrossInstances) {
  QTemporaryDir dir;
  const QString ini = dir.filePath("sorvelstats.ini");
  {
    TQtSettingsStore s(ini);
    SetSettingsStore(&s);
    SetNumberFormat(2);
    TMRUFiles mru;
    mru.UpdateList("/data/a.sorvel");
    SetSettingsStore(nullptr);
  }
  TQtSettingsStore again(ini);
  EXPECT_EQ(again.Read("Settings", "SorvelNumberFormat"), std::optional<std::string>("F"));
  EXPECT_EQ(again.Read("MRU Files", "File1"), std::optional<std::string>("/data/a.sorvel"));
  EXPECT_FALSE(again.Read("Settings", "NoSuchValue").has_value());

  // The format stored through one store instance is loaded through a fresh one,
  // replacing the format in use.
  {
    TQtSettingsStore writer(ini);
    SetSettingsStore(&writer);
    SetNumberFormat(3);
    SetSettingsStore(nullptr);
  }
  SetNumberFormat(2);  // in use now; written to the default store, not the file
  TQtSettingsStore reader(ini);
  SetSettingsStore(&reader);
  LoadNumberFormat();
  EXPECT_EQ(NumberFormat(), 3);
  SetSettingsStore(nullptr);
}

}  // namespace
