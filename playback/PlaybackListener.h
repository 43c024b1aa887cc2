#pragma once
// What the playback engine tells its owner without being asked: the end of a
// recording and a failure of its pipeline.
//
// Both calls come on a GStreamer streaming thread (whichever thread posted the
// message), never on the owner's UI thread. An implementer only records the event and
// hands it to its own thread with a queued call; it never touches a widget, never
// calls back into the player and returns quickly, because the streaming thread waits.

#include <string>

namespace playback {

class PlaybackListener {
 public:
  virtual ~PlaybackListener() = default;

  // The recording played to the end of its current segment (after a seek, the end of
  // the new segment). Once per segment.
  virtual void OnEndOfStream() = 0;

  // The pipeline stopped working: a decoder gave up on damaged pictures, the source
  // could not read the recording any more. `text` says what failed, for the user.
  // Once per opened recording: the errors that follow the first are its echoes.
  virtual void OnError(const std::string& text) = 0;

  // The first camera's last picture has had its time in the current segment (the
  // sound may go on a little longer; OnEndOfStream follows once it has ended). Once
  // per segment.
  virtual void OnPicturesEnded() {}

  // The prerolled next recording took over at the end of the current one's pictures
  // (CPlayer::ArmStandby): it plays from its first picture, which is on its way to
  // the windows, and the ended one reports nothing more. Comes on the player's own
  // thread instead of OnEndOfStream.
  virtual void OnNextRecording() {}
};

}  // namespace playback
