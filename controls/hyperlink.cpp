#include "controls/hyperlink.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace lunaret {

namespace {

LinkOpener& DesktopOpener() {
  static LinkOpener opener;
  return opener;
}

LinkOpener* g_opener = nullptr;

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic;

}  // namespace

LinkOpener::~LinkOpener() = default;

void LinkOpener::OpenMail(const QString& address) {
  QString target = address.trimmed();
  if (target.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
    target = target.mid(7);
  const QUrl url(QStringLiteral("mailto:") + target, QUrl::TolerantMode);
  if (url.isValid())
    QDesktopServices::openUrl(url);
}

void LinkOpener::OpenWeb(const QString& address) {
  // Only web addresses: a link text never opens a local file or runs anything.
  const QUrl url = QUrl::fromUserInput(address.trimmed());
  const QString scheme = url.scheme().toLower();
  if (url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")))
    QDesktopServices::openUrl(url);
}

LinkOpener& LinkOpener::Current() {
  return g_opener != nullptr ? *g_opener : DesktopOpener();
}

void LinkOpener::SetCurrent(LinkOpener* opener) {
  g_opener = opener;
}

HyperLink::HyperLink(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
  UseHandCursor();
}

HyperLink::~HyperLink() = default;

void HyperLink::setText(const QString& text) {
  if (text == text_)
    return;
  text_ = text;
  updateGeometry();
  update();
}

QSize HyperLink::sizeHint() const {
  // The text in the link font, and one row below it for the underline.
  const QFontMetrics metrics(LabelFont());
  const QRect bounds = metrics.boundingRect(QRect(0, 0, 10000, 10000), kTextFlags, text_);
  return {bounds.width() + 1, metrics.height() + 1};
}

QSize HyperLink::minimumSizeHint() const {
  return sizeHint();
}

void HyperLink::UseHandCursor() {
  QCursor hand;
  if (!LoadCursorResource(kCursorHand, &hand))
    hand = QCursor(Qt::PointingHandCursor);
  setCursor(hand);
}

void HyperLink::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QColor color = FromColorRef(color_);
  painter.setFont(LabelFont());
  painter.setPen(QPen(color, 1));
  painter.drawText(rect(), kTextFlags, text_);
  // The underline runs along the bottom row across the whole control, not only the text.
  const int bottom = height() - 1;
  painter.drawLine(0, bottom, width() - 1, bottom);
}

void HyperLink::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    UseHandCursor();
    const QString target = text_;
    if (target.contains(QLatin1Char('@')))
      LinkOpener::Current().OpenMail(target);
    else
      LinkOpener::Current().OpenWeb(target);
    color_ = kVisitedColor;
    update();
  }
  QWidget::mousePressEvent(event);
}

void HyperLink::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click opens nothing more.
  event->accept();
}

}  // namespace lunaret
