#include "controls/SkinFont.h"

#include <QStringList>

#include "settings/ViewerSettings.h"

namespace skin {

namespace {

constexpr int kLanguageJapanese = 3;
constexpr int kLanguageChinese = 4;

QStringList FamiliesFor(int language) {
  // The CJK face of the language comes first: a face earlier in the list that has
  // some of its characters (NanumGothic has kana and common Han characters) would
  // otherwise draw those, and the rest would come from the next face.
  if (language == kLanguageJapanese) {
    return {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")};
  }
  if (language == kLanguageChinese) {
    return {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")};
  }
  return {QStringLiteral("NanumGothic"),      QStringLiteral("Noto Sans CJK KR"), QStringLiteral("Noto Sans CJK JP"),
          QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans"),      QStringLiteral("Sans Serif")};
}

}  // namespace

QFont SkinFont(int pixelHeight) { return SkinFont(pixelHeight, TheViewerSettings().language); }

QFont SkinFont(int pixelHeight, int language) {
  QFont font;
  font.setFamilies(FamiliesFor(language));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelHeight > 0 ? pixelHeight : kFontNormal);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

}  // namespace skin
