#include "controls/dedication_dialog.h"

#include <QLabel>
#include <QVBoxLayout>

#include "controls/dialog_units.h"
#include "controls/hover_button.h"
#include "controls/keyboard_access.h"
#include "controls/ui_support.h"

namespace lunaret {

const char* const DedicationDialog::kCaption = "Vessa sentimental :)";
const char* const DedicationDialog::kButtonText = "OK     ";
const char* const DedicationDialog::kTooltip = "All the best to you!";
const char* const DedicationDialog::kDedication =
    "For Vessa, who counts the days with me,\n"
    "may every one of them be gentle and bright.\n"
    "\n"
    "With all my love.";

DedicationDialog::DedicationDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8(kCaption));
  const DialogUnits units(font());

  text_ = new QLabel(QString::fromUtf8(kDedication), this);
  text_->setTextFormat(Qt::PlainText);
  text_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  text_->setMinimumSize(units.Size(145, 34));
  SetControlId(text_, kIdText, "dedicationText");

  ok_ = new ThemedHoverButton(QString::fromUtf8(kButtonText), this);
  SetControlId(ok_, kIdOk, "okButton");
  ok_->setMinimumSize(units.Size(50, 14));
  connect(ok_, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(units.X(7), units.Y(7), units.X(7), units.Y(7));
  layout->setSpacing(units.Y(3));
  layout->addWidget(text_);
  layout->addWidget(ok_, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  ok_->UseTheme(&theme_);
  ok_->UseIcons(162, 0);
  ok_->UseColor(0, HotBackgroundColor(), true);
  ok_->UseCursor(kCursorHand, true);
  ok_->UseTooltip(QString::fromUtf8(kTooltip), true);
  ApplyLabelFont(this, {kIdText, kIdOk});
  KeyboardAccess::Install(this);
  ok_->setFocus();
}

DedicationDialog::~DedicationDialog() {
  // The button is a child and goes after the members: it must not keep the library.
  ok_->UseTheme(nullptr);
}

}  // namespace lunaret
