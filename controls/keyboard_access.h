#ifndef LUNARET_CONTROLS_KEYBOARD_ACCESS_H
#define LUNARET_CONTROLS_KEYBOARD_ACCESS_H

#include <QObject>
#include <QString>

class QWidget;

namespace lunaret {

// Makes a window usable with a screen reader: every control that takes the keyboard focus gets an
// accessible name. A window calls Install once, at the end of its set-up; the work is done when
// the window first shows. The order of Tab is the window's own: the order its controls were made
// in, or what it sets with QWidget::setTabOrder.
//
// A control is named after its label (the label whose buddy it is, or its own caption, without
// the '&' of a mnemonic), else after its tooltip, else after the title of the group it sits in.
// A name given beforehand is kept.
class KeyboardAccess : public QObject {
  Q_OBJECT

 public:
  // The window owns what this installs.
  static void Install(QWidget* window);
  // Names the window's controls now.
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
