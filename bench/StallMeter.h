#pragma once
// How late the window thread runs: a 10 ms timer on it, with the longest, the mean and
// the 99th percentile lateness of its ticks (on a busy machine the longest is often
// another process's doing). The main-road and export benchmarks measure with it.

#include <QBasicTimer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QTimerEvent>
#include <algorithm>
#include <cstddef>
#include <functional>
#include <vector>

#include "bench/BenchClock.h"

namespace bench {

class StallMeter : public QObject {
 public:
  void Start() {
    worst_ = 0;
    sum_ = 0;
    ticks_ = 0;
    lates_.clear();
    last_ = Clock::now();
    timer_.start(kPeriodMs, this);
  }
  void Stop() { timer_.stop(); }
  double Worst() const { return worst_; }
  double Mean() const { return ticks_ ? sum_ / ticks_ : 0; }
  double Percentile99() const {
    if (lates_.empty()) return 0;
    std::vector<double> sorted = lates_;
    const auto at = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() * 99 / 100);
    std::nth_element(sorted.begin(), at, sorted.end());
    return *at;
  }

 protected:
  void timerEvent(QTimerEvent*) override {
    const Clock::time_point now = Clock::now();
    const double late = std::max(0.0, Ms(last_, now) - kPeriodMs);
    worst_ = std::max(worst_, late);
    sum_ += late;
    ++ticks_;
    lates_.push_back(late);
    last_ = now;
  }

 private:
  static constexpr int kPeriodMs = 10;
  QBasicTimer timer_;
  Clock::time_point last_;
  double worst_ = 0, sum_ = 0;
  int ticks_ = 0;
  std::vector<double> lates_;
};

// Runs the window thread's events until `done` or `ms` milliseconds; false on the latter.
inline bool Spin(const std::function<bool()>& done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

}  // namespace bench
