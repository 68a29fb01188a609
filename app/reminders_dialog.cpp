#include "app/reminders_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "app/reminder_schedule.h"
#include "app/session_support.h"
#include "controls/message_box.h"
#include "controls/ui_support.h"
#include "core/store/reminder_store.h"

namespace lunaret {
namespace {

QCheckBox* Box(const QString& text, const char* name, bool checked, QWidget* parent) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(QLatin1String(name));
  box->setChecked(checked);
  return box;
}

QLabel* Note(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

}  // namespace

const char* const RemindersDialog::kCaption = "Lunaret reminders";

RemindersDialog::RemindersDialog(UserStore& store, const QString& userName,
                                 const FertileOffer& fertile, ReminderSchedule& schedule,
                                 QWidget* owner)
    : QDialog(owner, kAccountDialogFlags), store_(store), userName_(userName), schedule_(schedule) {
  setWindowTitle(QString::fromUtf8(kCaption));
  const ReminderSettings settings = LoadReminderSettings(store_, ToStore(userName_));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Note(tr("Reminders for %1 come as desktop notifications, also while Lunaret "
                            "is not running.")
                             .arg(userName_),
                         this));

  auto* beforeRow = new QHBoxLayout;
  before_ = Box(tr("Remind me"), "beforeBox", settings.beforePeriod, this);
  daysBefore_ = new QSpinBox(this);
  daysBefore_->setObjectName(QStringLiteral("daysBeforeBox"));
  daysBefore_->setRange(kMinDaysBefore, kMaxDaysBefore);
  daysBefore_->setValue(settings.daysBefore);
  daysBefore_->setAccessibleName(tr("Days before my next period"));
  auto* beforeText = new QLabel(tr("days before my next period"), this);
  beforeText->setBuddy(daysBefore_);
  beforeRow->addWidget(before_);
  beforeRow->addWidget(daysBefore_);
  beforeRow->addWidget(beforeText);
  beforeRow->addStretch();
  layout->addLayout(beforeRow);

  onTheDay_ =
      Box(tr("On the day my next period is expected"), "onTheDayBox", settings.onTheDay, this);
  layout->addWidget(onTheDay_);
  fertile_ = Box(tr("When my estimated fertile window begins"), "fertileBox",
                 settings.fertileWindow, this);
  fertile_->setEnabled(fertile.offered);
  if (!fertile.offered)
    fertile_->setToolTip(fertile.whyNot);
  layout->addWidget(fertile_);

  auto* logRow = new QHBoxLayout;
  log_ = Box(tr("Remind me to log the day, at"), "logBox", settings.logDay, this);
  logTime_ = new QTimeEdit(QTime(settings.logMinute / 60, settings.logMinute % 60), this);
  logTime_->setObjectName(QStringLiteral("logTimeEdit"));
  logTime_->setDisplayFormat(QStringLiteral("HH:mm"));
  logTime_->setAccessibleName(tr("Time of the reminder to log the day"));
  logRow->addWidget(log_);
  logRow->addWidget(logTime_);
  logRow->addStretch();
  layout->addLayout(logRow);

  details_ = Box(tr("Show what the reminder is about"), "detailsBox", settings.showDetails, this);
  layout->addWidget(details_);
  layout->addWidget(Note(tr("Without it, a reminder says only \"A reminder for %1\", so that "
                            "nobody who sees the screen learns what it is about.")
                             .arg(userName_),
                         this));
  layout->addSpacing(6);
  layout->addWidget(Note(tr("These settings are saved as soon as you press OK, whether or not "
                            "you save the changes in the main window."),
                         this));

  // Wide enough for each note to wrap into two lines at most.
  setMinimumWidth(fontMetrics().averageCharWidth() * 72);

  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons_->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
  buttons_->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
  layout->addWidget(buttons_);
  connect(buttons_, &QDialogButtonBox::accepted, this, &RemindersDialog::OnOK);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

  daysBefore_->setEnabled(settings.beforePeriod);
  logTime_->setEnabled(settings.logDay);
  connect(before_, &QCheckBox::toggled, daysBefore_, &QWidget::setEnabled);
  connect(log_, &QCheckBox::toggled, logTime_, &QWidget::setEnabled);
}

ReminderSettings RemindersDialog::Settings() const {
  ReminderSettings settings;
  settings.beforePeriod = before_->isChecked();
  settings.daysBefore = daysBefore_->value();
  settings.onTheDay = onTheDay_->isChecked();
  settings.fertileWindow = fertile_->isChecked();
  settings.logDay = log_->isChecked();
  settings.logMinute = logTime_->time().hour() * 60 + logTime_->time().minute();
  settings.showDetails = details_->isChecked();
  return settings;
}

bool RemindersDialog::AnyUserRemindsAnything() {
  for (const std::string& user : store_.ListUsers()) {
    if (LoadReminderSettings(store_, user).AnyOn())
      return true;
  }
  return false;
}

void RemindersDialog::OnOK() {
  const QString title = QString::fromUtf8(kCaption);
  if (!SaveReminderSettings(store_, ToStore(userName_), Settings())) {
    ShowMessageBox(this, tr("Your reminder settings could not be saved."), title,
                   kMbOk | kMbIconExclamation);
    return;
  }
  const bool daily = AnyUserRemindsAnything();
  if (!schedule_.SetDaily(daily) && daily)
    ShowMessageBox(this,
                   tr("Lunaret could not start its daily reminders with systemctl, so they "
                      "will come when you log in."),
                   title, kMbOk | kMbIconExclamation);
  accept();
}

}  // namespace lunaret
