#include "controls/dialog_units.h"

#include <QFontMetrics>
#include <QString>

namespace lunaret {

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  // The average width of the 52 letters, rounded to the nearest pixel.
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  baseX_ = (letters / 26 + 1) / 2;
  baseY_ = metrics.height();
  if (baseX_ < 1)
    baseX_ = 1;
  if (baseY_ < 1)
    baseY_ = 1;
}

int DialogUnits::X(int units) const {
  return (units * baseX_ + 2) / 4;
}

int DialogUnits::Y(int units) const {
  return (units * baseY_ + 4) / 8;
}

}  // namespace lunaret
