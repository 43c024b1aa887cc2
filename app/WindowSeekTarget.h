#pragma once
// The seek bar's way to the player: the main window's player, refused while a load
// runs or nothing is open.

#include <functional>

#include "controls/SeekTarget.h"

namespace playback {
class CPlayer;
}

namespace app {

class WindowSeekTarget final : public SeekTarget {
 public:
  WindowSeekTarget(playback::CPlayer& player, std::function<bool()> busy, std::function<void()> restoreFocus)
      : player_(player), busy_(std::move(busy)), restoreFocus_(std::move(restoreFocus)) {}

  bool IsBusy() const override { return busy_(); }
  bool HasOpenRecording() const override;
  void SetPosition(std::int64_t referenceTime) override;
  void Seek(int positionMs) override;
  void RestoreFocus() override { restoreFocus_(); }

 private:
  playback::CPlayer& player_;
  std::function<bool()> busy_;
  std::function<void()> restoreFocus_;
};

}  // namespace app
