#include "pages/day_log_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "core/base/journal_names.h"

namespace lunaret {

namespace {

constexpr int kOwnRole = Qt::UserRole;  // true on her own symptoms

QString Capitalized(std::string_view name) {
  QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  if (!text.isEmpty())
    text[0] = text[0].toUpper();
  return text;
}

// Made whole before the list takes it, so that the list reports one change, with the item done.
void AddSymptomItem(QListWidget* list, const QString& text, bool own, bool checked) {
  auto item = std::make_unique<QListWidgetItem>(text);
  item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  item->setData(kOwnRole, own);
  item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
  list->addItem(item.release());  // the list owns it now
}

}  // namespace

DayLogPanel::DayLogPanel(QWidget* parent) : QWidget(parent) {
  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("dayTitle"));
  QFont bold = title_->font();
  bold.setBold(true);
  title_->setFont(bold);

  flow_ = new QComboBox(this);
  flow_->setObjectName(QStringLiteral("flowBox"));
  flow_->setAccessibleName(QStringLiteral("Flow"));
  for (int i = 0; i < kFlowCount; ++i)
    flow_->addItem(Capitalized(FlowName(static_cast<Flow>(i))));
  mood_ = new QComboBox(this);
  mood_->setObjectName(QStringLiteral("moodBox"));
  mood_->setAccessibleName(QStringLiteral("Mood"));
  for (int i = 0; i < kMoodCount; ++i)
    mood_->addItem(Capitalized(MoodName(static_cast<Mood>(i))));

  symptoms_ = new QListWidget(this);
  symptoms_->setObjectName(QStringLiteral("symptomList"));
  symptoms_->setAccessibleName(QStringLiteral("Symptoms"));
  newSymptom_ = new QLineEdit(this);
  newSymptom_->setObjectName(QStringLiteral("newSymptomField"));
  newSymptom_->setPlaceholderText(QStringLiteral("Another symptom"));
  newSymptom_->setAccessibleName(QStringLiteral("Another symptom"));
  newSymptom_->setMaxLength(static_cast<int>(kMaxSymptomNameChars));
  addSymptom_ = new QPushButton(QStringLiteral("&Add"), this);
  addSymptom_->setObjectName(QStringLiteral("addSymptomButton"));
  addSymptom_->setAutoDefault(false);

  note_ = new QPlainTextEdit(this);
  note_->setObjectName(QStringLiteral("noteField"));
  note_->setAccessibleName(QStringLiteral("Note"));
  note_->setTabChangesFocus(true);
  noteCount_ = new QLabel(this);
  noteCount_->setObjectName(QStringLiteral("noteCount"));

  period_ = new QCheckBox(QStringLiteral("A &period started on this day"), this);
  period_->setObjectName(QStringLiteral("periodBox"));
  ovulation_ = new QCheckBox(QStringLiteral("&Ovulation on this day"), this);
  ovulation_->setObjectName(QStringLiteral("ovulationBox"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Flow:"), flow_);
  form->addRow(QStringLiteral("&Mood:"), mood_);
  auto* add = new QHBoxLayout;
  add->addWidget(newSymptom_, 1);
  add->addWidget(addSymptom_);
  auto* noteRow = new QHBoxLayout;
  auto* noteLabel = new QLabel(QStringLiteral("&Note:"), this);
  noteLabel->setBuddy(note_);
  noteRow->addWidget(noteLabel);
  noteRow->addStretch(1);
  noteRow->addWidget(noteCount_);
  auto* symptomLabel = new QLabel(QStringLiteral("&Symptoms:"), this);
  symptomLabel->setBuddy(symptoms_);

  auto* layout = new QVBoxLayout(this);  // owned by this
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(title_);
  layout->addLayout(form);
  layout->addWidget(symptomLabel);
  layout->addWidget(symptoms_, 2);
  layout->addLayout(add);
  layout->addLayout(noteRow);
  layout->addWidget(note_, 1);
  layout->addWidget(period_);
  layout->addWidget(ovulation_);

  connect(flow_, &QComboBox::currentIndexChanged, this, &DayLogPanel::ReportEdit);
  connect(mood_, &QComboBox::currentIndexChanged, this, &DayLogPanel::ReportEdit);
  connect(symptoms_, &QListWidget::itemChanged, this, &DayLogPanel::ReportEdit);
  connect(note_, &QPlainTextEdit::textChanged, this, &DayLogPanel::LimitNote);
  connect(addSymptom_, &QPushButton::clicked, this, &DayLogPanel::AddOwnSymptom);
  connect(newSymptom_, &QLineEdit::returnPressed, this, &DayLogPanel::AddOwnSymptom);
  connect(period_, &QCheckBox::clicked, this, &DayLogPanel::periodToggled);
  connect(ovulation_, &QCheckBox::clicked, this, &DayLogPanel::ovulationToggled);
}

void DayLogPanel::Show(const QDate& date, const JournalDay& day,
                       const std::vector<std::string>& ownNames, bool periodStarted, bool ovulation,
                       bool ovulationPossible) {
  showing_ = true;
  title_->setText(QLocale().toString(date, QLocale::LongFormat));
  flow_->setCurrentIndex(static_cast<int>(day.flow));
  mood_->setCurrentIndex(static_cast<int>(day.mood));
  symptoms_->clear();
  for (int i = 0; i < kSymptomCount; ++i) {
    const auto symptom = static_cast<Symptom>(i);
    AddSymptomItem(symptoms_, Capitalized(SymptomName(symptom)), false, day.Has(symptom));
  }
  for (const std::string& name : ownNames) {
    const bool checked =
        std::find(day.ownSymptoms.begin(), day.ownSymptoms.end(), name) != day.ownSymptoms.end();
    AddSymptomItem(symptoms_, QString::fromStdString(name), true, checked);
  }
  const QString note = QString::fromUtf8(day.note.data(), static_cast<qsizetype>(day.note.size()));
  if (note_->toPlainText() != note)
    note_->setPlainText(note);
  noteCount_->setText(QStringLiteral("%1/%2").arg(note.toStdU32String().size()).arg(kMaxNoteChars));
  ShowCycle(periodStarted, ovulation, ovulationPossible);
  showing_ = false;
}

void DayLogPanel::ShowCycle(bool periodStarted, bool ovulation, bool ovulationPossible) {
  period_->setChecked(periodStarted);
  ovulation_->setChecked(ovulation);
  ovulation_->setEnabled(ovulationPossible);
  ovulation_->setToolTip(ovulationPossible
                             ? QString()
                             : QStringLiteral("No recorded period's cycle contains this day: "
                                              "record the period first."));
}

JournalDay DayLogPanel::Current() const {
  JournalDay day;
  day.flow = static_cast<Flow>(std::max(0, flow_->currentIndex()));
  day.mood = static_cast<Mood>(std::max(0, mood_->currentIndex()));
  for (int i = 0; i < symptoms_->count(); ++i) {
    const QListWidgetItem* item = symptoms_->item(i);
    if (item->checkState() != Qt::Checked)
      continue;
    if (item->data(kOwnRole).toBool())
      day.ownSymptoms.push_back(item->text().toStdString());
    else
      day.symptoms |= SymptomBit(static_cast<Symptom>(i));
  }
  day.note = note_->toPlainText().toStdString();
  return day;
}

void DayLogPanel::ReportEdit() {
  if (!showing_)
    emit dayEdited(Current());
}

void DayLogPanel::LimitNote() {
  // Counted as the journal counts: by character, not by UTF-16 unit.
  std::u32string text = note_->toPlainText().toStdU32String();
  if (text.size() > kMaxNoteChars) {
    text.resize(kMaxNoteChars);
    const QSignalBlocker blocker(note_);
    note_->setPlainText(QString::fromStdU32String(text));
    note_->moveCursor(QTextCursor::End);
  }
  noteCount_->setText(QStringLiteral("%1/%2").arg(text.size()).arg(kMaxNoteChars));
  ReportEdit();
}

void DayLogPanel::AddOwnSymptom() {
  const QString name = newSymptom_->text().simplified();
  const std::string bytes = name.toStdString();
  if (!IsOwnSymptomName(bytes))
    return;
  for (int i = 0; i < symptoms_->count(); ++i) {
    if (symptoms_->item(i)->text().compare(name, Qt::CaseInsensitive) == 0) {
      symptoms_->item(i)->setCheckState(Qt::Checked);
      newSymptom_->clear();
      return;
    }
  }
  newSymptom_->clear();
  emit ownSymptomAdded(bytes);
  AddSymptomItem(symptoms_, name, true, true);
  ReportEdit();
}

}  // namespace lunaret
