#include "pages/date_picker_dialog.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QVBoxLayout>

#include "controls/hover_button.h"
#include "controls/inactive_tip_relay.h"
#include "controls/keyboard_access.h"
#include "controls/message_box.h"
#include "controls/ui_support.h"
#include "pages/page_dates.h"

namespace lunaret {

namespace {

void SetUpButton(ThemedHoverButton* button, ThemeLibrary* theme) {
  button->UseCursor(kCursorHand, true);
  button->UseTheme(theme);
  button->UseColor(0, HotBackgroundColor(), true);
}

}  // namespace

DatePickerDialog::DatePickerDialog(TimeValue initialDate, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), initialDate_(initialDate) {
  setWindowTitle(QString());

  calendar_ = new QCalendarWidget(this);
  SetControlId(calendar_, kCalendarId, "pickerCalendar");
  calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  calendar_->setGridVisible(false);
  ok_ = new ThemedHoverButton(QStringLiteral("&OK"), this);
  SetControlId(ok_, kOkId, "okButton");
  ok_->setDefault(true);
  cancel_ = new ThemedHoverButton(QStringLiteral("&Cancel"), this);
  SetControlId(cancel_, kCancelId, "cancelButton");

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(2);
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);  // owned by this
  layout->setContentsMargins(2, 2, 2, 3);
  layout->setSpacing(2);
  layout->addWidget(calendar_);
  layout->addLayout(buttons);

  connect(ok_, &QPushButton::clicked, this, &DatePickerDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &DatePickerDialog::reject);
  // The calendar keeps Enter for itself; in this dialog Enter means OK.
  calendar_->installEventFilter(this);
  const auto parts = calendar_->findChildren<QWidget*>();
  for (QWidget* part : parts)
    part->installEventFilter(this);
}

DatePickerDialog::~DatePickerDialog() {
  // The buttons outlive the members; they must not reach the library once it is gone.
  ok_->UseTheme(nullptr);
  cancel_->UseTheme(nullptr);
}

void DatePickerDialog::SetInitialDate(TimeValue t) {
  if (t >= minimumDate_)
    initialDate_ = t;
}

void DatePickerDialog::SetMinimumDate(TimeValue t) {
  if (t <= kDateFloor)
    return;
  minimumDate_ = t;
  SetInitialDate(t);
}

int DatePickerDialog::GetSelectedDate(CalendarDate* out) const {
  *out = selectedDate_;
  if (MakeTimeValue(selectedDate_, 1, 1, 1) < minimumDate_)
    return 0;
  return selectionResult_;
}

void DatePickerDialog::setVisible(bool visible) {
  if (visible && !initialized_) {
    initialized_ = true;
    InitDialog();
  }
  QDialog::setVisible(visible);
}

void DatePickerDialog::InitDialog() {
  const QDate initial = LocalQDateOf(initialDate_);
  if (initial.isValid())
    calendar_->setSelectedDate(initial);
  // Days before the minimum's own day cannot be selected; the minimum's day can, and OK then
  // decides by its 01:01:01.
  const QDate lowest = LocalQDateOf(minimumDate_);
  if (lowest.isValid())
    calendar_->setDateRange(lowest, ToQDate(kLastStoredDay));

  // Tips show even while the dialog is not the active window.
  ShowTipsAlways(this);
  calendar_->setToolTip(QStringLiteral("Select date."));
  ok_->setToolTip(QStringLiteral(" OK! "));
  cancel_->setToolTip(QStringLiteral("Cancel"));

  SetUpButton(ok_, &theme_);
  SetUpButton(cancel_, &theme_);

  ApplyLabelFont(this, {kOkId, kCancelId, kCalendarId});
  KeyboardAccess::Install(this);
  adjustSize();
  PlaceAtOwnerClientArea();
}

void DatePickerDialog::PlaceAtOwnerClientArea() {
  QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
  if (owner == nullptr)
    return;
  // The client area starts below the menu bar.
  QPoint origin(0, 0);
  QWidget* menuBar = nullptr;
  if (auto* mainWindow = qobject_cast<QMainWindow*>(owner))
    menuBar = mainWindow->menuWidget();
  if (menuBar == nullptr)
    menuBar = owner->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
  if (menuBar != nullptr && menuBar->isVisible())
    origin.setY(menuBar->geometry().bottom() + 1);
  move(owner->mapToGlobal(origin));
}

void DatePickerDialog::ReadSelection() {
  const QDate selection = calendar_->selectedDate();
  selectedDate_ = FromQDate(selection);
  selectionResult_ = selection.isValid() ? 1 : 0;
  selectedDate_.hour = 1;
  selectedDate_.minute = 1;
  selectedDate_.second = 1;
  selectedDate_.milliseconds = 1;
}

void DatePickerDialog::accept() {
  ReadSelection();
  if (MakeTimeValue(selectedDate_, 1, 1, 1) < minimumDate_) {
    ShowMessageBox(this,
                   QStringLiteral("You have selected a wrong date.\r\nSelect a correct date, "
                                  "please."),
                   QStringLiteral("Lunaret date checker"), kMbOk | kMbIconInformation);
    return;
  }
  QDialog::accept();
}

bool DatePickerDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void DatePickerDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace lunaret
