#ifndef LUNARET_APP_USER_MANAGEMENT_DIALOG_H
#define LUNARET_APP_USER_MANAGEMENT_DIALOG_H

#include <QDialog>
#include <QString>

#include "controls/theme_library.h"
#include "core/store/user_store.h"

class QListWidget;

namespace lunaret {

class ThemedHoverButton;

// Lists every user and offers New user, Change password and Delete. Whatever it changes is
// written to the store at once; the caller asks LoggedInUserDeleted() afterwards.
class UserManagementDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdOk = 1;
  static constexpr int kIdUserList = 1013;
  static constexpr int kIdDelete = 1026;
  static constexpr int kIdNewUser = 1027;
  static constexpr int kIdChangePassword = 1031;
  static constexpr int kIdUsersGroup = 1070;

  static const char* const kCaption;

  UserManagementDialog(UserStore& store, const QString& loggedInUserName, QWidget* owner = nullptr);
  ~UserManagementDialog() override;

  // True once the user who is logged in has been deleted here.
  bool LoggedInUserDeleted() const { return loggedInUserDeleted_; }

  enum class Deletion {
    kDeleted,
    kWrongPassword,  // the user is unknown, has no readable password or another one
    kRefused,        // the password matched, but the store kept the user
  };
  // Deletes the user when the password matches the stored one exactly.
  Deletion DeleteUser(const QString& userName, const QString& password);

  QListWidget* UserList() const { return users_; }
  ThemedHoverButton* OkButton() const { return ok_; }
  ThemedHoverButton* NewUserButton() const { return newUser_; }
  ThemedHoverButton* ChangePasswordButton() const { return changePassword_; }
  ThemedHoverButton* DeleteButton() const { return delete_; }

 public slots:
  void OnNewUser();
  void OnChangePassword();
  void OnDelete();
  // Change password and Delete are enabled exactly when an entry is selected; applied at the
  // opening and when the user changes the selection.
  void OnSelChangeUserList();

 private:
  UserStore& store_;
  ThemeLibrary theme_;
  QString loggedInUserName_;
  bool loggedInUserDeleted_ = false;
  bool removing_ = false;  // the list is changed by the dialog, not by the user
  ThemedHoverButton* ok_ = nullptr;
  ThemedHoverButton* newUser_ = nullptr;
  ThemedHoverButton* changePassword_ = nullptr;
  ThemedHoverButton* delete_ = nullptr;
  QListWidget* users_ = nullptr;
};

}  // namespace lunaret

#endif  // LUNARET_APP_USER_MANAGEMENT_DIALOG_H
