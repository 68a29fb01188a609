#ifndef LUNARET_APP_SESSION_SUPPORT_H
#define LUNARET_APP_SESSION_SUPPORT_H

#include <QString>

class QComboBox;
class QLineEdit;
class QListWidget;

namespace lunaret {

// Longest text an account or login field takes.
inline constexpr int kMaxFieldChars = 255;

// Removes space, tab, line feed, vertical tab, form feed and carriage return from both ends
// (and nothing else: other Unicode spaces belong to the name).
QString TrimWhiteSpace(const QString& text);

// The lists of user names keep their entries sorted without regard to letter case, as the
// platform's sorted list controls do: a new entry goes after every entry that does not sort
// after it. Each returns the index the entry landed at.
int InsertSortedNoCase(QComboBox* combo, const QString& name);
int InsertSortedNoCase(QListWidget* list, const QString& name);

// The first entry equal to name without regard to letter case (the store's folding), or -1.
int FindNoCase(const QComboBox* combo, const QString& name);

// A refused field: focused, its whole text selected, the caret brought into view.
void FocusAndSelectAll(QLineEdit* field);

}  // namespace lunaret

#endif  // LUNARET_APP_SESSION_SUPPORT_H
