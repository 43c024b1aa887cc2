#include "device/CardWatch.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <cstdlib>

#include "sources/DiskService.h"
#include "sources/DriveTable.h"

CardWatch::CardWatch(QObject* parent) : QObject(parent) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &CardWatch::Changed);

  if (drives::UseDiskService()) {
    // The service calls from a thread of its own; the settle timer lives on ours.
    service_ = std::make_unique<drives::ServiceWatch>(
        [this] { QMetaObject::invokeMethod(this, &CardWatch::Touched, Qt::QueuedConnection); });
  }
  if (!service_ || !service_->Running()) mountInfo_ = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
  if (mountInfo_ >= 0) {
    mountNotifier_ = new QSocketNotifier(mountInfo_, QSocketNotifier::Exception, this);
    connect(mountNotifier_, &QSocketNotifier::activated, this, &CardWatch::Touched);
  }
  if (const char* table = std::getenv(drives::kDriveTableVariable); table && *table) {
    tablePath_ = QString::fromLocal8Bit(table);
    tableWatcher_ = new QFileSystemWatcher(this);
    // The folder too: a table replaced by renaming a new file over it drops the file watch.
    tableWatcher_->addPath(QFileInfo(tablePath_).absolutePath());
    connect(tableWatcher_, &QFileSystemWatcher::fileChanged, this, &CardWatch::Touched);
    connect(tableWatcher_, &QFileSystemWatcher::directoryChanged, this, &CardWatch::Touched);
    WatchDriveTable();
  }
}

CardWatch::~CardWatch() {
  // The service's thread ends before the object it calls goes.
  service_.reset();
  delete mountNotifier_;
  mountNotifier_ = nullptr;
  if (mountInfo_ >= 0) ::close(mountInfo_);
}

void CardWatch::WatchDriveTable() {
  if (tableWatcher_ && QFileInfo::exists(tablePath_) && !tableWatcher_->files().contains(tablePath_))
    tableWatcher_->addPath(tablePath_);
}

void CardWatch::Touched() {
  WatchDriveTable();
  settle_.start();
}
