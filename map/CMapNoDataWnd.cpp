#include "map/CMapNoDataWnd.h"

CMapNoDataWnd::CMapNoDataWnd(QWidget* parent)
    : MapPlaceholderWnd(kControlId, &skin::LanguageSkin::noDataPicture, parent) {}
