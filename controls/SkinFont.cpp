#include "controls/SkinFont.h"

#include <QStringList>

namespace skin {

QFont SkinFont(int pixelHeight) {
  QFont font;
  font.setFamilies(QStringList{QStringLiteral("NanumGothic"), QStringLiteral("Noto Sans CJK KR"),
                               QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans CJK SC"),
                               QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelHeight > 0 ? pixelHeight : kFontNormal);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

}  // namespace skin
