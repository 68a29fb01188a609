// The hover button: hot state, focus hand-over, clicks, geometry, flat colours and set-up results.
#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTest>
#include <QToolTip>
#include <memory>

#include <gtest/gtest.h>

#include "controls/hover_button.h"
#include "controls/theme_library.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

constexpr ColorRef kRed = 0x000000FF;
constexpr ColorRef kGreen = 0x0000FF00;
constexpr ColorRef kBlue = 0x00FF0000;
constexpr ColorRef kMagenta = 0x00FF00FF;
constexpr ColorRef kTeal = 0x00808000;

// A window with an edit field, the button under test and a second edit field, in that tab
// order, the button at a fixed place.
class HoverButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    window_->resize(320, 140);
    before_ = new QLineEdit(window_.get());
    before_->setGeometry(10, 10, 100, 24);
    button_ = new HoverButton(QStringLiteral("&Login"), window_.get());
    button_->setGeometry(10, 50, 120, 40);
    after_ = new QLineEdit(window_.get());
    after_->setGeometry(10, 100, 100, 24);
  }

  void TearDown() override {
    window_.reset();
    test::Settle();
  }

  void ShowActive() {
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    // Start from a corner of the window: the window system drops a move to where the pointer
    // already is, and an earlier test may have left it over the button.
    QTest::mouseMove(window_->windowHandle(), QPoint(315, 135));
    test::Settle();
  }

  // A move of the pointer as the window system reports it, in button coordinates.
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

  void SendLeave() {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button_, &leave);
    test::Settle();
  }

  QImage Paint() { return button_->grab().toImage(); }

  std::unique_ptr<QWidget> window_;
  QLineEdit* before_ = nullptr;
  HoverButton* button_ = nullptr;
  QLineEdit* after_ = nullptr;
};

TEST_F(HoverButtonTest, EnteringRepaintsOnceAndLeavingClearsTheHotState) {
  ShowActive();
  EXPECT_FALSE(button_->IsHot());
  const int painted = button_->PaintCount();

  MoveTo(QPoint(20, 20));
  EXPECT_TRUE(button_->IsHot());
  EXPECT_EQ(button_->PaintCount(), painted + 1);

  MoveTo(QPoint(40, 25));
  MoveTo(QPoint(60, 30));
  EXPECT_TRUE(button_->IsHot());
  EXPECT_EQ(button_->PaintCount(), painted + 1) << "moves inside a hot button repaint nothing";

  SendLeave();
  EXPECT_FALSE(button_->IsHot());
  EXPECT_EQ(button_->PaintCount(), painted + 2);

  SendLeave();
  EXPECT_EQ(button_->PaintCount(), painted + 2) << "leaving twice changes nothing";
}

TEST_F(HoverButtonTest, LeavingThroughTheWindowSystemClearsTheHotState) {
  ShowActive();
  MoveTo(QPoint(20, 20));
  ASSERT_TRUE(button_->IsHot());
  MoveTo(QPoint(20, 80));  // below the button, on the window
  EXPECT_FALSE(button_->IsHot());
}

TEST_F(HoverButtonTest, EnterEventAloneMakesTheButtonHot) {
  ShowActive();
  QEnterEvent enter(QPointF(5, 5), button_->mapTo(window_.get(), QPointF(5, 5)),
                    button_->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(button_, &enter);
  test::Settle();
  EXPECT_TRUE(button_->IsHot());
}

TEST_F(HoverButtonTest, DragOntoTheButtonNeverMakesItHot) {
  ShowActive();
  // Pressed on the window beside the button, then dragged over it.
  const QPoint outside(200, 60);
  QTest::mousePress(window_->windowHandle(), Qt::LeftButton, Qt::NoModifier, outside);
  MoveTo(QPoint(20, 20));
  EXPECT_FALSE(button_->IsHot());

  // The same drag reported straight to the button, by a move and by an entry.
  SendMove(QPoint(30, 20), Qt::LeftButton);
  EXPECT_FALSE(button_->IsHot());
  QEnterEvent enter(QPointF(5, 5), button_->mapTo(window_.get(), QPointF(5, 5)),
                    button_->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(button_, &enter);
  test::Settle();
  EXPECT_FALSE(button_->IsHot());

  QTest::mouseRelease(window_->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      button_->mapTo(window_.get(), QPoint(30, 20)));
  test::Settle();
  SendMove(QPoint(31, 20), Qt::NoButton);
  EXPECT_TRUE(button_->IsHot()) << "after the drag ends a move lights it up again";
}

TEST_F(HoverButtonTest, PressingAHotButtonKeepsItHotWhileInsideAndClearsItOutside) {
  ShowActive();
  MoveTo(QPoint(20, 20));
  ASSERT_TRUE(button_->IsHot());
  SendMove(QPoint(25, 20), Qt::LeftButton);
  EXPECT_TRUE(button_->IsHot());
  SendMove(QPoint(-15, 20), Qt::LeftButton);
  EXPECT_FALSE(button_->IsHot());
}

TEST_F(HoverButtonTest, NoHotStateWithoutAnActiveWindowAndDeactivationClearsIt) {
  ShowActive();
  MoveTo(QPoint(20, 20));
  ASSERT_TRUE(button_->IsHot());

  QApplication::setActiveWindow(nullptr);
  test::Settle();
  ASSERT_EQ(QApplication::activeWindow(), nullptr);
  EXPECT_FALSE(button_->IsHot());

  SendMove(QPoint(25, 22), Qt::NoButton);
  EXPECT_FALSE(button_->IsHot()) << "an inactive application does not light buttons up";
}

TEST_F(HoverButtonTest, FocusLossClearsTheHotState) {
  ShowActive();
  button_->setFocus();
  MoveTo(QPoint(20, 20));
  ASSERT_TRUE(button_->IsHot());
  after_->setFocus();
  test::Settle();
  EXPECT_FALSE(button_->IsHot());
}

TEST_F(HoverButtonTest, DisablingMovesTheFocusToTheNextTabStopAndClearsHot) {
  ShowActive();
  MoveTo(QPoint(20, 20));
  ASSERT_TRUE(button_->IsHot());

  before_->setFocus();  // another control has the focus
  test::Settle();
  button_->setEnabled(false);
  test::Settle();
  EXPECT_EQ(window_->focusWidget(), after_);
  EXPECT_FALSE(button_->IsHot());

  // A disabled button never lights up, whatever the pointer does.
  MoveTo(QPoint(22, 22));
  EXPECT_FALSE(button_->IsHot());
}

TEST_F(HoverButtonTest, DisablingTheFocusedButtonHandsTheFocusOnAndWrapsAround) {
  ShowActive();
  // Tab order: before, button, after; move the button last.
  QWidget::setTabOrder(after_, button_);
  button_->setFocus();
  test::Settle();
  button_->setEnabled(false);
  test::Settle();
  EXPECT_EQ(window_->focusWidget(), before_) << "the search wraps to the first tab stop";
}

TEST_F(HoverButtonTest, DisablingTheOnlyTabStopGivesTheFocusToTheParent) {
  ShowActive();
  auto* panel = new QWidget(window_.get());
  panel->setGeometry(150, 10, 150, 120);
  panel->setFocusPolicy(Qt::ClickFocus);
  auto* lone = new HoverButton(QStringLiteral("Alone"), panel);
  lone->setGeometry(10, 10, 100, 30);
  panel->show();
  before_->setFocus();
  test::Settle();
  lone->setEnabled(false);
  test::Settle();
  EXPECT_EQ(window_->focusWidget(), panel);
}

TEST_F(HoverButtonTest, DisablingAWholePanelLeavesTheFocusAlone) {
  ShowActive();
  auto* panel = new QWidget(window_.get());
  panel->setGeometry(150, 10, 150, 120);
  auto* inner = new HoverButton(QStringLiteral("Inner"), panel);
  inner->setGeometry(10, 10, 100, 30);
  panel->show();
  after_->setFocus();
  test::Settle();
  panel->setEnabled(false);
  test::Settle();
  EXPECT_EQ(window_->focusWidget(), after_);
}

TEST_F(HoverButtonTest, DoubleClickGivesTwoClicks) {
  ShowActive();
  QSignalSpy clicks(button_, &QPushButton::clicked);
  const QPoint at(20, 20);
  QTest::mousePress(button_, Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseRelease(button_, Qt::LeftButton, Qt::NoModifier, at);
  QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(at), button_->mapToGlobal(QPointF(at)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(button_, &second);
  QTest::mouseRelease(button_, Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(clicks.count(), 2);

  QTest::mouseDClick(button_, Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseRelease(button_, Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_GE(clicks.count(), 3);
}

TEST_F(HoverButtonTest, MnemonicClicksTheButton) {
  ShowActive();
  QSignalSpy clicks(button_, &QPushButton::clicked);
  QTest::keyClick(window_.get(), Qt::Key_L, Qt::AltModifier);
  // A shortcut animates the click: it arrives after a short delay.
  if (clicks.count() == 0)
    clicks.wait(1000);
  EXPECT_EQ(clicks.count(), 1);
}

TEST_F(HoverButtonTest, IconSitsThreePixelsInAndTheCaptionIsCentredInTheRest) {
  ShowActive();
  ASSERT_EQ(button_->UseIcons(151, 0), 0);
  Paint();
  EXPECT_EQ(button_->IconRect(), QRect(3, 4, 32, 32));
  const QRect caption = button_->CaptionRect();
  ASSERT_FALSE(caption.isEmpty());
  const int boxLeft = 32 + 3;  // the caption box starts icon width + 3 from the left edge
  EXPECT_GE(caption.left(), boxLeft);
  // Centred in the box right of the icon, and vertically in the button.
  EXPECT_LE(std::abs((caption.left() - boxLeft) - (120 - caption.right() - 1)), 1);
  EXPECT_LE(std::abs(caption.top() - (40 - caption.bottom() - 1)), 1);

  button_->setDown(true);
  Paint();
  EXPECT_EQ(button_->IconRect(), QRect(4, 5, 32, 32));
  EXPECT_EQ(button_->CaptionRect(), caption.translated(1, 1));

  button_->setDown(false);
  Paint();
  EXPECT_EQ(button_->CaptionRect(), caption);
}

TEST_F(HoverButtonTest, IconAloneIsCentredAndALargerIconHangsOverEvenly) {
  button_->setText(QString());
  ASSERT_EQ(button_->UseIcons(162, 0), 0);
  Paint();
  EXPECT_EQ(button_->IconRect(), QRect(52, 12, 16, 16));
  EXPECT_TRUE(button_->CaptionRect().isNull());

  button_->resize(20, 21);
  ASSERT_EQ(button_->UseIcons(151, 0), 0);
  Paint();
  EXPECT_EQ(button_->IconRect(), QRect(-6, -6, 32, 32));  // rounded down, not toward zero
}

TEST_F(HoverButtonTest, IdleIconShowsOnlyWhileNeitherHotNorPressed) {
  ShowActive();
  ASSERT_EQ(button_->UseIcons(162, 151), 0);  // hot 16 px, idle 32 px
  Paint();
  EXPECT_EQ(button_->IconRect().size(), QSize(32, 32));
  MoveTo(QPoint(60, 20));
  ASSERT_TRUE(button_->IsHot());
  Paint();
  EXPECT_EQ(button_->IconRect().size(), QSize(16, 16));
}

TEST_F(HoverButtonTest, UseIconsWithMissingPicturesGivesNoIcon) {
  EXPECT_EQ(button_->UseIcons(9999, 0), 0);
  Paint();
  EXPECT_TRUE(button_->IconRect().isNull());
  EXPECT_EQ(button_->UseIcons(151, 0), 0);
  EXPECT_EQ(button_->UseIcons(9998, 9997), 0);
  Paint();
  EXPECT_TRUE(button_->IconRect().isNull()) << "the earlier icons are released";
}

TEST_F(HoverButtonTest, FlatLooksFollowTheColourSlots) {
  ShowActive();
  button_->setText(QString());
  ASSERT_EQ(button_->UseColor(0, kRed, false), 0);
  ASSERT_EQ(button_->UseColor(2, kGreen, false), 0);
  ASSERT_EQ(button_->UseColor(4, kBlue, false), 0);
  const QRgb light = button_->palette().color(QPalette::Light).rgb();
  const QRgb dark = button_->palette().color(QPalette::Dark).rgb();

  QImage idle = Paint();
  EXPECT_EQ(idle.pixel(0, 0), FromColorRef(kGreen).rgb()) << "idle: no edge";
  EXPECT_EQ(idle.pixel(60, 3), FromColorRef(kGreen).rgb());

  button_->setFocus();
  test::Settle();
  QImage focused = Paint();
  EXPECT_EQ(focused.pixel(60, 3), FromColorRef(kBlue).rgb());
  EXPECT_EQ(focused.pixel(0, 0), FromColorRef(kBlue).rgb()) << "no focus rectangle, no edge";

  MoveTo(QPoint(60, 20));
  ASSERT_TRUE(button_->IsHot());
  // The edge as a 3-D rectangle: top and left rows up to the last pixel but one, bottom and
  // right rows whole.
  QImage hot = Paint();
  EXPECT_EQ(hot.pixel(60, 3), FromColorRef(kRed).rgb());
  EXPECT_EQ(hot.pixel(0, 0), light) << "raised edge";
  EXPECT_EQ(hot.pixel(118, 0), light);
  EXPECT_EQ(hot.pixel(0, 38), light);
  EXPECT_EQ(hot.pixel(119, 0), dark);
  EXPECT_EQ(hot.pixel(0, 39), dark);
  EXPECT_EQ(hot.pixel(119, 39), dark);
  EXPECT_EQ(hot.pixel(1, 1), FromColorRef(kRed).rgb()) << "one pixel wide";

  button_->setDown(true);
  QImage pressed = Paint();
  EXPECT_EQ(pressed.pixel(60, 3), FromColorRef(kRed).rgb());
  EXPECT_EQ(pressed.pixel(0, 0), dark) << "sunken edge";
  EXPECT_EQ(pressed.pixel(0, 38), dark);
  EXPECT_EQ(pressed.pixel(119, 39), light);
  EXPECT_EQ(pressed.pixel(119, 0), light);
  button_->setDown(false);
}

// Whether any pixel inside rect has exactly that colour.
bool HasColour(const QImage& image, const QRect& rect, const QColor& colour) {
  for (int y = std::max(rect.top(), 0); y <= std::min(rect.bottom(), image.height() - 1); ++y) {
    for (int x = std::max(rect.left(), 0); x <= std::min(rect.right(), image.width() - 1); ++x) {
      if (image.pixel(x, y) == colour.rgb())
        return true;
    }
  }
  return false;
}

TEST_F(HoverButtonTest, CaptionUsesTheHotOrIdleTextColourAndEmbossesWhenDisabled) {
  ShowActive();
  QFont big = button_->font();
  big.setPixelSize(24);
  big.setBold(true);
  button_->setFont(big);
  ASSERT_EQ(button_->UseColor(1, kMagenta, false), 0);
  ASSERT_EQ(button_->UseColor(3, kTeal, false), 0);

  QImage idle = Paint();
  EXPECT_TRUE(HasColour(idle, button_->CaptionRect(), FromColorRef(kTeal)));
  EXPECT_FALSE(HasColour(idle, button_->CaptionRect(), FromColorRef(kMagenta)));

  MoveTo(QPoint(60, 20));
  QImage hot = Paint();
  EXPECT_TRUE(HasColour(hot, button_->CaptionRect(), FromColorRef(kMagenta)));

  button_->setEnabled(false);
  QImage disabled = Paint();
  const QRect caption = button_->CaptionRect();
  EXPECT_FALSE(HasColour(disabled, caption.adjusted(0, 0, 1, 1), FromColorRef(kTeal)));
  EXPECT_TRUE(HasColour(disabled, caption, button_->palette().color(QPalette::Dark)));
  EXPECT_TRUE(
      HasColour(disabled, caption.adjusted(1, 1, 1, 1), button_->palette().color(QPalette::Light)));
}

TEST_F(HoverButtonTest, UseColorTakesTheSlotAsAnUnsignedByte) {
  const ColorRef slot0 = button_->Color(0);
  EXPECT_EQ(button_->UseColor(6, kRed, true), 3);
  EXPECT_EQ(button_->UseColor(-1, kRed, true), 3);  // 255
  for (int slot = 0; slot < 6; ++slot)
    EXPECT_NE(button_->Color(slot), kRed);
  EXPECT_EQ(button_->Color(0), slot0);

  EXPECT_EQ(button_->UseColor(5, kRed, false), 0);
  EXPECT_EQ(button_->Color(5), kRed);
  EXPECT_EQ(button_->UseColor(256, kBlue, false), 0);  // byte 0
  EXPECT_EQ(button_->Color(0), kBlue);
}

TEST_F(HoverButtonTest, SlotsStartWithTheSystemFaceAndTextColours) {
  EXPECT_EQ(button_->Color(0), ButtonFaceColorRef());
  EXPECT_EQ(button_->Color(2), ButtonFaceColorRef());
  EXPECT_EQ(button_->Color(4), ButtonFaceColorRef());
  EXPECT_EQ(button_->Color(1), ButtonTextColorRef());
  EXPECT_EQ(button_->Color(3), ButtonTextColorRef());
  EXPECT_EQ(button_->Color(5), ButtonTextColorRef());
}

TEST_F(HoverButtonTest, UseColorRepaintsOnlyWhenAsked) {
  ShowActive();
  const int painted = button_->PaintCount();
  button_->UseColor(2, kGreen, false);
  test::Settle();
  EXPECT_EQ(button_->PaintCount(), painted);
  button_->UseColor(2, kRed, true);
  test::Settle();
  EXPECT_EQ(button_->PaintCount(), painted + 1);
}

// Shows the tooltip the button gives on a help event, and returns the text on screen.
QString AskForTooltip(QWidget* widget) {
  QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), widget->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(widget, &help);
  return QToolTip::isVisible() ? QToolTip::text() : QString();
}

void WaitForTooltipGone() {
  QToolTip::hideText();
  for (int i = 0; i < 100 && QToolTip::isVisible(); ++i)
    QTest::qWait(10);
}

TEST_F(HoverButtonTest, OwnTooltipShowsItsTextAndASecondCallOnlyChangesIt) {
  ShowActive();
  WaitForTooltipGone();
  button_->UseTooltip(QString(), true);
  EXPECT_TRUE(button_->OwnTooltip().isNull());
  EXPECT_FALSE(button_->OwnTooltipActive());
  EXPECT_EQ(AskForTooltip(button_), QString());

  button_->UseTooltip(QStringLiteral(" OK! "), true);
  EXPECT_TRUE(button_->OwnTooltipActive());
  EXPECT_EQ(AskForTooltip(button_), QStringLiteral(" OK! "));
  WaitForTooltipGone();

  button_->UseTooltip(QStringLiteral("All the best to you!"), true);
  EXPECT_EQ(AskForTooltip(button_), QStringLiteral("All the best to you!"));

  button_->UseTooltip(QString(), false);  // null text: nothing changes
  EXPECT_TRUE(button_->OwnTooltipActive());
  WaitForTooltipGone();

  button_->UseTooltip(QStringLiteral("hidden"), false);
  EXPECT_EQ(button_->OwnTooltip(), QStringLiteral("hidden"));
  EXPECT_FALSE(button_->OwnTooltipActive());
  EXPECT_EQ(AskForTooltip(button_), QString()) << "a deactivated tip does not show";
}

TEST_F(HoverButtonTest, UseCursorLoadsTheHandOrReportsAFailure) {
  EXPECT_EQ(button_->UseCursor(kCursorHand, false), 0);
  ASSERT_TRUE(button_->testAttribute(Qt::WA_SetCursor));
  EXPECT_EQ(button_->cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(button_->cursor().hotSpot(), QPoint(13, 7));

  EXPECT_EQ(button_->UseCursor(0, true), 0);
  EXPECT_FALSE(button_->testAttribute(Qt::WA_SetCursor)) << "id 0: no pointer of its own";

  EXPECT_EQ(button_->UseCursor(kCursorHand, true), 0);
  EXPECT_EQ(button_->UseCursor(9999, true), 1);
  EXPECT_FALSE(button_->testAttribute(Qt::WA_SetCursor)) << "the old pointer is gone too";
}

TEST(HoverButtonDefault, DefaultFlagFollowsTheDialogsDefaultButton) {
  QDialog dialog;
  auto* ok = new HoverButton(QStringLiteral("&OK"), &dialog);
  auto* other = new HoverButton(QStringLiteral("&Other"), &dialog);
  auto* edit = new QLineEdit(&dialog);
  ok->move(0, 0);
  other->move(0, 40);
  edit->move(0, 80);
  ok->setDefault(true);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));

  edit->setFocus();
  test::Settle();
  EXPECT_TRUE(ok->IsDefaultButton());
  EXPECT_FALSE(other->IsDefaultButton());

  other->setFocus();
  test::Settle();
  EXPECT_TRUE(other->IsDefaultButton()) << "a focused push button is the default one";
  EXPECT_FALSE(ok->IsDefaultButton());

  edit->setFocus();
  test::Settle();
  EXPECT_TRUE(ok->IsDefaultButton());
  EXPECT_FALSE(other->IsDefaultButton());

  QSignalSpy okClicks(ok, &QPushButton::clicked);
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(okClicks.count(), 1) << "Enter reaches the default button";
}

}  // namespace
}  // namespace lunaret
