#include "controls/ui_support.h"

#include <QApplication>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QFont>
#include <QImageReader>
#include <QPalette>
#include <QStringList>
#include <QWidget>
#include <algorithm>

namespace lunaret {

std::string ToStore(const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString FromStore(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

bool StoresExactly(const QString& text) {
  return FromStore(ToStore(text)) == text;
}

void SetControlId(QWidget* widget, int id, const char* name) {
  widget->setProperty("controlId", id);
  widget->setObjectName(QString::fromLatin1(name));
}

int ControlId(const QWidget* widget) {
  const QVariant id = widget->property("controlId");
  return id.isValid() ? id.toInt() : 0;
}

QWidget* FindControl(const QWidget* root, int id) {
  const auto children = root->findChildren<QWidget*>();
  for (QWidget* child : children) {
    if (ControlId(child) == id)
      return child;
  }
  return nullptr;
}

QFont LabelFont() {
  // A font height of 13 is the cell height; the em size is about two pixels less.
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(11);
  return font;
}

void ApplyLabelFont(QWidget* root, std::initializer_list<int> ids) {
  const QFont font = LabelFont();
  for (int id : ids) {
    if (QWidget* control = FindControl(root, id)) {
      control->setFont(font);
      control->update();
    }
  }
}

void SubstituteMissingDialogFonts() {
#ifdef _WIN32
  // Elsewhere fontconfig already finds the nearest font for a missing family.
  const QStringList sans = {QStringLiteral("Segoe UI"), QStringLiteral("Arial"),
                            QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
  QFont::insertSubstitutions(QStringLiteral("Tahoma"), sans);
  QFont::insertSubstitutions(QStringLiteral("MS Shell Dlg"), QStringList{"Tahoma"} + sans);
  QFont::insertSubstitutions(QStringLiteral("MS Shell Dlg 2"), QStringList{"Tahoma"} + sans);
  // The application font was resolved before: again, with the substitutes.
  QApplication::setFont(QApplication::font());
#endif
}

ColorRef ToColorRef(const QColor& color) {
  return static_cast<ColorRef>(color.red()) | (static_cast<ColorRef>(color.green()) << 8) |
         (static_cast<ColorRef>(color.blue()) << 16);
}

QColor FromColorRef(ColorRef color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

ColorRef ButtonFaceColorRef() {
  return ToColorRef(QApplication::palette().color(QPalette::Button));
}

ColorRef ButtonTextColorRef() {
  return ToColorRef(QApplication::palette().color(QPalette::ButtonText));
}

ColorRef HotBackgroundColor() {
  return LightenColorRef(ButtonFaceColorRef());
}

ColorRef LightenColorRef(ColorRef face) {
  // 0x1E more of each channel. Added as one integer, a channel above 0xE1 would carry into the
  // next and turn a light face nearly black behind black text, so each channel stops at 0xFF.
  ColorRef result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const ColorRef channel = std::min<ColorRef>(((face >> shift) & 0xFFu) + 0x1Eu, 0xFFu);
    result |= channel << shift;
  }
  return result;
}

namespace {

QString ResourcePath(int id, const char* suffix = "") {
  return QStringLiteral(":/res/%1%2.png").arg(id).arg(QLatin1String(suffix));
}

// The pictures are PNG files, read by Qt's own PNG reader: a reader left to find the format
// first asks every image format plugin whether it can read them, which loads them all.
QImage ReadPicture(const QString& path) {
  if (!QFile::exists(path))
    return QImage();
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

}  // namespace

QIcon LoadIconResource(int id) {
  QIcon icon;
  for (const char* size : {"", "_16"}) {
    const QString path = ResourcePath(id, size);
    const QImage picture = ReadPicture(path);
    if (!picture.isNull())
      icon.addPixmap(QPixmap::fromImage(picture));
    else if (QFile::exists(path))
      icon.addFile(path);  // a picture that cannot be read: the icon has no size to show
  }
  return icon;
}

QPixmap LoadPixmapResource(int id) {
  return QPixmap::fromImage(ReadPicture(ResourcePath(id)));
}

bool LoadCursorResource(int id, QCursor* cursor) {
  const QPixmap picture = LoadPixmapResource(id);
  if (picture.isNull())
    return false;
  // The hand pointer's hot spot is the tip of the finger.
  *cursor = id == kCursorHand ? QCursor(picture, 13, 7) : QCursor(picture);
  return true;
}

void SetWindowIcon128(QWidget* window) {
  const QIcon icon = LoadIconResource(kIconWindow);
  if (!icon.isNull())
    window->setWindowIcon(icon);
}

}  // namespace lunaret
