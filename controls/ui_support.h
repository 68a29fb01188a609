#ifndef LUNARET_CONTROLS_UI_SUPPORT_H
#define LUNARET_CONTROLS_UI_SUPPORT_H

#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <string>

class QWidget;

namespace lunaret {

// Converts between the core's multibyte texts and the widgets' texts; the only place.
std::string ToStore(const QString& text);
QString FromStore(const std::string& text);
// Whether ToStore keeps text as it is. On Windows the store's encoding is the ANSI code page, and
// a character outside it would be stored as "?" or a look-alike ("Ω" under code page 1252), so
// that different names or passwords would be stored alike.
bool StoresExactly(const QString& text);

// Every control carries its template id (property "controlId") and a readable objectName.
void SetControlId(QWidget* widget, int id, const char* name);
int ControlId(const QWidget* widget);
// The descendant of root with that id, or null.
QWidget* FindControl(const QWidget* root, int id);
template <typename T>
T* FindControlAs(const QWidget* root, int id) {
  return qobject_cast<T*>(FindControl(root, id));
}

// The label font: "Tahoma", height 13 pixels, every other attribute default.
QFont LabelFont();
// Gives the label font to the controls with these ids, in that order; missing ids are skipped.
void ApplyLabelFont(QWidget* root, std::initializer_list<int> ids);
// Where Tahoma or the dialog font that names it (MS Shell Dlg) is missing, as under Wine without
// Wine's own fonts, Qt's Windows font database takes the first family it knows in alphabetical
// order, whatever it is: a serif, a symbol font that shows no letters at all, or a wide one that
// pushes the month calendars' last days out of sight. This names sans-serif fonts to take
// instead, in the order tried. Call once the application object exists.
void SubstituteMissingDialogFonts();

// COLORREF (0x00BBGGRR) conversions and the hot-background colour: the button-face colour
// made lighter by 0x1E in each channel (0xD4D0C8 gives 0xF2EEE6; a channel stops at 0xFF).
using ColorRef = std::uint32_t;
ColorRef ToColorRef(const QColor& color);
QColor FromColorRef(ColorRef color);
ColorRef ButtonFaceColorRef();
ColorRef ButtonTextColorRef();
ColorRef HotBackgroundColor();
ColorRef LightenColorRef(ColorRef face);

// Pictures by resource id (":/res/<id>.png"); a null icon/pixmap when there is none.
QIcon LoadIconResource(int id);
QPixmap LoadPixmapResource(int id);
bool LoadCursorResource(int id, QCursor* cursor);
inline constexpr int kIconWindow = 128;
inline constexpr int kCursorHand = 136;

// Sets the window icon 128 on a top-level widget.
void SetWindowIcon128(QWidget* window);

}  // namespace lunaret

#endif  // LUNARET_CONTROLS_UI_SUPPORT_H
