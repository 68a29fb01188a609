#ifndef LUNARET_APP_CHANGE_PASSWORD_DIALOG_H
#define LUNARET_APP_CHANGE_PASSWORD_DIALOG_H

#include <QDialog>
#include <QString>

#include "app/session_support.h"
#include "controls/theme_library.h"
#include "core/store/user_store.h"

class QLineEdit;

namespace lunaret {

// Changes one user's password after checking the old one; writes to the store at once.
class ChangePasswordDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdOk = 1;
  static constexpr int kIdCancel = 2;
  static constexpr int kIdNewPassword = 1017;
  static constexpr int kIdConfirmation = 1022;
  static constexpr int kIdOldPassword = 1024;
  static constexpr int kIdOldLabel = 1059;
  static constexpr int kIdNewLabel = 1060;
  static constexpr int kIdConfirmationLabel = 1061;

  static const char* const kCaption;

  ChangePasswordDialog(UserStore& store, const QString& userName, QWidget* owner = nullptr);
  ~ChangePasswordDialog() override;

  QString UserName() const { return userName_; }
  QLineEdit* OldPasswordField() const { return oldPassword_; }
  QLineEdit* NewPasswordField() const { return newPassword_; }
  QLineEdit* ConfirmationField() const { return confirmation_; }
  ThemedHoverButton* OkButton() const { return buttons_.ok; }
  ThemedHoverButton* CancelButton() const { return buttons_.cancel; }

 public slots:
  void OnOK();

 private:
  UserStore& store_;
  ThemeLibrary theme_;
  QString userName_;
  OkCancelButtons buttons_;
  QLineEdit* oldPassword_ = nullptr;
  QLineEdit* newPassword_ = nullptr;
  QLineEdit* confirmation_ = nullptr;
};

}  // namespace lunaret

#endif  // LUNARET_APP_CHANGE_PASSWORD_DIALOG_H
