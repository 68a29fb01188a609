#ifndef LUNARET_APP_REGISTER_DIALOG_H
#define LUNARET_APP_REGISTER_DIALOG_H

#include <QDialog>
#include <QString>

#include "app/session_support.h"
#include "controls/theme_library.h"
#include "core/store/user_store.h"

class QLineEdit;

namespace lunaret {

// Creates a user: name, password and its confirmation. Writes the new user to the store itself
// and ends with Accepted only after the user exists.
class RegisterDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdOk = 1;
  static constexpr int kIdCancel = 2;
  static constexpr int kIdUserName = 1015;
  static constexpr int kIdPassword = 1017;
  static constexpr int kIdConfirmation = 1022;
  static constexpr int kIdNameLabel = 1068;
  static constexpr int kIdPasswordLabel = 1071;
  static constexpr int kIdConfirmationLabel = 1072;

  static const char* const kCaption;
  // The characters a user name may not contain, in the order the refusal lists them.
  static const char* const kForbiddenCharacters;
  // The forecast duration every new user starts with.
  static const char* const kInitialDuration;

  explicit RegisterDialog(UserStore& store, QWidget* owner = nullptr);
  ~RegisterDialog() override;

  // The name as stored (trimmed); set once the user has been created.
  QString RegisteredName() const { return registeredName_; }

  QLineEdit* UserNameField() const { return userName_; }
  QLineEdit* PasswordField() const { return password_; }
  QLineEdit* ConfirmationField() const { return confirmation_; }
  ThemedHoverButton* OkButton() const { return buttons_.ok; }
  ThemedHoverButton* CancelButton() const { return buttons_.cancel; }

  // The refusal of a name with a forbidden character.
  static QString ForbiddenNameMessage(const QString& name);

 public slots:
  // Checks the fields and creates the user.
  void OnOK();

 private:
  UserStore& store_;
  ThemeLibrary theme_;
  OkCancelButtons buttons_;
  QLineEdit* userName_ = nullptr;
  QLineEdit* password_ = nullptr;
  QLineEdit* confirmation_ = nullptr;
  QString registeredName_;
};

}  // namespace lunaret

#endif  // LUNARET_APP_REGISTER_DIALOG_H
