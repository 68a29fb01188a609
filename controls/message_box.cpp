#include "controls/message_box.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <deque>

namespace lunaret {

namespace {

struct HookState {
  bool installed = false;
  std::deque<int> answers;
  std::vector<message_box_hook::Shown> calls;
};

HookState& Hook() {
  static HookState state;
  return state;
}

// The answer of a box that is closed without a choice, or of the hook with an empty queue.
int DefaultAnswer(unsigned flags) {
  switch (flags & kMbTypeMask) {
    case kMbYesNoCancel:
    case kMbYesNo:
      return kIdYes;
    default:
      return kIdOk;
  }
}

QMessageBox::Icon IconOf(unsigned flags) {
  switch (flags & kMbIconMask) {
    case kMbIconError:
      return QMessageBox::Critical;
    case kMbIconQuestion:
      return QMessageBox::Question;
    case kMbIconExclamation:
      return QMessageBox::Warning;
    case kMbIconInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

int ShowMessageBox(QWidget* parent, const QString& text, const QString& title, unsigned flags) {
  HookState& hook = Hook();
  if (hook.installed) {
    hook.calls.push_back({text, title, flags});
    if (hook.answers.empty())
      return DefaultAnswer(flags);
    const int answer = hook.answers.front();
    hook.answers.pop_front();
    return answer;
  }

  QMessageBox box(IconOf(flags), title, QString(text).replace(QLatin1String("\r\n"), "\n"),
                  QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  QPushButton* yes = nullptr;
  QPushButton* no = nullptr;
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
  switch (flags & kMbTypeMask) {
    case kMbYesNoCancel:
      yes = box.addButton(QMessageBox::Yes);
      no = box.addButton(QMessageBox::No);
      cancel = box.addButton(QMessageBox::Cancel);
      box.setDefaultButton(yes);
      box.setEscapeButton(cancel);
      break;
    case kMbYesNo:
      yes = box.addButton(QMessageBox::Yes);
      no = box.addButton(QMessageBox::No);
      box.setDefaultButton(yes);
      box.setEscapeButton(no);
      break;
    case kMbOkCancel:
      ok = box.addButton(QMessageBox::Ok);
      cancel = box.addButton(QMessageBox::Cancel);
      box.setDefaultButton(ok);
      box.setEscapeButton(cancel);
      break;
    default:
      ok = box.addButton(QMessageBox::Ok);
      box.setDefaultButton(ok);
      box.setEscapeButton(ok);
      break;
  }
  box.exec();
  const QAbstractButton* clicked = box.clickedButton();
  if (clicked == nullptr)
    return cancel != nullptr ? kIdCancel : DefaultAnswer(flags);
  if (clicked == yes)
    return kIdYes;
  if (clicked == no)
    return kIdNo;
  if (clicked == cancel)
    return kIdCancel;
  return kIdOk;
}

namespace message_box_hook {

void Install() {
  Hook().installed = true;
  Hook().answers.clear();
  Hook().calls.clear();
}

void Uninstall() {
  Hook().installed = false;
  Hook().answers.clear();
}

bool Installed() {
  return Hook().installed;
}

void QueueAnswer(int answer) {
  Hook().answers.push_back(answer);
}

const std::vector<Shown>& Calls() {
  return Hook().calls;
}

void ClearCalls() {
  Hook().calls.clear();
}

}  // namespace message_box_hook

QString IntegerMessage() {
  return QStringLiteral("Please enter an integer.");
}

QString IntegerRangeMessage(int low, int high) {
  return QStringLiteral("Please enter an integer between %1 and %2.").arg(low).arg(high);
}

QString MaxCharsMessage(int count) {
  return QStringLiteral("Please enter no more than %1 characters.").arg(count);
}

namespace {

// A refused field gets the focus back with its whole text selected.
void FailField(QLineEdit* field, const QString& message) {
  ShowMessageBox(field->window(), message, QString::fromLatin1(kFrameworkTitle),
                 kMbOk | kMbIconExclamation);
  field->setFocus(Qt::OtherFocusReason);
  field->selectAll();
}

// Whole numbers as dialog data exchange reads them: white space around an optional sign and
// decimal digits, nothing else, within the range of int.
bool ParseInteger(const QString& text, int* value) {
  const QString trimmed = text.trimmed();
  int pos = 0;
  if (pos < trimmed.size() && (trimmed[pos] == '+' || trimmed[pos] == '-'))
    ++pos;
  if (pos == trimmed.size())
    return false;
  for (int i = pos; i < trimmed.size(); ++i) {
    if (trimmed[i] < '0' || trimmed[i] > '9')
      return false;
  }
  bool ok = false;
  const int parsed = trimmed.toInt(&ok, 10);
  if (!ok)
    return false;
  *value = parsed;
  return true;
}

}  // namespace

bool ReadIntegerField(QLineEdit* field, int low, int high, int* value) {
  int parsed = 0;
  if (!ParseInteger(field->text(), &parsed)) {
    FailField(field, IntegerMessage());
    return false;
  }
  if (parsed < low || parsed > high) {
    FailField(field, IntegerRangeMessage(low, high));
    return false;
  }
  *value = parsed;
  return true;
}

bool ReadTextField(QLineEdit* field, int maxChars, QString* value) {
  const QString text = field->text();
  if (text.size() > maxChars) {
    FailField(field, MaxCharsMessage(maxChars));
    return false;
  }
  *value = text;
  return true;
}

}  // namespace lunaret
