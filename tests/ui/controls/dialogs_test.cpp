// The About box and the dedication dialog: texts, button set-up and how they close.
#include <QLabel>
#include <QTest>
#include <functional>

#include <gtest/gtest.h>

#include "controls/about_dialog.h"
#include "controls/dedication_dialog.h"
#include "controls/hover_button.h"
#include "controls/hyperlink.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

void ExpectLabelFont(const QWidget* widget) {
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->font().family(), LabelFont().family()) << widget->objectName().toStdString();
  EXPECT_EQ(widget->font().pixelSize(), LabelFont().pixelSize());
}

// What every dialog button is given: the dialog's theme, the hot background, its own tooltip,
// the hand pointer and the label font.
void ExpectButtonSetUp(const ThemedHoverButton* button, const ThemeLibrary* theme,
                       const QString& tooltip) {
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Theme(), theme);
  EXPECT_EQ(button->Color(0), HotBackgroundColor());
  EXPECT_EQ(button->OwnTooltip(), tooltip);
  EXPECT_TRUE(button->OwnTooltipActive());
  EXPECT_EQ(button->cursor().shape(), Qt::BitmapCursor);
  ExpectLabelFont(button);
}

// Runs a fresh dialog's real modal loop, answered by action; returns exec()'s result.
template <typename Dialog>
int RunDialog(const std::function<void(QWidget*)>& action) {
  Dialog dialog;
  test::WhenModal(action);
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

TEST(DialogTest, AboutBoxShowsItsTextsLinksAndButtonWithoutACloseBox) {
  AboutDialog about;
  EXPECT_EQ(about.windowTitle(), QStringLiteral("About Lunaret :)"));
  EXPECT_FALSE(about.windowIcon().isNull());
  EXPECT_FALSE(about.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(about.windowFlags() & Qt::WindowSystemMenuHint);
  EXPECT_TRUE(about.windowFlags() & Qt::WindowTitleHint);

  auto* version = FindControlAs<QLabel>(&about, AboutDialog::kIdVersion);
  auto* years = FindControlAs<QLabel>(&about, AboutDialog::kIdYears);
  ASSERT_TRUE(version != nullptr && years != nullptr);
  EXPECT_EQ(version->text(), QStringLiteral("Vessa Calendar v3.2 bis"));
  EXPECT_TRUE(years->text().contains(QStringLiteral("2026")));
  ExpectLabelFont(version);
  ExpectLabelFont(years);
  EXPECT_EQ(FindControl(&about, AboutDialog::kIdMailLink), about.MailLink());
  EXPECT_EQ(FindControl(&about, AboutDialog::kIdHomeLink), about.HomeLink());
  EXPECT_TRUE(about.MailLink()->text().contains(QLatin1Char('@')));
  EXPECT_FALSE(about.HomeLink()->text().contains(QLatin1Char('@')));

  EXPECT_EQ(FindControl(&about, AboutDialog::kIdOk), about.OkButton());
  EXPECT_EQ(about.OkButton()->text(), QStringLiteral("&OK"));
  EXPECT_TRUE(about.OkButton()->isDefault());
  ExpectButtonSetUp(about.OkButton(), &about.Theme(), QStringLiteral(" OK! "));

  about.show();
  test::Settle();
  for (const QLabel* label : {version, years})
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
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

TEST(DialogTest, DedicationShowsThreeCentredLinesWithAGapAndOneButtonWithTheCancelId) {
  DedicationDialog dedication;
  EXPECT_EQ(dedication.windowTitle(), QStringLiteral("Vessa sentimental :)"));
  auto* text = FindControlAs<QLabel>(&dedication, DedicationDialog::kIdText);
  ASSERT_NE(text, nullptr);
  const QStringList lines = text->text().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 4);
  EXPECT_TRUE(!lines[0].isEmpty() && !lines[1].isEmpty() && lines[2].isEmpty() &&
              !lines[3].isEmpty());
  EXPECT_TRUE(text->alignment() & Qt::AlignHCenter);
  ExpectLabelFont(text);

  EXPECT_EQ(FindControl(&dedication, 2), dedication.OkButton());
  EXPECT_EQ(FindControl(&dedication, 1), nullptr);
  EXPECT_EQ(dedication.OkButton()->text(), QStringLiteral("OK     "));
  ExpectButtonSetUp(dedication.OkButton(), &dedication.Theme(),
                    QStringLiteral("All the best to you!"));
  dedication.OkButton()->grab();
  EXPECT_EQ(dedication.OkButton()->IconRect().size(), QSize(16, 16)) << "the heart icon";
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
