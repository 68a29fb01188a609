#ifndef LUNARET_APP_LOGIN_DIALOG_H
#define LUNARET_APP_LOGIN_DIALOG_H

#include <QDialog>
#include <QString>

#include "controls/theme_library.h"
#include "core/store/user_store.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace lunaret {

class ThemedHoverButton;

// Admits a user: pick or type a login name (completed from the registered names), type the
// password, press Login. New users register from here. Runs at start-up without a parent and
// again for the main window's "Log In..." command.
class LoginDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdLogin = 1;
  static constexpr int kIdExit = 2;
  static constexpr int kIdPassword = 1017;
  static constexpr int kIdRegister = 1019;
  static constexpr int kIdUserName = 1030;
  static constexpr int kIdNewGroup = 1065;
  static constexpr int kIdExistingGroup = 1066;
  static constexpr int kIdGoGroup = 1067;
  static constexpr int kIdNameLabel = 1068;
  static constexpr int kIdPasswordLabel = 1069;

  static const char* const kCaption;
  // The one built-in login that shows the dedication, after the store has admitted it.
  static const char* const kDedicationName;
  static const char* const kDedicationPassword;

  explicit LoginDialog(UserStore& store, QWidget* parent = nullptr);
  ~LoginDialog() override;

  // The opening: fills the name list, sets up the buttons and the font. False when the store
  // cannot be opened: the message has been shown and the dialog has ended with Rejected.
  // exec() and show() run it once; calling it again only repeats its result.
  bool InitDialog();
  int exec() override;
  void setVisible(bool visible) override;

  // After an accepted run: the login name exactly as typed or selected.
  QString UserName() const { return userName_; }

  QComboBox* UserNameBox() const { return userNameBox_; }
  QLineEdit* PasswordField() const { return password_; }
  ThemedHoverButton* LoginButton() const { return login_; }
  ThemedHoverButton* ExitButton() const { return exit_; }
  ThemedHoverButton* RegisterButton() const { return register_; }
  ThemeLibrary& Theme() { return theme_; }

 public slots:
  // The login check (Login button, Enter in the name or password field).
  void OnOK();
  void OnRegister();
  // Completes the typed name from the list; runs on the user's edits only.
  void OnEditChangeUserName();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  UserStore& store_;
  ThemeLibrary theme_;
  ThemedHoverButton* register_ = nullptr;
  ThemedHoverButton* exit_ = nullptr;
  ThemedHoverButton* login_ = nullptr;
  QComboBox* userNameBox_ = nullptr;
  QLineEdit* password_ = nullptr;
  QString userName_;
  int typedLength_ = 0;  // bytes of the name at the previous edit
  bool initialized_ = false;
  bool opened_ = false;
};

}  // namespace lunaret

#endif  // LUNARET_APP_LOGIN_DIALOG_H
