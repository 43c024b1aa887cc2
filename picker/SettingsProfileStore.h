#pragma once
// The application's profile as the history combo sees it: a QSettings INI file whose
// groups are the profile's sections.

#include <QSettings>
#include <QString>

#include "picker/HistoryProfile.h"

namespace picker {

class SettingsProfileStore : public ProfileStore {
 public:
  explicit SettingsProfileStore(QSettings& settings) : settings_(settings) {}

  std::string ReadString(const std::string& section, const std::string& key) const override;
  bool Contains(const std::string& section, const std::string& key) const override;
  void WriteString(const std::string& section, const std::string& key, const std::string& value) override;
  void Remove(const std::string& section, const std::string& key) override;

 private:
  QSettings& settings_;
};

// The viewer's profile: "<application name>.ini" in the config folder, beside
// option.ini and the registry hives (~/.config/tarvo-viewer/tarvo-viewer.ini unless
// portable or TARVO_CONFIG_DIR). Empty when there is no home folder.
QString DefaultProfileFile();

}  // namespace picker
