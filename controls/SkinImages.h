#pragma once
// Skin pictures by numeric id, as every skinned window addresses them, and the three
// ways the windows draw them. The pictures are the resources ":/skin/<id>.png"; each is
// decoded once and kept for the life of the process.

#include <QImage>

#include "controls/SkinPalette.h"

class QPainter;

namespace skin {

// How a button draws an id: a bitmap is copied opaque at the button's size, a PNG is
// blended with its alpha at its natural size.
enum class DrawKind { None, Bitmap, Png };

// The decoded picture of `id`; a null image when there is none.
const QImage& LoadSkinImage(int id);
DrawKind DrawKindOf(int id);
bool HasSkinImage(int id);

// Puts a picture under `id` in place of the resource (pictures made at run time, and
// tests that need pixels they know).
void RegisterSkinImage(int id, const QImage& image, DrawKind kind);
// Forgets every decoded and registered picture.
void ClearSkinImages();

}  // namespace skin

// Copies the top-left width x height pixels of bitmap `id` to (x, y), without
// stretching. With `transparent`, pixels of `keyColour` leave the target untouched.
// A missing picture draws nothing.
void DrawSkinBitmap(QPainter& target, int id, int x, int y, int width, int height, bool transparent = false,
                    COLORREF keyColour = 0xFFFFFF);

// Copies the width x height block at (sourceX, sourceY) of bitmap `id` to (x, y), opaque.
void DrawSkinBitmapPart(QPainter& target, int id, int x, int y, int width, int height, int sourceX, int sourceY);

// Blends PNG `id` at (0, 0) at its natural size. False when there is no such picture.
bool DrawSkinPng(QPainter& target, int id);
