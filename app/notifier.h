#ifndef LUNARET_APP_NOTIFIER_H
#define LUNARET_APP_NOTIFIER_H

#include <QString>

namespace lunaret {

// One desktop notification: a summary line and its body.
struct Notification {
  QString summary;
  QString body;
};

// The desktop's notification service.
class Notifier {
 public:
  virtual ~Notifier() = default;
  // Shows the notification as Lunaret's; false with the reason in *error when no service took it.
  virtual bool Send(const Notification& notification, QString* error) = 0;
};

}  // namespace lunaret

#endif  // LUNARET_APP_NOTIFIER_H
