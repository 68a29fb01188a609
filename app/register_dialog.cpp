#include "app/register_dialog.h"

#include <QLineEdit>
#include <ctime>

#include "app/session_support.h"
#include "controls/hover_button.h"
#include "controls/message_box.h"
#include "core/store/registry.h"

namespace lunaret {

const char* const RegisterDialog::kCaption = "Register Lunaret user...";
const char* const RegisterDialog::kForbiddenCharacters = "\"\\/[]:<>+=;,.?*@'";
const char* const RegisterDialog::kInitialDuration = "29";

RegisterDialog::RegisterDialog(UserStore& store, QWidget* owner)
    : QDialog(owner, kAccountDialogFlags), store_(store) {
  setWindowTitle(QString::fromUtf8(kCaption));
  const auto fields = BuildFieldDialog(
      this,
      {{{tr("Login name:"), kIdNameLabel, "loginNameLabel", kIdUserName, "userNameField",
         tr("Enter user name, please."), false},
        {tr("Password:"), kIdPasswordLabel, "passwordLabel", kIdPassword, "passwordField",
         tr("Enter password."), true},
        {tr("Confirm password:"), kIdConfirmationLabel, "confirmationLabel", kIdConfirmation,
         "confirmationField", tr("Confirm password, please."), true}}},
      &theme_, false, &buttons_);
  userName_ = fields[0];
  password_ = fields[1];
  confirmation_ = fields[2];
  connect(buttons_.ok, &QPushButton::clicked, this, &RegisterDialog::OnOK);
  userName_->setFocus(Qt::OtherFocusReason);
}

RegisterDialog::~RegisterDialog() {
  ReleaseTheme(buttons_);
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
  QString typedName, password, confirmation;
  if (!ReadFields(
          {{userName_, &typedName}, {password_, &password}, {confirmation_, &confirmation}}))
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
  if (!StoresExactly(name)) {
    ShowMessageBox(this,
                   tr("The name %1 cannot be used: this system cannot store some of its "
                      "characters.")
                       .arg(name),
                   tr("Register new user"), kMbOk | kMbIconError);
    FocusAndSelectAll(userName_);
    return;
  }
  const std::string storedName = ToStore(name);
  if (store_.FindUser(storedName)) {
    ShowMessageBox(this, tr("This user already exists. Type different user name."),
                   tr("Register user"), kMbOk | kMbIconExclamation);
    FocusAndSelectAll(userName_);
    return;
  }

  if (RefuseNewPassword(this, password, confirmation, password_, confirmation_))
    return;
  const std::string storedPassword = ToStore(password);

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
