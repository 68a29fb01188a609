#ifndef LUNARET_PAGES_DAY_CELL_DELEGATE_H
#define LUNARET_PAGES_DAY_CELL_DELEGATE_H

#include <QStyledItemDelegate>

#include "pages/day_marks.h"

namespace lunaret {

// Paints a day of the month view: its number and its marks as shapes and patterns (colour only
// adds to them), so that they read in black and white too:
//   recorded first day of a period   solid frame
//   forecast first day               dashed frame; the days of its range a dotted one
//   estimated fertile day            hatched
//   recorded ovulation               a ring around the number
//   flow                             drops under the number: a hollow one for spotting, one to
//                                    three filled ones for light, medium and heavy
//   symptoms, mood or a note         a small square in the corner
//   today                            the number bold and underlined
class DayCellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  // Paints marks and the day's number into rect; the legend uses it too.
  static void PaintMarks(QPainter* painter, const QRect& rect, const DayMarks& marks,
                         const QString& number, const QFont& font, const QColor& text);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace lunaret

#endif  // LUNARET_PAGES_DAY_CELL_DELEGATE_H
