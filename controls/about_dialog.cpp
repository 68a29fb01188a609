#include "controls/about_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "controls/dialog_units.h"
#include "controls/hover_button.h"
#include "controls/hyperlink.h"
#include "controls/keyboard_access.h"
#include "controls/ui_support.h"

namespace lunaret {

const char* const AboutDialog::kCaption = "About Lunaret :)";
const char* const AboutDialog::kVersionText = "Vessa Calendar v3.2 bis";
const char* const AboutDialog::kYearsText = "\u00A9 2024\u20132026, write to";
const char* const AboutDialog::kMailAddress = "hello@lunaret.example";
const char* const AboutDialog::kHomePage = "https://lunaret.example/";

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(QString::fromUtf8(kCaption));
  SetWindowIcon128(this);
  const DialogUnits units(font());

  auto* frame = new QGroupBox(this);
  SetControlId(frame, -1, "frame");

  icon_ = new QLabel(frame);
  SetControlId(icon_, -1, "programIcon");
  const QIcon programIcon = LoadIconResource(kIconWindow);
  if (!programIcon.isNull())
    icon_->setPixmap(programIcon.pixmap(QSize(32, 32), devicePixelRatio()));
  icon_->setFixedSize(32, 32);

  auto* version = new QLabel(QString::fromUtf8(kVersionText), frame);
  version->setTextFormat(Qt::PlainText);
  version->setAlignment(Qt::AlignCenter);
  SetControlId(version, kIdVersion, "versionLabel");

  auto* years = new QLabel(QString::fromUtf8(kYearsText), frame);
  years->setTextFormat(Qt::PlainText);
  years->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  SetControlId(years, kIdYears, "yearsLabel");

  mailLink_ = new HyperLink(QString::fromUtf8(kMailAddress), frame);
  SetControlId(mailLink_, kIdMailLink, "mailLink");
  homeLink_ = new HyperLink(QString::fromUtf8(kHomePage), frame);
  SetControlId(homeLink_, kIdHomeLink, "homePageLink");

  ok_ = new ThemedHoverButton(tr("&OK"), frame);
  SetControlId(ok_, kIdOk, "okButton");
  ok_->setDefault(true);
  ok_->setMinimumSize(units.Size(46, 15));
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

  // The template's arrangement: the icon at the top left of the frame, the name centred over
  // the years line with the mail link beside it, the home page below, OK centred at the bottom.
  auto* lines = new QGridLayout;
  lines->setHorizontalSpacing(units.X(3));
  lines->setVerticalSpacing(units.Y(2));
  lines->addWidget(version, 0, 0, 1, 2, Qt::AlignHCenter);
  lines->addWidget(years, 1, 0, Qt::AlignLeft | Qt::AlignTop);
  lines->addWidget(mailLink_, 1, 1, Qt::AlignLeft | Qt::AlignTop);
  lines->addWidget(homeLink_, 2, 0, 1, 2, Qt::AlignLeft);
  lines->setColumnStretch(1, 1);

  auto* top = new QHBoxLayout;
  top->setSpacing(units.X(4));
  top->addWidget(icon_, 0, Qt::AlignTop);
  top->addLayout(lines, 1);
  top->addSpacing(units.X(20));

  auto* inside = new QVBoxLayout(frame);
  inside->setContentsMargins(units.X(3), units.Y(9), units.X(3), units.Y(3));
  inside->setSpacing(units.Y(6));
  inside->addLayout(top);
  inside->addWidget(ok_, 0, Qt::AlignHCenter);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(units.X(7), units.Y(2), units.X(7), units.Y(6));
  outer->addWidget(frame);
  outer->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumWidth(units.X(196));

  ok_->UseCursor(kCursorHand, false);
  ok_->UseTheme(&theme_);
  ok_->UseColor(0, HotBackgroundColor(), true);
  ok_->UseTooltip(QStringLiteral(" OK! "), true);
  ApplyLabelFont(this, {kIdOk, kIdVersion, kIdYears});
  KeyboardAccess::Install(this);
  ok_->setFocus();
}

AboutDialog::~AboutDialog() {
  // The button is a child and goes after the members: it must not keep the library.
  ok_->UseTheme(nullptr);
}

}  // namespace lunaret
