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

TEST(HotBackgroundTest, LightensEachChannelWithoutCarrying) {
  // The classic face colour gives the same result as a plain addition of 0x1E1E1E.
  EXPECT_EQ(LightenColorRef(0x00D4D0C8u), 0x00F2EEE6u);
  EXPECT_EQ(LightenColorRef(0x00D4D0C8u), 0x00D4D0C8u + 0x1E1E1Eu);
  // A light face stays light: no channel carries into the next.
  EXPECT_EQ(LightenColorRef(0x00EFEFEFu), 0x00FFFFFFu);
  EXPECT_EQ(LightenColorRef(0x00F0E1D0u), 0x00FFFFEEu);
  EXPECT_EQ(HotBackgroundColor(), LightenColorRef(ButtonFaceColorRef()));
}

TEST(ColorRefTest, RoundTripsThroughQColor) {
  const QColor color(0x12, 0x34, 0x56);
  EXPECT_EQ(ToColorRef(color), 0x00563412u);
  EXPECT_EQ(FromColorRef(0x00563412u), color);
}

TEST(ControlIdTest, FindsDescendantsByTemplateId) {
  QWidget root;
  auto* inner = new QWidget(&root);                      // owned by root
  auto* label = new QLabel(QStringLiteral("x"), inner);  // owned by inner
  SetControlId(label, 1068, "loginNameLabel");
  EXPECT_EQ(FindControl(&root, 1068), label);
  EXPECT_EQ(FindControlAs<QLabel>(&root, 1068), label);
  EXPECT_EQ(FindControlAs<QLineEdit>(&root, 1068), nullptr);
  EXPECT_EQ(FindControl(&root, 9999), nullptr);
  EXPECT_EQ(label->objectName(), QStringLiteral("loginNameLabel"));
}

TEST(StoreTextTest, NonAsciiTextCrossesUnchanged) {
  const QString name = QString::fromUtf8("\xC3\x85sa \xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0");
  EXPECT_EQ(ToStore(name), std::string("\xC3\x85sa \xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0"));
  EXPECT_EQ(FromStore(ToStore(name)), name);
}

TEST(MessageBoxHookTest, RecordsEveryBoxAndAnswersFromTheQueue) {
  test::MessageBoxRecorder boxes;
  boxes.Answer(kIdNo);
  EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("Save changes before exit ?"),
                           QStringLiteral("Exit Lunaret..."), 0x33),
            kIdNo);
  // An empty queue answers the first button.
  EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("a"), QStringLiteral("b"), 0x34), kIdYes);
  EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("c"), QStringLiteral("d"), 0x10), kIdOk);
  ASSERT_EQ(boxes.Calls().size(), 3u);
  EXPECT_EQ(boxes.Calls()[0].text, QStringLiteral("Save changes before exit ?"));
  EXPECT_EQ(boxes.Calls()[0].title, QStringLiteral("Exit Lunaret..."));
  EXPECT_EQ(boxes.Calls()[0].flags, 0x33u);
  EXPECT_EQ(boxes.Calls()[2].flags, 0x10u);
}

TEST(MessageBoxTest, RealBoxShowsTitleTextAndAnswersEscapeAsCancel) {
  QString seenTitle;
  QString seenText;
  test::WhenModal([&](QWidget* box) {
    seenTitle = box->windowTitle();
    if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
      seenText = label->text();
    }
    QTest::keyClick(box, Qt::Key_Escape);
  });
  EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("Save changes before Log Off ?"),
                           QStringLiteral("Lunaret LogOff..."), 0x33),
            kIdCancel);
  EXPECT_EQ(seenTitle, QStringLiteral("Lunaret LogOff..."));
  EXPECT_EQ(seenText, QStringLiteral("Save changes before Log Off ?"));
}

TEST(MessageBoxTest, RealYesNoBoxAnswersEscapeAsNo) {
  test::WhenModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
  EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("q"), QStringLiteral("t"), 0x34), kIdNo);
}

TEST(ValidationTest, MessagesCarryTheirNumbers) {
  EXPECT_EQ(IntegerMessage(), QStringLiteral("Please enter an integer."));
  EXPECT_EQ(IntegerRangeMessage(1, 366),
            QStringLiteral("Please enter an integer between 1 and 366."));
  EXPECT_EQ(MaxCharsMessage(255), QStringLiteral("Please enter no more than 255 characters."));
}

TEST(ValidationTest, IntegerFieldRefusesTextAndRangeAndSelectsTheField) {
  test::MessageBoxRecorder boxes;
  QWidget window;
  auto* field = new QLineEdit(&window);  // owned by window
  auto* other = new QLineEdit(&window);  // owned by window
  window.show();
  QApplication::setActiveWindow(&window);
  int value = -1;

  const std::pair<const char*, QString> refused[] = {{"", IntegerMessage()},
                                                     {"12a", IntegerMessage()},
                                                     {"+", IntegerMessage()},
                                                     {"99999999999", IntegerMessage()},
                                                     {"0", IntegerRangeMessage(1, 366)},
                                                     {"367", IntegerRangeMessage(1, 366)}};
  for (const auto& [text, message] : refused) {
    boxes.Clear();
    other->setFocus();
    field->setText(QString::fromLatin1(text));
    EXPECT_FALSE(ReadIntegerField(field, 1, 366, &value)) << text;
    ASSERT_EQ(boxes.Calls().size(), 1u) << text;
    EXPECT_EQ(boxes.Calls()[0].text, message) << text;
    EXPECT_EQ(boxes.Calls()[0].title, QStringLiteral("Lunaret"));
    EXPECT_EQ(boxes.Calls()[0].flags, 0x30u);
    EXPECT_TRUE(field->hasFocus()) << text;
    EXPECT_EQ(field->selectedText(), field->text()) << text;
  }
  EXPECT_EQ(value, -1);

  boxes.Clear();
  field->setText(QStringLiteral(" 29 "));
  EXPECT_TRUE(ReadIntegerField(field, 1, 366, &value));
  EXPECT_EQ(value, 29);
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST(ValidationTest, TextFieldRefusesMoreThanTheLimit) {
  test::MessageBoxRecorder boxes;
  QLineEdit field;
  QString value;
  field.setText(QString(256, QChar('x')));
  EXPECT_FALSE(ReadTextField(&field, 255, &value));
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, MaxCharsMessage(255));
  field.setText(QString(255, QChar('x')));
  EXPECT_TRUE(ReadTextField(&field, 255, &value));
  EXPECT_EQ(value.size(), 255);
}

}  // namespace
}  // namespace lunaret
