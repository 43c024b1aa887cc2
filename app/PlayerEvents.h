#pragma once
// Carries the playback engine's events from its streaming threads to the main window:
// each one becomes an event posted to the window, handled on the window thread.
//
// Every event is stamped with the load it belongs to; the window counts its loads and
// drops an event of an earlier recording that arrives after the next one started.

#include <QEvent>
#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>

#include "playback/PlaybackListener.h"

namespace app {

class PlaybackEvent : public QEvent {
 public:
  enum class Kind { EndOfStream, Error, NextRecording };
  PlaybackEvent(Kind kind, std::uint64_t load, QString text);
  static QEvent::Type EventType();

  Kind kind;
  std::uint64_t load;
  QString text;
};

class PlayerEvents final : public playback::PlaybackListener {
 public:
  explicit PlayerEvents(QObject* window) : window_(window) {}

  // The window starts a new load: events of earlier recordings are stale from now on.
  std::uint64_t NextLoad() { return ++load_; }
  std::uint64_t CurrentLoad() const { return load_.load(); }

  // PlaybackListener (streaming threads)
  void OnEndOfStream() override;
  void OnError(const std::string& text) override;
  void OnNextRecording() override;

 private:
  QObject* window_;
  std::atomic<std::uint64_t> load_{0};
};

}  // namespace app
