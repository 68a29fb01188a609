#ifndef LUNARET_APP_PASSWORD_PROMPT_DIALOG_H
#define LUNARET_APP_PASSWORD_PROMPT_DIALOG_H

#include <QDialog>
#include <QString>

#include "app/session_support.h"
#include "controls/theme_library.h"

class QLabel;
class QLineEdit;

namespace lunaret {

// Asks for one user's password ("<name>'s password:"); the user management dialog asks it
// before deleting a user.
class PasswordPromptDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdOk = 1;
  static constexpr int kIdCancel = 2;
  static constexpr int kIdPassword = 1017;
  static constexpr int kIdLabel = 1029;

  static const char* const kCaption;

  explicit PasswordPromptDialog(const QString& userName, QWidget* owner = nullptr);
  ~PasswordPromptDialog() override;

  // What was typed, read when the dialog ended (either way).
  QString EnteredPassword() const { return enteredPassword_; }

  QLabel* Label() const { return label_; }
  QLineEdit* PasswordField() const { return password_; }
  ThemedHoverButton* OkButton() const { return buttons_.ok; }
  ThemedHoverButton* CancelButton() const { return buttons_.cancel; }

  void accept() override;
  void done(int result) override;

 private:
  ThemeLibrary theme_;
  OkCancelButtons buttons_;
  QLabel* label_ = nullptr;
  QLineEdit* password_ = nullptr;
  QString enteredPassword_;
};

}  // namespace lunaret

#endif  // LUNARET_APP_PASSWORD_PROMPT_DIALOG_H
