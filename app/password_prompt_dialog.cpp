#include "app/password_prompt_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "app/session_support.h"
#include "controls/dialog_units.h"
#include "controls/hover_button.h"
#include "controls/message_box.h"
#include "controls/ui_support.h"

namespace lunaret {

const char* const PasswordPromptDialog::kCaption = "Insert user password...";

PasswordPromptDialog::PasswordPromptDialog(const QString& userName, QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(QString::fromUtf8(kCaption));
  const DialogUnits units(font());

  label_ = new QLabel(userName + QStringLiteral("'s password:"), this);
  label_->setTextFormat(Qt::PlainText);
  SetControlId(label_, kIdLabel, "promptLabel");
  password_ = new QLineEdit(this);
  SetControlId(password_, kIdPassword, "passwordField");
  password_->setEchoMode(QLineEdit::Password);
  password_->setMaxLength(kMaxFieldChars);
  password_->setMinimumWidth(units.X(64));

  ok_ = new ThemedHoverButton(tr("&OK"), this);
  SetControlId(ok_, kIdOk, "okButton");
  cancel_ = new ThemedHoverButton(tr("&Cancel"), this);
  SetControlId(cancel_, kIdCancel, "cancelButton");
  for (ThemedHoverButton* button : {ok_, cancel_})
    button->setMinimumSize(units.Size(37, 14));
  ok_->setDefault(true);

  // The label over the field on the left, OK over Cancel on the right.
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(units.X(7), units.Y(3), units.X(7), units.Y(5));
  layout->setHorizontalSpacing(units.X(4));
  layout->setVerticalSpacing(units.Y(1));
  layout->addWidget(label_, 0, 0, Qt::AlignBottom);
  layout->addWidget(password_, 1, 0);
  layout->addWidget(ok_, 0, 1);
  layout->addWidget(cancel_, 1, 1);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(ok_, &QPushButton::clicked, this, &PasswordPromptDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  const ColorRef hot = HotBackgroundColor();
  for (ThemedHoverButton* button : {ok_, cancel_}) {
    button->UseCursor(kCursorHand, false);
    button->UseTheme(&theme_);
    button->UseColor(0, hot, true);
  }
  ApplyLabelFont(this, {kIdLabel, kIdPassword, kIdOk, kIdCancel});
  password_->setFocus(Qt::OtherFocusReason);
}

PasswordPromptDialog::~PasswordPromptDialog() {
  // The buttons are children and go after the members: they must not keep the library.
  ok_->UseTheme(nullptr);
  cancel_->UseTheme(nullptr);
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
