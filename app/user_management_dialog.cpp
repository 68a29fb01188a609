#include "app/user_management_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

#include "app/change_password_dialog.h"
#include "app/password_prompt_dialog.h"
#include "app/register_dialog.h"
#include "app/session_support.h"
#include "controls/dialog_units.h"
#include "controls/hover_button.h"
#include "controls/keyboard_access.h"
#include "controls/message_box.h"
#include "controls/ui_support.h"
#include "controls/wait_cursor.h"
#include "core/base/text.h"

namespace lunaret {

const char* const UserManagementDialog::kCaption = "Lunaret User Managment";

UserManagementDialog::UserManagementDialog(UserStore& store, const QString& loggedInUserName,
                                           QWidget* owner)
    : QDialog(owner, kAccountDialogFlags), store_(store), loggedInUserName_(loggedInUserName) {
  setWindowTitle(QString::fromUtf8(kCaption));
  const DialogUnits units(font());

  auto* group = new QGroupBox(tr("Lunaret users"), this);
  SetControlId(group, kIdUsersGroup, "usersGroup");
  users_ = new QListWidget(group);
  SetControlId(users_, kIdUserList, "userList");
  users_->setSelectionMode(QAbstractItemView::SingleSelection);
  users_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  users_->setFixedSize(units.Size(59, 83));
  newUser_ = new ThemedHoverButton(tr("&New user"), group);
  SetControlId(newUser_, kIdNewUser, "newUserButton");
  changePassword_ = new ThemedHoverButton(tr("&Change password"), group);
  SetControlId(changePassword_, kIdChangePassword, "changePasswordButton");
  delete_ = new ThemedHoverButton(tr("&Delete"), group);
  SetControlId(delete_, kIdDelete, "deleteButton");
  for (ThemedHoverButton* button : {newUser_, changePassword_, delete_})
    button->setMinimumSize(units.Size(65, 15));
  ok_ = new ThemedHoverButton(tr("&OK"), this);
  SetControlId(ok_, kIdOk, "okButton");
  ok_->setMinimumSize(units.Size(42, 15));
  ok_->setDefault(true);

  auto* commands = new QVBoxLayout;
  commands->setSpacing(units.Y(1));
  commands->addStretch();
  commands->addWidget(newUser_);
  commands->addWidget(changePassword_);
  commands->addWidget(delete_);
  auto* inside = new QHBoxLayout(group);
  inside->setContentsMargins(units.X(6), units.Y(11), units.X(5), units.Y(6));
  inside->setSpacing(units.X(5));
  inside->addWidget(users_);
  inside->addLayout(commands);
  auto* okColumn = new QVBoxLayout;
  okColumn->addStretch();
  okColumn->addWidget(ok_);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(units.X(7), units.Y(7), units.X(7), units.Y(7));
  layout->setSpacing(units.X(6));
  layout->addWidget(group);
  layout->addLayout(okColumn);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(newUser_, &QPushButton::clicked, this, &UserManagementDialog::OnNewUser);
  connect(changePassword_, &QPushButton::clicked, this, &UserManagementDialog::OnChangePassword);
  connect(delete_, &QPushButton::clicked, this, &UserManagementDialog::OnDelete);
  connect(users_, &QListWidget::itemSelectionChanged, this,
          &UserManagementDialog::OnSelChangeUserList);

  SetWindowIcon128(this);
  for (const std::string& name : store_.ListUsers())
    InsertSortedNoCase(users_, FromStore(name));
  OnSelChangeUserList();

  users_->setToolTip(tr("Lunaret users."));
  newUser_->setToolTip(tr("Create new user."));
  changePassword_->setToolTip(tr("Change user password."));
  delete_->setToolTip(tr("Delete user."));

  const ColorRef hot = HotBackgroundColor();
  for (ThemedHoverButton* button : {newUser_, changePassword_, delete_, ok_}) {
    button->UseCursor(kCursorHand, true);
    button->UseTheme(&theme_);
    button->UseColor(0, hot, true);
  }
  ok_->UseTooltip(QStringLiteral(" OK! "), true);

  ApplyLabelFont(this,
                 {kIdUsersGroup, kIdUserList, kIdNewUser, kIdChangePassword, kIdDelete, kIdOk});
  KeyboardAccess::Install(this);
  users_->setFocus(Qt::OtherFocusReason);
}

UserManagementDialog::~UserManagementDialog() {
  // The buttons are children and go after the members: they must not keep the library.
  for (ThemedHoverButton* button : {ok_, newUser_, changePassword_, delete_})
    button->UseTheme(nullptr);
}

void UserManagementDialog::OnSelChangeUserList() {
  if (removing_)
    return;
  const bool selected = !users_->selectedItems().isEmpty();
  changePassword_->setEnabled(selected);
  delete_->setEnabled(selected);
}

void UserManagementDialog::OnNewUser() {
  RegisterDialog registration(store_, nullptr);
  if (registration.exec() == QDialog::Accepted)
    InsertSortedNoCase(users_, registration.RegisteredName());
}

void UserManagementDialog::OnChangePassword() {
  const QList<QListWidgetItem*> selected = users_->selectedItems();
  if (selected.isEmpty())
    return;
  ChangePasswordDialog change(store_, selected.first()->text(), this);
  change.exec();
}

void UserManagementDialog::OnDelete() {
  const QList<QListWidgetItem*> selected = users_->selectedItems();
  if (selected.isEmpty())
    return;
  QListWidgetItem* item = selected.first();
  const QString name = item->text();

  const QString question =
      tr("Are you sure you want to delete user ") + QLatin1Char('"') + name + QLatin1String("\" ?");
  if (ShowMessageBox(this, question, tr("Manage users"), kMbYesNo | kMbIconExclamation) != kIdYes)
    return;

  PasswordPromptDialog prompt(name, this);
  if (prompt.exec() != QDialog::Accepted)
    return;
  switch (DeleteUser(name, prompt.EnteredPassword())) {
    case Deletion::kDeleted:
      break;
    case Deletion::kWrongPassword:
      ShowMessageBox(this, tr("The password is incorrect!"), tr("Delete user"),
                     kMbOk | kMbIconError);
      return;
    case Deletion::kRefused:
      ShowMessageBox(this, tr("Unable to delete user %1.").arg(name), tr("Delete user"),
                     kMbOk | kMbIconExclamation);
      return;
  }

  // The store matches names without regard to letter case: whoever is logged in under any
  // spelling of the deleted name has lost her account.
  if (!loggedInUserName_.isEmpty() && EqualNoCase(ToStore(name), ToStore(loggedInUserName_)))
    loggedInUserDeleted_ = true;
  // Removing the entry is no choice of the user's: the buttons keep their state until she
  // selects again, and nothing is selected afterwards.
  removing_ = true;
  delete users_->takeItem(users_->row(item));
  users_->clearSelection();
  removing_ = false;
  ShowMessageBox(this, tr("The user \"%1\" was successfully deleted.").arg(name), tr("Delete user"),
                 kMbOk | kMbIconInformation);
}

UserManagementDialog::Deletion UserManagementDialog::DeleteUser(const QString& userName,
                                                                const QString& password) {
  const std::string user = ToStore(userName);
  const WaitCursor waiting;  // while another copy holds the store, this may take seconds
  std::string stored;
  if (!StoresExactly(password) || !store_.GetPassword(user, &stored) || stored != ToStore(password))
    return Deletion::kWrongPassword;
  return store_.DeleteUserKey(user) ? Deletion::kDeleted : Deletion::kRefused;
}

}  // namespace lunaret
