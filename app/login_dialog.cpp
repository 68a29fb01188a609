#include "app/login_dialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/register_dialog.h"
#include "app/session_support.h"
#include "controls/dedication_dialog.h"
#include "controls/dialog_units.h"
#include "controls/hover_button.h"
#include "controls/inactive_tip_relay.h"
#include "controls/keyboard_access.h"
#include "controls/message_box.h"
#include "controls/ui_support.h"
#include "core/base/text.h"

namespace lunaret {

const char* const LoginDialog::kCaption = "Lunaret Login...";
const char* const LoginDialog::kDedicationName = "lumo";
const char* const LoginDialog::kDedicationPassword = "corvel";

namespace {

constexpr int kIconLogin = 151;
constexpr int kIconRegister = 152;
constexpr int kIconExit = 153;

}  // namespace

LoginDialog::LoginDialog(UserStore& store, QWidget* parent)
    : QDialog(parent, kSessionWindowFlags), store_(store) {
  setWindowTitle(QString::fromUtf8(kCaption));
  const DialogUnits units(font());

  auto* newGroup = new QGroupBox(tr("New user?"), this);
  SetControlId(newGroup, kIdNewGroup, "newUserGroup");
  register_ = new ThemedHoverButton(tr("&Register here"), newGroup);
  SetControlId(register_, kIdRegister, "registerButton");
  register_->setMinimumSize(units.Size(79, 20));
  auto* newLayout = new QHBoxLayout(newGroup);
  newLayout->setContentsMargins(units.X(4), units.Y(3), units.X(4), units.Y(3));
  newLayout->addWidget(register_, 0, Qt::AlignHCenter);

  auto* existingGroup = new QGroupBox(tr("Existing user?"), this);
  SetControlId(existingGroup, kIdExistingGroup, "existingUserGroup");
  auto* nameLabel = new QLabel(tr("Login name:"), existingGroup);
  SetControlId(nameLabel, kIdNameLabel, "loginNameLabel");
  userNameBox_ = new QComboBox(existingGroup);
  SetControlId(userNameBox_, kIdUserName, "userNameBox");
  userNameBox_->setEditable(true);
  // Completion is this dialog's own (OnEditChangeUserName); the box neither completes nor
  // inserts what is typed, and never swaps a typed name for a listed spelling.
  userNameBox_->setCompleter(nullptr);
  userNameBox_->setInsertPolicy(QComboBox::NoInsert);
  userNameBox_->setMaxVisibleItems(6);
  userNameBox_->setMinimumWidth(units.X(66));
  auto* passwordLabel = new QLabel(tr("Password:"), existingGroup);
  SetControlId(passwordLabel, kIdPasswordLabel, "passwordLabel");
  password_ = new QLineEdit(existingGroup);
  SetControlId(password_, kIdPassword, "passwordField");
  nameLabel->setBuddy(userNameBox_);
  passwordLabel->setBuddy(password_);
  password_->setEchoMode(QLineEdit::Password);
  password_->setMinimumWidth(units.X(65));
  auto* existingLayout = new QGridLayout(existingGroup);
  existingLayout->setContentsMargins(units.X(11), units.Y(5), units.X(11), units.Y(5));
  existingLayout->setHorizontalSpacing(units.X(3));
  existingLayout->setVerticalSpacing(units.Y(3));
  existingLayout->addWidget(nameLabel, 0, 0);
  existingLayout->addWidget(userNameBox_, 0, 1);
  existingLayout->addWidget(passwordLabel, 1, 0);
  existingLayout->addWidget(password_, 1, 1);
  existingLayout->setColumnStretch(1, 1);

  auto* goGroup = new QGroupBox(tr("Go!"), this);
  SetControlId(goGroup, kIdGoGroup, "goGroup");
  login_ = new ThemedHoverButton(tr("&Login"), goGroup);
  SetControlId(login_, kIdLogin, "loginButton");
  exit_ = new ThemedHoverButton(tr("&Exit"), goGroup);
  SetControlId(exit_, kIdExit, "exitButton");
  for (ThemedHoverButton* button : {login_, exit_})
    button->setMinimumSize(units.Size(61, 20));
  auto* goLayout = new QHBoxLayout(goGroup);
  goLayout->setContentsMargins(units.X(3), units.Y(3), units.X(3), units.Y(3));
  goLayout->setSpacing(units.X(2));
  goLayout->addWidget(login_);
  goLayout->addWidget(exit_);

  // No button is the default one: Enter in the name or password field logs in, and Enter on a
  // button presses the button that has the focus.
  for (ThemedHoverButton* button : {register_, login_, exit_}) {
    button->setDefault(false);
    button->setAutoDefault(false);
  }

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(units.X(7), units.Y(4), units.X(7), units.Y(7));
  layout->setSpacing(units.Y(1));
  layout->addWidget(newGroup);
  layout->addWidget(existingGroup);
  layout->addWidget(goGroup);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumWidth(units.X(146));

  // The template's tab order: name, password, Login, Exit, Register.
  setTabOrder(userNameBox_, password_);
  setTabOrder(password_, login_);
  setTabOrder(login_, exit_);
  setTabOrder(exit_, register_);

  connect(login_, &QPushButton::clicked, this, &LoginDialog::OnOK);
  connect(exit_, &QPushButton::clicked, this, &QDialog::reject);
  connect(register_, &QPushButton::clicked, this, &LoginDialog::OnRegister);
  connect(userNameBox_->lineEdit(), &QLineEdit::textEdited, this,
          &LoginDialog::OnEditChangeUserName);
  connect(userNameBox_->lineEdit(), &QLineEdit::returnPressed, this, &LoginDialog::OnOK);
  connect(password_, &QLineEdit::returnPressed, this, &LoginDialog::OnOK);
  // The editable box keeps Escape for itself; here it leaves the dialog as everywhere else.
  userNameBox_->installEventFilter(this);
}

LoginDialog::~LoginDialog() {
  // The buttons are children and go after the members: they must not keep the library.
  for (ThemedHoverButton* button : {register_, exit_, login_})
    button->UseTheme(nullptr);
}

bool LoginDialog::InitDialog() {
  if (initialized_)
    return opened_;
  initialized_ = true;

  // The fields towards the controls: both empty, the password limited to 255 characters.
  password_->clear();
  password_->setMaxLength(kMaxFieldChars);
  userNameBox_->setEditText(QString());

  SetWindowIcon128(this);

  // Tips show even while the dialog is not the active window.
  ShowTipsAlways(this);
  userNameBox_->setToolTip(tr("Select LogIn name"));
  password_->setToolTip(tr("Enter password"));
  register_->setToolTip(tr("Register new user here!"));
  login_->setToolTip(tr("LogIn"));
  exit_->setToolTip(tr("Exit"));

  if (!store_.OpenRoot()) {
    ShowMessageBox(parentWidget(), tr("Unable to ran Lunaret"), tr("Lunaret"),
                   kMbOk | kMbIconError);
    setResult(QDialog::Rejected);
    opened_ = false;
    return false;
  }

  userNameBox_->clear();
  for (const std::string& name : store_.ListUsers())
    InsertSortedNoCase(userNameBox_, FromStore(name));
  userNameBox_->setCurrentIndex(-1);
  userNameBox_->setEditText(QString());

  const ColorRef hot = HotBackgroundColor();
  login_->UseTheme(&theme_);
  login_->UseColor(0, hot, true);
  login_->UseIcons(kIconLogin, 0);
  login_->UseCursor(kCursorHand, true);
  exit_->UseTheme(&theme_);
  exit_->UseIcons(kIconExit, 0);
  exit_->UseColor(0, hot, true);
  exit_->UseCursor(kCursorHand, true);
  register_->UseTheme(&theme_);
  register_->UseIcons(kIconRegister, 0);
  register_->UseColor(0, hot, true);
  register_->UseCursor(kCursorHand, true);

  ApplyLabelFont(this, {kIdNewGroup, kIdRegister, kIdExistingGroup, kIdNameLabel, kIdUserName,
                        kIdPasswordLabel, kIdPassword, kIdGoGroup, kIdLogin, kIdExit});
  KeyboardAccess::Install(this);

  userNameBox_->setFocus(Qt::OtherFocusReason);
  opened_ = true;
  return true;
}

int LoginDialog::exec() {
  if (!InitDialog())
    return QDialog::Rejected;
  return QDialog::exec();
}

void LoginDialog::setVisible(bool visible) {
  // A dialog whose opening failed never shows.
  if (visible && !InitDialog())
    return;
  QDialog::setVisible(visible);
}

void LoginDialog::OnOK() {
  QString password;
  QString name;
  if (!ReadTextField(password_, kMaxFieldChars, &password) ||
      !ReadTextField(userNameBox_->lineEdit(), kMaxFieldChars, &name))
    return;
  userName_ = name;

  const std::string typedName = ToStore(name);
  const std::string typedPassword = ToStore(password);
  std::string stored;
  // Text the store cannot hold as typed matches nobody, not whoever is stored as its "?"s.
  if (StoresExactly(name) && StoresExactly(password) && store_.GetPassword(typedName, &stored) &&
      stored == typedPassword) {
    if (EqualNoCase(typedName, kDedicationName) && typedPassword == kDedicationPassword) {
      DedicationDialog dedication(this);
      dedication.exec();
    }
    accept();
    return;
  }

  ShowMessageBox(this, tr("Invalid user or bad password!"), tr("Lunaret Login"),
                 kMbOk | kMbIconError);
  password_->clear();
  password_->setFocus(Qt::OtherFocusReason);
}

void LoginDialog::OnRegister() {
  RegisterDialog registration(store_, nullptr);
  if (registration.exec() != QDialog::Accepted)
    return;
  const QString name = registration.RegisteredName();
  userNameBox_->setEditText(name);
  password_->clear();
  InsertSortedNoCase(userNameBox_, name);
  const int index = FindNoCase(userNameBox_, name);
  if (index >= 0)
    userNameBox_->setCurrentIndex(index);
  password_->setFocus(Qt::OtherFocusReason);
}

void LoginDialog::OnEditChangeUserName() {
  QLineEdit* edit = userNameBox_->lineEdit();
  const QString text = edit->text();
  const std::string typed = ToStore(text);
  const int length = static_cast<int>(typed.size());
  if (length > 0 && length > typedLength_) {
    for (int i = 0; i < userNameBox_->count(); ++i) {
      const QString entry = userNameBox_->itemText(i);
      if (StartsWithNoCase(ToStore(entry), typed)) {
        edit->setText(entry);
        // The completed tail stays selected, so that the next key press replaces it.
        const qsizetype start = FromStore(ToStore(entry).substr(0, typed.size())).size();
        edit->setSelection(static_cast<int>(start), static_cast<int>(entry.size() - start));
        break;
      }
    }
  }
  typedLength_ = length;
}

bool LoginDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == userNameBox_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier &&
        !userNameBox_->view()->isVisible()) {
      reject();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace lunaret
