#include "controls/ViewerStyle.h"

#include <QApplication>
#include <QStyleFactory>

#include "controls/SkinPalette.h"

namespace skin {

namespace {

constexpr COLORREF kDisabledText = 0x808080;
constexpr COLORREF kHighlight = 0x505050;

}  // namespace

QPalette ViewerPalette() {
  QPalette palette;
  const QColor text = ToColor(kDefaultText);
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    const bool disabled = group == QPalette::Disabled;
    const QColor shown = disabled ? ToColor(kDisabledText) : text;
    palette.setColor(group, QPalette::Window, ToColor(kPanelBackground));
    palette.setColor(group, QPalette::WindowText, shown);
    palette.setColor(group, QPalette::Base, ToColor(kWindowBackground));
    palette.setColor(group, QPalette::AlternateBase, ToColor(kBarBackground));
    palette.setColor(group, QPalette::Text, shown);
    palette.setColor(group, QPalette::Button, ToColor(kBarBackground));
    palette.setColor(group, QPalette::ButtonText, shown);
    palette.setColor(group, QPalette::BrightText, text);
    palette.setColor(group, QPalette::ToolTipBase, ToColor(kBarBackground));
    palette.setColor(group, QPalette::ToolTipText, text);
    palette.setColor(group, QPalette::PlaceholderText, ToColor(kDisabledText));
    palette.setColor(group, QPalette::Highlight, ToColor(kHighlight));
    palette.setColor(group, QPalette::HighlightedText, text);
    palette.setColor(group, QPalette::Light, ToColor(kFrame));
    palette.setColor(group, QPalette::Midlight, ToColor(kTopBarStripe));
    palette.setColor(group, QPalette::Mid, ToColor(kFrame));
    palette.setColor(group, QPalette::Dark, ToColor(kWindowBackground));
    palette.setColor(group, QPalette::Shadow, ToColor(kWindowBackground));
    palette.setColor(group, QPalette::Link, ToColor(kGsensorAxisColours[1]));
  }
  return palette;
}

void ApplyViewerStyle(QApplication& application) {
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
  application.setPalette(ViewerPalette());
}

}  // namespace skin
