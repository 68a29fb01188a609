#include "app/register_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <ctime>

#include "app/session_support.h"
#include "controls/dialog_units.h"
#include "controls/hover_button.h"
#include "controls/message_box.h"
#include "controls/ui_support.h"
#include "core/registry.h"
#include "core/scramble.h"

namespace lunaret {

const char* const RegisterDialog::kCaption = "Register Lunaret user...";
const char* const RegisterDialog::kForbiddenCharacters = "\"\\/[]:<>+=;,.?*@'";
const char* const RegisterDialog::kInitialDuration = "29";

RegisterDialog::RegisterDialog(UserStore& store, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      store_(store) {
  setWindowTitle(QString::fromUtf8(kCaption));
  const DialogUnits units(font());

  auto* nameLabel = new QLabel(tr("Login name:"), this);
  SetControlId(nameLabel, kIdNameLabel, "loginNameLabel");
  userName_ = new QLineEdit(this);
  SetControlId(userName_, kIdUserName, "userNameField");
  auto* passwordLabel = new QLabel(tr("Password:"), this);
  SetControlId(passwordLabel, kIdPasswordLabel, "passwordLabel");
  password_ = new QLineEdit(this);
  SetControlId(password_, kIdPassword, "passwordField");
  auto* confirmationLabel = new QLabel(tr("Confirm password:"), this);
  SetControlId(confirmationLabel, kIdConfirmationLabel, "confirmationLabel");
  confirmation_ = new QLineEdit(this);
  SetControlId(confirmation_, kIdConfirmation, "confirmationField");
  for (QLineEdit* field : {userName_, password_, confirmation_}) {
    field->setMaxLength(kMaxFieldChars);
    field->setMinimumWidth(units.X(65));
  }
  password_->setEchoMode(QLineEdit::Password);
  confirmation_->setEchoMode(QLineEdit::Password);

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
  fields->addWidget(nameLabel, 0, 0);
  fields->addWidget(userName_, 0, 1);
  fields->addWidget(passwordLabel, 1, 0);
  fields->addWidget(password_, 1, 1);
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

  connect(ok_, &QPushButton::clicked, this, &RegisterDialog::OnOK);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  SetWindowIcon128(this);
  userName_->setToolTip(tr("Enter user name, please."));
  password_->setToolTip(tr("Enter password."));
  confirmation_->setToolTip(tr("Confirm password, please."));

  const ColorRef hot = HotBackgroundColor();
  ok_->UseCursor(kCursorHand, false);
  ok_->UseTheme(&theme_);
  ok_->UseColor(0, hot, true);
  ok_->UseTooltip(QStringLiteral(" OK! "), true);
  cancel_->UseCursor(kCursorHand, false);
  cancel_->UseTheme(&theme_);
  cancel_->UseColor(0, hot, true);
  cancel_->UseTooltip(tr("Cancel"), true);

  ApplyLabelFont(this, {kIdNameLabel, kIdUserName, kIdPasswordLabel, kIdPassword,
                        kIdConfirmationLabel, kIdConfirmation, kIdCancel, kIdOk});
  userName_->setFocus(Qt::OtherFocusReason);
}

RegisterDialog::~RegisterDialog() {
  // The buttons are children and go after the members: they must not keep the library.
  ok_->UseTheme(nullptr);
  cancel_->UseTheme(nullptr);
}

QString RegisterDialog::ForbiddenNameMessage(const QString& name) {
  QString message = QStringLiteral("The name ") + name +
                    QStringLiteral(
                        " cannot be used. Names may not consist entirely of periods and/or "
                        "spaces, or contain these characters:\n");
  for (const char* c = kForbiddenCharacters; *c != '\0'; ++c) {
    message += QLatin1Char(*c);
    message += QLatin1Char(' ');
  }
  return message;
}

void RegisterDialog::OnOK() {
  QString typedName;
  QString password;
  QString confirmation;
  if (!ReadTextField(userName_, kMaxFieldChars, &typedName) ||
      !ReadTextField(password_, kMaxFieldChars, &password) ||
      !ReadTextField(confirmation_, kMaxFieldChars, &confirmation))
    return;

  const QString name = TrimWhiteSpace(typedName);
  if (name.isEmpty()) {
    ShowMessageBox(this, tr("User name cannot be empty."), tr("Register new user"),
                   kMbOk | kMbIconError);
    FocusAndSelectAll(userName_);
    return;
  }
  for (const char* c = kForbiddenCharacters; *c != '\0'; ++c) {
    if (name.contains(QLatin1Char(*c))) {
      ShowMessageBox(this, ForbiddenNameMessage(name), tr("Register new user"),
                     kMbOk | kMbIconError);
      FocusAndSelectAll(userName_);
      return;
    }
  }
  const std::string storedName = ToStore(name);
  if (store_.FindUser(storedName)) {
    ShowMessageBox(this, tr("This user already exists. Type different user name."),
                   tr("Register user"), kMbOk | kMbIconExclamation);
    FocusAndSelectAll(userName_);
    return;
  }

  const std::string storedPassword = ToStore(password);
  if (storedPassword != ToStore(confirmation)) {
    ShowMessageBox(this,
                   tr("The passwords you typed do not much. Type new passwords in both text "
                      "boxes."),
                   tr("Register user"), kMbOk | kMbIconExclamation);
    password_->clear();
    confirmation_->clear();
    password_->setFocus(Qt::OtherFocusReason);
    return;
  }
  // A password whose stored form holds a zero byte would be cut short in the store, and its
  // owner could never log in.
  if (ScrambledFormHasZeroByte(storedPassword)) {
    ShowMessageBox(this, tr("This password cannot be used. Type a different password."),
                   tr("Register user"), kMbOk | kMbIconExclamation);
    password_->clear();
    confirmation_->clear();
    password_->setFocus(Qt::OtherFocusReason);
    return;
  }

  {
    // The new user appears whole or not at all.
    StoreTransaction transaction(store_.registry());
    if (!store_.SetPassword(storedName, storedPassword)) {
      ShowMessageBox(this, tr("Unable to register user %1.").arg(name), tr("Register user"),
                     kMbOk | kMbIconExclamation);
      return;
    }
    store_.SetCycleStart(storedName, static_cast<TimeValue>(std::time(nullptr)));
    store_.SetDuration(storedName, kInitialDuration);
  }
  registeredName_ = name;
  accept();
}

}  // namespace lunaret
