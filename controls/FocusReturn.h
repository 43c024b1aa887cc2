#pragma once
// When one of the viewer's own windows goes (a message box, a dialog, the zoom or map
// window), the keyboard goes back to the window it belongs to. A window manager does
// this by itself; without one (a bare X server, a kiosk session) the keys after the
// window closed would reach no window at all: Escape or Space would do nothing.

class QApplication;

// Installs the hand-back for every window of `application`, once.
void InstallFocusReturn(QApplication& application);
