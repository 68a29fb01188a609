#ifndef LUNARET_CONTROLS_HYPERLINK_H
#define LUNARET_CONTROLS_HYPERLINK_H

#include <QString>
#include <QWidget>

#include "controls/ui_support.h"

namespace lunaret {

// Opens link targets with the desktop's default programs. Tests install their own opener to see
// what would have been opened; failures are never reported.
class LinkOpener {
 public:
  virtual ~LinkOpener();
  // A mail address, opened as a mailto: address in the default mail program.
  virtual void OpenMail(const QString& address);
  // A web address, opened in the default web browser.
  virtual void OpenWeb(const QString& address);

  // The opener every link uses; never null.
  static LinkOpener& Current();
  // Installs an opener (not owned; it must outlive its use); null restores the desktop one.
  static void SetCurrent(LinkOpener* opener);
};

// A static text that acts as a link: its text in the link colour on a one-pixel underline
// across the whole control, the hand pointer over it, and on a left click its own text opened
// as a mail address (when it contains "@") or as a web address.
class HyperLink : public QWidget {
  Q_OBJECT

 public:
  static constexpr ColorRef kUnvisitedColor = 0x00FF0000;  // blue
  static constexpr ColorRef kVisitedColor = 0x00800080;    // purple

  explicit HyperLink(const QString& text = QString(), QWidget* parent = nullptr);
  ~HyperLink() override;

  QString text() const { return text_; }
  void setText(const QString& text);
  ColorRef LinkColor() const { return color_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void UseHandCursor();

  QString text_;
  ColorRef color_ = kUnvisitedColor;
};

}  // namespace lunaret

#endif  // LUNARET_CONTROLS_HYPERLINK_H
