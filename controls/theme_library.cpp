#include "controls/theme_library.h"

#include <QApplication>
#include <QCommonStyle>
#include <QPainter>
#include <QStyleOptionButton>
#include <QWidget>
#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace lunaret {

namespace {

constexpr long kOk = 0;

// The class lists the library knows: only push buttons are drawn through it. A list holds
// class names separated by semicolons; the first known one wins, letter case does not matter.
bool ListsButtonClass(const wchar_t* classList) {
  if (classList == nullptr)
    return false;
  static constexpr wchar_t kButton[] = L"BUTTON";
  constexpr std::size_t kButtonLength = sizeof(kButton) / sizeof(kButton[0]) - 1;
  const wchar_t* name = classList;
  while (true) {
    const wchar_t* end = name;
    while (*end != L'\0' && *end != L';')
      ++end;
    if (static_cast<std::size_t>(end - name) == kButtonLength) {
      bool same = true;
      for (std::size_t i = 0; i < kButtonLength && same; ++i)
        same = std::towupper(static_cast<wint_t>(name[i])) == static_cast<wint_t>(kButton[i]);
      if (same)
        return true;
    }
    if (*end == L'\0')
      return false;
    name = end + 1;
  }
}

}  // namespace

ThemeLibrary::ThemeLibrary(QStyle* style) {
  if (style == nullptr && qApp != nullptr)
    style = QApplication::style();
  style_ = style;
}

ThemeLibrary::~ThemeLibrary() = default;

std::unique_ptr<QStyle> ThemeLibrary::CreatePlainStyle() {
  auto style = std::make_unique<QCommonStyle>();
  style->setObjectName(QString::fromLatin1(kPlainStyleName));
  return style;
}

bool ThemeLibrary::IsPlainStyle(const QStyle* style) {
  if (style == nullptr)
    return true;
  const QString plain = QString::fromLatin1(kPlainStyleName);
  return style->objectName().compare(plain, Qt::CaseInsensitive) == 0 ||
         style->name().compare(plain, Qt::CaseInsensitive) == 0;
}

bool ThemeLibrary::IsAppThemed() const {
  return !IsPlainStyle(style_.data());
}

ThemeHandle ThemeLibrary::OpenThemeData(QWidget* window, const wchar_t* classList) {
  if (!IsAppThemed() || !ListsButtonClass(classList))
    return nullptr;
  open_.push_back(std::make_unique<ThemeData>(ThemeData{window}));
  return open_.back().get();
}

long ThemeLibrary::CloseThemeData(ThemeHandle theme) {
  const auto found = std::find_if(open_.begin(), open_.end(),
                                  [theme](const auto& data) { return data.get() == theme; });
  if (theme == nullptr || found == open_.end())
    return kThemeFailure;
  open_.erase(found);
  return kOk;
}

long ThemeLibrary::DrawThemeBackground(ThemeHandle theme, QPainter* painter, int part, int state,
                                       const QRect& rect, const QRect* clip) {
  const auto found = std::find_if(open_.begin(), open_.end(),
                                  [theme](const auto& data) { return data.get() == theme; });
  if (style_ == nullptr || theme == nullptr || found == open_.end() || painter == nullptr ||
      part != kBpPushButton || state < kPbsNormal || state > kPbsDefaulted)
    return kThemeFailure;

  QWidget* window = (*found)->window.data();
  QStyleOptionButton option;
  if (window != nullptr)
    option.initFrom(window);
  option.rect = rect;
  // The widget's own enabled, hover, focus and pressed flags give way to the requested state.
  option.state &= ~(QStyle::State_Enabled | QStyle::State_MouseOver | QStyle::State_Sunken |
                    QStyle::State_On | QStyle::State_HasFocus);
  option.state |= QStyle::State_Raised;
  option.features = QStyleOptionButton::None;
  switch (state) {
    case kPbsHot:
      option.state |= QStyle::State_Enabled | QStyle::State_MouseOver;
      break;
    case kPbsPressed:
      option.state |= QStyle::State_Enabled | QStyle::State_Sunken | QStyle::State_MouseOver;
      option.state &= ~QStyle::State_Raised;
      break;
    case kPbsDisabled:
      option.palette.setCurrentColorGroup(QPalette::Disabled);
      break;
    case kPbsDefaulted:
      option.state |= QStyle::State_Enabled;
      option.features |= QStyleOptionButton::DefaultButton;
      break;
    default:
      option.state |= QStyle::State_Enabled;
      break;
  }

  painter->save();
  if (clip != nullptr)
    painter->setClipRect(*clip, Qt::IntersectClip);
  style_->drawControl(QStyle::CE_PushButtonBevel, &option, painter, window);
  if (state == kPbsHot) {
    // Most widget styles draw a hovered push button exactly like an idle one; the hot state
    // must show, so it gets a light wash of the highlight colour inside the bevel's edge.
    QColor wash = option.palette.color(QPalette::Active, QPalette::Highlight);
    wash.setAlpha(48);
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(Qt::NoPen);
    painter->setBrush(wash);
    painter->drawRoundedRect(QRectF(rect).adjusted(1.5, 1.5, -1.5, -1.5), 2.0, 2.0);
  }
  painter->restore();
  return kOk;
}

}  // namespace lunaret
