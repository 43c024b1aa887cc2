#pragma once
// Whether the desktop lets the magnifier read the screen. A Wayland session keeps every
// window's content from other programs: Qt's Wayland platform returns no picture at all,
// and an X11 program under XWayland sees black wherever no X11 window is. The zoom
// window then says so instead of magnifying nothing.

#include <string_view>

namespace zoom {

struct CaptureFacts {
  std::string_view platformName;  // QGuiApplication::platformName()
  bool waylandSession = false;    // WAYLAND_DISPLAY set, or XDG_SESSION_TYPE "wayland"
  bool grabNull = false;          // the last grab gave no picture
  bool grabAllBlack = false;      // every pixel of the last grab was black
};

// False where no grab can work, so none is tried: the Wayland platform plugins.
bool PlatformCanCapture(std::string_view platformName);

// Whether the last grab shows that capture is refused. A black grab counts only under
// XWayland: on a plain X11 desktop a black area is just a black picture.
bool CaptureRefused(const CaptureFacts& facts);

}  // namespace zoom
