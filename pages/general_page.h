#ifndef LUNARET_PAGES_GENERAL_PAGE_H
#define LUNARET_PAGES_GENERAL_PAGE_H

#include <QString>
#include <QWidget>
#include <memory>

#include "core/user_store.h"

namespace lunaret {

// The "General" tab: the first day of the current menstruation, the cycle length, the forecast
// and the status line. Talks to its host only through signals.
class GeneralPage : public QWidget {
  Q_OBJECT

 public:
  GeneralPage(UserStore& store, const QString& userName, QWidget* parent = nullptr);
  ~GeneralPage() override;

  // The page's own initialisation: loads the user given at construction. The host connects the
  // signals first, so that loading already reaches it.
  void Initialize();

  void LoadForecast(const QString& userName);
  void SaveForecast();
  void ClearForecast();

  QString UserName() const;

 signals:
  void modified();         // the user changed the first day or the duration
  void okRequested();      // Enter inside the page
  void cancelRequested();  // Escape inside the page

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace lunaret

#endif  // LUNARET_PAGES_GENERAL_PAGE_H
