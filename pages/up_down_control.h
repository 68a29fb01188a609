#ifndef LUNARET_PAGES_UP_DOWN_CONTROL_H
#define LUNARET_PAGES_UP_DOWN_CONTROL_H

#include <QWidget>

#include <QLineEdit>
class QToolButton;

namespace lunaret {

// A pair of small arrow buttons that step the whole number shown in a buddy edit box, within a
// range, without wrapping. A click reads the buddy's number first, so typing into the box and
// stepping mix; a text that is no number in range leaves the last position to step from. The
// Up and Down keys inside the buddy step too.
class UpDownControl : public QWidget {
  Q_OBJECT

 public:
  explicit UpDownControl(QWidget* parent = nullptr);
  ~UpDownControl() override;

  void SetBuddy(QLineEdit* buddy);
  QLineEdit* Buddy() const { return buddy_; }
  void SetRange(int low, int high);
  int Low() const { return low_; }
  int High() const { return high_; }
  int Position() const { return position_; }

  // Moves by steps (positive: up) and writes the new number into the buddy.
  void StepBy(int steps);

  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

  QSize sizeHint() const override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ReadBuddy();

  QLineEdit* buddy_ = nullptr;  // not owned; cleared when it is destroyed
  QToolButton* up_ = nullptr;
  QToolButton* down_ = nullptr;
  int low_ = 0;
  int high_ = 100;
  int position_ = 0;
};

}  // namespace lunaret

#endif  // LUNARET_PAGES_UP_DOWN_CONTROL_H
