#include "app/change_password_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/session_support.h"
#include "controls/dialog_units.h"
#include "controls/hover_button.h"
#include "controls/message_box.h"
#include "controls/ui_support.h"
#include "core/scramble.h"

namespace lunaret {

const char* const ChangePasswordDialog::kCaption = "Change Lunaret password...";

ChangePasswordDialog::ChangePasswordDialog(UserStore& store, const QString& userName,
                                           QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      store_(store),
      userName_(userName) {
  setWindowTitle(QString::fromUtf8(kCaption));
  const DialogUnits units(font());

  auto* oldLabel = new QLabel(tr("Old password:"), this);
  SetControlId(oldLabel, kIdOldLabel, "oldPasswordLabel");
  oldPassword_ = new QLineEdit(this);
  SetControlId(oldPassword_, kIdOldPassword, "oldPasswordField");
  auto* newLabel = new QLabel(tr("New password:"), this);
  SetControlId(newLabel, kIdNewLabel, "newPasswordLabel");
  newPassword_ = new QLineEdit(this);
  SetControlId(newPassword_, kIdNewPassword, "newPasswordField");
  auto* confirmationLabel = new QLabel(tr("Confirm password:"), this);
  SetControlId(confirmationLabel, kIdConfirmationLabel, "confirmationLabel");
  confirmation_ = new QLineEdit(this);
  SetControlId(confirmation_, kIdConfirmation, "confirmationField");
  for (QLineEdit* field : {oldPassword_, newPassword_, confirmation_}) {
    field->setMaxLength(kMaxFieldChars);
    field->setEchoMode(QLineEdit::Password);
    field->setMinimumWidth(units.X(65));
  }

  ok_ = new ThemedHoverButton(tr("&OK"), this);
  SetControlId(ok_, kIdOk, "okButton");
  cancel_ = new ThemedHoverButton(tr("&Cancel"), this);
  SetControlId(cancel_, kIdCancel, "cancelButton");
  for (ThemedHoverButton* button : {ok_, cancel_})
    button->setMinimumSize(units.Size(37, 14));
  ok_->setDefault(true);

  auto* fields = new QGridLayout;
  fields->setHorizontalSpacing(units.X(4));
  fields->setVerticalSpacing(units.Y(5));
  fields->addWidget(oldLabel, 0, 0);
  fields->addWidget(oldPassword_, 0, 1);
  fields->addWidget(newLabel, 1, 0);
  fields->addWidget(newPassword_, 1, 1);
  fields->addWidget(confirmationLabel, 2, 0);
  fields->addWidget(confirmation_, 2, 1);
  fields->setColumnStretch(1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(units.X(1));
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(units.X(7), units.Y(10), units.X(7), units.Y(7));
  layout->setSpacing(units.Y(8));
  layout->addLayout(fields);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumWidth(units.X(144));

  connect(ok_, &QPushButton::clicked, this, &ChangePasswordDialog::OnOK);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  SetWindowIcon128(this);
  oldPassword_->setToolTip(tr("Enter old password."));
  newPassword_->setToolTip(tr("Enter new password."));
  confirmation_->setToolTip(tr("Confirm new password, please."));

  const ColorRef hot = HotBackgroundColor();
  ok_->UseCursor(kCursorHand, true);
  ok_->UseTheme(&theme_);
  ok_->UseColor(0, hot, true);
  ok_->UseTooltip(QStringLiteral(" OK! "), true);
  cancel_->UseCursor(kCursorHand, true);
  cancel_->UseTheme(&theme_);
  cancel_->UseColor(0, hot, true);
  cancel_->UseTooltip(tr("Cancel"), true);

  ApplyLabelFont(this, {kIdOk, kIdCancel, kIdOldLabel, kIdNewLabel, kIdConfirmationLabel,
                        kIdOldPassword, kIdNewPassword, kIdConfirmation});
  oldPassword_->setFocus(Qt::OtherFocusReason);
}

ChangePasswordDialog::~ChangePasswordDialog() {
  // The buttons are children and go after the members: they must not keep the library.
  ok_->UseTheme(nullptr);
  cancel_->UseTheme(nullptr);
}

void ChangePasswordDialog::OnOK() {
  QString oldPassword;
  QString newPassword;
  QString confirmation;
  if (!ReadTextField(oldPassword_, kMaxFieldChars, &oldPassword) ||
      !ReadTextField(newPassword_, kMaxFieldChars, &newPassword) ||
      !ReadTextField(confirmation_, kMaxFieldChars, &confirmation))
    return;

  const QString title = tr("Lunaret Change password...");
  const std::string user = ToStore(userName_);
  std::string stored;
  if (!store_.GetPassword(user, &stored)) {
    ShowMessageBox(this, tr("Invalid user!"), title, kMbOk | kMbIconError);
    return;
  }
  if (ToStore(oldPassword) != stored) {
    ShowMessageBox(this, tr("Old password is incorrect!"), title, kMbOk | kMbIconError);
    oldPassword_->clear();
    oldPassword_->setFocus(Qt::OtherFocusReason);
    return;
  }
  const std::string storedNew = ToStore(newPassword);
  if (storedNew != ToStore(confirmation)) {
    ShowMessageBox(this,
                   tr("The passwords you typed do not much. Type new passwords in both text "
                      "boxes."),
                   tr("Register user"), kMbOk | kMbIconExclamation);
    newPassword_->clear();
    confirmation_->clear();
    newPassword_->setFocus(Qt::OtherFocusReason);
    return;
  }
  // A password whose stored form holds a zero byte would be cut short in the store and lock
  // its owner out.
  if (ScrambledFormHasZeroByte(storedNew)) {
    ShowMessageBox(this, tr("This password cannot be used. Type a different password."),
                   tr("Register user"), kMbOk | kMbIconExclamation);
    newPassword_->clear();
    confirmation_->clear();
    newPassword_->setFocus(Qt::OtherFocusReason);
    return;
  }
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
