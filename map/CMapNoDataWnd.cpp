#include "map/CMapNoDataWnd.h"

#include "res/SkinIds.h"

CMapNoDataWnd::CMapNoDataWnd(QWidget* parent) : MapPlaceholderWnd(kControlId, parent) {}

int CMapNoDataWnd::PictureId() const {
  if (languageIndex < 0 || languageIndex >= skin::kLanguageCount) return 0;
  return skin::LanguageSkinFor(languageIndex).noDataPicture;
}
