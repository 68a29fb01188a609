// Shared UI helpers: colours, control ids, store texts, message boxes and field validation.
#include "controls/ui_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "controls/message_box.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

TEST(ColorRefTest, HotBackgroundLightensEachChannelWithoutCarryingAndQColorsRoundTrip) {
  EXPECT_EQ(LightenColorRef(0x00D4D0C8u), 0x00F2EEE6u);
  EXPECT_EQ(LightenColorRef(0x00EFEFEFu), 0x00FFFFFFu) << "a light face stays light";
  EXPECT_EQ(LightenColorRef(0x00F0E1D0u), 0x00FFFFEEu);
  EXPECT_EQ(HotBackgroundColor(), LightenColorRef(ButtonFaceColorRef()));
  const QColor color(0x12, 0x34, 0x56);
  EXPECT_EQ(ToColorRef(color), 0x00563412u);
  EXPECT_EQ(FromColorRef(0x00563412u), color);
}

TEST(StoreTextTest, NonAsciiTextCrossesUnchanged) {
  const QString name = QString::fromUtf8("\xC3\x85sa \xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0");
  EXPECT_EQ(ToStore(name), std::string("\xC3\x85sa \xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0"));
  EXPECT_EQ(FromStore(ToStore(name)), name);
}

TEST(MessageBoxTest, TheHookRecordsEveryBoxAndAnswersFromItsQueueOrWithTheFirstButton) {
  test::MessageBoxRecorder boxes;
  boxes.Answer(kIdNo);
  EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("Save changes before exit ?"),
                           QStringLiteral("Exit Lunaret..."), 0x33),
            kIdNo);
  EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("a"), QStringLiteral("b"), 0x34), kIdYes);
  EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("c"), QStringLiteral("d"), 0x10), kIdOk);
  ASSERT_EQ(boxes.Calls().size(), 3u);
  EXPECT_EQ(boxes.Calls()[0].text, QStringLiteral("Save changes before exit ?"));
  EXPECT_EQ(boxes.Calls()[0].title, QStringLiteral("Exit Lunaret..."));
  EXPECT_EQ(boxes.Calls()[0].flags, 0x33u);
  EXPECT_EQ(boxes.Calls()[2].flags, 0x10u);
}

TEST(MessageBoxTest, ARealBoxShowsItsTitleAndTextAndEscapeAnswersCancelOrElseNo) {
  const std::pair<unsigned, int> cases[] = {{0x33, kIdCancel}, {0x34, kIdNo}};
  for (const auto& [flags, answer] : cases) {
    SCOPED_TRACE(flags);
    QString title;
    QString text;
    test::WhenModal([&](QWidget* box) {
      title = box->windowTitle();
      if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        text = label->text();
      QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("Save changes before Log Off ?"),
                             QStringLiteral("Lunaret LogOff..."), flags),
              answer);
    EXPECT_EQ(title, QStringLiteral("Lunaret LogOff..."));
    EXPECT_EQ(text, QStringLiteral("Save changes before Log Off ?"));
  }
}

TEST(ValidationTest, ARefusedFieldWarnsWithTheFrameworkTextAndComesBackSelected) {
  test::MessageBoxRecorder boxes;
  QWidget window;
  auto* field = new QLineEdit(&window);  // owned by window
  auto* other = new QLineEdit(&window);  // owned by window
  window.show();
  QApplication::setActiveWindow(&window);
  int number = -1;
  QString text;
  const QString tooLong(256, QChar('x'));
  const QString integer = QStringLiteral("Please enter an integer.");
  const QString range = QStringLiteral("Please enter an integer between 1 and 366.");
  const std::pair<QString, QString> refused[] = {
      {"", integer},
      {"12a", integer},
      {"+", integer},
      {"99999999999", integer},
      {"0", range},
      {"367", range},
      {tooLong, QStringLiteral("Please enter no more than 255 characters.")}};
  for (const auto& [typed, message] : refused) {
    SCOPED_TRACE(typed.left(12).toStdString());
    boxes.Clear();
    other->setFocus();
    field->setText(typed);
    if (typed == tooLong)
      EXPECT_FALSE(ReadTextField(field, 255, &text));
    else
      EXPECT_FALSE(ReadIntegerField(field, 1, 366, &number));
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, message);
    EXPECT_EQ(boxes.Calls()[0].title, QStringLiteral("Lunaret"));
    EXPECT_EQ(boxes.Calls()[0].flags, 0x30u);
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(field->selectedText(), field->text());
  }
  EXPECT_EQ(number, -1);
  EXPECT_TRUE(text.isNull());

  boxes.Clear();
  field->setText(QStringLiteral(" 29 "));
  EXPECT_TRUE(ReadIntegerField(field, 1, 366, &number));
  EXPECT_EQ(number, 29);
  field->setText(tooLong.left(255));
  EXPECT_TRUE(ReadTextField(field, 255, &text));
  EXPECT_EQ(text.size(), 255);
  EXPECT_TRUE(boxes.Calls().empty());
}

}  // namespace
}  // namespace lunaret
