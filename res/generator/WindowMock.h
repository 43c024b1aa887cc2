#pragma once
// A stand-in main window drawn from the skin, for looking at the skin as a whole.

#include <QImage>
#include <vector>

#include "res/generator/ContactSheet.h"

namespace gen {

QImage BuildWindowMock(const std::vector<RenderedImage>& images, int language);

}  // namespace gen
