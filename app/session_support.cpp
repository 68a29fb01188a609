#include "app/session_support.h"

#include <QCollator>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "controls/dialog_units.h"
#include "controls/hover_button.h"
#include "controls/keyboard_access.h"
#include "controls/message_box.h"
#include "controls/ui_support.h"
#include "core/base/scramble.h"
#include "core/base/text.h"

namespace lunaret {

namespace {

bool IsTrimmedSpace(QChar c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// The order of the user's locale, without regard to letter case.
template <typename TextAt>
int SortedPosition(int count, const QString& name, TextAt textAt) {
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  int index = 0;
  while (index < count && collator.compare(textAt(index), name) <= 0)
    ++index;
  return index;
}

}  // namespace

QString TrimWhiteSpace(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && IsTrimmedSpace(text[begin]))
    ++begin;
  while (end > begin && IsTrimmedSpace(text[end - 1]))
    --end;
  return text.mid(begin, end - begin);
}

int InsertSortedNoCase(QComboBox* combo, const QString& name) {
  const int index =
      SortedPosition(combo->count(), name, [combo](int i) { return combo->itemText(i); });
  combo->insertItem(index, name);
  return index;
}

int InsertSortedNoCase(QListWidget* list, const QString& name) {
  const int index =
      SortedPosition(list->count(), name, [list](int i) { return list->item(i)->text(); });
  list->insertItem(index, name);
  return index;
}

int FindNoCase(const QComboBox* combo, const QString& name) {
  const std::string wanted = ToStore(name);
  for (int i = 0; i < combo->count(); ++i) {
    if (EqualNoCase(ToStore(combo->itemText(i)), wanted))
      return i;
  }
  return -1;
}

void FocusAndSelectAll(QLineEdit* field) {
  field->setFocus(Qt::OtherFocusReason);
  field->selectAll();
}

OkCancelButtons AddOkCancelButtons(QDialog* dialog, const DialogUnits& units) {
  OkCancelButtons buttons;
  buttons.ok = new ThemedHoverButton(QObject::tr("&OK"), dialog);
  SetControlId(buttons.ok, kIdOkButton, "okButton");
  buttons.cancel = new ThemedHoverButton(QObject::tr("&Cancel"), dialog);
  SetControlId(buttons.cancel, kIdCancelButton, "cancelButton");
  for (ThemedHoverButton* button : {buttons.ok, buttons.cancel})
    button->setMinimumSize(units.Size(37, 14));
  buttons.ok->setDefault(true);
  QObject::connect(buttons.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  return buttons;
}

void UseHoverLook(const OkCancelButtons& buttons, ThemeLibrary* theme, bool repaintCursor,
                  bool withTips) {
  const ColorRef hot = HotBackgroundColor();
  for (ThemedHoverButton* button : {buttons.ok, buttons.cancel}) {
    button->UseCursor(kCursorHand, repaintCursor);
    button->UseTheme(theme);
    button->UseColor(0, hot, true);
    if (withTips) {
      button->UseTooltip(button == buttons.ok ? QStringLiteral(" OK! ") : QObject::tr("Cancel"),
                         true);
    }
  }
}

void ReleaseTheme(const OkCancelButtons& buttons) {
  buttons.ok->UseTheme(nullptr);
  buttons.cancel->UseTheme(nullptr);
}

std::array<QLineEdit*, 3> BuildFieldDialog(QDialog* dialog, const std::array<FieldRow, 3>& rows,
                                           ThemeLibrary* theme, bool repaintCursor,
                                           OkCancelButtons* buttons) {
  const DialogUnits units(dialog->font());
  std::array<QLabel*, 3> labels{};
  std::array<QLineEdit*, 3> fields{};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    labels[i] = new QLabel(rows[i].label, dialog);
    SetControlId(labels[i], rows[i].labelId, rows[i].labelName);
    fields[i] = new QLineEdit(dialog);
    SetControlId(fields[i], rows[i].fieldId, rows[i].fieldName);
    labels[i]->setBuddy(fields[i]);
    fields[i]->setMaxLength(kMaxFieldChars);
    if (rows[i].hidden)
      fields[i]->setEchoMode(QLineEdit::Password);
    fields[i]->setMinimumWidth(units.X(65));
  }
  *buttons = AddOkCancelButtons(dialog, units);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(units.X(4));
  grid->setVerticalSpacing(units.Y(5));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    grid->addWidget(labels[i], static_cast<int>(i), 0);
    grid->addWidget(fields[i], static_cast<int>(i), 1);
  }
  grid->setColumnStretch(1, 1);
  auto* row = new QHBoxLayout;
  row->setSpacing(units.X(1));
  row->addStretch();
  row->addWidget(buttons->ok);
  row->addWidget(buttons->cancel);
  row->addStretch();
  auto* layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(units.X(7), units.Y(10), units.X(7), units.Y(7));
  layout->setSpacing(units.Y(8));
  layout->addLayout(grid);
  layout->addLayout(row);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  dialog->setMinimumWidth(units.X(144));

  SetWindowIcon128(dialog);
  for (std::size_t i = 0; i < rows.size(); ++i)
    fields[i]->setToolTip(rows[i].tip);
  UseHoverLook(*buttons, theme, repaintCursor, true);
  ApplyLabelFont(dialog, {rows[0].labelId, rows[0].fieldId, rows[1].labelId, rows[1].fieldId,
                          rows[2].labelId, rows[2].fieldId, kIdCancelButton, kIdOkButton});
  KeyboardAccess::Install(dialog);
  return fields;
}

bool ReadFields(std::initializer_list<std::pair<QLineEdit*, QString*>> fields) {
  for (const auto& [field, text] : fields) {
    if (!ReadTextField(field, kMaxFieldChars, text))
      return false;
  }
  return true;
}

bool RefuseNewPassword(QWidget* dialog, const QString& password, const QString& confirmation,
                       QLineEdit* passwordField, QLineEdit* confirmationField) {
  QString message;
  if (ToStore(password) != ToStore(confirmation)) {
    message =
        QObject::tr("The passwords you typed do not much. Type new passwords in both text boxes.");
  } else if (!StoresExactly(password) || ScrambledFormHasZeroByte(ToStore(password))) {
    message = QObject::tr("This password cannot be used. Type a different password.");
  } else {
    return false;
  }
  ShowMessageBox(dialog, message, QObject::tr("Register user"), kMbOk | kMbIconExclamation);
  passwordField->clear();
  confirmationField->clear();
  passwordField->setFocus(Qt::OtherFocusReason);
  return true;
}

}  // namespace lunaret
