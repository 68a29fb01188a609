#ifndef LUNARET_PAGES_PAGE_KEYS_H
#define LUNARET_PAGES_PAGE_KEYS_H

#include <QObject>

class QWidget;

namespace lunaret {

// Enter and Escape pressed anywhere inside a page belong to the main window's OK and Cancel:
// the relay watches the page and every control in it (child windows such as popup menus and
// dialogs keep their own keys) and reports the two keys instead of letting a control use them.
class PageKeyRelay : public QObject {
  Q_OBJECT

 public:
  // Watches page and all its descendants that exist now; Watch() adds later ones.
  explicit PageKeyRelay(QWidget* page);

  void Watch(QWidget* widget);

 signals:
  void okPressed();
  void cancelPressed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* page_;
};

}  // namespace lunaret

#endif  // LUNARET_PAGES_PAGE_KEYS_H
