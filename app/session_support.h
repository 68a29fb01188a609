#ifndef LUNARET_APP_SESSION_SUPPORT_H
#define LUNARET_APP_SESSION_SUPPORT_H

#include <QString>
#include <array>
#include <initializer_list>
#include <string>
#include <utility>

class QComboBox;
class QDialog;
class QLineEdit;
class QListWidget;
class QWidget;

namespace lunaret {

// Frames of the session's windows: caption with system menu and close box; the login dialog
// and the main window add a minimize box.
inline constexpr Qt::WindowFlags kAccountDialogFlags =
    Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
inline constexpr Qt::WindowFlags kSessionWindowFlags =
    kAccountDialogFlags | Qt::WindowMinimizeButtonHint;

class DialogUnits;
class ThemeLibrary;
class ThemedHoverButton;

// Longest text an account or login field takes.
inline constexpr int kMaxFieldChars = 255;

// Removes space, tab, line feed, vertical tab, form feed and carriage return from both ends
// (and nothing else: other Unicode spaces belong to the name).
QString TrimWhiteSpace(const QString& text);

// The lists of user names keep their entries sorted by the user's locale without regard to
// letter case, as the platform's sorted list controls do: a new entry goes after every entry
// that does not sort after it. Each returns the index the entry landed at.
int InsertSortedNoCase(QComboBox* combo, const QString& name);
int InsertSortedNoCase(QListWidget* list, const QString& name);

// The first entry equal to name without regard to letter case (the store's folding), or -1.
int FindNoCase(const QComboBox* combo, const QString& name);

// A refused field: focused, its whole text selected, the caret brought into view.
void FocusAndSelectAll(QLineEdit* field);

// The OK and Cancel buttons of the account dialogs: "&OK" (the default button) and "&Cancel"
// (which rejects the dialog), 37 x 14 units each.
inline constexpr int kIdOkButton = 1;
inline constexpr int kIdCancelButton = 2;
struct OkCancelButtons {
  ThemedHoverButton* ok = nullptr;
  ThemedHoverButton* cancel = nullptr;
};
OkCancelButtons AddOkCancelButtons(QDialog* dialog, const DialogUnits& units);

// The hand cursor, the dialog's theme and the hot background, on OK and then on Cancel; with
// tips, each button also takes its own tip (" OK! ", "Cancel") right after its colour.
void UseHoverLook(const OkCancelButtons& buttons, ThemeLibrary* theme, bool repaintCursor,
                  bool withTips);

// The buttons are children and go after the dialog's members: they must not keep its theme.
void ReleaseTheme(const OkCancelButtons& buttons);

// One row of a dialog of three labelled fields.
struct FieldRow {
  QString label;
  int labelId;
  const char* labelName;
  int fieldId;
  const char* fieldName;
  QString tip;
  bool hidden;  // shows what is typed as password characters
};

// The dialogs of three labelled fields over the centred OK and Cancel buttons (registration,
// password change). Each field takes kMaxFieldChars characters at most and is 65 units wide;
// the dialog gets its window icon, the fields their tips, the buttons the hover look with tips
// and every control the label font. Returns the fields in row order; connecting OK and the
// first focus are left to the dialog.
std::array<QLineEdit*, 3> BuildFieldDialog(QDialog* dialog, const std::array<FieldRow, 3>& rows,
                                           ThemeLibrary* theme, bool repaintCursor,
                                           OkCancelButtons* buttons);

// Reads the fields in turn as ReadTextField does (at most kMaxFieldChars characters each) and
// stops at the first that is too long; false then.
bool ReadFields(std::initializer_list<std::pair<QLineEdit*, QString*>> fields);

// Refuses a new password that differs from its confirmation, that the store's encoding cannot
// hold as typed, or whose stored form would hold a zero byte (cut short in the store, it would
// lock its owner out): says why, empties both fields and focuses the first. True when refused.
bool RefuseNewPassword(QWidget* dialog, const QString& password, const QString& confirmation,
                       QLineEdit* passwordField, QLineEdit* confirmationField);

}  // namespace lunaret

#endif  // LUNARET_APP_SESSION_SUPPORT_H
