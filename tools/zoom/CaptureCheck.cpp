#include "tools/zoom/CaptureCheck.h"

namespace zoom {

bool PlatformCanCapture(std::string_view platformName) { return !platformName.starts_with("wayland"); }

bool CaptureRefused(const CaptureFacts& facts) {
  if (!PlatformCanCapture(facts.platformName)) return true;
  if (facts.grabNull) return true;
  return facts.grabAllBlack && facts.waylandSession && facts.platformName == "xcb";
}

}  // namespace zoom
