// The settings dialog's commands: the model and card lists, Default, the vehicle
// voltage, the clock box, the track bar, browse, OK and Cancel.

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>

#include "controls/LanguageMessageBox.h"
#include "device/CSettingDlg.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"

void CSettingDlg::OnModelChosen(int index) {
  model.ModelChosen(index);
  ShowModel();
  ApplyModelEnabling();
}

void CSettingDlg::OnCardChosen(int index) {
  model.CardChosen(index);
  ShowModel();
}

void CSettingDlg::OnDefault() {
  model.Default();
  ShowModel();
}

void CSettingDlg::OnVehicleVoltage(bool volt24V) {
  model.VehicleVoltage(volt24V);
  ShowModel();
}

void CSettingDlg::OnClockBox(bool checked) {
  model.ClockBox(checked);
  ShowModel();
}

void CSettingDlg::OnJumpStep(int position) {
  model.JumpStep(position);
  ShowModel();
}

void CSettingDlg::OnBrowse() {
  const QString current = QString::fromStdString(model.saveDirectory);
  const QString folder = chooseFolder
                             ? chooseFolder(current)
                             : QFileDialog::getExistingDirectory(this, QString(), current, QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) return;
  model.saveDirectory = folder.toStdString();
  ShowModel();
}

void CSettingDlg::RebuildCardList() {
  // The card being formatted comes and goes; the list is built once it is done.
  if (Formatting()) {
    rebuildPending = true;
    return;
  }
  model.CardsChanged(device::ListCards());
  ShowModel();
}

void CSettingDlg::OnOk() {
  if (Formatting()) return;
  std::vector<device::FileWriteFailure> failures;
  if (!model.SelectedCard()) {
    std::string question;
    // Without any language library there is nobody to ask; the options are stored.
    if (LoadLanguageString(kStrNoCardAsk, question) &&
        Ask(QString::fromStdString(question), QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
      return;
  } else {
    failures = model.WriteCardFiles();
  }
  for (const device::FileWriteFailure& failure : model.StoreViewerOptions(TheViewerSettings(), SettingsFilePath()))
    failures.push_back(failure);
  // What was not written is said, file by file; what was, stays.
  for (const device::FileWriteFailure& failure : failures) {
    const QString text = WriteFailureText(failure.message, failure.path, failure.error);
    if (!text.isEmpty()) Ask(text, QMessageBox::Ok);
  }
  accept();
}

void CSettingDlg::reject() {
  // A card half formatted must not lose its dialog: the format reports when it is done.
  if (Formatting()) return;
  QDialog::reject();
}

void CSettingDlg::closeEvent(QCloseEvent* event) {
  if (Formatting()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

QMessageBox::StandardButton CSettingDlg::Ask(const QString& text, QMessageBox::StandardButtons buttons) {
  if (askUser) return askUser(text, buttons);
  QMessageBox box(QMessageBox::NoIcon, windowTitle(), text, buttons, this);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}
