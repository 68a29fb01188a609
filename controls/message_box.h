#ifndef LUNARET_CONTROLS_MESSAGE_BOX_H
#define LUNARET_CONTROLS_MESSAGE_BOX_H

#include <QString>
#include <vector>

class QWidget;
class QLineEdit;

namespace lunaret {

// Message-box flags and answers, with the values of the Win32 API.
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbOkCancel = 0x1;
inline constexpr unsigned kMbYesNoCancel = 0x3;
inline constexpr unsigned kMbYesNo = 0x4;
inline constexpr unsigned kMbIconError = 0x10;  // also "stop"
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbIconExclamation = 0x30;
inline constexpr unsigned kMbIconInformation = 0x40;
inline constexpr unsigned kMbTypeMask = 0xF;
inline constexpr unsigned kMbIconMask = 0xF0;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Shows a modal message box with exactly this text and title, the icon and buttons the flags
// name, and returns the button chosen. Escape (or closing) answers kIdCancel where there is a
// Cancel button, else kIdOk for OK boxes and kIdNo for Yes/No boxes.
int ShowMessageBox(QWidget* parent, const QString& text, const QString& title, unsigned flags);

// Test hook: while installed, ShowMessageBox records every call and answers from the queue
// (kIdOk, or the first button of the box, when the queue is empty) without showing anything.
namespace message_box_hook {
struct Shown {
  QString text;
  QString title;
  unsigned flags = 0;
};
void Install();
void Uninstall();
bool Installed();
void QueueAnswer(int answer);
const std::vector<Shown>& Calls();
void ClearCalls();
}  // namespace message_box_hook

// The application framework's validation messages, shown with the program's title
// ("Lunaret") and flags 0x30.
QString IntegerMessage();                        // "Please enter an integer."
QString IntegerRangeMessage(int low, int high);  // "Please enter an integer between %1 and %2."
QString MaxCharsMessage(int count);              // "Please enter no more than %1 characters."
inline constexpr const char* kFrameworkTitle = "Lunaret";

// Reads an integer from an edit field as dialog data exchange does: "Please enter an integer."
// when it is not a whole number, "Please enter an integer between %1 and %2." when outside
// [low, high]; on failure the field gets the focus and its whole text is selected.
bool ReadIntegerField(QLineEdit* field, int low, int high, int* value);
// Reads a text field of at most maxChars characters ("Please enter no more than %1
// characters." otherwise, with the same focus and selection).
bool ReadTextField(QLineEdit* field, int maxChars, QString* value);

}  // namespace lunaret

#endif  // LUNARET_CONTROLS_MESSAGE_BOX_H
