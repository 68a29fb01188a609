#ifndef LUNARET_CONTROLS_DIALOG_UNITS_H
#define LUNARET_CONTROLS_DIALOG_UNITS_H

#include <QFont>
#include <QRect>
#include <QSize>

namespace lunaret {

// Dialog-template units of a dialog font: horizontally a quarter of the font's average
// character width, vertically an eighth of its height.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  int X(int units) const;
  int Y(int units) const;
  QSize Size(int width, int height) const { return {X(width), Y(height)}; }
  QRect Rect(int x, int y, int width, int height) const {
    return {X(x), Y(y), X(width), Y(height)};
  }

  int BaseX() const { return baseX_; }
  int BaseY() const { return baseY_; }

 private:
  int baseX_ = 0;
  int baseY_ = 0;
};

}  // namespace lunaret

#endif  // LUNARET_CONTROLS_DIALOG_UNITS_H
