#pragma once
// Draws the image of one skin-table row.

#include <QImage>

#include "res/SkinIds.h"

namespace gen {

// The image for `info`, exactly info.width x info.height; a null image for an id the
// generator does not know (a table row without a drawing is a fault the caller reports).
QImage RenderSkinImage(const skin::SkinImage& info);

}  // namespace gen
