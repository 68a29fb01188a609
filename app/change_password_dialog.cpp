#include "app/change_password_dialog.h"

#include <QLineEdit>

#include "app/session_support.h"
#include "controls/hover_button.h"
#include "controls/message_box.h"

namespace lunaret {

const char* const ChangePasswordDialog::kCaption = "Change Lunaret password...";

ChangePasswordDialog::ChangePasswordDialog(UserStore& store, const QString& userName,
                                           QWidget* owner)
    : QDialog(owner, kAccountDialogFlags), store_(store), userName_(userName) {
  setWindowTitle(QString::fromUtf8(kCaption));
  const auto fields = BuildFieldDialog(
      this,
      {{{tr("Old password:"), kIdOldLabel, "oldPasswordLabel", kIdOldPassword, "oldPasswordField",
         tr("Enter old password."), true},
        {tr("New password:"), kIdNewLabel, "newPasswordLabel", kIdNewPassword, "newPasswordField",
         tr("Enter new password."), true},
        {tr("Confirm password:"), kIdConfirmationLabel, "confirmationLabel", kIdConfirmation,
         "confirmationField", tr("Confirm new password, please."), true}}},
      &theme_, true, &buttons_);
  oldPassword_ = fields[0];
  newPassword_ = fields[1];
  confirmation_ = fields[2];
  connect(buttons_.ok, &QPushButton::clicked, this, &ChangePasswordDialog::OnOK);
  oldPassword_->setFocus(Qt::OtherFocusReason);
}

ChangePasswordDialog::~ChangePasswordDialog() {
  ReleaseTheme(buttons_);
}

void ChangePasswordDialog::OnOK() {
  QString oldPassword, newPassword, confirmation;
  if (!ReadFields({{oldPassword_, &oldPassword},
                   {newPassword_, &newPassword},
                   {confirmation_, &confirmation}}))
    return;

  const QString title = tr("Lunaret Change password...");
  const std::string user = ToStore(userName_);
  std::string stored;
  if (!store_.GetPassword(user, &stored)) {
    ShowMessageBox(this, tr("Invalid user!"), title, kMbOk | kMbIconError);
    return;
  }
  if (!StoresExactly(oldPassword) || ToStore(oldPassword) != stored) {
    ShowMessageBox(this, tr("Old password is incorrect!"), title, kMbOk | kMbIconError);
    oldPassword_->clear();
    oldPassword_->setFocus(Qt::OtherFocusReason);
    return;
  }
  if (RefuseNewPassword(this, newPassword, confirmation, newPassword_, confirmation_))
    return;
  const std::string storedNew = ToStore(newPassword);
  if (!store_.SetPassword(user, storedNew)) {
    ShowMessageBox(this, tr("Unable to change password for user %1.").arg(userName_), title,
                   kMbOk | kMbIconExclamation);
    return;
  }
  ShowMessageBox(this, tr("%1's password has been changed.").arg(userName_), title,
                 kMbOk | kMbIconInformation);
  accept();
}

}  // namespace lunaret
