#pragma once
// The private window messages of the skinned windows, as Qt events. Each message keeps its number: the event type is
// QEvent::User + number, and the event carries the message's two parameters.

#include <QCoreApplication>
#include <QEvent>
#include <cstdint>

// Volume bar to its parent: wParam = the new level 0..10.
constexpr int kMsgVolumeLevel = 2125;
// Asks the main window to repaint the four list filter buttons.
constexpr int kMsgRepaintFilters = 2126;
// To a map panel: wParam = the window it hosts from now on (a QWidget*), or 0.
constexpr int kMsgMapPanelHost = 2025;
// To the map window: lay the controls out again.
constexpr int kMsgMapDlgLayout = 1025;

constexpr QEvent::Type PrivateEventType(int message) { return static_cast<QEvent::Type>(QEvent::User + message); }

class PrivateMessageEvent : public QEvent {
 public:
  PrivateMessageEvent(int number, std::intptr_t first, std::intptr_t second = 0)
      : QEvent(PrivateEventType(number)), message(number), wParam(first), lParam(second) {}

  int Message() const { return message; }
  std::intptr_t WParam() const { return wParam; }
  std::intptr_t LParam() const { return lParam; }

  // The message number of `event`, or 0 when it is not a private message.
  static int MessageOf(const QEvent* event) {
    const auto* e = dynamic_cast<const PrivateMessageEvent*>(event);
    return e ? e->message : 0;
  }

 private:
  int message;
  std::intptr_t wParam;
  std::intptr_t lParam;
};

// Queues the message for `target` (as PostMessage does); it is delivered from the
// target thread's event loop. Does nothing for a null target.
inline void PostPrivateMessage(QObject* target, int message, std::intptr_t wParam, std::intptr_t lParam = 0) {
  if (!target) return;
  QCoreApplication::postEvent(target, new PrivateMessageEvent(message, wParam, lParam));
}

// Delivers the message at once (as SendMessage does).
inline bool SendPrivateMessage(QObject* target, int message, std::intptr_t wParam, std::intptr_t lParam = 0) {
  if (!target) return false;
  PrivateMessageEvent event(message, wParam, lParam);
  return QCoreApplication::sendEvent(target, &event);
}
