#ifndef LUNARET_CONTROLS_ABOUT_DIALOG_H
#define LUNARET_CONTROLS_ABOUT_DIALOG_H

#include <QDialog>

#include "controls/theme_library.h"

class QLabel;

namespace lunaret {

class HyperLink;
class ThemedHoverButton;

// The About box: program name and version, the years, a mail link and a home-page link, and
// an OK button. It has no close box; OK, Enter and Escape close it.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdOk = 1;
  static constexpr int kIdMailLink = 1037;
  static constexpr int kIdVersion = 1057;
  static constexpr int kIdYears = 1058;
  static constexpr int kIdHomeLink = 1074;

  static const char* const kCaption;
  static const char* const kVersionText;
  static const char* const kYearsText;
  static const char* const kMailAddress;
  static const char* const kHomePage;

  explicit AboutDialog(QWidget* parent = nullptr);
  ~AboutDialog() override;

  HyperLink* HomeLink() const { return homeLink_; }
  ThemedHoverButton* OkButton() const { return ok_; }
  HyperLink* MailLink() const { return mailLink_; }
  ThemeLibrary& Theme() { return theme_; }

 private:
  ThemeLibrary theme_;
  HyperLink* homeLink_ = nullptr;
  ThemedHoverButton* ok_ = nullptr;
  HyperLink* mailLink_ = nullptr;
  QLabel* icon_ = nullptr;
};

}  // namespace lunaret

#endif  // LUNARET_CONTROLS_ABOUT_DIALOG_H
