#include "app/WindowSeekTarget.h"

#include "playback/CPlayer.h"

namespace app {

bool WindowSeekTarget::HasOpenRecording() const {
  const std::int32_t state = player_.state();
  return state != playback::kStateEmpty;
}

void WindowSeekTarget::SetPosition(std::int64_t referenceTime) {
  player_.Seek(static_cast<std::int32_t>(referenceTime / 10000));
}

void WindowSeekTarget::Seek(int positionMs) {
  if (busy_() || !HasOpenRecording()) return;
  player_.Seek(positionMs);
}

}  // namespace app
