#ifndef LUNARET_APP_MAIN_DIALOG_H
#define LUNARET_APP_MAIN_DIALOG_H

#include <QDialog>
#include <QString>

#include "controls/theme_library.h"
#include "core/store/user_snapshot.h"
#include "core/store/user_store.h"

class QAction;
class QMenuBar;
class QTabWidget;

namespace lunaret {

class CalendarPage;
class DataCommands;
class ReminderCommand;
class GeneralPage;
class InsightsPage;
class StatisticsPage;
class ThemedHoverButton;

// The main window: the pages in a tab control, Save and Exit, and the menu of session
// commands. It holds the logged-in user and whether the pages hold unsaved changes; the pages
// write to the store only when it tells them to.
class MainDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdOk = 1;
  static constexpr int kIdExit = 2;
  static constexpr int kIdSave = 1032;
  static constexpr int kIdTabs = 1039;

  // Command ids of the menu, kept on each action as the property "commandId".
  static constexpr int kCmdAbout = 32774;
  static constexpr int kCmdLogIn = 32771;
  static constexpr int kCmdChangePassword = 32772;
  static constexpr int kCmdUserManagement = 32776;
  static constexpr int kCmdLogOff = 32777;
  static constexpr int kCmdExit = 32778;
  static constexpr int kCmdDiscardChanges = 32779;
  // Tools, " &Reminders...", where the program sends reminders.
  static constexpr int kCmdReminders = 32790;
  // "&About Lunaret...", the item the window adds to its context menu.
  static constexpr int kCmdAboutBox = 16;

  static const char* const kCaption;

  MainDialog(UserStore& store, const QString& userName, QWidget* parent = nullptr);
  ~MainDialog() override;

  // The opening: creates and loads both pages, sets up the buttons, the tips and the font, and
  // leaves the window logged in and clean. exec() and show() run it once.
  void InitDialog();
  int exec() override;
  void setVisible(bool visible) override;

  // The logged-in user; empty while logged off.
  QString UserName() const { return userName_; }
  bool IsModified() const { return modified_; }

  GeneralPage* General() const { return general_; }
  StatisticsPage* Statistics() const { return statistics_; }
  InsightsPage* Insights() const { return insights_; }
  CalendarPage* Calendar() const { return calendar_; }
  QTabWidget* Tabs() const { return tabs_; }
  QMenuBar* MenuBar() const { return menuBar_; }
  DataCommands* Data() const { return data_; }
  // Tools, " &Reminders...", where the program can send reminders; null elsewhere.
  ReminderCommand* Reminders() const { return reminders_; }
  UserStore& Store() const { return store_; }
  ThemedHoverButton* OkButton() const { return ok_; }
  ThemedHoverButton* SaveButton() const { return save_; }
  ThemedHoverButton* ExitButton() const { return exit_; }
  // The menu action with this command id, or null.
  QAction* Command(int commandId) const;

  void reject() override;

 public slots:
  // The pages hold changes: Save and " &Discard changes" become available.
  void MarkModified();
  void ClearModified();

  void OnOK();
  void OnCancel();
  void OnSave();
  void OnExit();
  void OnLogIn();
  void OnLogOff();
  void OnDiscardChanges();
  void OnChangePassword();
  void OnUserManagement();
  void OnAbout();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Writes both pages in one store transaction; false when the store did not keep them.
  bool SaveAll();
  // When another copy saved this user's data since the window loaded it, asks whether to
  // replace that; false to keep the window's changes unsaved.
  bool ConfirmReplace();
  // Saves after ConfirmReplace, and says so when the store refused; false when nothing was saved.
  bool SaveAllOrReport();
  // Loads the logged-in user into the pages and remembers what they loaded.
  void LoadPages();
  // The commands that need a logged-in user.
  void EnableUserCommands(bool loggedIn);
  void SetLoggedOff();
  // Asks "Save changes before exit ?" when something is modified; false to stay.
  bool ConfirmExit();
  QAction* AddCommand(class QMenu* menu, const QString& text, int commandId, const char* name);
  void SetCaption();
  // Hands the Insights page the data as the other two pages hold it now, saved or not.
  void RefreshInsights();

  UserStore& store_;
  ThemeLibrary theme_;
  ThemedHoverButton* exit_ = nullptr;
  ThemedHoverButton* save_ = nullptr;
  ThemedHoverButton* ok_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QMenuBar* menuBar_ = nullptr;
  QString userName_;
  bool modified_ = false;
  UserSnapshot loaded_;                   // the user's data as the pages last loaded or saved it
  GeneralPage* general_ = nullptr;        // child of the tab control
  StatisticsPage* statistics_ = nullptr;  // child of the tab control
  InsightsPage* insights_ = nullptr;      // child of the tab control
  CalendarPage* calendar_ = nullptr;      // child of the tab control
  DataCommands* data_ = nullptr;          // child object
  ReminderCommand* reminders_ = nullptr;  // child object, where reminders are sent
  bool initialized_ = false;
};

}  // namespace lunaret

#endif  // LUNARET_APP_MAIN_DIALOG_H
