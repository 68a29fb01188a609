#ifndef LUNARET_CONTROLS_THEME_LIBRARY_H
#define LUNARET_CONTROLS_THEME_LIBRARY_H

#include <QPointer>
#include <QRect>
#include <QStyle>
#include <memory>
#include <vector>

class QPainter;
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
//
// Any real widget style (Fusion, Windows, a platform's native style) counts as themed: the
// button face is then drawn by that style's push-button bevel. The plain fallback is a style
// named kPlainStyleName (see CreatePlainStyle); bound to it, or to no style at all, the library
// behaves like a missing visual-style library and the buttons paint themselves flat.
// The bound style is watched: when the application replaces (and deletes) it, the library
// falls back instead of drawing with a dead style.
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
  QStyle* Style() const { return style_; }

  // The name that marks the plain (unthemed) fallback style.
  static constexpr const char* kPlainStyleName = "lunaret-plain";
  // A style that counts as the plain fallback: a common style named kPlainStyleName.
  static std::unique_ptr<QStyle> CreatePlainStyle();
  // Whether a style is the plain fallback (null counts as plain too).
  static bool IsPlainStyle(const QStyle* style);

  // How many theme handles are open right now (each paint opens and closes one).
  int OpenHandleCount() const { return static_cast<int>(open_.size()); }

 private:
  struct ThemeData {
    QPointer<QWidget> window;
  };

  QPointer<QStyle> style_;
  std::vector<std::unique_ptr<ThemeData>> open_;
};

}  // namespace lunaret

#endif  // LUNARET_CONTROLS_THEME_LIBRARY_H
