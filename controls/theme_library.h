#ifndef LUNARET_CONTROLS_THEME_LIBRARY_H
#define LUNARET_CONTROLS_THEME_LIBRARY_H

#include <QRect>

class QPainter;
class QStyle;
class QWidget;

namespace lunaret {

using ThemeHandle = void*;
inline constexpr long kThemeFailure = static_cast<long>(0x80004005u);  // E_FAIL
inline constexpr int kBpPushButton = 1;
// Push-button states.
inline constexpr int kPbsNormal = 1;
inline constexpr int kPbsHot = 2;
inline constexpr int kPbsPressed = 3;
inline constexpr int kPbsDisabled = 4;
inline constexpr int kPbsDefaulted = 5;

// Binds the application's widget style as the visual-style library. "Themed" means the style
// is not the plain fallback; each operation has the harmless fallback of a missing library.
class ThemeLibrary {
 public:
  // style: the style to bind; null binds the application's style at construction.
  explicit ThemeLibrary(QStyle* style = nullptr);
  virtual ~ThemeLibrary();
  ThemeLibrary(const ThemeLibrary&) = delete;
  ThemeLibrary& operator=(const ThemeLibrary&) = delete;

  ThemeHandle OpenThemeData(QWidget* window, const wchar_t* classList);
  long CloseThemeData(ThemeHandle theme);
  long DrawThemeBackground(ThemeHandle theme, QPainter* painter, int part, int state,
                           const QRect& rect, const QRect* clip);
  bool IsAppThemed() const;

  bool IsLoaded() const { return style_ != nullptr; }

 private:
  QStyle* style_ = nullptr;
};

}  // namespace lunaret

#endif  // LUNARET_CONTROLS_THEME_LIBRARY_H
