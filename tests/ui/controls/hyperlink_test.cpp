// The hyperlink control: colours, underline, pointer and where a click sends its text.
#include <QApplication>
#include <QDesktopServices>
#include <QImage>
#include <QMouseEvent>
#include <QObject>
#include <QTest>
#include <QUrl>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "controls/hyperlink.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

// Records what links would have opened.
class RecordingOpener : public LinkOpener {
 public:
  void OpenMail(const QString& address) override { mail.push_back(address); }
  void OpenWeb(const QString& address) override { web.push_back(address); }
  std::vector<QString> mail;
  std::vector<QString> web;
};

// Installs a recording opener for the lifetime of a test.
class HyperLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { LinkOpener::SetCurrent(&opener_); }
  void TearDown() override {
    LinkOpener::SetCurrent(nullptr);
    test::Settle();
  }

  static void Click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(widget, button, Qt::NoModifier, QPoint(3, 3));
  }

  RecordingOpener opener_;
};

TEST_F(HyperLinkTest, TextWithAnAtSignAnywhereOpensAsMail) {
  for (const QString& text :
       {QStringLiteral("hello@lunaret.example"), QStringLiteral("https://lunaret.example/@vessa"),
        QStringLiteral("@")}) {
    opener_.mail.clear();
    opener_.web.clear();
    HyperLink link(text);
    link.resize(200, 16);
    Click(&link);
    ASSERT_EQ(opener_.mail.size(), 1u) << text.toStdString();
    EXPECT_EQ(opener_.mail[0], text) << "the text exactly as displayed";
    EXPECT_TRUE(opener_.web.empty());
  }
}

TEST_F(HyperLinkTest, OtherTextsOpenAsWebAddresses) {
  HyperLink link(QStringLiteral("https://lunaret.example/"));
  link.resize(200, 16);
  Click(&link);
  ASSERT_EQ(opener_.web.size(), 1u);
  EXPECT_EQ(opener_.web[0], QStringLiteral("https://lunaret.example/"));
  EXPECT_TRUE(opener_.mail.empty());

  link.setText(QStringLiteral("www.lunaret.example"));
  Click(&link);
  ASSERT_EQ(opener_.web.size(), 2u);
  EXPECT_EQ(opener_.web[1], QStringLiteral("www.lunaret.example")) << "the text is read afresh";
}

TEST_F(HyperLinkTest, OnlyALeftPressOpensAndADoubleClickOpensOnce) {
  HyperLink link(QStringLiteral("www.lunaret.example"));
  link.resize(200, 16);
  Click(&link, Qt::RightButton);
  Click(&link, Qt::MiddleButton);
  EXPECT_TRUE(opener_.web.empty());
  EXPECT_EQ(link.LinkColor(), HyperLink::kUnvisitedColor);

  QTest::mousePress(&link, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  QTest::mouseRelease(&link, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(3, 3), link.mapToGlobal(QPointF(3, 3)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&link, &second);
  QTest::mouseRelease(&link, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  EXPECT_EQ(opener_.web.size(), 1u);
}

// The colours along the bottom row of the painted control, and whether a given colour
// appears above it.
struct Painted {
  bool bottomRowAll = true;
  bool textInColour = false;
};

Painted Inspect(HyperLink& link, const QColor& colour) {
  const QImage image = link.grab().toImage();
  Painted result;
  for (int x = 0; x < image.width(); ++x)
    result.bottomRowAll = result.bottomRowAll && image.pixel(x, image.height() - 1) == colour.rgb();
  for (int y = 0; y < image.height() - 1 && !result.textInColour; ++y) {
    for (int x = 0; x < image.width(); ++x)
      result.textInColour = result.textInColour || image.pixel(x, y) == colour.rgb();
  }
  return result;
}

TEST_F(HyperLinkTest, BlueUntilClickedPurpleAfterWithAFullWidthUnderline) {
  HyperLink link(QStringLiteral("hi@x"));
  link.resize(300, link.sizeHint().height());  // much wider than the text
  EXPECT_EQ(link.LinkColor(), 0x00FF0000u);
  Painted blue = Inspect(link, QColor(0, 0, 255));
  EXPECT_TRUE(blue.bottomRowAll) << "the underline spans the whole control";
  EXPECT_TRUE(blue.textInColour);

  Click(&link);
  EXPECT_EQ(link.LinkColor(), 0x00800080u);
  Painted purple = Inspect(link, QColor(128, 0, 128));
  EXPECT_TRUE(purple.bottomRowAll);
  EXPECT_TRUE(purple.textInColour);
  EXPECT_FALSE(Inspect(link, QColor(0, 0, 255)).textInColour);

  HyperLink fresh(QStringLiteral("hi@x"));
  EXPECT_EQ(fresh.LinkColor(), HyperLink::kUnvisitedColor) << "a new link starts blue";
}

TEST_F(HyperLinkTest, ShowsTheHandPointerAndUsesTheLinkFont) {
  HyperLink link(QStringLiteral("www.lunaret.example"));
  ASSERT_TRUE(link.testAttribute(Qt::WA_SetCursor));
  EXPECT_EQ(link.cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(link.cursor().hotSpot(), QPoint(13, 7));
  Click(&link);
  EXPECT_EQ(link.cursor().shape(), Qt::BitmapCursor) << "after a click as well";
  const QFontMetrics metrics(LabelFont());
  EXPECT_EQ(link.sizeHint().height(), metrics.height() + 1);
  EXPECT_GE(link.sizeHint().width(), metrics.horizontalAdvance(link.text()));
}

// Catches what the desktop opener hands to the desktop, scheme by scheme.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  std::vector<QUrl> urls;

 public slots:
  void Open(const QUrl& url) { urls.push_back(url); }
};

class DesktopOpenerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* scheme : kSchemes)
      QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher_, "Open");
  }
  void TearDown() override {
    for (const char* scheme : kSchemes)
      QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
  }

  static constexpr const char* kSchemes[] = {"mailto", "http", "https", "file", "ftp"};
  UrlCatcher catcher_;
};

TEST_F(DesktopOpenerTest, MailGoesOutAsAMailtoAddress) {
  LinkOpener& desktop = LinkOpener::Current();
  desktop.OpenMail(QStringLiteral("hello@lunaret.example"));
  desktop.OpenMail(QStringLiteral("mailto:vessa@lunaret.example"));
  ASSERT_EQ(catcher_.urls.size(), 2u);
  EXPECT_EQ(catcher_.urls[0], QUrl(QStringLiteral("mailto:hello@lunaret.example")));
  EXPECT_EQ(catcher_.urls[1], QUrl(QStringLiteral("mailto:vessa@lunaret.example")))
      << "an address that already names the scheme is not given it twice";
}

TEST_F(DesktopOpenerTest, WebAddressesOpenButLocalFilesDoNot) {
  LinkOpener& desktop = LinkOpener::Current();
  desktop.OpenWeb(QStringLiteral("https://lunaret.example/"));
  desktop.OpenWeb(QStringLiteral("www.lunaret.example"));
  desktop.OpenWeb(QStringLiteral("/etc/passwd"));
  desktop.OpenWeb(QStringLiteral("file:///etc/passwd"));
  ASSERT_EQ(catcher_.urls.size(), 2u);
  EXPECT_EQ(catcher_.urls[0], QUrl(QStringLiteral("https://lunaret.example/")));
  EXPECT_EQ(catcher_.urls[1].host(), QStringLiteral("www.lunaret.example"));
  EXPECT_EQ(catcher_.urls[1].scheme(), QStringLiteral("http"));
}

}  // namespace
}  // namespace lunaret

#include "hyperlink_test.moc"
