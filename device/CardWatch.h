#pragma once
// Tells the settings dialog when cards and volumes come and go: the desktop's disk
// service's signals where the process uses the service (devices added and removed,
// mounts and media changed), else a watch on the system's mount table (the kernel
// flags /proc/self/mountinfo on every mount and unmount); and, when a drive table
// stands in for the machine's drives, a watch on that file.

#include <QObject>
#include <QTimer>
#include <memory>

namespace drives {
class ServiceWatch;
}

class QFileSystemWatcher;
class QSocketNotifier;

class CardWatch : public QObject {
  Q_OBJECT

 public:
  // Changes closer together than this come as one signal.
  static constexpr int kSettleMs = 300;

  explicit CardWatch(QObject* parent = nullptr);
  ~CardWatch() override;

 signals:
  void Changed();

 private:
  void WatchDriveTable();
  void Touched();

  std::unique_ptr<drives::ServiceWatch> service_;
  int mountInfo_ = -1;
  QSocketNotifier* mountNotifier_ = nullptr;
  QFileSystemWatcher* tableWatcher_ = nullptr;
  QString tablePath_;
  QTimer settle_;
};
