#pragma once
// The generated images by id, drawn the way the skinned controls draw them; used by the
// contact sheet and the stand-in window.

#include <QImage>
#include <QPainter>
#include <map>
#include <vector>

#include "res/generator/ContactSheet.h"

namespace gen {

class ImageSet {
 public:
  explicit ImageSet(const std::vector<RenderedImage>& images);

  // The image of `id`; a null image when there is none.
  QImage Get(int id) const;

  // Draws `id` at (x, y): keyed bitmaps leave their key colour undrawn, top-bar PNGs go
  // over the button background (0x0A0A0A), placeholders over nothing.
  void Put(QPainter& p, int id, int x, int y) const;

  // Draws the w x h block at (sx, sy) of `id`, opaque.
  void PutPart(QPainter& p, int id, int x, int y, int w, int h, int sx, int sy) const;

 private:
  std::map<int, const RenderedImage*> byId_;
};

}  // namespace gen
