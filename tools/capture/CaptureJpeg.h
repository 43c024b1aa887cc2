#pragma once
// A grabbed picture as a QImage and as a JPEG file.

#include <QImage>
#include <string>

#include "playback/PlayerTypes.h"

// The picture (top-down 32-bit BGRA) copied into a QImage of its own size; a null
// image when it is empty or its pixel bytes are short.
QImage CapturedToQImage(const playback::CapturedImage& image);

// Writes the picture as a JPEG file at its own size. The file is replaced only when
// the whole image was written: a failed save leaves no partial file (and keeps a
// file of the same name that was there). False on any failure; `error` is then the
// errno of the file write, 0 when the picture itself could not be encoded.
bool SaveCaptureJpeg(const playback::CapturedImage& image, const std::string& path, int* error = nullptr);
