#include "map/CMapNoConnectedWnd.h"

#include "res/SkinIds.h"

CMapNoConnectedWnd::CMapNoConnectedWnd(QWidget* parent) : MapPlaceholderWnd(kControlId, parent) {}

int CMapNoConnectedWnd::PictureId() const {
  if (languageIndex < 0 || languageIndex >= skin::kLanguageCount) return 0;
  return skin::LanguageSkinFor(languageIndex).notConnectedPicture;
}
