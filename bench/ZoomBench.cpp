// Zoom benchmark: the cost of one magnification of the zoom window on the current
// display, against the peer way of reading the whole virtual desktop every tick (grab
// every screen, paint the window's own area grey, stretch the source part); and a run
// of the zoom window as the viewer shows it, for a playback benchmark beside it.
//
// usage: zoom_bench measure [COUNT]
//        zoom_bench show SECONDS [--naive] [--shot PREFIX]   (--naive: the peer's window)
// Needs a display with screen capture (X11; bench/run-zoom.sh starts Xvfb).

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/BenchClock.h"
#include "res/SkinResources.h"
#include "tools/zoom/CZoomDlg.h"
#include "tools/zoom/ZoomGeometry.h"

using bench::CpuSeconds;

namespace {

// Something to magnify: a full-screen picture with fine detail, like a video frame.
class Backdrop : public QWidget {
 public:
  explicit Backdrop(const QRect& area)
      : QWidget(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint),
        picture(area.size(), QImage::Format_RGB32) {
    for (int y = 0; y < picture.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
      for (int x = 0; x < picture.width(); ++x) line[x] = qRgb((x * 7) & 0xFF, (y * 5) & 0xFF, ((x ^ y) * 3) & 0xFF);
    }
    QPainter text(&picture);
    text.setPen(Qt::white);
    QFont font = text.font();
    font.setPixelSize(28);
    text.setFont(font);
    for (int y = 60; y < picture.height(); y += 120)
      for (int x = 40; x < picture.width(); x += 360) text.drawText(x, y, QStringLiteral("12가 3456"));
    setGeometry(area);
  }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, picture); }

 private:
  QImage picture;
};

void Settle(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

zoom::Rect ToZoomRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

// The peer: the whole virtual desktop into one picture every tick, then the grey
// self-area and the stretch of the source part to the client size.
QImage NaiveMagnify(const QWidget& window, int factor) {
  const QRect desk = QGuiApplication::primaryScreen()->virtualGeometry();
  QImage whole(desk.size(), QImage::Format_RGB32);
  whole.fill(Qt::black);
  QPainter painter(&whole);
  for (QScreen* screen : QGuiApplication::screens())
    painter.drawPixmap(screen->geometry().topLeft() - desk.topLeft(), screen->grabWindow(0));
  zoom::ZoomInput input;
  input.virtualScreen = ToZoomRect(desk);
  input.client = ToZoomRect(QRect(window.mapToGlobal(QPoint(0, 0)), window.size()));
  const QPoint cursor = QCursor::pos();
  input.cursorX = cursor.x();
  input.cursorY = cursor.y();
  input.zoomFactor = factor;
  const zoom::ZoomPlan plan = zoom::PlanMagnification(input);
  const zoom::Rect& self = plan.selfAreaInCapture;
  painter.fillRect(QRect(self.x, self.y, self.width, self.height), QColor(0x96, 0x96, 0x96));
  painter.end();
  QImage out(window.size(), QImage::Format_RGB32);
  QPainter stretch(&out);
  stretch.setRenderHint(QPainter::SmoothPixmapTransform);
  const zoom::Rect& s = plan.sourceInCapture;
  stretch.drawImage(out.rect(), whole, QRect(s.x, s.y, s.width, s.height));
  return out;
}

// The peer shown as a window: the naive magnification every 40 ms, painted.
class NaiveZoomWindow : public QWidget {
 public:
  NaiveZoomWindow() : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setGeometry(CZoomDlg::kInitialX, CZoomDlg::kInitialY, CZoomDlg::kInitialWidth, CZoomDlg::kInitialHeight);
    QObject::connect(&timer, &QTimer::timeout, this, [this] {
      picture = NaiveMagnify(*this, 3);
      ++count;
      update();
    });
    timer.start(CZoomDlg::kMagnifyPeriodMs);
  }
  long long count = 0;

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, picture); }

 private:
  QTimer timer;
  QImage picture;
};

// Ours, up to the same point: the zoom window's magnification and its stretch.
QImage OurMagnify(CZoomDlg& zoom) {
  zoom.Magnify();
  QImage out(zoom.size(), QImage::Format_RGB32);
  QPainter stretch(&out);
  stretch.setRenderHint(QPainter::SmoothPixmapTransform);
  stretch.drawImage(out.rect(), zoom.SourcePicture());
  return out;
}

struct Timing {
  double meanMs = 0;
  double medianMs = 0;
  double cpuMs = 0;
};

template <typename F>
Timing Time(int count, const std::vector<QPoint>& cursors, F magnify) {
  std::vector<double> ms;
  ms.reserve(static_cast<std::size_t>(count));
  const double cpu0 = CpuSeconds();
  QElapsedTimer t;
  for (int i = 0; i < count; ++i) {
    QCursor::setPos(cursors[static_cast<std::size_t>(i) % cursors.size()]);
    t.start();
    magnify();
    ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }
  Timing timing;
  timing.cpuMs = (CpuSeconds() - cpu0) * 1000.0 / count;
  for (double m : ms) timing.meanMs += m;
  timing.meanMs /= count;
  std::sort(ms.begin(), ms.end());
  timing.medianMs = ms[ms.size() / 2];
  return timing;
}

int Measure(int count) {
  const QRect desk = QGuiApplication::primaryScreen()->virtualGeometry();
  Backdrop backdrop(desk);
  backdrop.show();
  CZoomDlg zoom(nullptr);
  zoom.ToggleZoom();
  Settle(500);
  const QPoint origin = desk.topLeft();
  // Corners, edges, the middle and the zoom window itself.
  const std::vector<QPoint> cursors = {origin + QPoint(0, 0),     origin + QPoint(desk.width() - 1, 0),
                                       origin + QPoint(960, 540), origin + QPoint(desk.width() - 1, desk.height() - 1),
                                       zoom.geometry().center(),  origin + QPoint(300, 700)};
  // Warm both ways up once.
  Time(10, cursors, [&zoom] { OurMagnify(zoom); });
  Time(5, cursors, [&zoom] { NaiveMagnify(zoom, zoom.zoomFactor); });
  const Timing ours = Time(count, cursors, [&zoom] { OurMagnify(zoom); });
  const Timing naive = Time(count, cursors, [&zoom] { NaiveMagnify(zoom, zoom.zoomFactor); });
  // The pictures agree: same source, same grey, same stretch.
  QCursor::setPos(origin + QPoint(960, 540));
  const QImage a = OurMagnify(zoom);
  const QImage b = NaiveMagnify(zoom, zoom.zoomFactor);
  std::printf("platform %s screen %dx%d client %dx%d factor %d refused %d\n",
              qPrintable(QGuiApplication::platformName()), desk.width(), desk.height(), zoom.width(), zoom.height(),
              zoom.zoomFactor, zoom.CaptureRefused() ? 1 : 0);
  std::printf("ours_mean_ms %.3f ours_median_ms %.3f ours_cpu_ms %.3f\n", ours.meanMs, ours.medianMs, ours.cpuMs);
  std::printf("naive_mean_ms %.3f naive_median_ms %.3f naive_cpu_ms %.3f\n", naive.meanMs, naive.medianMs, naive.cpuMs);
  std::printf("same_picture %d\n", a == b ? 1 : 0);
  std::printf("budget_share_at_25_per_s ours %.1f%% naive %.1f%%\n", ours.meanMs / 40.0 * 100.0,
              naive.meanMs / 40.0 * 100.0);
  return 0;
}

int Show(int seconds, const std::string& shotPrefix, bool naive) {
  const QRect desk = QGuiApplication::primaryScreen()->virtualGeometry();
  Backdrop backdrop(desk);
  backdrop.show();
  CZoomDlg zoom(nullptr);
  std::unique_ptr<NaiveZoomWindow> peer;
  if (naive) {
    peer = std::make_unique<NaiveZoomWindow>();
    peer->show();
  } else {
    zoom.ToggleZoom();
  }
  // The user points at details here and there, twice a second.
  int step = 0;
  QTimer pointer;
  QObject::connect(&pointer, &QTimer::timeout, [&step, desk] {
    const double angle = step++ * 0.7;
    QCursor::setPos(desk.center() +
                    QPoint(static_cast<int>(600 * std::cos(angle)), static_cast<int>(350 * std::sin(angle))));
  });
  pointer.start(500);
  if (!shotPrefix.empty() && !naive) {
    QTimer::singleShot(1500, [&zoom, &shotPrefix] {
      // Over a plate-like text of the backdrop, then on the zoom window's left edge.
      const std::pair<QPoint, const char*> shots[] = {{QPoint(480, 170), "-window.png"},
                                                      {QPoint(830, 300), "-edge-window.png"}};
      for (const auto& [cursor, suffix] : shots) {
        QCursor::setPos(cursor);
        zoom.Magnify();
        zoom.repaint();
        zoom.grab().save(QString::fromStdString(shotPrefix + suffix));
      }
      QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromStdString(shotPrefix + "-screen.png"));
    });
  }
  const double cpu0 = CpuSeconds();
  QElapsedTimer wall;
  wall.start();
  QTimer::singleShot(seconds * 1000, [] { QApplication::quit(); });
  QApplication::exec();
  const double cpu = CpuSeconds() - cpu0;
  const double wallS = static_cast<double>(wall.elapsed()) / 1000.0;
  const long long count = naive ? peer->count : static_cast<long long>(zoom.MagnifyCount());
  std::printf("mode %s shown_s %.1f magnifications %lld per_s %.1f cpu_s %.2f cpu_share %.1f%% refused %d\n",
              naive ? "naive" : "zoom", wallS, count, static_cast<double>(count) / wallS, cpu, cpu / wallS * 100.0,
              zoom.CaptureRefused() ? 1 : 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  InitSkinResources();
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "measure") return Measure(argc > 2 ? std::max(1, std::atoi(argv[2])) : 200);
  if (mode == "show" && argc > 2) {
    std::string shot;
    bool naive = false;
    for (int i = 3; i < argc; ++i) {
      if (std::strcmp(argv[i], "--naive") == 0) naive = true;
      if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc) shot = argv[++i];
    }
    return Show(std::max(1, std::atoi(argv[2])), shot, naive);
  }
  std::fprintf(stderr, "usage: zoom_bench measure [COUNT] | show SECONDS [--naive] [--shot PREFIX]\n");
  return 2;
}
