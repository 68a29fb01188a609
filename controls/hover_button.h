#ifndef LUNARET_CONTROLS_HOVER_BUTTON_H
#define LUNARET_CONTROLS_HOVER_BUTTON_H

#include <QCursor>
#include <QIcon>
#include <QPushButton>
#include <array>
#include <optional>

#include "controls/ui_support.h"

namespace lunaret {

class ThemeLibrary;

// A flat push button that lights up while the pointer is over it, with an optional icon left of
// its caption, its own pointer shape and its own tooltip.
class HoverButton : public QPushButton {
  Q_OBJECT

 public:
  explicit HoverButton(const QString& caption = QString(), QWidget* parent = nullptr);
  ~HoverButton() override;

  // Loads the hot icon and (idleIconId != 0) the idle icon by resource id; 0, or 1 when a
  // loaded icon's size cannot be read (then the button shows none).
  int UseIcons(int hotIconId, int idleIconId);
  // 0 keeps no own pointer; otherwise loads the cursor resource: 1 when it failed, else 0.
  int UseCursor(int cursorId, bool repaint);
  // Colour slots 0..5 (hot bg, hot text, idle bg, idle text, focus bg, focus text). A slot
  // above 5 (taken as an unsigned byte) changes nothing and returns 3; else 0.
  int UseColor(int slot, ColorRef color, bool repaint);
  // Sets the button's own tooltip text; a null text does nothing.
  void UseTooltip(const QString& text, bool activate);

  bool IsHot() const { return hover_; }
  // Follows the dialog's default push button (QPushButton's default flag, which moves with the
  // focus among auto-default buttons as the dialog manager moves it).
  bool IsDefaultButton() const { return isDefault(); }
  ColorRef Color(int slot) const { return colors_.at(static_cast<std::size_t>(slot)); }
  QRect IconRect() const;     // where the icon was drawn at the last paint
  QRect CaptionRect() const;  // where the caption was drawn at the last paint
  int PaintCount() const { return paintCount_; }
  QString OwnTooltip() const;
  bool OwnTooltipActive() const;

 protected:
  virtual int PaintBackground(QPainter& painter, const QRect& rect);
  virtual int PaintFrame(QPainter& painter, const QRect& rect);

  bool pressedAtPaint() const { return pressed_; }
  bool focusedAtPaint() const { return focused_; }
  bool disabledAtPaint() const { return disabled_; }
  bool defaultAtPaint() const { return default_; }

  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void SetHot(bool hot);
  // The hot-state rule of a mouse move or entry at pos with these buttons held.
  void TrackPointer(const QPoint& pos, Qt::MouseButtons buttons);
  void MoveFocusOn();
  void PaintCaption(QPainter& painter, const QRect& box);

  bool hover_ = false;
  bool pressed_ = false;
  bool focused_ = false;
  bool disabled_ = false;
  bool default_ = false;
  std::array<ColorRef, 6> colors_{};
  std::optional<QCursor> pointer_;
  QString tooltip_;
  bool tooltipActive_ = false;
  bool tooltipCreated_ = false;
  QIcon hotIcon_;
  QSize hotIconSize_;
  QIcon idleIcon_;
  QSize idleIconSize_;
  QRect iconRect_;
  QRect captionRect_;
  int paintCount_ = 0;
};

// A HoverButton whose face and edge come from a ThemeLibrary while visual styles are active.
class ThemedHoverButton : public HoverButton {
  Q_OBJECT

 public:
  using HoverButton::HoverButton;
  ~ThemedHoverButton() override;

  // The library is not owned; the dialog that owns both keeps it alive.
  void UseTheme(ThemeLibrary* library) { theme_ = library; }
  ThemeLibrary* Theme() const { return theme_; }
  // The push-button state the last themed paint used (kPbs*), 0 when it painted unthemed.
  int LastThemeState() const { return lastThemeState_; }

 protected:
  int PaintBackground(QPainter& painter, const QRect& rect) override;
  int PaintFrame(QPainter& painter, const QRect& rect) override;

 private:
  ThemeLibrary* theme_ = nullptr;
  int lastThemeState_ = 0;
};

}  // namespace lunaret

#endif  // LUNARET_CONTROLS_HOVER_BUTTON_H
