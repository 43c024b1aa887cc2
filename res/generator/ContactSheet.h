#pragma once
// One picture of the whole skin for looking at it.

#include <QImage>
#include <vector>

#include "res/SkinIds.h"

namespace gen {

struct RenderedImage {
  skin::SkinImage info;
  QImage image;
};

QImage BuildContactSheet(const std::vector<RenderedImage>& images);

}  // namespace gen
