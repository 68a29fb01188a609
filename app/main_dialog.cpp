#include "app/main_dialog.h"
#include "app/session_support.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/change_password_dialog.h"
#include "app/data_commands.h"
#include "app/login_dialog.h"
#include "app/session_support.h"
#include "app/user_management_dialog.h"
#ifdef LUNARET_HAS_REMINDERS
#include "app/reminder_command.h"
#endif
#include "controls/about_dialog.h"
#include "controls/dialog_units.h"
#include "controls/hover_button.h"
#include "controls/keyboard_access.h"
#include "controls/message_box.h"
#include "controls/ui_support.h"
#include "core/store/registry.h"
#include "pages/calendar_page.h"
#include "pages/general_page.h"
#include "pages/insights_page.h"
#include "pages/statistics_list.h"
#include "pages/statistics_page.h"

namespace lunaret {

const char* const MainDialog::kCaption = "Vessa Calendar :)";

namespace {

constexpr int kIconExit = 155;
constexpr int kIconSave = 156;
constexpr int kPictureDiscard = 147;
constexpr int kPictureUserManagement = 157;
// The prompts' message-box flags: Yes/No/Cancel and Yes/No, with the 0x30 icon.
constexpr unsigned kSavePromptFlags = kMbYesNoCancel | kMbIconExclamation;  // 0x33
constexpr unsigned kDiscardPromptFlags = kMbYesNo | kMbIconExclamation;     // 0x34
// Room kept for the window's frame and title bar when the window is sized to the screen.
constexpr QSize kWindowFrame(16, 48);
constexpr unsigned kReplacePromptFlags = kMbYesNo | kMbIconExclamation;  // 0x34

}  // namespace

MainDialog::MainDialog(UserStore& store, const QString& userName, QWidget* parent)
    : QDialog(parent, kSessionWindowFlags), store_(store), userName_(userName) {
  setWindowTitle(QString::fromUtf8(kCaption));
  const DialogUnits units(font());

  menuBar_ = new QMenuBar(this);
  menuBar_->setObjectName(QStringLiteral("menuBar"));
  QMenu* login = menuBar_->addMenu(tr("&Login"));
  login->setObjectName(QStringLiteral("loginMenu"));
  AddCommand(login, tr("Log &Off..."), kCmdLogOff, "logOffAction");
  AddCommand(login, tr("Log &In..."), kCmdLogIn, "logInAction");
  login->addSeparator();
  AddCommand(login, tr("E&xit"), kCmdExit, "exitAction");
  QMenu* tools = menuBar_->addMenu(tr("&Tools"));
  tools->setObjectName(QStringLiteral("toolsMenu"));
  QAction* discard =
      AddCommand(tools, tr(" &Discard changes"), kCmdDiscardChanges, "discardChangesAction");
  tools->addSeparator();
  AddCommand(tools, tr(" &Change password"), kCmdChangePassword, "changePasswordAction");
  QAction* users =
      AddCommand(tools, tr(" &User Managment"), kCmdUserManagement, "userManagementAction");
  tools->addSeparator();
  data_ = new DataCommands(this);
  QAction* exportHistory = AddCommand(tools, tr(" &Export history..."),
                                      DataCommands::kCmdExportHistory, "exportHistoryAction");
  QAction* exportJournal = AddCommand(tools, tr(" Export &journal..."),
                                      DataCommands::kCmdExportJournal, "exportJournalAction");
  QAction* importHistory = AddCommand(tools, tr(" &Import history..."),
                                      DataCommands::kCmdImportHistory, "importHistoryAction");
#ifdef LUNARET_FORECAST_CALENDAR
  QAction* exportForecast = AddCommand(tools, tr(" Export &forecast to calendar..."),
                                       DataCommands::kCmdExportForecast, "exportForecastAction");
  connect(exportForecast, &QAction::triggered, data_, &DataCommands::OnExportForecast);
#endif
#ifdef LUNARET_STORE_BACKUP
  QAction* backUp =
      AddCommand(tools, tr(" &Back up all data..."), DataCommands::kCmdBackUp, "backUpAction");
  connect(backUp, &QAction::triggered, data_, &DataCommands::OnBackUp);
#endif
#ifdef LUNARET_HAS_REMINDERS
  tools->addSeparator();
  reminders_ = new ReminderCommand(this);
  QAction* reminders = AddCommand(tools, tr(" &Reminders..."), kCmdReminders, "remindersAction");
  connect(reminders, &QAction::triggered, reminders_, &ReminderCommand::OnReminders);
#endif
  QMenu* help = menuBar_->addMenu(tr("&Help"));
  help->setObjectName(QStringLiteral("helpMenu"));
  AddCommand(help, tr("&About..."), kCmdAbout, "aboutAction");
  const QPixmap discardPicture = LoadPixmapResource(kPictureDiscard);
  if (!discardPicture.isNull())
    discard->setIcon(QIcon(discardPicture));
  const QPixmap usersPicture = LoadPixmapResource(kPictureUserManagement);
  if (!usersPicture.isNull())
    users->setIcon(QIcon(usersPicture));
  discard->setEnabled(false);

  connect(Command(kCmdLogOff), &QAction::triggered, this, &MainDialog::OnLogOff);
  connect(Command(kCmdLogIn), &QAction::triggered, this, &MainDialog::OnLogIn);
  connect(Command(kCmdExit), &QAction::triggered, this, &MainDialog::OnExit);
  connect(discard, &QAction::triggered, this, &MainDialog::OnDiscardChanges);
  connect(Command(kCmdChangePassword), &QAction::triggered, this, &MainDialog::OnChangePassword);
  connect(users, &QAction::triggered, this, &MainDialog::OnUserManagement);
  connect(Command(kCmdAbout), &QAction::triggered, this, &MainDialog::OnAbout);
  connect(exportHistory, &QAction::triggered, data_, &DataCommands::OnExportHistory);
  connect(exportJournal, &QAction::triggered, data_, &DataCommands::OnExportJournal);
  connect(importHistory, &QAction::triggered, data_, &DataCommands::OnImportHistory);

  ok_ = new ThemedHoverButton(tr("&OK"), this);
  SetControlId(ok_, kIdOk, "okButton");
  ok_->setMinimumSize(units.Size(49, 16));
  ok_->setVisible(false);
  save_ = new ThemedHoverButton(tr("&Save   "), this);
  SetControlId(save_, kIdSave, "saveButton");
  save_->setMinimumSize(units.Size(45, 16));
  save_->setDefault(true);
  save_->setEnabled(false);
  exit_ = new ThemedHoverButton(tr("E&xit   "), this);
  SetControlId(exit_, kIdExit, "exitButton");
  exit_->setMinimumSize(units.Size(45, 16));
  // Made after the buttons, as the template orders them: Tab goes Save, Exit, the tabs, the page.
  tabs_ = new QTabWidget(this);
  SetControlId(tabs_, kIdTabs, "tabs");
  tabs_->setMinimumSize(units.Size(291, 145));

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(units.X(2));
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(save_);
  buttons->addWidget(exit_);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menuBar_);
  layout->setContentsMargins(units.X(7), units.Y(7), units.X(7), units.Y(4));
  layout->setSpacing(units.Y(3));
  layout->addWidget(tabs_, 1);
  layout->addLayout(buttons);

  connect(ok_, &QPushButton::clicked, this, &MainDialog::OnOK);
  connect(save_, &QPushButton::clicked, this, &MainDialog::OnSave);
  connect(exit_, &QPushButton::clicked, this, &MainDialog::OnCancel);
}

MainDialog::~MainDialog() {
  // The buttons are children and go after the members: they must not keep the library.
  for (ThemedHoverButton* button : {exit_, save_, ok_})
    button->UseTheme(nullptr);
}

QAction* MainDialog::AddCommand(QMenu* menu, const QString& text, int commandId, const char* name) {
  QAction* action = menu->addAction(text);
  action->setProperty("commandId", commandId);
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

QAction* MainDialog::Command(int commandId) const {
  const auto actions = findChildren<QAction*>();
  for (QAction* action : actions) {
    const QVariant id = action->property("commandId");
    if (id.isValid() && id.toInt() == commandId)
      return action;
  }
  return nullptr;
}

void MainDialog::InitDialog() {
  if (initialized_)
    return;
  initialized_ = true;

  // Without a system menu, the About box is also offered by the window's context menu.
  auto* aboutBox = new QAction(tr("&About Lunaret..."), this);
  aboutBox->setProperty("commandId", kCmdAboutBox);
  aboutBox->setObjectName(QStringLiteral("aboutBoxAction"));
  connect(aboutBox, &QAction::triggered, this, &MainDialog::OnAbout);
  addAction(aboutBox);
  setContextMenuPolicy(Qt::ActionsContextMenu);

  SetWindowIcon128(this);

  // What the pages are about to load; a save compares the store with it.
  if (!userName_.isEmpty())
    loaded_ = ReadUserSnapshot(store_, ToStore(userName_));
  // The pages report to the window from their very first load on.
  general_ = new GeneralPage(store_, userName_, tabs_);
  connect(general_, &GeneralPage::modified, this, &MainDialog::MarkModified);
  connect(general_, &GeneralPage::okRequested, this, &MainDialog::OnOK);
  connect(general_, &GeneralPage::cancelRequested, this, &MainDialog::OnCancel);
  general_->Initialize();
  statistics_ = new StatisticsPage(store_, userName_, tabs_);
  connect(statistics_, &StatisticsPage::modified, this, &MainDialog::MarkModified);
  connect(statistics_, &StatisticsPage::okRequested, this, &MainDialog::OnOK);
  connect(statistics_, &StatisticsPage::cancelRequested, this, &MainDialog::OnCancel);
  statistics_->Initialize();
  // The Insights page follows every change of the other two; it changes nothing itself.
  insights_ = new InsightsPage(tabs_);
  connect(general_, &GeneralPage::modified, this, &MainDialog::RefreshInsights);
  connect(statistics_, &StatisticsPage::modified, this, &MainDialog::RefreshInsights);
  connect(insights_, &InsightsPage::okRequested, this, &MainDialog::OnOK);
  connect(insights_, &InsightsPage::cancelRequested, this, &MainDialog::OnCancel);
  // The Calendar page shows the other two pages' cycles and keeps the journal; a period's first
  // day or an ovulation ticked there changes the Statistics page.
  calendar_ = new CalendarPage(store_, tabs_);
  connect(calendar_, &CalendarPage::modified, this, &MainDialog::MarkModified);
  connect(calendar_, &CalendarPage::modified, this, &MainDialog::RefreshInsights);
  connect(calendar_, &CalendarPage::periodStartAdded, this, [this](const QDate& day) {
    statistics_->AddPeriodStart(
        MakeTimeValue(MakeDate(day.year(), day.month(), day.day()), 1, 1, 1));
  });
  connect(calendar_, &CalendarPage::periodStartRemoved, statistics_, &StatisticsPage::RemoveRecord);
  connect(calendar_, &CalendarPage::ovulationChanged, statistics_, &StatisticsPage::SetOvulation);
  if (!userName_.isEmpty())
    calendar_->LoadJournal(userName_);
  RefreshInsights();
  tabs_->addTab(general_, tr("General"));
  tabs_->addTab(statistics_, tr("Statistics"));
  tabs_->addTab(insights_, tr("Insights"));
  tabs_->addTab(calendar_, tr("Calendar"));
  tabs_->setCurrentIndex(0);

  // The window opens at the size its pages ask for, as far as the screen allows: left to Qt,
  // it would stop at two thirds of the screen and cut the Insights chart short.
  if (!testAttribute(Qt::WA_Resized) && screen() != nullptr)
    resize(sizeHint().boundedTo(screen()->availableSize() - kWindowFrame));

  // Loading may have marked the pages modified; the window starts clean all the same.
  save_->setEnabled(false);
  Command(kCmdDiscardChanges)->setEnabled(false);
  modified_ = false;

  SetCaption();

  ok_->setToolTip(tr("Press OK to save changes and exit."));
  exit_->setToolTip(tr("Exit Lunaret."));
  save_->setToolTip(tr("Save changes."));

  const ColorRef hot = HotBackgroundColor();
  ok_->UseCursor(kCursorHand, true);
  ok_->UseTheme(&theme_);
  ok_->UseColor(0, hot, true);
  exit_->UseIcons(kIconExit, 0);
  exit_->UseCursor(kCursorHand, true);
  exit_->UseTheme(&theme_);
  exit_->UseColor(0, hot, true);
  save_->UseIcons(kIconSave, 0);
  save_->UseCursor(kCursorHand, true);
  save_->UseTheme(&theme_);
  save_->UseColor(0, hot, true);

  ApplyLabelFont(this, {kIdOk, kIdSave, kIdExit, kIdTabs});
  KeyboardAccess::Install(this);

  // The keyboard starts on the General page's first day, with Save the default button.
  if (QWidget* firstDay = FindControl(general_, GeneralPage::kFirstDayCalendarId))
    firstDay->setFocus(Qt::OtherFocusReason);
}

int MainDialog::exec() {
  InitDialog();
  return QDialog::exec();
}

void MainDialog::setVisible(bool visible) {
  if (visible)
    InitDialog();
  QDialog::setVisible(visible);
}

void MainDialog::SetCaption() {
  QString caption = QString::fromUtf8(kCaption);
  if (!userName_.isEmpty())
    caption += QStringLiteral(" - ") + userName_;
  setWindowTitle(caption);
}

void MainDialog::RefreshInsights() {
  if (userName_.isEmpty()) {
    insights_->ClearInsights();
    return;
  }
  const std::vector<StatisticsRecord> records = statistics_->List()->Records();
  static const Journal kNoJournal;  // before the Calendar page exists
  insights_->UpdateInsights(records, general_->FirstDay(), general_->ForecastDuration(),
                            calendar_ != nullptr ? calendar_->CurrentJournal() : kNoJournal);
  calendar_->UpdateCycles(records, general_->FirstDay(), general_->ForecastDuration());
}

void MainDialog::MarkModified() {
  save_->setEnabled(true);
  Command(kCmdDiscardChanges)->setEnabled(true);
  modified_ = true;
}

void MainDialog::ClearModified() {
  modified_ = false;
  save_->setEnabled(false);
  Command(kCmdDiscardChanges)->setEnabled(false);
}

bool MainDialog::SaveAll() {
  // Nobody is logged in: there is no user to write for.
  if (userName_.isEmpty())
    return true;
  const std::string user = ToStore(userName_);
  StoreTransaction transaction(store_.registry());
  general_->SaveForecast();
  statistics_->SaveStatistics();
  const bool journal = calendar_->SaveJournal();
  UserSnapshot saved = ReadUserSnapshot(store_, user);
  if (!transaction.Commit() || !journal)
    return false;
  loaded_ = std::move(saved);
  return true;
}

bool MainDialog::ConfirmReplace() {
  if (userName_.isEmpty() || ReadUserSnapshot(store_, ToStore(userName_)) == loaded_)
    return true;
  return ShowMessageBox(this,
                        tr("Your data was changed by another copy of Lunaret since you logged in. "
                           "Replace it with what this window shows?"),
                        tr("Lunaret"), kReplacePromptFlags) == kIdYes;
}

bool MainDialog::SaveAllOrReport() {
  // Kept unsaved when she would rather not replace what another copy saved meanwhile.
  if (!ConfirmReplace())
    return false;
  if (SaveAll())
    return true;
  // The changes stay in the pages, marked unsaved, so that nothing is lost unseen.
  ShowMessageBox(this, tr("Unable to save changes for user %1.").arg(userName_), tr("Lunaret"),
                 kMbOk | kMbIconExclamation);
  return false;
}

void MainDialog::SetLoggedOff() {
  setWindowTitle(QString::fromUtf8(kCaption));
  general_->ClearForecast();
  statistics_->ClearStatistics();
  insights_->ClearInsights();
  calendar_->ClearJournal();
  ok_->setEnabled(false);
  save_->setEnabled(false);
  EnableUserCommands(false);
  Command(kCmdDiscardChanges)->setEnabled(false);
  userName_.clear();
  loaded_ = {};
  modified_ = false;
}

void MainDialog::EnableUserCommands(bool loggedIn) {
  for (int id : {kCmdLogOff, kCmdChangePassword, DataCommands::kCmdExportHistory,
                 DataCommands::kCmdExportJournal, DataCommands::kCmdImportHistory,
                 DataCommands::kCmdExportForecast, kCmdReminders}) {
    // The commands a build leaves out have no action.
    if (QAction* command = Command(id))
      command->setEnabled(loggedIn);
  }
}

void MainDialog::LoadPages() {
  loaded_ = ReadUserSnapshot(store_, ToStore(userName_));
  general_->LoadForecast(userName_);
  statistics_->LoadStatistics(userName_);
  calendar_->LoadJournal(userName_);
  RefreshInsights();
}

bool MainDialog::ConfirmExit() {
  if (!modified_)
    return true;
  switch (ShowMessageBox(this, tr("Save changes before exit ?"), tr("Exit Lunaret..."),
                         kSavePromptFlags)) {
    case kIdCancel:
      return false;
    case kIdYes:
      return SaveAllOrReport();
    default:
      return true;
  }
}

void MainDialog::OnSave() {
  if (SaveAllOrReport())
    ClearModified();
}

void MainDialog::OnOK() {
  // The OK command is off while nobody is logged in.
  if (!ok_->isEnabled())
    return;
  if (!SaveAllOrReport())
    return;
  ClearModified();
  QDialog::accept();
}

void MainDialog::OnCancel() {
  if (ConfirmExit())
    QDialog::reject();
}

void MainDialog::reject() {
  OnCancel();
}

void MainDialog::closeEvent(QCloseEvent* event) {
  if (!isVisible()) {
    event->accept();
    return;
  }
  OnCancel();
  if (isVisible())
    event->ignore();
  else
    event->accept();
}

void MainDialog::OnExit() {
  if (ConfirmExit())
    QDialog::accept();
}

void MainDialog::OnLogIn() {
  if (modified_) {
    const int answer = ShowMessageBox(this, tr("Save changes before Log In ?"),
                                      tr("Lunaret LogOff..."), kSavePromptFlags);
    if (answer == kIdCancel)
      return;
    if (answer == kIdYes && !SaveAllOrReport())
      return;
  }

  LoginDialog login(store_, this);
  if (login.exec() != QDialog::Accepted)
    return;
  userName_ = login.UserName();
  LoadPages();
  SetCaption();
  ok_->setEnabled(true);
  EnableUserCommands(true);
  Command(kCmdDiscardChanges)->setEnabled(false);
  save_->setEnabled(false);
  modified_ = false;
}

void MainDialog::OnLogOff() {
  if (modified_) {
    const int answer = ShowMessageBox(this, tr("Save changes before Log Off ?"),
                                      tr("Lunaret LogOff..."), kSavePromptFlags);
    if (answer == kIdCancel)
      return;
    if (answer == kIdYes && !SaveAllOrReport())
      return;
  }
  SetLoggedOff();
}

void MainDialog::OnDiscardChanges() {
  if (!modified_)
    return;
  if (ShowMessageBox(this, tr("Are you sure you want to discard all changes and revert data ?"),
                     tr("Lunaret discard changes..."), kDiscardPromptFlags) != kIdYes)
    return;
  LoadPages();
  ClearModified();
}

void MainDialog::OnChangePassword() {
  ChangePasswordDialog change(store_, userName_, this);
  change.exec();
}

void MainDialog::OnUserManagement() {
  UserManagementDialog management(store_, userName_, this);
  management.exec();
  if (management.LoggedInUserDeleted())
    SetLoggedOff();
}

void MainDialog::OnAbout() {
  AboutDialog about(this);
  about.exec();
}

}  // namespace lunaret
