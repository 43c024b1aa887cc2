#pragma once
// The questions the main window puts to the person in front of it, each a modal
// dialog of its own: the folders to open, the printer, the file a recording is saved
// as, the settings dialog. The window
// asks through one such object for its whole life; the test inspector swaps in one
// that answers without a person.

#include <QString>
#include <string>
#include <vector>

class QPrinter;
class QWidget;
class SettingDlgHost;

namespace app {

class WindowDialogs {
 public:
  virtual ~WindowDialogs() = default;
  // The Open command's folder picker in `language`: the chosen paths, none when
  // cancelled.
  virtual std::vector<std::string> PickFolders(QWidget* parent, int language);
  // The print dialog on `printer`; false when cancelled.
  virtual bool ChoosePrinter(QPrinter& printer, QWidget* parent);
  // The save dialog starting on `suggested`, showing files of `filter`: the file
  // chosen, empty when cancelled.
  virtual QString ChooseSaveFile(QWidget* parent, const QString& suggested, const QString& filter);
  // The settings dialog; true when it ended with OK (the options are stored then).
  virtual bool RunSettings(SettingDlgHost& host, QWidget* parent);
};

}  // namespace app
