// The main window under the offscreen platform: menus, enabling rules, recent files,
// forms list, close prompt, start file and dropped files.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "numerics/format.h"
#include "numerics/settings_store.h"
#include "shell/command_table.h"
#include "shell/forms/main_form.h"
#include "shell/mru.h"
#include "ui/data_editor_hooks.h"
#include "ui/messages.h"
#include "shell/analysis_registry.h"
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
  QAction* Item(const char* objectName) { return form->findChild<QAction*>(QString::fromLatin1(objectName)); }

  MemorySettingsStore store;
  TMessageLog messages;
  std::unique_ptr<TSorvelStatsMainForm> form;
};

TEST_F(MainFormTest, MenusHoldEveryCommandWithCaptionKeyAndSeparators) {
  for (const auto& e : CommandTable()) {
    QAction* a = form->CommandAction(e.Name);
    ASSERT_NE(a, nullptr) << e.Name;
    EXPECT_EQ(a->text().toStdString(), e.Caption);
    EXPECT_EQ(a->shortcut().toString().toStdString(), e.Key) << e.Caption;
    // the action sits in the menu the table names, followed by a separator where it says
    QMenu* menu = form->menuBar()->findChild<QMenu*>(QString::fromStdString(e.Menu) + "Menu");
    ASSERT_NE(menu, nullptr) << e.Menu;
    const auto items = menu->actions();
    const int at = items.indexOf(a);
    ASSERT_GE(at, 0) << e.Caption;
    // (the recent files' own separator "MenuLineMRU" follows "E&xit")
    const bool separatorNext = at + 1 < items.size() && items[at + 1]->isSeparator() &&
                               items[at + 1]->objectName() != "MenuLineMRU";
    EXPECT_EQ(separatorNext, e.SeparatorAfter) << e.Caption;
  }
  EXPECT_EQ(form->menuBar()->actions().first()->text(), "&File");
}

TEST_F(MainFormTest, CommandsWithoutAWindowAreDisabled) {
  EXPECT_FALSE(form->CommandAction("oneway-anova")->isEnabled());
  EXPECT_FALSE(form->CommandAction("open")->isEnabled());  // no data editor yet
  EXPECT_TRUE(form->CommandAction("stay-on-top")->isEnabled());
  EXPECT_TRUE(form->CommandAction("exit")->isEnabled());
  EXPECT_FALSE(form->CommandAction("sorvel-web-site")->isEnabled());  // no address configured

  RegisterPlainForm("oneway-anova", "Oneway ANOVA");
  DataEditorHooks().OpenFile = [](const QString&) { return true; };
  form->UpdateCommandStates();
  EXPECT_TRUE(form->CommandAction("oneway-anova")->isEnabled());
  EXPECT_TRUE(form->CommandAction("open")->isEnabled());
  EXPECT_FALSE(form->CommandAction("process-if")->isEnabled());
}

TEST_F(MainFormTest, OpeningACommandTwiceShowsOneWindowAndRestoresIt) {
  RegisterPlainForm("oneway-anova", "Oneway ANOVA");
  form->UpdateCommandStates();
  form->CommandAction("oneway-anova")->trigger();
  QWidget* w = FormFor("oneway-anova");
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  w->showMinimized();
  form->CommandAction("oneway-anova")->trigger();
  EXPECT_EQ(FormFor("oneway-anova"), w);
  EXPECT_FALSE(w->isMinimized());
  EXPECT_EQ(CreatedForms().size(), 1u);
}

TEST_F(MainFormTest, ViewNextNeedsThreeForms) {
  RegisterPlainForm("oneway-anova", "Oneway ANOVA");
  RegisterPlainForm("explore", "Explore");
  form->UpdateCommandStates();
  form->show();
  form->CommandAction("oneway-anova")->trigger();
  QWidget* oneway = FormFor("oneway-anova");
  oneway->hide();
  form->FileMenuPopup();
  EXPECT_FALSE(form->CommandAction("view-next-open-form")->isEnabled());
  EXPECT_FALSE(form->CommandAction("view-next-visible-form")->isEnabled());
  form->ViewNextForm(false);
  EXPECT_FALSE(oneway->isVisible());  // does nothing with two forms

  form->CommandAction("explore")->trigger();
  form->FileMenuPopup();
  EXPECT_TRUE(form->CommandAction("view-next-open-form")->isEnabled());
  // front to back: explore, oneway, main -> the last non-dialog form comes forward
  form->ViewNextForm(false);
  EXPECT_EQ(form->FormsFrontToBack().front(), form.get());
  form->ViewNextForm(false);
  EXPECT_EQ(form->FormsFrontToBack().front(), oneway);
  EXPECT_TRUE(oneway->isVisible());
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

  RegisterPlainForm("oneway-anova", "Oneway ANOVA");
  RegisterPlainForm("explore", "Explore");
  form->UpdateCommandStates();
  form->CommandAction("oneway-anova")->trigger();
  form->CommandAction("explore")->trigger();
  FormFor("explore")->hide();
  form->FormsMenuPopup();
  EXPECT_EQ(visibleTexts(), (QStringList{"Explore", "Oneway ANOVA", "&Hide All Forms"}));
  auto* first = form->FormsMenu()->actions().first();
  EXPECT_FALSE(first->isChecked());  // Explore is hidden

  first->trigger();
  EXPECT_TRUE(FormFor("explore")->isVisible());
  Item("HideAllForms")->trigger();
  EXPECT_FALSE(FormFor("explore")->isVisible());
  EXPECT_FALSE(FormFor("oneway-anova")->isVisible());
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
  DataEditorHooks().OpenFile = [&](const QString& file) { opened << file; return true; };
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
  DataEditorHooks().SaveAs = [&] { ++saves; return saveSucceeds; };
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
  DataEditorHooks().OpenFile = [&](const QString& file) { opened << file; return true; };
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
  DataEditorHooks().OpenFile = [&](const QString& file) { opened << file; return true; };
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
  SetSettingsStore(&again);
  SetNumberFormat(3);
  LoadNumberFormat();
  EXPECT_EQ(NumberFormat(), 3);
  SetSettingsStore(nullptr);
}

}  // namespace
