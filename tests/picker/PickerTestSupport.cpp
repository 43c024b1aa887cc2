#include "tests/picker/PickerTestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "res/SkinResources.h"
#include "sources/DriveTable.h"

namespace pickertest {

void EnsureApplication() {
  if (QApplication::instance()) return;
  // Lives until the process ends, like the application, and is removed then.
  static TempFolder configHome("tarvo-picker-config-");
  setenv("XDG_CONFIG_HOME", configHome.Path().c_str(), 1);
  setenv("TARVO_CONFIG_DIR", (configHome.Path() / "viewer").c_str(), 1);
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "picker_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  InitSkinResources();
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < timeoutMs) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return done();
}

DriveTableScope::DriveTableScope(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  std::ofstream out(file);
  for (const std::string& line : lines) out << line << '\n';
  out.close();
  setenv(drives::kDriveTableVariable, file.c_str(), 1);
}

DriveTableScope::~DriveTableScope() { unsetenv(drives::kDriveTableVariable); }

void WriteHistory(const QString& file, const std::vector<std::string>& entries, const std::string& last) {
  QSettings settings(file, QSettings::IniFormat);
  settings.beginGroup(QStringLiteral("FolderHistory"));
  for (size_t i = 0; i < entries.size(); ++i) {
    settings.setValue(QStringLiteral("Folder%1").arg(i, 4, 10, QLatin1Char('0')), QString::fromStdString(entries[i]));
  }
  if (!last.empty()) settings.setValue(QStringLiteral("Folder"), QString::fromStdString(last));
  settings.endGroup();
  settings.sync();
}

std::string HistoryKey(int index) {
  char key[32];
  std::snprintf(key, sizeof key, "Folder%04d", index);
  return key;
}

std::map<std::string, std::string> ReadHistory(const QString& file) {
  QSettings settings(file, QSettings::IniFormat);
  settings.beginGroup(QStringLiteral("FolderHistory"));
  std::map<std::string, std::string> values;
  for (const QString& key : settings.childKeys()) {
    values[key.toStdString()] = settings.value(key).toString().toStdString();
  }
  return values;
}

std::vector<std::string> NumberedPaths(const std::string& base, int count) {
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) paths.push_back(base + "/folder" + std::to_string(i));
  return paths;
}

std::filesystem::path ScreenshotFolder() {
  const std::filesystem::path folder = std::filesystem::path(TARVO_BINARY_DIR) / "screenshots";
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace pickertest
