// The style-backed theme library and the themed hover button's choice of state.
#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTest>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "controls/hover_button.h"
#include "controls/theme_library.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

// Fusion, recording every push-button bevel it is asked to draw.
class RecordingStyle : public QProxyStyle {
 public:
  RecordingStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

  struct Bevel {
    QStyle::State state;
    QStyleOptionButton::ButtonFeatures features;
    QRect rect;
  };

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    if (element == CE_PushButtonBevel) {
      const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
      bevels.push_back({option->state,
                        button != nullptr ? button->features : QStyleOptionButton::None,
                        option->rect});
    }
    QProxyStyle::drawControl(element, option, painter, widget);
  }

  mutable std::vector<Bevel> bevels;
};

TEST(ThemeLibrary, PlainStyleUsesEveryFallback) {
  auto plain = ThemeLibrary::CreatePlainStyle();
  ThemeLibrary library(plain.get());
  EXPECT_TRUE(library.IsLoaded());
  EXPECT_FALSE(library.IsAppThemed());
  EXPECT_EQ(library.OpenThemeData(nullptr, L"BUTTON"), nullptr);
  QImage image(10, 10, QImage::Format_ARGB32);
  QPainter painter(&image);
  int token = 0;
  EXPECT_EQ(library.DrawThemeBackground(&token, &painter, kBpPushButton, kPbsNormal,
                                        QRect(0, 0, 10, 10), nullptr),
            kThemeFailure);
  EXPECT_EQ(library.CloseThemeData(&token), kThemeFailure);
  EXPECT_EQ(library.CloseThemeData(nullptr), kThemeFailure);

  EXPECT_TRUE(ThemeLibrary::IsPlainStyle(nullptr));
  EXPECT_TRUE(ThemeLibrary::IsPlainStyle(plain.get()));
  std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
  ASSERT_NE(windows, nullptr);
  EXPECT_FALSE(ThemeLibrary::IsPlainStyle(windows.get()));
}

TEST(ThemeLibrary, NullBindsTheApplicationStyle) {
  ThemeLibrary library;
  EXPECT_EQ(library.Style(), QApplication::style());
  EXPECT_TRUE(library.IsLoaded());
  EXPECT_TRUE(library.IsAppThemed()) << "the application's Fusion style is a real style";
}

TEST(ThemeLibrary, OpensButtonThemesOnlyAndClosesEachOnce) {
  std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
  ThemeLibrary library(fusion.get());
  ASSERT_TRUE(library.IsAppThemed());
  EXPECT_EQ(library.OpenThemeData(nullptr, L"EDIT"), nullptr);
  EXPECT_EQ(library.OpenThemeData(nullptr, L"BUTTONS"), nullptr);
  EXPECT_EQ(library.OpenThemeData(nullptr, nullptr), nullptr);

  ThemeHandle upper = library.OpenThemeData(nullptr, L"BUTTON");
  ThemeHandle lower = library.OpenThemeData(nullptr, L"button");
  ThemeHandle listed = library.OpenThemeData(nullptr, L"EDIT;Button");
  ASSERT_NE(upper, nullptr);
  ASSERT_NE(lower, nullptr);
  ASSERT_NE(listed, nullptr);
  EXPECT_EQ(library.OpenHandleCount(), 3);

  QImage image(40, 20, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  EXPECT_EQ(library.DrawThemeBackground(upper, &painter, kBpPushButton, kPbsHot,
                                        QRect(0, 0, 40, 20), nullptr),
            0);
  EXPECT_NE(image.pixelColor(20, 10).alpha(), 0) << "the bevel was drawn";
  EXPECT_EQ(library.DrawThemeBackground(upper, &painter, 2, kPbsHot, QRect(0, 0, 40, 20), nullptr),
            kThemeFailure)
      << "only the push-button part";
  EXPECT_EQ(
      library.DrawThemeBackground(upper, &painter, kBpPushButton, 9, QRect(0, 0, 40, 20), nullptr),
      kThemeFailure);
  EXPECT_EQ(library.DrawThemeBackground(upper, nullptr, kBpPushButton, kPbsHot, QRect(0, 0, 40, 20),
                                        nullptr),
            kThemeFailure);

  EXPECT_EQ(library.CloseThemeData(upper), 0);
  EXPECT_EQ(library.CloseThemeData(upper), kThemeFailure) << "a handle closes once";
  EXPECT_EQ(library.DrawThemeBackground(upper, &painter, kBpPushButton, kPbsHot,
                                        QRect(0, 0, 40, 20), nullptr),
            kThemeFailure)
      << "a closed handle draws nothing";
  EXPECT_EQ(library.CloseThemeData(lower), 0);
  EXPECT_EQ(library.CloseThemeData(listed), 0);
  EXPECT_EQ(library.OpenHandleCount(), 0);
}

TEST(ThemeLibrary, ClipRectangleLimitsTheDrawing) {
  std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
  ThemeLibrary library(fusion.get());
  ThemeHandle theme = library.OpenThemeData(nullptr, L"BUTTON");
  QImage image(40, 20, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    const QRect clip(0, 0, 20, 20);
    EXPECT_EQ(library.DrawThemeBackground(theme, &painter, kBpPushButton, kPbsNormal,
                                          QRect(0, 0, 40, 20), &clip),
              0);
  }
  EXPECT_NE(image.pixelColor(10, 10).alpha(), 0);
  EXPECT_EQ(image.pixelColor(30, 10).alpha(), 0);
  library.CloseThemeData(theme);
}

TEST(ThemeLibrary, StateBecomesTheStyleOptionFlags) {
  RecordingStyle style;
  ThemeLibrary library(&style);
  QImage image(40, 20, QImage::Format_ARGB32);
  QPainter painter(&image);
  ThemeHandle theme = library.OpenThemeData(nullptr, L"BUTTON");
  ASSERT_NE(theme, nullptr);
  for (int state = kPbsNormal; state <= kPbsDefaulted; ++state)
    library.DrawThemeBackground(theme, &painter, kBpPushButton, state, QRect(1, 2, 30, 15),
                                nullptr);
  library.CloseThemeData(theme);
  ASSERT_EQ(style.bevels.size(), 5u);

  const auto& normal = style.bevels[0];
  EXPECT_TRUE(normal.state & QStyle::State_Enabled);
  EXPECT_FALSE(normal.state & (QStyle::State_MouseOver | QStyle::State_Sunken));
  EXPECT_FALSE(normal.features & QStyleOptionButton::DefaultButton);
  EXPECT_EQ(normal.rect, QRect(1, 2, 30, 15));

  EXPECT_TRUE(style.bevels[1].state & QStyle::State_MouseOver);  // hot
  EXPECT_FALSE(style.bevels[1].state & QStyle::State_Sunken);
  EXPECT_TRUE(style.bevels[2].state & QStyle::State_Sunken);    // pressed
  EXPECT_FALSE(style.bevels[3].state & QStyle::State_Enabled);  // disabled
  EXPECT_TRUE(style.bevels[4].features & QStyleOptionButton::DefaultButton);
  EXPECT_TRUE(style.bevels[4].state & QStyle::State_Enabled);
}

TEST(ThemeLibrary, HotStateLooksDifferentFromNormal) {
  std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
  ThemeLibrary library(fusion.get());
  auto draw = [&library](int state) {
    QImage image(60, 24, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    ThemeHandle theme = library.OpenThemeData(nullptr, L"BUTTON");
    library.DrawThemeBackground(theme, &painter, kBpPushButton, state, image.rect(), nullptr);
    library.CloseThemeData(theme);
    return image;
  };
  const QImage normal = draw(kPbsNormal);
  const QImage hot = draw(kPbsHot);
  EXPECT_NE(normal.pixel(30, 12), hot.pixel(30, 12));
  EXPECT_EQ(qAlpha(hot.pixel(0, 0)), qAlpha(normal.pixel(0, 0))) << "no wash outside the edge";
}

TEST(ThemeLibrary, ReplacedStyleFallsBackInsteadOfDrawingWithADeadOne) {
  auto fusion = std::unique_ptr<QStyle>(QStyleFactory::create(QStringLiteral("Fusion")));
  ThemeLibrary library(fusion.get());
  ASSERT_TRUE(library.IsAppThemed());
  fusion.reset();
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_FALSE(library.IsAppThemed());
  EXPECT_EQ(library.OpenThemeData(nullptr, L"BUTTON"), nullptr);
}

// A themed button on its own window, with the pointer state driven by events.
class ThemedButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    window_->resize(200, 80);
    button_ = new ThemedHoverButton(QStringLiteral("&Save   "), window_.get());
    button_->setGeometry(10, 10, 100, 30);
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }
  void TearDown() override {
    window_.reset();
    test::Settle();
  }

  int PaintedState() {
    button_->grab();
    return button_->LastThemeState();
  }
  void MakeHot() {
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), button_->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(button_, &enter);
  }

  std::unique_ptr<QWidget> window_;
  ThemedHoverButton* button_ = nullptr;
};

TEST_F(ThemedButtonTest, LaterStatesOverrideEarlierOnes) {
  RecordingStyle style;
  ThemeLibrary library(&style);
  button_->UseTheme(&library);

  EXPECT_EQ(PaintedState(), kPbsNormal);
  button_->setDefault(true);
  EXPECT_EQ(PaintedState(), kPbsDefaulted);
  MakeHot();
  ASSERT_TRUE(button_->IsHot());
  EXPECT_EQ(PaintedState(), kPbsHot) << "hot beats defaulted";
  button_->setDown(true);
  EXPECT_EQ(PaintedState(), kPbsPressed);
  button_->setDown(false);
  button_->setEnabled(false);
  EXPECT_EQ(PaintedState(), kPbsDisabled) << "disabled beats everything";
  EXPECT_EQ(library.OpenHandleCount(), 0) << "each paint closes what it opened";
  EXPECT_FALSE(style.bevels.empty());
}

TEST_F(ThemedButtonTest, UnthemedPaintingFallsBackToTheFlatLook) {
  auto plain = ThemeLibrary::CreatePlainStyle();
  ThemeLibrary library(plain.get());
  button_->UseColor(0, 0x000000FF, false);
  button_->UseTheme(&library);
  MakeHot();
  ASSERT_TRUE(button_->IsHot());
  const QImage flat = button_->grab().toImage();
  EXPECT_EQ(button_->LastThemeState(), 0);
  EXPECT_EQ(flat.pixel(3, 3), qRgb(255, 0, 0)) << "slot 0 face";
  EXPECT_EQ(flat.pixel(0, 0), button_->palette().color(QPalette::Light).rgb()) << "raised edge";

  button_->UseTheme(nullptr);
  button_->grab();
  EXPECT_EQ(button_->LastThemeState(), 0) << "no library: flat";
}

TEST_F(ThemedButtonTest, ThemedPaintingDrawsNoFlatEdge) {
  RecordingStyle style;
  ThemeLibrary library(&style);
  button_->UseColor(0, 0x000000FF, false);
  button_->UseTheme(&library);
  MakeHot();
  const QImage themed = button_->grab().toImage();
  EXPECT_NE(themed.pixel(3, 3), qRgb(255, 0, 0)) << "the style paints the face";
  EXPECT_NE(themed.pixel(0, 0), button_->palette().color(QPalette::Light).rgb());
}

}  // namespace
}  // namespace lunaret
