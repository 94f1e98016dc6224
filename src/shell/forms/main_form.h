// The main window: one menu bar from which every command is reached.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <map>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QLocalServer;

namespace sorvel {

class TSorvelStatsMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TSorvelStatsMainForm(const QString& caption, QWidget* parent = nullptr);
  ~TSorvelStatsMainForm() override;

  int MinFormHeight = 0;
  int MinFormWidth = 0;

  // The menu action of a command of the table (by command name), or nullptr.
  QAction* CommandAction(const std::string& name) const;
  QMenu* FileMenu() const { return fileMenu_; }
  QMenu* FormsMenu() const { return formsMenu_; }
  QMenu* NumberFormatMenu() const { return numberFormatMenu_; }

  // The file named on the command line, opened at the first activation.
  void SetStartArgument(const QString& argument) { startArgument_ = argument; }
  // A start file kept because no data editor could take it yet.
  QString PendingStartFile() const { return pendingStartFile_; }
  // Splash window released at the first activation.
  void SetSplash(QWidget* splash) { splash_ = splash; }

  // Enables each command whose window exists; re-run when windows are registered.
  void UpdateCommandStates();
  // "View Next ..." enabled only while more than two forms exist.
  void UpdateViewNextItems();
  // The program's forms, front to back: the main window first.
  std::vector<QWidget*> FormsFrontToBack() const;

  // Handlers (public so that window tests can drive them as a user would).
  void FileMenuPopup();
  void FormsMenuPopup();
  void NumberFormatPopup();
  void HideAllFormsClick();
  void ViewNextForm(bool visibleOnly);
  void MRFileClick(int slot);
  void OpenDroppedFiles(const QStringList& files);
  void FirstActivation();

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void BuildMenus();
  void RunCommand(const std::string& name);
  void FixMinimumSize();
  void OpenDataFile(const QString& file);
  void FormsMenuItemClick(QAction* item);
  void NoteActivated(QWidget* w);

  QMenu* fileMenu_ = nullptr;
  QMenu* formsMenu_ = nullptr;
  QMenu* numberFormatMenu_ = nullptr;
  QAction* useCommas_ = nullptr;
  QAction* noCommas_ = nullptr;
  QAction* noOpenForms_ = nullptr;
  QAction* formsSeparator_ = nullptr;
  QAction* hideAllForms_ = nullptr;
  std::map<std::string, QAction*> actions_;
  QString startArgument_;
  QString pendingStartFile_;
  QPointer<QWidget> splash_;
  bool activated_ = false;
  std::vector<QPointer<QWidget>> zOrder_;  // front first
};

// Whether a running copy of the program already shows this caption; the first copy
// holding a caption keeps a local server of that name alive while it runs.
class TInstanceCaption {
 public:
  // Chooses "Sorvelstats", or "Sorvelstats (n)" for the n-th running copy, and claims it.
  QString Claim();
  ~TInstanceCaption();

 private:
  QLocalServer* server_ = nullptr;
};

}  // namespace sorvel
