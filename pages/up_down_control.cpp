#include "pages/up_down_control.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace lunaret {

namespace {

// A whole number as the buddy shows it: optional blanks and sign, digits, nothing else.
bool ParseBuddyNumber(const QString& text, int* value) {
  bool ok = false;
  const int parsed = text.trimmed().toInt(&ok, 10);
  if (!ok)
    return false;
  *value = parsed;
  return true;
}

QToolButton* MakeArrow(Qt::ArrowType arrow, QWidget* parent) {
  auto* button = new QToolButton(parent);  // owned by parent
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  button->setIconSize(QSize(7, 7));
  return button;
}

}  // namespace

UpDownControl::UpDownControl(QWidget* parent) : QWidget(parent) {
  up_ = MakeArrow(Qt::UpArrow, this);
  down_ = MakeArrow(Qt::DownArrow, this);
  auto* layout = new QVBoxLayout(this);  // owned by this
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(up_);
  layout->addWidget(down_);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setFocusPolicy(Qt::NoFocus);
  connect(up_, &QToolButton::clicked, this, [this]() { StepBy(1); });
  connect(down_, &QToolButton::clicked, this, [this]() { StepBy(-1); });
}

UpDownControl::~UpDownControl() = default;

void UpDownControl::SetBuddy(QLineEdit* buddy) {
  if (buddy_ != nullptr) {
    buddy_->removeEventFilter(this);
    disconnect(buddy_, nullptr, this, nullptr);
  }
  buddy_ = buddy;
  if (buddy_ != nullptr) {
    buddy_->installEventFilter(this);
    connect(buddy_, &QObject::destroyed, this, [this]() { buddy_ = nullptr; });
  }
}

void UpDownControl::SetRange(int low, int high) {
  low_ = std::min(low, high);
  high_ = std::max(low, high);
  position_ = std::clamp(position_, low_, high_);
}

void UpDownControl::ReadBuddy() {
  int value = 0;
  if (buddy_ != nullptr && ParseBuddyNumber(buddy_->text(), &value) && value >= low_ &&
      value <= high_)
    position_ = value;
}

void UpDownControl::StepBy(int steps) {
  if (!isEnabled() || steps == 0)
    return;
  ReadBuddy();
  // Without wrapping a step beyond a bound stops at the bound; at the bound nothing moves.
  const long long wanted = static_cast<long long>(position_) + steps;
  const int next = static_cast<int>(std::clamp<long long>(wanted, low_, high_));
  if (next == position_)
    return;
  position_ = next;
  if (buddy_ != nullptr) {
    const QString text = QString::number(position_);
    if (buddy_->text() != text)
      buddy_->setText(text);
  }
}

QSize UpDownControl::sizeHint() const {
  const int height = buddy_ != nullptr ? buddy_->sizeHint().height() : 22;
  return {16, height};
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
  if (watched == buddy_ && event->type() == QEvent::KeyPress && isEnabled()) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
      StepBy(key->key() == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace lunaret
