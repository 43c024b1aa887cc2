#include "app/WindowDialogs.h"

#include <QFileDialog>

#include "device/CSettingDlg.h"
#include "picker/CXFolderDialog.h"
#include "tools/print/PrintCommand.h"

namespace app {

std::vector<std::string> WindowDialogs::PickFolders(QWidget* parent, int language) {
  CXFolderDialog picker(parent, language);
  if (picker.DoModal() != CXFolderDialog::kIdOk) return {};
  return picker.Selection();
}

bool WindowDialogs::ChoosePrinter(QPrinter& printer, QWidget* parent) { return ShowPrintDialog(printer, parent); }

QString WindowDialogs::ChooseSaveFile(QWidget* parent, const QString& suggested, const QString& filter) {
  return QFileDialog::getSaveFileName(parent, QString(), suggested, filter);
}

bool WindowDialogs::RunSettings(SettingDlgHost& host, QWidget* parent) {
  CSettingDlg dialog(&host, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace app
