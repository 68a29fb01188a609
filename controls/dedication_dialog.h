#ifndef LUNARET_CONTROLS_DEDICATION_DIALOG_H
#define LUNARET_CONTROLS_DEDICATION_DIALOG_H

#include <QDialog>

#include "controls/theme_library.h"

class QLabel;

namespace lunaret {

class ThemedHoverButton;

// A short personal dedication with one button. The button carries the Cancel id and rejects;
// the button, Escape, Enter and the close box all close the dialog.
class DedicationDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdOk = 2;  // the dialog's only button carries the Cancel id
  static constexpr int kIdText = 1077;

  static const char* const kCaption;
  static const char* const kButtonText;
  static const char* const kTooltip;
  static const char* const kDedication;

  explicit DedicationDialog(QWidget* parent = nullptr);
  ~DedicationDialog() override;

  ThemedHoverButton* OkButton() const { return ok_; }
  QLabel* Text() const { return text_; }
  ThemeLibrary& Theme() { return theme_; }

 private:
  ThemeLibrary theme_;
  ThemedHoverButton* ok_ = nullptr;
  QLabel* text_ = nullptr;
};

}  // namespace lunaret

#endif  // LUNARET_CONTROLS_DEDICATION_DIALOG_H
