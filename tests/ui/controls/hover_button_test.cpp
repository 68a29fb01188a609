// Hover buttons, flat and themed, and the style-backed theme library behind the themed ones.
#include <QEnterEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTest>
#include <functional>

#include "controls/hover_button.h"
#include "controls/theme_library.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

const auto Rgb = [](ColorRef color) { return FromColorRef(color).rgb(); };

// Whether any pixel inside rect has exactly that colour.
bool HasColour(const QImage& image, const QRect& rect, QRgb colour) {
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x)
      if (image.valid(x, y) && image.pixel(x, y) == colour)
        return true;
  return false;
}

// An active window with an edit field, the 120 x 40 button under test and a second edit field,
// in that tab order; the pointer starts in a corner of the window, off the button.
class HoverButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(320, 140);
    before_->setGeometry(10, 10, 100, 24);
    button_->setGeometry(10, 50, 120, 40);
    after_->setGeometry(10, 100, 100, 24);
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    QTest::mouseMove(window_.windowHandle(), QPoint(315, 135));
    test::Settle();
  }

  // A move as the window system reports it, and one sent straight to the button.
  void MoveTo(const QPoint& pos) {
    QTest::mouseMove(window_.windowHandle(), button_->mapTo(&window_, pos));
    test::Settle();
  }
  void SendMove(const QPoint& pos, Qt::MouseButtons buttons = Qt::NoButton) {
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), button_->mapToGlobal(QPointF(pos)),
                     Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(button_, &move);
    test::Settle();
  }
  void SendEnter() {
    QEnterEvent enter(QPointF(5, 5), button_->mapTo(&window_, QPointF(5, 5)),
                      button_->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(button_, &enter);
    test::Settle();
  }
  QImage Paint() { return button_->grab().toImage(); }
  QRgb Palette(QPalette::ColorRole role) const { return button_->palette().color(role).rgb(); }

  QWidget window_;
  QLineEdit* before_ = new QLineEdit(&window_);  // owned by the window, as are the others
  ThemedHoverButton* button_ = new ThemedHoverButton(QStringLiteral("&Login"), &window_);
  QLineEdit* after_ = new QLineEdit(&window_);
};

TEST_F(HoverButtonTest, TheHotStateStartsOnceOnEntryNeverInADragAndEndsOnceWhateverEndsIt) {
  const int painted = button_->PaintCount();
  MoveTo(QPoint(20, 20));
  MoveTo(QPoint(40, 25));
  EXPECT_TRUE(button_->IsHot());
  EXPECT_EQ(button_->PaintCount(), painted + 1) << "one repaint on entry, none on moves";
  MoveTo(QPoint(20, 80));  // below the button, on the window
  EXPECT_FALSE(button_->IsHot());
  QTest::mousePress(window_.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 60));
  MoveTo(QPoint(20, 20));
  SendMove(QPoint(30, 20), Qt::LeftButton);
  SendEnter();
  EXPECT_FALSE(button_->IsHot()) << "a drag never lights it up";
  QTest::mouseRelease(window_.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      button_->mapTo(&window_, QPoint(30, 20)));
  SendEnter();
  SendMove(QPoint(25, 20), Qt::LeftButton);
  EXPECT_TRUE(button_->IsHot()) << "a press on a hot button keeps it hot inside";
  SendMove(QPoint(-15, 20), Qt::LeftButton);
  EXPECT_FALSE(button_->IsHot());
  // What else ends it, once (leave, focus loss, disabling, deactivation), who has the focus
  // first, and whether a move lights the button up again.
  QEvent leave(QEvent::Leave);
  const std::tuple<std::function<void()>, QWidget*, bool> cases[] = {
      {[&]() { QApplication::sendEvent(button_, &leave); }, before_, true},
      {[this]() { after_->setFocus(); }, button_, true},
      {[this]() { button_->setEnabled(false); }, before_, false},
      {[]() { QApplication::setActiveWindow(nullptr); }, before_, false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const auto& [clear, focused, again] = cases[i];
    button_->setEnabled(true);
    focused->setFocus();
    SendMove(QPoint(20, 20));
    ASSERT_TRUE(button_->IsHot());
    const int painted = button_->PaintCount();
    clear();
    clear();
    test::Settle();
    EXPECT_FALSE(button_->IsHot());
    EXPECT_EQ(button_->PaintCount(), painted + 1);
    SendMove(QPoint(25, 22));
    EXPECT_EQ(button_->IsHot(), again);
  }
}

TEST_F(HoverButtonTest, DisablingHandsTheFocusOnAndADoubleClickGivesTwoClicks) {
  before_->setFocus();
  button_->setEnabled(false);
  EXPECT_EQ(window_.focusWidget(), after_) << "the next tab stop, whoever had the focus";
  auto* panel = new QWidget(&window_);  // owned by the window
  panel->setFocusPolicy(Qt::ClickFocus);
  auto* lone = new HoverButton(QStringLiteral("Alone"), panel);  // owned by the panel
  panel->show();
  lone->setEnabled(false);
  EXPECT_EQ(window_.focusWidget(), panel) << "no tab stop beside it: its parent";
  lone->setEnabled(true);
  after_->setFocus();
  panel->setEnabled(false);
  EXPECT_EQ(window_.focusWidget(), after_) << "disabled with its panel it hands nothing on";
  button_->setEnabled(true);
  QSignalSpy clicks(button_, &QPushButton::clicked);
  QTest::mouseClick(button_, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
  QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(20, 20),
                     button_->mapToGlobal(QPointF(20, 20)), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
  QApplication::sendEvent(button_, &second);
  QTest::mouseRelease(button_, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
  EXPECT_EQ(clicks.count(), 2);
}

TEST_F(HoverButtonTest, TheIconSitsThreePixelsInAndTheCaptionCentresInTheRest) {
  ASSERT_EQ(button_->UseIcons(151, 0), 0);  // 32 px
  Paint();
  EXPECT_EQ(button_->IconRect(), QRect(3, 4, 32, 32));
  const QRect caption = button_->CaptionRect();
  EXPECT_LE(std::abs((caption.left() - 35) - (120 - caption.right() - 1)), 1);
  EXPECT_LE(std::abs(caption.top() - (40 - caption.bottom() - 1)), 1);
  button_->setDown(true);
  Paint();
  EXPECT_EQ(button_->IconRect(), QRect(4, 5, 32, 32));
  EXPECT_EQ(button_->CaptionRect(), caption.translated(1, 1));
  button_->setDown(false);
  // Without a caption the icon centres, rounding down also when it overhangs the button.
  button_->setText(QString());
  button_->resize(20, 21);
  ASSERT_EQ(button_->UseIcons(162, 151), 0);  // hot 16 px; the idle one shows unless hot
  Paint();
  EXPECT_EQ(button_->IconRect(), QRect(-6, -6, 32, 32));
  SendEnter();
  Paint();
  EXPECT_EQ(button_->IconRect(), QRect(2, 2, 16, 16));
}

TEST_F(HoverButtonTest, FlatLooksFollowTheColourSlotsAndTheStateAndDisabledCaptionsEmboss) {
  QFont big = button_->font();
  big.setPixelSize(24);
  big.setBold(true);
  button_->setFont(big);
  const ColorRef red = 0x0000FF, green = 0x00FF00, blue = 0xFF0000;
  const ColorRef colours[] = {red, red + 1, green, green + 1, blue, blue + 1};
  for (int slot = 0; slot < 6; ++slot)
    EXPECT_EQ(button_->UseColor(slot + 256, colours[slot], false), 0) << "taken as a byte";
  EXPECT_EQ(button_->UseColor(6, red, true) + button_->UseColor(-1, red, true), 6);
  EXPECT_EQ(button_->Color(5), blue + 1);
  const QRgb light = Palette(QPalette::Light), dark = Palette(QPalette::Dark);
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
  EXPECT_TRUE(looks(green, Rgb(green), Rgb(green), green + 1)) << "idle: no edge";
  button_->setFocus();
  EXPECT_TRUE(looks(blue, Rgb(blue), Rgb(blue), green + 1)) << "focused: no focus frame";
  MoveTo(QPoint(60, 20));
  EXPECT_TRUE(looks(red, light, dark, red + 1)) << "hot: raised";
  button_->setDown(true);
  EXPECT_TRUE(looks(red, dark, light, red + 1)) << "pressed: sunken";
  button_->setDown(false);
  button_->setEnabled(false);
  const QImage disabled = Paint();
  const QRect caption = button_->CaptionRect();
  EXPECT_FALSE(HasColour(disabled, caption.adjusted(0, 0, 1, 1), Rgb(green + 1)));
  EXPECT_TRUE(HasColour(disabled, caption, Palette(QPalette::Dark)));
  EXPECT_TRUE(HasColour(disabled, caption.adjusted(1, 1, 1, 1), Palette(QPalette::Light)));
}

// With a real style the style draws face and edge in the state computed, where a later rule
// wins; the plain fallback and a missing library paint flat.
TEST_F(HoverButtonTest, ThemedPaintingTakesTheLaterStateAndLeavesTheEdgeToTheStyle) {
  ThemeLibrary library;  // the application's own style
  button_->UseTheme(&library);
  button_->UseColor(0, 0x0000FF, false);
  const std::pair<std::function<void()>, int> steps[] = {
      {[]() {}, kPbsNormal},
      {[this]() { button_->setDefault(true); }, kPbsDefaulted},
      {[this]() { SendEnter(); }, kPbsHot},
      {[this]() { button_->setDown(true); }, kPbsPressed},
      {[this]() { button_->setEnabled(false); }, kPbsDisabled}};
  for (const auto& [step, state] : steps) {
    step();
    const QImage image = Paint();
    EXPECT_EQ(button_->LastThemeState(), state);
    EXPECT_NE(image.pixel(3, 3), Rgb(0x0000FF)) << "the style paints the face";
    EXPECT_NE(image.pixel(0, 0), Palette(QPalette::Light)) << "and the edge";
  }
  auto plain = ThemeLibrary::CreatePlainStyle();
  ThemeLibrary unthemed(plain.get());
  button_->setDown(false);
  button_->setEnabled(true);
  SendEnter();
  for (ThemeLibrary* fallback : {&unthemed, static_cast<ThemeLibrary*>(nullptr)}) {
    button_->UseTheme(fallback);
    const QImage flat = Paint();
    EXPECT_EQ(button_->LastThemeState(), 0);
    EXPECT_TRUE(flat.pixel(3, 3) == Rgb(0x0000FF) && flat.pixel(0, 0) == Palette(QPalette::Light));
  }
  EXPECT_EQ(library.OpenHandleCount(), 0);
}

TEST(ThemeLibraryTest, OpensButtonThemesOnlyAndDrawsEachStateThroughOpenHandlesInTheClip) {
  std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
  ThemeLibrary library(windows.get());  // a style that draws a hovered button like an idle one
  for (const wchar_t* refused : {L"EDIT", L"BUTTONS", static_cast<const wchar_t*>(nullptr)})
    EXPECT_EQ(library.OpenThemeData(nullptr, refused), nullptr);
  ThemeHandle theme = library.OpenThemeData(nullptr, L"EDIT;button");
  ASSERT_NE(theme, nullptr);
  const QRect all(0, 0, 40, 20), clip(0, 0, 30, 20);
  std::vector<QImage> images;
  for (int state : {kPbsNormal, kPbsHot, kPbsPressed}) {
    images.emplace_back(40, 20, QImage::Format_ARGB32);
    images.back().fill(Qt::transparent);
    QPainter painter(&images.back());
    EXPECT_EQ(library.DrawThemeBackground(theme, &painter, kBpPushButton, state, all, &clip), 0);
    for (auto [part, bad] : {std::pair{2, kPbsHot}, std::pair{kBpPushButton, 9}})
      EXPECT_EQ(library.DrawThemeBackground(theme, &painter, part, bad, all, nullptr),
                kThemeFailure);
  }
  EXPECT_EQ(library.CloseThemeData(theme), 0);
  EXPECT_EQ(library.CloseThemeData(theme), kThemeFailure) << "a handle closes once";
  EXPECT_TRUE(images[1] != images[0] && images[2] != images[0]) << "hot and pressed show";
  EXPECT_TRUE(images[0].pixelColor(10, 10).alpha() != 0 &&
              images[1].pixelColor(35, 10).alpha() == 0)
      << "drawn inside the clip and nowhere else";
}

}  // namespace
}  // namespace lunaret
