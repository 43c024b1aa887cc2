#pragma once
// The back buffer of a skinned window's paint: everything is drawn into it and then
// copied to the window in one block, so that timers repainting several times a second
// never show a half-drawn control.

#include <QImage>
#include <QPainter>
#include <memory>

class QPaintDevice;

class CMemoryDC {
 public:
  CMemoryDC() = default;
  ~CMemoryDC();
  CMemoryDC(const CMemoryDC&) = delete;
  CMemoryDC& operator=(const CMemoryDC&) = delete;

  // A buffer of width x height device-independent pixels matching `reference`'s pixel
  // ratio (may be null). False when already created or the size is empty.
  bool Create(const QPaintDevice* reference, int width, int height);
  bool IsCreated() const { return created; }

  // Valid while created.
  QPainter& Painter() { return *painter; }
  const QImage& Image() const { return image; }
  int Width() const { return width; }
  int Height() const { return height; }

  // Finishes drawing and copies the whole buffer to `target` at (x, y).
  void CopyTo(QPainter& target, int x = 0, int y = 0);
  // Copies the block (sourceX, sourceY, w, h) of the buffer to (x, y) of `target`.
  void CopyPartTo(QPainter& target, int x, int y, int w, int h, int sourceX, int sourceY);

  void Destroy();

 private:
  void EndPainting();

  QImage image;
  std::unique_ptr<QPainter> painter;
  int width = 0;
  int height = 0;
  bool created = false;
};
