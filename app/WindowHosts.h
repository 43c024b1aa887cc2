#pragma once
// What the map and the settings dialog need of the main window, answered by it.

#include <string>

#include "device/SettingDlgHost.h"
#include "map/MapHost.h"

class CDezirureDovuriDlg;

namespace app {

class WindowMapHost final : public MapHost {
 public:
  explicit WindowMapHost(CDezirureDovuriDlg& dlg) : dlg_(dlg) {}
  CBbMapPanelCtrl* MainMapPanel() override;
  void ShowMapControls(bool shown) override;
  int64_t CurrentPositionMs() override;
  int CurrentLayoutMode() override;

 private:
  CDezirureDovuriDlg& dlg_;
};

class WindowSettingHost final : public SettingDlgHost {
 public:
  explicit WindowSettingHost(CDezirureDovuriDlg& dlg) : dlg_(dlg) {}
  std::string LoadedDrive() const override;
  void ClearRecordings() override;

 private:
  CDezirureDovuriDlg& dlg_;
};

}  // namespace app
