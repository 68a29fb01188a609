#ifndef LUNARET_PAGES_DATE_PICKER_DIALOG_H
#define LUNARET_PAGES_DATE_PICKER_DIALOG_H

#include <QDialog>

#include "controls/theme_library.h"
#include "core/cycles/dates.h"
#include "core/store/user_store.h"

class QCalendarWidget;

namespace lunaret {

class ThemedHoverButton;

// A small captionless dialog with one month calendar, OK and Cancel, for picking a menses or
// an ovulation date. The caller gives the day shown first and the lowest accepted moment; an
// OK on a day whose 01:01:01 local time lies before that moment is refused with a message.
// It opens at the top-left corner of the client area of the window it is opened from.
class DatePickerDialog : public QDialog {
  Q_OBJECT

 public:
  // 1970-01-31 20:00:00 UTC: no minimum lies below it.
  static constexpr TimeValue kDateFloor = 2664000;
  static constexpr int kOkId = 1;
  static constexpr int kCancelId = 2;
  static constexpr int kCalendarId = 1014;

  DatePickerDialog(TimeValue initialDate, QWidget* parent);
  ~DatePickerDialog() override;

  // Ignored when t lies below the minimum.
  void SetInitialDate(TimeValue t);
  // Raises the minimum, and the initial date with it, when t lies above the floor.
  void SetMinimumDate(TimeValue t);
  // Copies the selection read at OK to out: 0 when its 01:01:01 lies below the minimum or
  // the calendar reported no selection, otherwise non-zero.
  int GetSelectedDate(CalendarDate* out) const;

  TimeValue InitialDate() const { return initialDate_; }
  TimeValue MinimumDate() const { return minimumDate_; }
  QCalendarWidget* Calendar() const { return calendar_; }
  ThemedHoverButton* OkButton() const { return ok_; }
  ThemedHoverButton* CancelButton() const { return cancel_; }

  void setVisible(bool visible) override;
  // OK: accepts the selection unless it lies below the minimum.
  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Without a caption the dialog draws a thin edge of its own, so it stands out from the
  // window it covers.
  void paintEvent(QPaintEvent* event) override;

 private:
  // Selection, range and placement, once, right before the dialog first shows.
  void InitDialog();
  void PlaceAtOwnerClientArea();
  void ReadSelection();

  ThemedHoverButton* ok_ = nullptr;      // child widget
  ThemedHoverButton* cancel_ = nullptr;  // child widget
  QCalendarWidget* calendar_ = nullptr;  // child widget
  ThemeLibrary theme_;
  TimeValue initialDate_ = 0;
  CalendarDate selectedDate_;
  TimeValue minimumDate_ = kDateFloor;
  int selectionResult_ = 0;
  bool initialized_ = false;
};

}  // namespace lunaret

#endif  // LUNARET_PAGES_DATE_PICKER_DIALOG_H
