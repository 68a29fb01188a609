#ifndef LUNARET_PAGES_DAY_LOG_PANEL_H
#define LUNARET_PAGES_DAY_LOG_PANEL_H

#include <QDate>
#include <QWidget>
#include <string>
#include <vector>

#include "core/base/journal_day.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;

namespace lunaret {

// The log of one day, edited in place: flow, symptoms (the built-in ones and her own), mood, a
// note, and whether a period started or an ovulation happened that day. It shows what it is
// given and reports each edit; it keeps nothing itself.
class DayLogPanel : public QWidget {
  Q_OBJECT

 public:
  explicit DayLogPanel(QWidget* parent = nullptr);

  // Shows day's log. ownNames: her own symptoms to choose from. ovulationPossible: a recorded
  // period's cycle contains the day, so that its ovulation can be set here.
  void Show(const QDate& date, const JournalDay& day, const std::vector<std::string>& ownNames,
            bool periodStarted, bool ovulation, bool ovulationPossible);
  // Only the period and ovulation boxes, after the records changed.
  void ShowCycle(bool periodStarted, bool ovulation, bool ovulationPossible);

  QComboBox* FlowBox() const { return flow_; }
  QComboBox* MoodBox() const { return mood_; }
  QListWidget* SymptomList() const { return symptoms_; }
  QLineEdit* NewSymptomField() const { return newSymptom_; }
  QPushButton* AddSymptomButton() const { return addSymptom_; }
  QPlainTextEdit* NoteField() const { return note_; }
  QCheckBox* PeriodBox() const { return period_; }
  QCheckBox* OvulationBox() const { return ovulation_; }

 signals:
  // The day's log as the panel shows it now.
  void dayEdited(const JournalDay& day);
  // She named a new symptom of her own (already checked for this day).
  void ownSymptomAdded(const std::string& name);
  void periodToggled(bool started);
  void ovulationToggled(bool ovulation);

 private:
  JournalDay Current() const;
  void ReportEdit();
  void AddOwnSymptom();
  void LimitNote();

  QLabel* title_;
  QComboBox* flow_;
  QListWidget* symptoms_;
  QLineEdit* newSymptom_;
  QPushButton* addSymptom_;
  QComboBox* mood_;
  QPlainTextEdit* note_;
  QLabel* noteCount_;
  QCheckBox* period_;
  QCheckBox* ovulation_;
  bool showing_ = false;  // filling the controls: no edits to report
};

}  // namespace lunaret

#endif  // LUNARET_PAGES_DAY_LOG_PANEL_H
