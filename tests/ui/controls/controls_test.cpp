// The hot colour, message boxes and field validation, the hyperlink, the About box and the
// dedication dialog.
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QUrl>
#include <vector>

#include "controls/about_dialog.h"
#include "controls/dedication_dialog.h"
#include "controls/hover_button.h"
#include "controls/hyperlink.h"
#include "controls/message_box.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

TEST(UiSupportTest, HotBackgroundLightensEachChannelBy0x1EWithoutCarrying) {
  EXPECT_EQ(LightenColorRef(0x00D4D0C8u), 0x00F2EEE6u);
  EXPECT_EQ(LightenColorRef(0x00F0E1D0u), 0x00FFFFEEu) << "a light face stays light";
  EXPECT_EQ(ToColorRef(QColor(0x12, 0x34, 0x56)), 0x00563412u);
}

TEST(UiSupportTest, ARealBoxShowsItsTitleAndTextAndEscapeAnswersCancelOrElseNoOrOk) {
  for (const auto& [flags, answer] : {std::pair{0x33u, kIdCancel}, std::pair{0x34u, kIdNo},
                                      std::pair{0x10u, kIdOk}, std::pair{0x41u, kIdCancel}}) {
    QString shown;
    test::WhenModal([&shown](QWidget* box) {
      shown = box->windowTitle() + ": " + box->findChild<QLabel*>("qt_msgbox_label")->text();
      QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(ShowMessageBox(nullptr, "Save changes before Log Off ?", "Lunaret LogOff...", flags),
              answer);
    EXPECT_EQ(shown, "Lunaret LogOff...: Save changes before Log Off ?");
  }
}

TEST(UiSupportTest, ARefusedFieldWarnsWithTheFrameworkTextAndComesBackSelected) {
  test::MessageBoxRecorder boxes;
  QWidget window;
  auto* field = new QLineEdit(&window);  // owned by window, as is the other field
  auto* other = new QLineEdit(&window);
  window.show();
  QApplication::setActiveWindow(&window);
  const QString integer = "Please enter an integer. | Lunaret | 0x30";
  const QString range = "Please enter an integer between 1 and 366. | Lunaret | 0x30";
  // The text typed and the message; no message: accepted (as 29, or as it is).
  const std::pair<QString, QString> cases[] = {
      {"12a", integer},
      {"+", integer},
      {"99999999999", integer},
      {"0", range},
      {"367", range},
      {" 29 ", ""},
      {QString(255, 'x'), ""},
      {QString(256, 'x'), "Please enter no more than 255 characters. | Lunaret | 0x30"}};
  for (const auto& [typed, message] : cases) {
    SCOPED_TRACE(typed.left(12).toStdString());
    boxes.Clear();
    other->setFocus();
    field->setText(typed);
    int number = -1;
    QString text;
    const bool read = typed.size() > 100 ? ReadTextField(field, 255, &text)
                                         : ReadIntegerField(field, 1, 366, &number);
    EXPECT_EQ(boxes.Shown(), message);
    EXPECT_EQ(read, message.isEmpty());
    EXPECT_TRUE(read ? number == 29 || text == typed
                     : field->hasFocus() && field->selectedText() == typed && number == -1);
  }
}

// Catches what the desktop opener hands to the desktop.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  std::vector<QUrl> urls;

 public slots:
  void Open(const QUrl& url) { urls.push_back(url); }
};

// The text exactly as displayed opens as mail when it has an at sign, as a web address else; the
// desktop gets mailto and web addresses, never local files.
TEST(HyperLinkTest, AClickOpensTheTextAsMailOrWebTurnsTheLinkPurpleAndNeverOpensAFile) {
  static constexpr const char* kSchemes[] = {"mailto", "http", "https", "file", "ftp"};
  UrlCatcher catcher;
  for (const char* scheme : kSchemes)
    QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "Open");
  HyperLink link(QStringLiteral("www.lunaret.example"));
  link.resize(300, link.sizeHint().height());  // much wider than its text
  EXPECT_EQ(link.cursor().hotSpot(), QPoint(13, 7)) << "the hand pointer";
  // Whether the whole bottom row has the colour, and the text above it too.
  auto painted = [&link](QRgb colour) {
    const QImage image = link.grab().toImage();
    bool underline = true, text = false;
    for (int x = 0; x < image.width(); ++x) {
      underline = underline && image.pixel(x, image.height() - 1) == colour;
      for (int y = 0; y < image.height() - 1; ++y)
        text = text || image.pixel(x, y) == colour;
    }
    return underline && text;
  };
  EXPECT_TRUE(painted(qRgb(0, 0, 255)));
  QTest::mouseClick(&link, Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
  EXPECT_EQ(link.LinkColor(), 0x00FF0000u) << "only a left press opens";
  QTest::mouseClick(&link, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(3, 3), link.mapToGlobal(QPointF(3, 3)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&link, &second);  // a double click opens once
  EXPECT_EQ(link.LinkColor(), 0x00800080u);
  EXPECT_TRUE(painted(qRgb(128, 0, 128)));
  for (const char* text : {"https://lunaret.example/@vessa", "hello@lunaret.example"}) {
    link.setText(QString::fromUtf8(text));
    QTest::mouseClick(&link, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  }
  LinkOpener& desktop = LinkOpener::Current();
  desktop.OpenMail(QStringLiteral("mailto:vessa@lunaret.example"));
  for (const char* web : {"https://lunaret.example/", "/etc/passwd", "file:///etc/passwd"})
    desktop.OpenWeb(QString::fromLatin1(web));
  for (const char* scheme : kSchemes)
    QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
  EXPECT_EQ(catcher.urls,
            (std::vector<QUrl>{
                QUrl("http://www.lunaret.example"), QUrl("mailto:https://lunaret.example/@vessa"),
                QUrl("mailto:hello@lunaret.example"), QUrl("mailto:vessa@lunaret.example"),
                QUrl("https://lunaret.example/")}));
}

// What a dialog wires into its button: its theme, the hot background, its own tooltip and the
// hand pointer.
void ExpectButtonSetUp(const ThemedHoverButton* button, const ThemeLibrary* theme,
                       const char* tip) {
  EXPECT_EQ(
      std::tuple(button->Theme(), button->Color(0), button->OwnTooltipActive(),
                 button->OwnTooltip(), button->cursor().shape()),
      std::tuple(theme, HotBackgroundColor(), true, QString::fromUtf8(tip), Qt::BitmapCursor));
}

// Runs a fresh dialog's real modal loop, answered by a key or (Key_unknown) a click on its
// button.
template <typename Dialog>
int RunDialog(Qt::Key key) {
  Dialog dialog;
  test::WhenModal<Dialog>([key](Dialog* modal) {
    if (key == Qt::Key_unknown)
      QTest::mouseClick(modal->OkButton(), Qt::LeftButton);
    else
      QTest::keyClick(modal, key);
  });
  return dialog.exec();
}

TEST(DialogTest, TheAboutBoxHasNoCloseBoxAndTheDedicationOnlyAButtonWithTheCancelId) {
  AboutDialog about;
  EXPECT_FALSE(about.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint));
  EXPECT_TRUE(about.MailLink()->text().contains('@') && !about.HomeLink()->text().contains('@'));
  EXPECT_TRUE(about.OkButton()->isDefault());
  ExpectButtonSetUp(about.OkButton(), &about.Theme(), " OK! ");
  DedicationDialog dedication;
  EXPECT_EQ(FindControl(&dedication, 1), nullptr);
  ExpectButtonSetUp(dedication.OkButton(), &dedication.Theme(), "All the best to you!");
  for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_unknown}) {
    EXPECT_EQ(RunDialog<AboutDialog>(key), key == Qt::Key_Escape ? 0 : 1);
    EXPECT_EQ(RunDialog<DedicationDialog>(key), QDialog::Rejected) << "the Cancel id";
  }
}

}  // namespace
}  // namespace lunaret

#include "controls_test.moc"
