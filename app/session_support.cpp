#include "app/session_support.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include "controls/ui_support.h"
#include "core/text.h"

namespace lunaret {

namespace {

bool IsTrimmedSpace(QChar c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// Case-insensitive order of the upper-cased store texts, byte for byte.
bool SortsAfter(const std::string& upperEntry, const std::string& upperName) {
  return upperEntry > upperName;
}

template <typename TextAt>
int SortedPosition(int count, const QString& name, TextAt textAt) {
  const std::string upperName = UpperCase(ToStore(name));
  int index = 0;
  while (index < count && !SortsAfter(UpperCase(ToStore(textAt(index))), upperName))
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

}  // namespace lunaret
