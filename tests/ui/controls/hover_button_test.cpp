// Hover buttons, flat and themed, and the style-backed theme library behind the themed ones.
#include <QApplication>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTest>
#include <QToolTip>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "controls/hover_button.h"
#include "controls/theme_library.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

constexpr ColorRef kRed = 0x000000FF;
constexpr ColorRef kGreen = 0x0000FF00;
constexpr ColorRef kBlue = 0x00FF0000;

QRgb Rgb(ColorRef color) {
  return FromColorRef(color).rgb();
}

// Whether any pixel inside rect has exactly that colour.
bool HasColour(const QImage& image, const QRect& rect, QRgb colour) {
  const QRect area = rect & image.rect();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixel(x, y) == colour)
        return true;
    }
  }
  return false;
}

// The Windows style, which draws a hovered button like an idle one, recording the state of
// every push-button bevel it draws.
class RecordingStyle : public QProxyStyle {
 public:
  RecordingStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    if (element == CE_PushButtonBevel)
      bevels.push_back(*qstyleoption_cast<const QStyleOptionButton*>(option));
    QProxyStyle::drawControl(element, option, painter, widget);
  }
  mutable std::vector<QStyleOptionButton> bevels;
};

// An active window with an edit field, the button under test and a second edit field, in that
// tab order; the pointer starts in a corner of the window, off the button.
class HoverButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    window_->resize(320, 140);
    before_ = new QLineEdit(window_.get());  // owned by the window, as are the others
    before_->setGeometry(10, 10, 100, 24);
    button_ = new ThemedHoverButton(QStringLiteral("&Login"), window_.get());
    button_->setGeometry(10, 50, 120, 40);
    after_ = new QLineEdit(window_.get());
    after_->setGeometry(10, 100, 100, 24);
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    // The window system drops a move to where the pointer already is.
    QTest::mouseMove(window_->windowHandle(), QPoint(315, 135));
    test::Settle();
  }
  void TearDown() override {
    window_.reset();
    test::Settle();
  }

  // A move as the window system reports it, in button coordinates.
  void MoveTo(const QPoint& pos) {
    QTest::mouseMove(window_->windowHandle(), button_->mapTo(window_.get(), pos));
    test::Settle();
  }
  void SendMove(const QPoint& pos, Qt::MouseButtons buttons) {
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), button_->mapToGlobal(QPointF(pos)),
                     Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(button_, &move);
    test::Settle();
  }
  void SendEnter() {
    QEnterEvent enter(QPointF(5, 5), button_->mapTo(window_.get(), QPointF(5, 5)),
                      button_->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(button_, &enter);
    test::Settle();
  }
  QImage Paint() { return button_->grab().toImage(); }
  QRgb Palette(QPalette::ColorRole role) const { return button_->palette().color(role).rgb(); }

  std::unique_ptr<QWidget> window_;
  QLineEdit* before_ = nullptr;
  ThemedHoverButton* button_ = nullptr;
  QLineEdit* after_ = nullptr;
};

TEST_F(HoverButtonTest, EnteringRepaintsOnceAndFurtherMovesRepaintNothing) {
  const int painted = button_->PaintCount();
  MoveTo(QPoint(20, 20));
  EXPECT_TRUE(button_->IsHot());
  EXPECT_EQ(button_->PaintCount(), painted + 1);
  MoveTo(QPoint(40, 25));
  MoveTo(QPoint(60, 30));
  EXPECT_EQ(button_->PaintCount(), painted + 1);
  MoveTo(QPoint(20, 80));  // below the button, on the window
  EXPECT_FALSE(button_->IsHot());
  SendEnter();
  EXPECT_TRUE(button_->IsHot()) << "an entry alone lights the button up";
}

TEST_F(HoverButtonTest, LeaveFocusLossDisablingAndDeactivationEachClearTheHotStateOnce) {
  struct Case {
    const char* name;
    QWidget* focused;  // so that only focus loss goes through the button's own focus
    std::function<void()> clear;
    bool movesLightItAgain;
  };
  const Case cases[] = {
      {"leave", before_,
       [this]() {
         QEvent leave(QEvent::Leave);
         QApplication::sendEvent(button_, &leave);
       },
       true},
      {"focus loss", button_, [this]() { after_->setFocus(); }, true},
      {"disabling", before_, [this]() { button_->setEnabled(false); }, false},
      {"deactivation", before_, []() { QApplication::setActiveWindow(nullptr); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    button_->setEnabled(true);
    c.focused->setFocus();
    SendMove(QPoint(20, 20), Qt::NoButton);
    ASSERT_TRUE(button_->IsHot());
    const int painted = button_->PaintCount();
    for (int twice = 0; twice < 2; ++twice) {
      c.clear();
      test::Settle();
    }
    EXPECT_FALSE(button_->IsHot());
    EXPECT_EQ(button_->PaintCount(), painted + 1);
    SendMove(QPoint(25, 22), Qt::NoButton);
    EXPECT_EQ(button_->IsHot(), c.movesLightItAgain);
  }
}

TEST_F(HoverButtonTest, ADragNeverLightsTheButtonUpButAPressOnAHotButtonKeepsItHotInside) {
  QTest::mousePress(window_->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 60));
  MoveTo(QPoint(20, 20));
  EXPECT_FALSE(button_->IsHot());
  SendMove(QPoint(30, 20), Qt::LeftButton);
  EXPECT_FALSE(button_->IsHot());
  SendEnter();
  EXPECT_FALSE(button_->IsHot());

  QTest::mouseRelease(window_->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      button_->mapTo(window_.get(), QPoint(30, 20)));
  test::Settle();
  SendMove(QPoint(31, 20), Qt::NoButton);
  EXPECT_TRUE(button_->IsHot()) << "after the drag a move lights it up again";
  SendMove(QPoint(25, 20), Qt::LeftButton);
  EXPECT_TRUE(button_->IsHot());
  SendMove(QPoint(-15, 20), Qt::LeftButton);
  EXPECT_FALSE(button_->IsHot());
}

TEST_F(HoverButtonTest, DisablingHandsTheFocusToTheNextTabStopOrElseTheParent) {
  before_->setFocus();
  button_->setEnabled(false);
  EXPECT_EQ(window_->focusWidget(), after_);

  button_->setEnabled(true);
  QWidget::setTabOrder(after_, button_);  // the button last: the search wraps around
  button_->setFocus();
  button_->setEnabled(false);
  EXPECT_EQ(window_->focusWidget(), before_);

  auto* panel = new QWidget(window_.get());  // owned by the window
  panel->setGeometry(150, 10, 150, 120);
  panel->setFocusPolicy(Qt::ClickFocus);
  auto* lone = new HoverButton(QStringLiteral("Alone"), panel);  // owned by the panel
  lone->setGeometry(10, 10, 100, 30);
  panel->show();
  lone->setEnabled(false);
  EXPECT_EQ(window_->focusWidget(), panel) << "no tab stop left beside it";

  lone->setEnabled(true);
  after_->setFocus();
  panel->setEnabled(false);
  EXPECT_EQ(window_->focusWidget(), after_) << "disabled with its panel it hands nothing on";
}

TEST_F(HoverButtonTest, DoubleClickGivesTwoClicks) {
  QSignalSpy clicks(button_, &QPushButton::clicked);
  const QPoint at(20, 20);
  QTest::mousePress(button_, Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseRelease(button_, Qt::LeftButton, Qt::NoModifier, at);
  QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(at), button_->mapToGlobal(QPointF(at)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(button_, &second);
  QTest::mouseRelease(button_, Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(clicks.count(), 2);
}

TEST_F(HoverButtonTest, UseIconsPlacesTheIconThreePixelsInAndCentresTheCaptionInTheRest) {
  ASSERT_EQ(button_->UseIcons(151, 0), 0);
  Paint();
  EXPECT_EQ(button_->IconRect(), QRect(3, 4, 32, 32));
  const QRect caption = button_->CaptionRect();
  const int boxLeft = 32 + 3;
  ASSERT_GE(caption.left(), boxLeft);
  EXPECT_LE(std::abs((caption.left() - boxLeft) - (120 - caption.right() - 1)), 1);
  EXPECT_LE(std::abs(caption.top() - (40 - caption.bottom() - 1)), 1);
  button_->setDown(true);
  Paint();
  EXPECT_EQ(button_->IconRect(), QRect(4, 5, 32, 32));
  EXPECT_EQ(button_->CaptionRect(), caption.translated(1, 1));
  button_->setDown(false);

  // Without a caption the icon centres, rounding down also when it overhangs the button.
  button_->setText(QString());
  ASSERT_EQ(button_->UseIcons(162, 0), 0);
  Paint();
  EXPECT_EQ(button_->IconRect(), QRect(52, 12, 16, 16));
  EXPECT_TRUE(button_->CaptionRect().isNull());
  button_->resize(20, 21);
  ASSERT_EQ(button_->UseIcons(151, 0), 0);
  Paint();
  EXPECT_EQ(button_->IconRect(), QRect(-6, -6, 32, 32));

  // The idle icon shows while the button is neither hot nor pressed.
  ASSERT_EQ(button_->UseIcons(162, 151), 0);  // hot 16 px, idle 32 px
  Paint();
  EXPECT_EQ(button_->IconRect().size(), QSize(32, 32));
  SendEnter();
  Paint();
  EXPECT_EQ(button_->IconRect().size(), QSize(16, 16));
  EXPECT_EQ(button_->UseIcons(9998, 9997), 0);
  Paint();
  EXPECT_TRUE(button_->IconRect().isNull()) << "missing pictures: the earlier icons go too";
}

TEST_F(HoverButtonTest, FlatLooksFollowTheColourSlotsAndTheStateAndDisabledCaptionsEmboss) {
  QFont big = button_->font();
  big.setPixelSize(24);
  big.setBold(true);
  button_->setFont(big);
  const ColorRef colours[] = {kRed, kRed + 1, kGreen, kGreen + 1, kBlue, kBlue + 1};
  for (int slot = 0; slot < 6; ++slot)
    button_->UseColor(slot, colours[slot], false);
  const QRgb light = Palette(QPalette::Light);
  const QRgb dark = Palette(QPalette::Dark);
  // The face inside a one-pixel edge (top and left rows up to the last pixel but one, bottom
  // and right rows whole) and the caption's colour.
  auto looks = [this](ColorRef face, QRgb topLeft, QRgb bottomRight, ColorRef text) {
    const QImage image = Paint();
    return image.pixel(60, 3) == Rgb(face) && image.pixel(1, 1) == Rgb(face) &&
           image.pixel(0, 0) == topLeft && image.pixel(118, 0) == topLeft &&
           image.pixel(0, 38) == topLeft && image.pixel(119, 0) == bottomRight &&
           image.pixel(0, 39) == bottomRight && image.pixel(119, 39) == bottomRight &&
           HasColour(image, button_->CaptionRect(), Rgb(text));
  };
  EXPECT_TRUE(looks(kGreen, Rgb(kGreen), Rgb(kGreen), kGreen + 1)) << "idle: no edge";
  button_->setFocus();
  test::Settle();
  EXPECT_TRUE(looks(kBlue, Rgb(kBlue), Rgb(kBlue), kGreen + 1)) << "focused: no focus frame";
  MoveTo(QPoint(60, 20));
  EXPECT_TRUE(looks(kRed, light, dark, kRed + 1)) << "hot: raised";
  button_->setDown(true);
  EXPECT_TRUE(looks(kRed, dark, light, kRed + 1)) << "pressed: sunken";
  button_->setDown(false);

  button_->setEnabled(false);
  const QImage disabled = Paint();
  const QRect caption = button_->CaptionRect();
  EXPECT_FALSE(HasColour(disabled, caption.adjusted(0, 0, 1, 1), Rgb(kGreen + 1)));
  EXPECT_TRUE(HasColour(disabled, caption, Palette(QPalette::Dark)));
  EXPECT_TRUE(HasColour(disabled, caption.adjusted(1, 1, 1, 1), Palette(QPalette::Light)));
}

TEST_F(HoverButtonTest, UseColorTakesTheSlotAsAByteAndRepaintsOnlyWhenAsked) {
  const int painted = button_->PaintCount();
  EXPECT_EQ(button_->UseColor(6, kRed, true), 3);
  EXPECT_EQ(button_->UseColor(-1, kRed, true), 3);  // byte 255
  for (int slot = 0; slot < 6; ++slot)
    EXPECT_NE(button_->Color(slot), kRed) << slot;
  EXPECT_EQ(button_->UseColor(5, kRed, false), 0);
  EXPECT_EQ(button_->Color(5), kRed);
  EXPECT_EQ(button_->UseColor(256, kBlue, false), 0);  // byte 0
  EXPECT_EQ(button_->Color(0), kBlue);
  test::Settle();
  EXPECT_EQ(button_->PaintCount(), painted);
  button_->UseColor(2, kRed, true);
  test::Settle();
  EXPECT_EQ(button_->PaintCount(), painted + 1);
}

TEST_F(HoverButtonTest, UseTooltipMakesOneOwnTipThatLaterCallsOnlyChange) {
  // The text a help event on the button puts on screen.
  auto shown = [this]() {
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button_->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(button_, &help);
    const QString text = QToolTip::isVisible() ? QToolTip::text() : QString();
    QToolTip::hideText();
    for (int i = 0; i < 100 && QToolTip::isVisible(); ++i)
      QTest::qWait(10);
    return text;
  };
  button_->UseTooltip(QString(), true);
  EXPECT_FALSE(button_->OwnTooltipActive()) << "a null text makes no tip";
  EXPECT_EQ(shown(), QString());
  button_->UseTooltip(QStringLiteral(" OK! "), true);
  EXPECT_EQ(shown(), QStringLiteral(" OK! "));
  button_->UseTooltip(QStringLiteral("All the best to you!"), true);
  EXPECT_EQ(shown(), QStringLiteral("All the best to you!"));
  button_->UseTooltip(QString(), false);
  EXPECT_TRUE(button_->OwnTooltipActive()) << "a null text changes nothing";
  button_->UseTooltip(QStringLiteral("hidden"), false);
  EXPECT_EQ(button_->OwnTooltip(), QStringLiteral("hidden"));
  EXPECT_EQ(shown(), QString()) << "an inactive tip does not show";
}

TEST_F(HoverButtonTest, UseCursorLoadsTheHandOrReportsAFailureAndDropsTheOldPointer) {
  EXPECT_EQ(button_->UseCursor(kCursorHand, false), 0);
  EXPECT_EQ(button_->cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(button_->cursor().hotSpot(), QPoint(13, 7));
  EXPECT_EQ(button_->UseCursor(0, true), 0);
  EXPECT_FALSE(button_->testAttribute(Qt::WA_SetCursor));
  EXPECT_EQ(button_->UseCursor(kCursorHand, true), 0);
  EXPECT_EQ(button_->UseCursor(9999, true), 1);
  EXPECT_FALSE(button_->testAttribute(Qt::WA_SetCursor));
}

TEST_F(HoverButtonTest, ThemedPaintingTakesTheLaterStateAndLeavesTheEdgeToTheStyle) {
  ThemeLibrary library;  // the application's own style
  button_->UseTheme(&library);
  button_->UseColor(0, kRed, false);
  auto painted = [this]() {
    button_->grab();
    return button_->LastThemeState();
  };
  EXPECT_EQ(painted(), kPbsNormal);
  button_->setDefault(true);
  EXPECT_EQ(painted(), kPbsDefaulted);
  SendEnter();
  const QImage themed = Paint();
  EXPECT_EQ(button_->LastThemeState(), kPbsHot) << "hot beats defaulted";
  EXPECT_NE(themed.pixel(3, 3), Rgb(kRed)) << "the style paints the face";
  EXPECT_NE(themed.pixel(0, 0), Palette(QPalette::Light)) << "and the edge";
  button_->setDown(true);
  EXPECT_EQ(painted(), kPbsPressed);
  button_->setDown(false);
  button_->setEnabled(false);
  EXPECT_EQ(painted(), kPbsDisabled) << "disabled beats everything";
  EXPECT_EQ(library.OpenHandleCount(), 0);

  auto plain = ThemeLibrary::CreatePlainStyle();
  ThemeLibrary unthemed(plain.get());
  button_->setEnabled(true);
  SendEnter();
  for (ThemeLibrary* fallback : {&unthemed, static_cast<ThemeLibrary*>(nullptr)}) {
    button_->UseTheme(fallback);
    const QImage flat = Paint();
    EXPECT_EQ(button_->LastThemeState(), 0);
    EXPECT_EQ(flat.pixel(3, 3), Rgb(kRed)) << "slot 0 face";
    EXPECT_EQ(flat.pixel(0, 0), Palette(QPalette::Light)) << "raised edge";
  }
}

TEST(ThemeLibrary, FallsBackWithoutARealStyleAndNeverDrawsWithADeletedOne) {
  auto plain = ThemeLibrary::CreatePlainStyle();
  ThemeLibrary library(plain.get());
  EXPECT_TRUE(library.IsLoaded());
  EXPECT_FALSE(library.IsAppThemed());
  EXPECT_EQ(library.OpenThemeData(nullptr, L"BUTTON"), nullptr);
  EXPECT_TRUE(ThemeLibrary::IsPlainStyle(nullptr));

  std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
  ThemeLibrary bound(fusion.get());
  ASSERT_TRUE(bound.IsAppThemed());
  fusion.reset();
  EXPECT_FALSE(bound.IsLoaded());
  EXPECT_FALSE(bound.IsAppThemed());
  EXPECT_EQ(bound.OpenThemeData(nullptr, L"BUTTON"), nullptr);
}

TEST(ThemeLibrary, OpensButtonThemesOnlyAndDrawsOnlyThroughOpenHandlesWithinTheClip) {
  ThemeLibrary library;
  for (const wchar_t* refused : {L"EDIT", L"BUTTONS", static_cast<const wchar_t*>(nullptr)})
    EXPECT_EQ(library.OpenThemeData(nullptr, refused), nullptr);
  ThemeHandle upper = library.OpenThemeData(nullptr, L"BUTTON");
  ThemeHandle lower = library.OpenThemeData(nullptr, L"button");
  ThemeHandle listed = library.OpenThemeData(nullptr, L"EDIT;Button");
  ASSERT_TRUE(upper != nullptr && lower != nullptr && listed != nullptr);
  EXPECT_EQ(library.OpenHandleCount(), 3);

  QImage image(40, 20, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    const QRect all(0, 0, 40, 20);
    const QRect clip(0, 0, 20, 20);
    EXPECT_EQ(library.DrawThemeBackground(upper, &painter, kBpPushButton, kPbsHot, all, &clip), 0);
    EXPECT_EQ(library.DrawThemeBackground(upper, &painter, 2, kPbsHot, all, nullptr),
              kThemeFailure);
    EXPECT_EQ(library.DrawThemeBackground(upper, &painter, kBpPushButton, 9, all, nullptr),
              kThemeFailure);
    EXPECT_EQ(library.DrawThemeBackground(upper, nullptr, kBpPushButton, kPbsHot, all, nullptr),
              kThemeFailure);
    EXPECT_EQ(library.CloseThemeData(upper), 0);
    EXPECT_EQ(library.CloseThemeData(upper), kThemeFailure) << "a handle closes once";
    EXPECT_EQ(library.DrawThemeBackground(upper, &painter, kBpPushButton, kPbsHot, all, nullptr),
              kThemeFailure);
  }
  EXPECT_NE(image.pixelColor(10, 10).alpha(), 0) << "drawn inside the clip";
  EXPECT_EQ(image.pixelColor(30, 10).alpha(), 0) << "and nowhere else";
  EXPECT_EQ(library.CloseThemeData(lower), 0);
  EXPECT_EQ(library.CloseThemeData(listed), 0);
  EXPECT_EQ(library.OpenHandleCount(), 0);
}

TEST(ThemeLibrary, EachStateBecomesItsStyleFlagsAndTheHotStateShows) {
  RecordingStyle style;
  ThemeLibrary library(&style);
  ThemeHandle theme = library.OpenThemeData(nullptr, L"BUTTON");
  ASSERT_NE(theme, nullptr);
  std::vector<QImage> images;
  for (int state = kPbsNormal; state <= kPbsDefaulted; ++state) {
    QImage image(60, 24, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    library.DrawThemeBackground(theme, &painter, kBpPushButton, state, image.rect(), nullptr);
    painter.end();
    images.push_back(image);
  }
  library.CloseThemeData(theme);
  ASSERT_EQ(style.bevels.size(), 5u);
  // Per state from normal to defaulted: the flags it must have and those it must not.
  using S = QStyle::StateFlag;
  const std::pair<QStyle::State, QStyle::State> flags[] = {
      {S::State_Enabled, S::State_MouseOver | S::State_Sunken},
      {S::State_Enabled | S::State_MouseOver, S::State_Sunken},
      {S::State_Enabled | S::State_Sunken, {}},
      {{}, S::State_Enabled},
      {S::State_Enabled, S::State_MouseOver | S::State_Sunken}};
  for (int i = 0; i < 5; ++i) {
    const QStyleOptionButton& bevel = style.bevels[static_cast<std::size_t>(i)];
    SCOPED_TRACE(i + kPbsNormal);
    EXPECT_EQ(bevel.state & flags[i].first, flags[i].first);
    EXPECT_FALSE(bevel.state & flags[i].second);
    EXPECT_EQ(bool(bevel.features & QStyleOptionButton::DefaultButton),
              i + kPbsNormal == kPbsDefaulted);
    EXPECT_EQ(bevel.rect, images[0].rect());
  }
  // The hot state must show all the same.
  EXPECT_NE(images[1].pixel(30, 12), images[0].pixel(30, 12));
  EXPECT_EQ(qAlpha(images[1].pixel(0, 0)), qAlpha(images[0].pixel(0, 0))) << "no wash outside";
}

}  // namespace
}  // namespace lunaret
