// The hyperlink control: colours, underline, pointer and where a click sends its text.
#include <QApplication>
#include <QDesktopServices>
#include <QImage>
#include <QMouseEvent>
#include <QObject>
#include <QTest>
#include <QUrl>
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

class HyperLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LinkOpener::SetCurrent(&opener_);
    link_.resize(300, link_.sizeHint().height());  // much wider than its text
  }
  void TearDown() override {
    LinkOpener::SetCurrent(nullptr);
    test::Settle();
  }
  void Click(Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(&link_, button, Qt::NoModifier, QPoint(3, 3));
  }

  RecordingOpener opener_;
  HyperLink link_{QStringLiteral("www.lunaret.example")};
};

TEST_F(HyperLinkTest, ATextWithAnAtSignAnywhereOpensAsMailAnyOtherAsAWebAddress) {
  const std::pair<QString, bool> cases[] = {{"hello@lunaret.example", true},
                                            {"https://lunaret.example/@vessa", true},
                                            {"@", true},
                                            {"https://lunaret.example/", false},
                                            {"www.lunaret.example", false}};
  for (const auto& [text, mail] : cases) {
    SCOPED_TRACE(text.toStdString());
    opener_.mail.clear();
    opener_.web.clear();
    link_.setText(text);
    Click();
    const std::vector<QString>& reached = mail ? opener_.mail : opener_.web;
    ASSERT_EQ(reached.size(), 1u);
    EXPECT_EQ(reached[0], text) << "the text exactly as displayed";
    EXPECT_EQ(opener_.mail.size() + opener_.web.size(), 1u);
  }
}

TEST_F(HyperLinkTest, OnlyALeftPressOpensAndADoubleClickOpensOnce) {
  Click(Qt::RightButton);
  Click(Qt::MiddleButton);
  EXPECT_TRUE(opener_.web.empty());
  EXPECT_EQ(link_.LinkColor(), HyperLink::kUnvisitedColor);

  QTest::mousePress(&link_, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  QTest::mouseRelease(&link_, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(3, 3), link_.mapToGlobal(QPointF(3, 3)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&link_, &second);
  QTest::mouseRelease(&link_, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  EXPECT_EQ(opener_.web.size(), 1u);
}

TEST_F(HyperLinkTest, BlueUntilClickedPurpleAfterWithAnUnderlineAcrossTheWholeControl) {
  // Whether the whole bottom row has the colour, and whether the text above it shows it.
  auto painted = [this](const QColor& colour) {
    const QImage image = link_.grab().toImage();
    bool underline = true;
    bool text = false;
    for (int x = 0; x < image.width(); ++x) {
      underline = underline && image.pixel(x, image.height() - 1) == colour.rgb();
      for (int y = 0; y < image.height() - 1; ++y)
        text = text || image.pixel(x, y) == colour.rgb();
    }
    return std::make_pair(underline, text);
  };
  const QColor blue(0, 0, 255);
  const QColor purple(128, 0, 128);
  EXPECT_EQ(link_.LinkColor(), 0x00FF0000u);
  EXPECT_EQ(painted(blue), std::make_pair(true, true));
  Click();
  EXPECT_EQ(link_.LinkColor(), 0x00800080u);
  EXPECT_EQ(painted(purple), std::make_pair(true, true));
  EXPECT_EQ(painted(blue), std::make_pair(false, false));
}

TEST_F(HyperLinkTest, ShowsTheHandPointerAndAsksForRoomForItsTextAndUnderline) {
  EXPECT_EQ(link_.cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(link_.cursor().hotSpot(), QPoint(13, 7));
  const QFontMetrics metrics(LabelFont());
  EXPECT_GE(link_.sizeHint().width(), metrics.horizontalAdvance(link_.text()));
  EXPECT_GT(link_.sizeHint().height(), metrics.height());
}

// Catches what the desktop opener hands to the desktop.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  std::vector<QUrl> urls;

 public slots:
  void Open(const QUrl& url) { urls.push_back(url); }
};

TEST(DesktopOpenerTest, MailGetsOneMailtoAndOnlyWebAddressesOpen) {
  static constexpr const char* kSchemes[] = {"mailto", "http", "https", "file", "ftp"};
  UrlCatcher catcher;
  for (const char* scheme : kSchemes)
    QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "Open");
  LinkOpener& desktop = LinkOpener::Current();
  desktop.OpenMail(QStringLiteral("hello@lunaret.example"));
  desktop.OpenMail(QStringLiteral("mailto:vessa@lunaret.example"));
  desktop.OpenWeb(QStringLiteral("https://lunaret.example/"));
  desktop.OpenWeb(QStringLiteral("www.lunaret.example"));
  desktop.OpenWeb(QStringLiteral("/etc/passwd"));
  desktop.OpenWeb(QStringLiteral("file:///etc/passwd"));
  for (const char* scheme : kSchemes)
    QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));

  ASSERT_EQ(catcher.urls.size(), 4u) << "local files never open";
  EXPECT_EQ(catcher.urls[0], QUrl(QStringLiteral("mailto:hello@lunaret.example")));
  EXPECT_EQ(catcher.urls[1], QUrl(QStringLiteral("mailto:vessa@lunaret.example")));
  EXPECT_EQ(catcher.urls[2], QUrl(QStringLiteral("https://lunaret.example/")));
  EXPECT_EQ(catcher.urls[3], QUrl(QStringLiteral("http://www.lunaret.example")));
}

}  // namespace
}  // namespace lunaret

#include "hyperlink_test.moc"
