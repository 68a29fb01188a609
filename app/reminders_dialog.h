#ifndef LUNARET_APP_REMINDERS_DIALOG_H
#define LUNARET_APP_REMINDERS_DIALOG_H

#include <QDialog>
#include <QString>

#include "core/base/reminder_settings.h"
#include "core/store/user_store.h"

class QCheckBox;
class QDialogButtonBox;
class QSpinBox;
class QTimeEdit;

namespace lunaret {

class ReminderSchedule;

// Whether the fertile window can be chosen: only where the history gives one.
struct FertileOffer {
  bool offered = false;
  QString whyNot;  // the tooltip of the box when it is not offered
};

// One user's reminder settings. OK writes them to the store at once (they are not an edit of the
// pages) and starts or stops the daily runs as any user of the account has a reminder on.
class RemindersDialog : public QDialog {
  Q_OBJECT

 public:
  static const char* const kCaption;

  RemindersDialog(UserStore& store, const QString& userName, const FertileOffer& fertile,
                  ReminderSchedule& schedule, QWidget* owner = nullptr);

  // The settings as the dialog shows them.
  ReminderSettings Settings() const;

  QCheckBox* BeforeBox() const { return before_; }
  QSpinBox* DaysBeforeBox() const { return daysBefore_; }
  QCheckBox* OnTheDayBox() const { return onTheDay_; }
  QCheckBox* FertileBox() const { return fertile_; }
  QCheckBox* LogBox() const { return log_; }
  QTimeEdit* LogTimeEdit() const { return logTime_; }
  QCheckBox* DetailsBox() const { return details_; }

 public slots:
  void OnOK();

 private:
  // Whether any user of the store has a reminder on.
  bool AnyUserRemindsAnything();

  UserStore& store_;
  QString userName_;
  ReminderSchedule& schedule_;
  QCheckBox* before_ = nullptr;
  QSpinBox* daysBefore_ = nullptr;
  QCheckBox* onTheDay_ = nullptr;
  QCheckBox* fertile_ = nullptr;
  QCheckBox* log_ = nullptr;
  QTimeEdit* logTime_ = nullptr;
  QCheckBox* details_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace lunaret

#endif  // LUNARET_APP_REMINDERS_DIALOG_H
