#include "app/password_prompt_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "app/session_support.h"
#include "controls/dialog_units.h"
#include "controls/hover_button.h"
#include "controls/keyboard_access.h"
#include "controls/message_box.h"
#include "controls/ui_support.h"

namespace lunaret {

const char* const PasswordPromptDialog::kCaption = "Insert user password...";

PasswordPromptDialog::PasswordPromptDialog(const QString& userName, QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(QString::fromUtf8(kCaption));
  const DialogUnits units(font());

  // The label names the field; as its buddy label it would take an '&' of the name for a
  // mnemonic, so each '&' is written twice.
  QString name = userName;
  label_ = new QLabel(
      name.replace(QLatin1Char('&'), QStringLiteral("&&")) + QStringLiteral("'s password:"), this);
  label_->setTextFormat(Qt::PlainText);
  SetControlId(label_, kIdLabel, "promptLabel");
  password_ = new QLineEdit(this);
  SetControlId(password_, kIdPassword, "passwordField");
  label_->setBuddy(password_);
  password_->setEchoMode(QLineEdit::Password);
  password_->setMaxLength(kMaxFieldChars);
  password_->setMinimumWidth(units.X(64));

  buttons_ = AddOkCancelButtons(this, units);

  // The label over the field on the left, OK over Cancel on the right.
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(units.X(7), units.Y(3), units.X(7), units.Y(5));
  layout->setHorizontalSpacing(units.X(4));
  layout->setVerticalSpacing(units.Y(1));
  layout->addWidget(label_, 0, 0, Qt::AlignBottom);
  layout->addWidget(password_, 1, 0);
  layout->addWidget(buttons_.ok, 0, 1);
  layout->addWidget(buttons_.cancel, 1, 1);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(buttons_.ok, &QPushButton::clicked, this, &PasswordPromptDialog::accept);
  UseHoverLook(buttons_, &theme_, false, false);
  ApplyLabelFont(this, {kIdLabel, kIdPassword, kIdOk, kIdCancel});
  KeyboardAccess::Install(this);
  password_->setFocus(Qt::OtherFocusReason);
}

PasswordPromptDialog::~PasswordPromptDialog() {
  ReleaseTheme(buttons_);
}

void PasswordPromptDialog::accept() {
  QString password;
  if (!ReadTextField(password_, kMaxFieldChars, &password))
    return;
  QDialog::accept();
}

void PasswordPromptDialog::done(int result) {
  enteredPassword_ = password_->text();
  QDialog::done(result);
}

}  // namespace lunaret
