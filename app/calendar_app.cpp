#include "app/calendar_app.h"

#include <QCoreApplication>
#include <QDialog>
#include <QString>

#include "app/login_dialog.h"
#include "app/main_dialog.h"
#include "controls/message_box.h"

namespace lunaret {

CalendarApp::CalendarApp() : CalendarApp(&OpenDefaultStore) {}

CalendarApp::CalendarApp(StoreOpener opener) : opener_(std::move(opener)) {}

bool CalendarApp::InitInstance() {
  StoreOpenResult result = StoreOpenResult::kOk;
  std::unique_ptr<Registry> registry = opener_(&result);
  if (!registry) {
    // A store that cannot be opened is left as it is: nothing is created over it.
    ShowMessageBox(nullptr, QStringLiteral("Unable to ran Lunaret"), QStringLiteral("Lunaret"),
                   kMbOk | kMbIconError);
    return false;
  }
  UserStore store(*registry);
  RunSession(store);
  return false;
}

void CalendarApp::RunSession(UserStore& store) {
  QString userName;
  {
    LoginDialog login(store, nullptr);
    if (login.exec() != QDialog::Accepted)
      return;
    userName = login.UserName();
  }
  MainDialog main(store, userName, nullptr);
  main.exec();
}

}  // namespace lunaret
