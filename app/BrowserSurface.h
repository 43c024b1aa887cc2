#pragma once
// The map's browser draws through OpenGL. A window that gains such a child after it
// was shown is made anew by Qt, with a new window id and a blink; a hidden child of
// that kind from the start has the window made with the surface the browser needs, so
// the browser, created later, lands in the window as it is.

class QWidget;

namespace app {

// Gives `window`, before it is first shown, that hidden child, on the platforms that
// compose windows through OpenGL (X11, Wayland) when OpenGL works; true when it did.
// Elsewhere (offscreen, minimal) nothing is done and the browser stays empty there
// as it always has.
bool PrepareBrowserSurface(QWidget& window);

}  // namespace app
