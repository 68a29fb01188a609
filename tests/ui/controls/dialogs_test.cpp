// The About box and the dedication dialog: texts, ids, button set-up and how they close.
#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include <gtest/gtest.h>

#include "controls/about_dialog.h"
#include "controls/dedication_dialog.h"
#include "controls/hover_button.h"
#include "controls/hyperlink.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

class NullOpener : public LinkOpener {
 public:
  void OpenMail(const QString& /*address*/) override { ++opened; }
  void OpenWeb(const QString& /*address*/) override { ++opened; }
  int opened = 0;
};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { LinkOpener::SetCurrent(&opener_); }
  void TearDown() override {
    LinkOpener::SetCurrent(nullptr);
    test::Settle();
  }
  NullOpener opener_;
};

void ExpectLabelFont(QWidget* widget) {
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->font().family(), LabelFont().family()) << widget->objectName().toStdString();
  EXPECT_EQ(widget->font().pixelSize(), LabelFont().pixelSize());
}

TEST_F(DialogTest, AboutBoxShowsItsTextsLinksAndButton) {
  AboutDialog about;
  EXPECT_EQ(about.windowTitle(), QStringLiteral("About Lunaret :)"));
  EXPECT_FALSE(about.windowIcon().isNull());

  auto* version = FindControlAs<QLabel>(&about, 1057);
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->text(), QStringLiteral("Vessa Calendar v3.2 bis"));
  auto* years = FindControlAs<QLabel>(&about, 1058);
  ASSERT_NE(years, nullptr);
  EXPECT_TRUE(years->text().contains(QStringLiteral("2026")));

  auto* mail = FindControlAs<HyperLink>(&about, 1037);
  auto* home = FindControlAs<HyperLink>(&about, 1074);
  ASSERT_NE(mail, nullptr);
  ASSERT_NE(home, nullptr);
  EXPECT_TRUE(mail->text().contains(QLatin1Char('@')));
  EXPECT_FALSE(home->text().contains(QLatin1Char('@')));
  EXPECT_EQ(about.MailLink(), mail);
  EXPECT_EQ(about.HomeLink(), home);

  auto* ok = FindControlAs<ThemedHoverButton>(&about, 1);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(about.OkButton(), ok);
  EXPECT_EQ(ok->text(), QStringLiteral("&OK"));
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(ok->Theme(), &about.Theme());
  EXPECT_EQ(ok->Color(0), HotBackgroundColor());
  EXPECT_EQ(ok->OwnTooltip(), QStringLiteral(" OK! "));
  EXPECT_TRUE(ok->OwnTooltipActive());
  EXPECT_EQ(ok->cursor().shape(), Qt::BitmapCursor);

  ExpectLabelFont(ok);
  ExpectLabelFont(version);
  ExpectLabelFont(years);
}

TEST_F(DialogTest, AboutBoxHasNoCloseBox) {
  AboutDialog about;
  const Qt::WindowFlags flags = about.windowFlags();
  EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
  EXPECT_TRUE(flags & Qt::WindowTitleHint);
  EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
}

TEST_F(DialogTest, AboutBoxClosesWithEscapeEnterAndOk) {
  {
    AboutDialog about;
    test::WhenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(about.exec(), QDialog::Rejected);
  }
  {
    AboutDialog about;
    test::WhenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
  }
  {
    AboutDialog about;
    test::WhenModal([](QWidget* modal) {
      QTest::mouseClick(FindControl(modal, AboutDialog::kIdOk), Qt::LeftButton);
    });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
  }
}

TEST_F(DialogTest, AboutLinksAreBlueAgainAtEveryOpening) {
  {
    AboutDialog about;
    about.show();
    QTest::mouseClick(about.MailLink(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QTest::mouseClick(about.HomeLink(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    EXPECT_EQ(opener_.opened, 2);
    EXPECT_EQ(about.MailLink()->LinkColor(), HyperLink::kVisitedColor);
    EXPECT_EQ(about.HomeLink()->LinkColor(), HyperLink::kVisitedColor);
  }
  AboutDialog again;
  EXPECT_EQ(again.MailLink()->LinkColor(), HyperLink::kUnvisitedColor);
  EXPECT_EQ(again.HomeLink()->LinkColor(), HyperLink::kUnvisitedColor);
}

TEST_F(DialogTest, AboutTextsFitTheirControls) {
  AboutDialog about;
  about.show();
  test::Settle();
  for (int id : {1057, 1058}) {
    auto* label = FindControlAs<QLabel>(&about, id);
    ASSERT_NE(label, nullptr);
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << id;
  }
  for (HyperLink* link : {about.MailLink(), about.HomeLink()})
    EXPECT_GE(link->width(), link->sizeHint().width());
}

TEST_F(DialogTest, DedicationShowsThreeLinesWithAGapBeforeTheLast) {
  DedicationDialog dedication;
  EXPECT_EQ(dedication.windowTitle(), QStringLiteral("Vessa sentimental :)"));
  auto* text = FindControlAs<QLabel>(&dedication, 1077);
  ASSERT_NE(text, nullptr);
  const QStringList lines = text->text().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 4);
  EXPECT_FALSE(lines[0].isEmpty());
  EXPECT_FALSE(lines[1].isEmpty());
  EXPECT_TRUE(lines[2].isEmpty());
  EXPECT_FALSE(lines[3].isEmpty());
  EXPECT_TRUE(text->alignment() & Qt::AlignHCenter);
  ExpectLabelFont(text);
}

TEST_F(DialogTest, DedicationButtonCarriesTheCancelIdAndItsSetUp) {
  DedicationDialog dedication;
  auto* ok = FindControlAs<ThemedHoverButton>(&dedication, 2);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(dedication.OkButton(), ok);
  EXPECT_EQ(FindControl(&dedication, 1), nullptr);
  EXPECT_EQ(ok->text(), QStringLiteral("OK     "));
  EXPECT_EQ(ok->Theme(), &dedication.Theme());
  EXPECT_EQ(ok->Color(0), HotBackgroundColor());
  EXPECT_EQ(ok->OwnTooltip(), QStringLiteral("All the best to you!"));
  EXPECT_TRUE(ok->OwnTooltipActive());
  EXPECT_EQ(ok->cursor().shape(), Qt::BitmapCursor);
  ExpectLabelFont(ok);
  ok->grab();
  EXPECT_EQ(ok->IconRect().size(), QSize(16, 16)) << "the heart icon";
  EXPECT_EQ(ok->IconRect().left(), 3);
}

TEST_F(DialogTest, DedicationClosesFromItsButtonEscapeAndEnter) {
  {
    DedicationDialog dedication;
    test::WhenModal([](QWidget* modal) {
      QTest::mouseClick(FindControl(modal, DedicationDialog::kIdOk), Qt::LeftButton);
    });
    EXPECT_EQ(dedication.exec(), QDialog::Rejected) << "the button carries the Cancel id";
  }
  {
    DedicationDialog dedication;
    test::WhenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(dedication.exec(), QDialog::Rejected);
  }
  {
    DedicationDialog dedication;
    QSignalSpy finished(&dedication, &QDialog::finished);
    test::WhenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); });
    dedication.exec();
    EXPECT_EQ(finished.count(), 1);
  }
}

}  // namespace
}  // namespace lunaret
