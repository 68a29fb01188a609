#include "pages/day_cell_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

#include "pages/month_model.h"

namespace lunaret {

namespace {

const QColor kPeriod(0xb0, 0x20, 0x30);
const QColor kFertile(0x30, 0x70, 0xb0);
const QColor kHatch(0x30, 0x70, 0xb0, 0x80);  // lighter, so that the number stays clear

}  // namespace

void DayCellDelegate::PaintMarks(QPainter* painter, const QRect& rect, const DayMarks& marks,
                                 const QString& number, const QFont& font, const QColor& text) {
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  const QRect inner = rect.adjusted(2, 2, -2, -2);
  if (marks.fertile)
    painter->fillRect(inner, QBrush(kHatch, Qt::BDiagPattern));
  if (marks.periodStart || marks.expectedStart || marks.expectedRange) {
    const Qt::PenStyle style = marks.periodStart     ? Qt::SolidLine
                               : marks.expectedStart ? Qt::DashLine
                                                     : Qt::DotLine;
    painter->setPen(QPen(kPeriod, marks.expectedRange && !marks.expectedStart ? 1 : 2, style));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(inner.adjusted(1, 1, -1, -1));
  }

  QFont numberFont = font;
  numberFont.setBold(marks.today);
  numberFont.setUnderline(marks.today);
  painter->setFont(numberFont);
  const QFontMetrics metrics(numberFont);
  const int size = metrics.height() + 4;
  const QRect numberBox(inner.left() + (inner.width() - size) / 2, inner.top() + 2, size, size);
  painter->setPen(text);
  painter->drawText(numberBox, Qt::AlignCenter, number);
  if (marks.ovulation) {
    painter->setPen(QPen(kFertile, 1.5));
    painter->drawEllipse(numberBox.adjusted(0, 0, -1, -1));
  }

  const int drop = std::max(4, metrics.height() / 3);
  const int drops = marks.flow == 1 ? 1 : std::max(0, marks.flow - 1);
  const int y = std::min(inner.bottom() - drop - 1, numberBox.bottom() + 2);
  for (int i = 0; i < drops; ++i) {
    const int x = inner.left() + (inner.width() - drops * (drop + 2)) / 2 + i * (drop + 2);
    painter->setPen(QPen(kPeriod, 1));
    painter->setBrush(marks.flow == 1 ? QBrush(Qt::NoBrush) : QBrush(kPeriod));
    painter->drawEllipse(QRect(x, y, drop, drop));
  }
  if (marks.logged) {
    painter->setPen(Qt::NoPen);
    painter->setBrush(text);
    painter->drawRect(QRect(inner.right() - drop - 1, inner.top() + 2, drop, drop));
  }
  painter->restore();
}

void DayCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
  QStyleOptionViewItem background = option;
  initStyleOption(&background, index);
  background.text.clear();
  const QWidget* widget = option.widget;
  QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);
  const bool selected = (option.state & QStyle::State_Selected) != 0;
  QColor text = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
  if (!index.data(MonthModel::kInMonthRole).toBool())
    text = option.palette.color(QPalette::Disabled, QPalette::Text);
  PaintMarks(painter, option.rect, index.data(MonthModel::kMarksRole).value<DayMarks>(),
             index.data(Qt::DisplayRole).toString(), option.font, text);
}

QSize DayCellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  const int side = QFontMetrics(option.font).height() * 2 + 12;
  return {side + 6, side};
}

}  // namespace lunaret
