#ifndef LUNARET_CONTROLS_KEYBOARD_ACCESS_H
#define LUNARET_CONTROLS_KEYBOARD_ACCESS_H

#include <QObject>
#include <QString>

class QWidget;

namespace lunaret {

// Makes a window usable without a mouse and with a screen reader: every control that takes the
// keyboard focus gets an accessible name, and Tab visits the controls in reading order (top to
// bottom, left to right, group by group). A window calls Install once, at the end of its set-up;
// the work is done when the window first shows, when every control has its size and place.
//
// A control is named after its label (the label whose buddy it is, or its own caption, without
// the '&' of a mnemonic), else after its tooltip, else after the title of the group it sits in.
// A name given beforehand is kept.
class KeyboardAccess : public QObject {
  Q_OBJECT

 public:
  // The window owns what this installs.
  static void Install(QWidget* window);
  // Names and orders the window's controls now.
  static void Apply(QWidget* window);

  // A label's or caption's text as a screen reader says it: without the '&' that marks a
  // mnemonic ("&&" is one '&'), white space trimmed and collapsed.
  static QString WithoutMnemonic(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit KeyboardAccess(QWidget* window);
};

}  // namespace lunaret

#endif  // LUNARET_CONTROLS_KEYBOARD_ACCESS_H
