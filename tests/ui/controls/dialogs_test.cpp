// The About box and the dedication dialog: texts, button set-up and how they close.
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

#include "controls/about_dialog.h"
#include "controls/dedication_dialog.h"
#include "controls/hover_button.h"
#include "controls/hyperlink.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

// What a dialog wires into its button: its theme, the hot background, an active tooltip of
// its own and the hand pointer.
void ExpectButtonSetUp(const ThemedHoverButton* button, const ThemeLibrary* theme) {
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Theme(), theme);
  EXPECT_EQ(button->Color(0), HotBackgroundColor());
  EXPECT_TRUE(button->OwnTooltipActive());
  EXPECT_EQ(button->cursor().shape(), Qt::BitmapCursor);
}

// Runs a fresh dialog's real modal loop, answered by action; returns exec()'s result, or fails
// when the dialog is still open after a few seconds.
template <typename Dialog>
int RunDialog(const std::function<void(QWidget*)>& action) {
  Dialog dialog;
  test::WhenModal(action);
  QTimer::singleShot(5000, &dialog, [&dialog]() {
    if (!dialog.isVisible())
      return;
    ADD_FAILURE() << "the dialog did not close";
    dialog.done(-1);
  });
  return dialog.exec();
}

template <Qt::Key key>
void Press(QWidget* modal) {
  QTest::keyClick(modal, key);
}
template <int id>
void ClickButton(QWidget* modal) {
  QTest::mouseClick(FindControl(modal, id), Qt::LeftButton);
}

TEST(DialogTest, AboutBoxHasNoCloseBoxAMailAndAWebLinkAndRoomForItsTexts) {
  AboutDialog about;
  EXPECT_FALSE(about.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint));
  EXPECT_TRUE(about.MailLink()->text().contains(QLatin1Char('@')));
  EXPECT_FALSE(about.HomeLink()->text().contains(QLatin1Char('@')));
  EXPECT_TRUE(about.OkButton()->isDefault());
  ExpectButtonSetUp(about.OkButton(), &about.Theme());
  about.show();
  test::Settle();
  for (int id : {AboutDialog::kIdVersion, AboutDialog::kIdYears}) {
    const QLabel* label = FindControlAs<QLabel>(&about, id);
    ASSERT_NE(label, nullptr);
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
  }
  for (const HyperLink* link : {about.MailLink(), about.HomeLink()})
    EXPECT_GE(link->width(), link->sizeHint().width()) << link->text().toStdString();
}

TEST(DialogTest, AboutLinksOpenAndAreBlueAgainAtTheNextOpening) {
  // Counts what the links would have opened.
  struct CountingOpener : LinkOpener {
    void OpenMail(const QString& /*address*/) override { ++opened; }
    void OpenWeb(const QString& /*address*/) override { ++opened; }
    int opened = 0;
  } opener;
  LinkOpener::SetCurrent(&opener);
  {
    AboutDialog about;
    about.show();
    for (HyperLink* link : {about.MailLink(), about.HomeLink()}) {
      QTest::mouseClick(link, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
      EXPECT_EQ(link->LinkColor(), HyperLink::kVisitedColor);
    }
    EXPECT_EQ(opener.opened, 2);
  }
  LinkOpener::SetCurrent(nullptr);
  AboutDialog again;
  EXPECT_EQ(again.MailLink()->LinkColor(), HyperLink::kUnvisitedColor);
  EXPECT_EQ(again.HomeLink()->LinkColor(), HyperLink::kUnvisitedColor);
}

TEST(DialogTest, DedicationShowsThreeCentredLinesWithAGapAndOnlyAButtonWithTheCancelId) {
  DedicationDialog dedication;
  auto* text = FindControlAs<QLabel>(&dedication, DedicationDialog::kIdText);
  ASSERT_NE(text, nullptr);
  const QStringList lines = text->text().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 4);
  EXPECT_TRUE(!lines[0].isEmpty() && !lines[1].isEmpty() && lines[2].isEmpty() &&
              !lines[3].isEmpty());
  EXPECT_TRUE(text->alignment() & Qt::AlignHCenter);
  EXPECT_EQ(FindControl(&dedication, 2), dedication.OkButton());
  EXPECT_EQ(FindControl(&dedication, 1), nullptr);
  ExpectButtonSetUp(dedication.OkButton(), &dedication.Theme());
}

TEST(DialogTest, BothDialogsCloseFromTheKeyboardAndTheirButton) {
  EXPECT_EQ(RunDialog<AboutDialog>(Press<Qt::Key_Escape>), QDialog::Rejected);
  EXPECT_EQ(RunDialog<AboutDialog>(Press<Qt::Key_Return>), QDialog::Accepted);
  EXPECT_EQ(RunDialog<AboutDialog>(ClickButton<AboutDialog::kIdOk>), QDialog::Accepted);
  EXPECT_EQ(RunDialog<DedicationDialog>(Press<Qt::Key_Escape>), QDialog::Rejected);
  EXPECT_EQ(RunDialog<DedicationDialog>(Press<Qt::Key_Return>), QDialog::Rejected);
  EXPECT_EQ(RunDialog<DedicationDialog>(ClickButton<DedicationDialog::kIdOk>), QDialog::Rejected)
      << "the button carries the Cancel id";
}

}  // namespace
}  // namespace lunaret
