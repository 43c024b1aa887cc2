#include "map/CMapNoConnectedWnd.h"

CMapNoConnectedWnd::CMapNoConnectedWnd(QWidget* parent)
    : MapPlaceholderWnd(kControlId, &skin::LanguageSkin::notConnectedPicture, parent) {}
