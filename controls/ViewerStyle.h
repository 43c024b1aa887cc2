#pragma once
// The look of the viewer's standard windows (the settings dialog, message boxes, the
// folder picker, the print and file dialogs): the dark colours of the skin instead of
// the desktop's light default, so that no window of the viewer flashes white.

#include <QPalette>

class QApplication;

namespace skin {

// The skin's colours as a palette: panels 0x141414, fields 0x0A0A0A, buttons
// 0x1E1E1E, white text, frames 0x646464; disabled texts grey.
QPalette ViewerPalette();

// Gives `application` the Fusion style (which draws from the palette on every
// desktop) and the viewer's palette.
void ApplyViewerStyle(QApplication& application);

}  // namespace skin
