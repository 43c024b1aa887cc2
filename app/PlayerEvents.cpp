#include "app/PlayerEvents.h"

#include <QCoreApplication>

namespace app {

PlaybackEvent::PlaybackEvent(Kind eventKind, std::uint64_t eventLoad, QString eventText)
    : QEvent(EventType()), kind(eventKind), load(eventLoad), text(std::move(eventText)) {}

QEvent::Type PlaybackEvent::EventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

void PlayerEvents::OnEndOfStream() {
  QCoreApplication::postEvent(window_, new PlaybackEvent(PlaybackEvent::Kind::EndOfStream, load_.load(), {}));
}

void PlayerEvents::OnNextRecording() {
  QCoreApplication::postEvent(window_, new PlaybackEvent(PlaybackEvent::Kind::NextRecording, load_.load(), {}));
}

void PlayerEvents::OnError(const std::string& text) {
  QCoreApplication::postEvent(
      window_, new PlaybackEvent(PlaybackEvent::Kind::Error, load_.load(), QString::fromStdString(text)));
}

}  // namespace app
