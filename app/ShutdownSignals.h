#pragma once
// SIGTERM, SIGINT and SIGHUP (a logout, kill, Ctrl+C in the terminal, a service
// manager) end the viewer the way its Close does, from the event loop: a signal
// handler may only write to a pipe, whose other end a socket notifier watches on the
// window thread.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace app {

class ShutdownSignals : public QObject {
 public:
  // `onSignal` runs on the thread that made the object, once per signal, with its
  // number. Handlers are installed for the object's life; the earlier ones come back
  // after it.
  explicit ShutdownSignals(std::function<void(int)> onSignal, QObject* parent = nullptr);
  ~ShutdownSignals() override;
  ShutdownSignals(const ShutdownSignals&) = delete;
  ShutdownSignals& operator=(const ShutdownSignals&) = delete;

  // Whether the handlers and the pipe were set up.
  bool Installed() const { return notifier_ != nullptr; }

 private:
  void Drain();

  std::function<void(int)> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace app
