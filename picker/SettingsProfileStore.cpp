#include "picker/SettingsProfileStore.h"

#include <QCoreApplication>

#include "platform/Paths.h"

namespace picker {

namespace {

constexpr const char* kFallbackApplicationName = "tarvo-viewer";

QString KeyPath(const std::string& section, const std::string& key) {
  return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}

}  // namespace

std::string SettingsProfileStore::ReadString(const std::string& section, const std::string& key) const {
  return settings_.value(KeyPath(section, key)).toString().toStdString();
}

bool SettingsProfileStore::Contains(const std::string& section, const std::string& key) const {
  return settings_.contains(KeyPath(section, key));
}

void SettingsProfileStore::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  settings_.setValue(KeyPath(section, key), QString::fromStdString(value));
}

void SettingsProfileStore::Remove(const std::string& section, const std::string& key) {
  settings_.remove(KeyPath(section, key));
}

QString DefaultProfileFile() {
  const std::filesystem::path folder = platform::ConfigFolder();
  if (folder.empty()) return {};
  QString name = QCoreApplication::applicationName();
  if (name.isEmpty()) name = QString::fromUtf8(kFallbackApplicationName);
  return QString::fromStdString((folder / (name + QStringLiteral(".ini")).toStdString()).string());
}

}  // namespace picker
