#pragma once
// What the seek bar needs from the window that owns the player: the seek bar moves the
// playback position itself when the user clicks or drags it.

#include <cstdint>

class SeekTarget {
 public:
  virtual ~SeekTarget() = default;

  // True while a recording loads; the seek bar then ignores the mouse.
  virtual bool IsBusy() const = 0;
  // True when the player has a recording open (not empty).
  virtual bool HasOpenRecording() const = 0;
  // Sets the playback position, in 100-ns units.
  virtual void SetPosition(std::int64_t referenceTime) = 0;
  // Seeks while dragging, in milliseconds.
  virtual void Seek(int positionMs) = 0;
  // Gives the keyboard focus back to the window's focus control.
  virtual void RestoreFocus() = 0;
};
