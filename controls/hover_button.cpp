#include "controls/hover_button.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

#include "controls/theme_library.h"

namespace lunaret {

namespace {

// Division rounded toward negative infinity, so that an icon larger than the button still
// centres on the same side as a smaller one.
int FloorDiv(int value, int divisor) {
  const int quotient = value / divisor;
  return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

// The size an icon is drawn at: its largest picture.
QSize NaturalSize(const QIcon& icon) {
  QSize best;
  const auto sizes = icon.availableSizes();
  for (const QSize& size : sizes) {
    if (!best.isValid() || size.width() * size.height() > best.width() * best.height())
      best = size;
  }
  return best;
}

constexpr int kIconMargin = 3;

}  // namespace

HoverButton::HoverButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
  const ColorRef face = ButtonFaceColorRef();
  const ColorRef text = ButtonTextColorRef();
  colors_ = {face, text, face, text, face, text};
  // Moves without a button held must reach the button too: the hot state follows them.
  setMouseTracking(true);
}

HoverButton::~HoverButton() = default;

int HoverButton::UseIcons(int hotIconId, int idleIconId) {
  hotIcon_ = QIcon();
  hotIconSize_ = QSize();
  idleIcon_ = QIcon();
  idleIconSize_ = QSize();

  QIcon hot = LoadIconResource(hotIconId);
  QIcon idle = idleIconId != 0 ? LoadIconResource(idleIconId) : QIcon();
  const QSize hotSize = NaturalSize(hot);
  const QSize idleSize = NaturalSize(idle);
  int result = 0;
  if ((!hot.isNull() && hotSize.isEmpty()) || (!idle.isNull() && idleSize.isEmpty())) {
    // A picture whose size cannot be read: the button shows no icon at all.
    result = 1;
  } else {
    if (!hot.isNull()) {
      hotIcon_ = hot;
      hotIconSize_ = hotSize;
    }
    if (!idle.isNull()) {
      idleIcon_ = idle;
      idleIconSize_ = idleSize;
    }
  }
  update();
  return result;
}

int HoverButton::UseCursor(int cursorId, bool repaint) {
  pointer_.reset();
  unsetCursor();
  if (cursorId == 0)
    return 0;
  QCursor loaded;
  bool ok = LoadCursorResource(cursorId, &loaded);
  if (!ok && cursorId == kCursorHand) {
    // The hand pointer exists on every platform even without its picture.
    loaded = QCursor(Qt::PointingHandCursor);
    ok = true;
  }
  if (ok) {
    pointer_ = loaded;
    setCursor(loaded);
  }
  if (repaint)
    update();
  return ok ? 0 : 1;
}

int HoverButton::UseColor(int slot, ColorRef color, bool repaint) {
  const auto index = static_cast<unsigned char>(slot);
  if (index > 5)
    return 3;
  colors_[index] = color;
  if (repaint)
    update();
  return 0;
}

void HoverButton::UseTooltip(const QString& text, bool activate) {
  if (text.isNull())
    return;
  // One tool covering the whole button; a later call only changes its text and activation.
  tooltipCreated_ = true;
  tooltip_ = text;
  tooltipActive_ = activate;
  if (!activate && QToolTip::isVisible() && QToolTip::text() == text)
    QToolTip::hideText();
}

QString HoverButton::OwnTooltip() const {
  return tooltip_;
}

bool HoverButton::OwnTooltipActive() const {
  return tooltipCreated_ && tooltipActive_;
}

QRect HoverButton::IconRect() const {
  return iconRect_;
}

QRect HoverButton::CaptionRect() const {
  return captionRect_;
}

void HoverButton::SetHot(bool hot) {
  if (hover_ == hot)
    return;
  hover_ = hot;
  update();
}

void HoverButton::TrackPointer(const QPoint& pos, Qt::MouseButtons buttons) {
  // A drag that started elsewhere never lights the button up.
  if ((buttons & Qt::LeftButton) && !hover_)
    return;
  const bool over = rect().contains(pos) && isEnabled();
  SetHot(over && QApplication::activeWindow() != nullptr);
}

void HoverButton::MoveFocusOn() {
  QWidget* parent = parentWidget();
  if (parent == nullptr)
    return;
  QWidget* top = window();
  for (QWidget* next = nextInFocusChain(); next != nullptr && next != this;
       next = next->nextInFocusChain()) {
    if (next->window() != top || !parent->isAncestorOf(next))
      continue;
    if ((next->focusPolicy() & Qt::TabFocus) != Qt::TabFocus || !next->isEnabled() ||
        !next->isVisibleTo(top) || next->focusProxy() != nullptr)
      continue;
    next->setFocus(Qt::TabFocusReason);
    return;
  }
  parent->setFocus(Qt::OtherFocusReason);
}

void HoverButton::mouseMoveEvent(QMouseEvent* event) {
  QPushButton::mouseMoveEvent(event);
  TrackPointer(event->position().toPoint(), event->buttons());
}

void HoverButton::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a press like the first, so it clicks again.
  mousePressEvent(event);
}

void HoverButton::keyPressEvent(QKeyEvent* event) {
  // Enter presses the button that has the focus, whichever button of the dialog is the default
  // one, and also in a dialog that has none.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    click();
    return;
  }
  QPushButton::keyPressEvent(event);
}

void HoverButton::enterEvent(QEnterEvent* event) {
  QPushButton::enterEvent(event);
  TrackPointer(event->position().toPoint(), QApplication::mouseButtons());
}

void HoverButton::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  SetHot(false);
}

void HoverButton::focusOutEvent(QFocusEvent* event) {
  QPushButton::focusOutEvent(event);
  SetHot(false);
}

void HoverButton::changeEvent(QEvent* event) {
  QPushButton::changeEvent(event);
  switch (event->type()) {
    case QEvent::EnabledChange:
      if (!isEnabled()) {
        // Only a button disabled itself hands the focus on; one disabled with its whole
        // window or page leaves the focus where the window puts it.
        if (testAttribute(Qt::WA_ForceDisabled))
          MoveFocusOn();
        SetHot(false);
      }
      break;
    case QEvent::ActivationChange:
      if (!isActiveWindow())
        SetHot(false);
      break;
    default:
      break;
  }
}

bool HoverButton::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Polish: {
      const bool handled = QPushButton::event(event);
      // The style's own hover repaints would double ours: the hot state repaints by itself.
      setAttribute(Qt::WA_Hover, false);
      return handled;
    }
    case QEvent::ToolTip:
      if (tooltipCreated_ && tooltipActive_ && !tooltip_.isEmpty()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), tooltip_, this, rect());
        return true;
      }
      break;
    case QEvent::WindowDeactivate:
      SetHot(false);
      break;
    default:
      break;
  }
  return QPushButton::event(event);
}

int HoverButton::PaintBackground(QPainter& painter, const QRect& rect) {
  ColorRef color = colors_[2];
  if (hover_ || pressed_)
    color = colors_[0];
  else if (focused_)
    color = colors_[4];
  painter.fillRect(rect, FromColorRef(color));
  return 0;
}

int HoverButton::PaintFrame(QPainter& painter, const QRect& rect) {
  const QColor highlight = palette().color(QPalette::Light);
  const QColor shadow = palette().color(QPalette::Dark);
  const QColor& topLeft = pressed_ ? shadow : highlight;
  const QColor& bottomRight = pressed_ ? highlight : shadow;
  const int x = rect.x();
  const int y = rect.y();
  const int w = rect.width();
  const int h = rect.height();
  painter.fillRect(QRect(x, y, w - 1, 1), topLeft);
  painter.fillRect(QRect(x, y, 1, h - 1), topLeft);
  painter.fillRect(QRect(x + w - 1, y, 1, h), bottomRight);
  painter.fillRect(QRect(x, y + h - 1, w, 1), bottomRight);
  return 0;
}

void HoverButton::paintEvent(QPaintEvent* /*event*/) {
  ++paintCount_;
  pressed_ = isDown();
  focused_ = hasFocus();
  disabled_ = !isEnabled();
  default_ = isDefault();

  QPainter painter(this);
  const QRect area = rect();
  PaintBackground(painter, area);
  if (pressed_ || hover_)
    PaintFrame(painter, area);

  const QString caption = text();
  QRect box = area;
  iconRect_ = QRect();
  const bool useHot = pressed_ || hover_ || idleIcon_.isNull();
  const QIcon& icon = useHot ? hotIcon_ : idleIcon_;
  const QSize iconSize = useHot ? hotIconSize_ : idleIconSize_;
  if (!icon.isNull()) {
    const int w = iconSize.width();
    const int h = iconSize.height();
    int left = area.left() + FloorDiv(area.width() - w, 2);
    if (!caption.isEmpty()) {
      left = area.left() + kIconMargin;
      box.setLeft(box.left() + w + kIconMargin);
    }
    int top = area.top() + FloorDiv(area.height() - h, 2);
    if (pressed_) {
      ++left;
      ++top;
    }
    iconRect_ = QRect(left, top, w, h);
    const QPixmap picture =
        icon.pixmap(iconSize, devicePixelRatio(), disabled_ ? QIcon::Disabled : QIcon::Normal);
    painter.drawPixmap(iconRect_, picture);
  }

  captionRect_ = QRect();
  if (!caption.isEmpty()) {
    if (pressed_)
      box.translate(1, 1);
    PaintCaption(painter, box);
  }
}

void HoverButton::PaintCaption(QPainter& painter, const QRect& box) {
  const int mnemonic = style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this)
                           ? Qt::TextShowMnemonic
                           : Qt::TextHideMnemonic;
  const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap | mnemonic;
  const QString caption = text();
  const QSize measured = painter.fontMetrics().boundingRect(box, flags, caption).size();
  captionRect_ = QRect(box.left() + (box.width() - measured.width()) / 2,
                       box.top() + (box.height() - measured.height()) / 2, measured.width(),
                       measured.height());

  if (disabled_) {
    // Embossed: a highlight copy one pixel down and right under the shadow-coloured caption.
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(captionRect_.translated(1, 1), flags, caption);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawText(captionRect_, flags, caption);
    return;
  }
  painter.setPen(FromColorRef((hover_ || pressed_) ? colors_[1] : colors_[3]));
  painter.drawText(captionRect_, flags, caption);
}

ThemedHoverButton::~ThemedHoverButton() = default;

int ThemedHoverButton::PaintBackground(QPainter& painter, const QRect& rect) {
  if (theme_ != nullptr && theme_->IsAppThemed()) {
    if (ThemeHandle theme = theme_->OpenThemeData(this, L"BUTTON")) {
      // A later rule wins: defaulted, then hot, then pressed, then disabled.
      int state = kPbsNormal;
      if (defaultAtPaint())
        state = kPbsDefaulted;
      if (IsHot())
        state = kPbsHot;
      if (pressedAtPaint())
        state = kPbsPressed;
      if (disabledAtPaint())
        state = kPbsDisabled;
      theme_->DrawThemeBackground(theme, &painter, kBpPushButton, state, rect, nullptr);
      theme_->CloseThemeData(theme);
      lastThemeState_ = state;
      return 0;
    }
  }
  lastThemeState_ = 0;
  return HoverButton::PaintBackground(painter, rect);
}

int ThemedHoverButton::PaintFrame(QPainter& painter, const QRect& rect) {
  // With styles active the themed face already carries its edge.
  if (theme_ != nullptr && theme_->IsAppThemed())
    return 0;
  return HoverButton::PaintFrame(painter, rect);
}

}  // namespace lunaret
