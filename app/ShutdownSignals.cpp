#include "app/ShutdownSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>

namespace app {

namespace {

constexpr std::array kSignals = {SIGTERM, SIGINT, SIGHUP};

// One set of handlers per process: the pipe's ends and what the handlers replaced.
int pipeEnds[2] = {-1, -1};
struct sigaction earlier[kSignals.size()];

void OnSignal(int number) {
  const int saved = errno;
  const auto byte = static_cast<unsigned char>(number);
  // A full pipe already holds a wake-up; the byte may go.
  [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
  errno = saved;
}

}  // namespace

ShutdownSignals::ShutdownSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  if (pipeEnds[0] >= 0 || ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { Drain(); });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &action, &earlier[i]);
}

ShutdownSignals::~ShutdownSignals() {
  if (!notifier_) return;
  for (std::size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &earlier[i], nullptr);
  delete notifier_;
  notifier_ = nullptr;
  ::close(pipeEnds[0]);
  ::close(pipeEnds[1]);
  pipeEnds[0] = pipeEnds[1] = -1;
}

void ShutdownSignals::Drain() {
  unsigned char bytes[16];
  ssize_t n = 0;
  while ((n = ::read(pipeEnds[0], bytes, sizeof bytes)) > 0) {
    for (ssize_t i = 0; i < n; ++i)
      if (onSignal_) onSignal_(bytes[i]);
  }
}

}  // namespace app
