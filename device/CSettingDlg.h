#pragma once
// The environment-settings dialog of the Setting command: the dashcam half writes
// setup.cfg and time.cfg onto the memory card chosen in it and formats cards; the
// viewer half edits the capture folder, the jump step and the rear-camera mirror in
// option.ini. 900 x 650, centred on its owner; every control keeps its template id.
//
// Split by concern: construction and layout here, the commands in
// SettingDlgCommands.cpp, card formatting in SettingDlgFormat.cpp.

#include <QDialog>
#include <QDoubleSpinBox>
#include <QMessageBox>
#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "device/CardFormatter.h"
#include "device/SettingDlgModel.h"

class CardWatch;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QThread;
class SettingDlgHost;

// Runs a program with QProcess and waits for it: its exit code, -1 when it could not be
// started or crashed. Usable on any thread.
int RunWithQProcess(const std::vector<std::string>& argv);

class CSettingDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kWidth = 900;
  static constexpr int kHeight = 710;

  // Control ids of the dialog template.
  static constexpr int kIdOk = 1;
  static constexpr int kIdCancel = 2;
  static constexpr int kIdModel = 1129;
  static constexpr int kIdCard = 1028;
  static constexpr int kIdFormat = 1029;
  static constexpr int kIdAccTrigger = 1031;
  static constexpr int kIdPowerOff = 1038;
  static constexpr int kIdLcdOff = 1042;
  static constexpr int kIdQuality = 1032;
  static constexpr int kIdChannels = 1033;
  static constexpr int kIdAudio = 1035;
  static constexpr int kIdSpeaker = 1036;
  static constexpr int kId12V = 1037;
  static constexpr int kId24V = 1041;
  static constexpr int kIdCutOff = 1039;
  static constexpr int kIdClockBox = 1046;
  static constexpr int kIdYear = 1045;
  static constexpr int kIdMonth = 1047;
  static constexpr int kIdDay = 1048;
  static constexpr int kIdHour = 1049;
  static constexpr int kIdMinute = 1050;
  static constexpr int kIdSecond = 1051;
  static constexpr int kIdCaptureFolder = 1040;
  static constexpr int kIdBrowse = 1052;
  static constexpr int kIdJumpStep = 1053;
  static constexpr int kIdJumpValue = 1054;
  static constexpr int kIdRearMirror = 1044;
  // The viewer's language: not in the template, beside the mirror group.
  static constexpr int kIdLanguage = 1055;
  static constexpr int kIdLanguageGroup = 1056;
  // The clock's time zone and the speed unit: not in the template, below the above.
  static constexpr int kIdZoneGroup = 1150;
  static constexpr int kIdZone = 1151;
  static constexpr int kIdUnitGroup = 1152;
  static constexpr int kIdKmh = 1153;
  static constexpr int kIdMph = 1154;
  // The seek bar markers' threshold: beside the time zone.
  static constexpr int kIdMarkerGroup = 1155;
  static constexpr int kIdMarkerLabel = 1156;
  static constexpr int kIdMarkerThreshold = 1157;
  static constexpr int kIdDefault = 1027;
  static constexpr int kIdFrameRate = 1030;
  static constexpr int kIdResolution = 1043;
  static constexpr int kIdParkingMode = 1034;
  static constexpr int kIdDrivingAlert = 1123;

  // `host` (may be null in tools) is the main window; it must outlive the dialog.
  CSettingDlg(SettingDlgHost* host, QWidget* parent);
  ~CSettingDlg() override;

  // Asks the user: the text, the buttons offered; the button pressed. The dialog's
  // message boxes all come through here, so tests can answer them.
  std::function<QMessageBox::StandardButton(const QString& text, QMessageBox::StandardButtons buttons)> askUser;
  // The folder picker of the browse button; "" when cancelled.
  std::function<QString(const QString& current)> chooseFolder;
  // Runs format.sh and mtools on the format's thread; by default QProcess, started and
  // waited for there.
  device::ProgramRunner runProgram;
  // Where the card's files wait while it is formatted (a folder of ours, not on the card).
  std::filesystem::path safeFolder;
  // The folder of format.sh and the installer: the program's own.
  std::filesystem::path programFolder;

  const device::SettingDlgModel& Model() const { return model; }
  bool Formatting() const { return formatThread != nullptr; }
  const device::FormatOutcome& LastFormatOutcome() const { return lastOutcome; }

  // The handlers of the dialog's commands (the buttons and lists call these).
  void OnModelChosen(int index);
  void OnCardChosen(int index);
  void OnDefault();
  void OnVehicleVoltage(bool volt24V);
  void OnClockBox(bool checked);
  void OnJumpStep(int position);
  void OnBrowse();
  void OnOk();
  void FormatCard();
  // Builds the card list again (device changes).
  void RebuildCardList();

  void reject() override;

 signals:
  // A format has ended and its message (if any) has been answered.
  void FormatFinished();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // CSettingDlg.cpp
  void CreateControls();
  void CreateDeviceHalf();
  void CreateViewerHalf();
  void ConnectControls();
  void CentreOnParent();
  // Shows the model's state in the controls (without their change signals).
  void ShowModel();
  void ApplyModelEnabling();
  QComboBox* AddList(int id, int x, int y, int width = kListWidth);
  // Moves the split between the labels and the fields (lists, check boxes) of one
  // group in `column` so that the texts of both fit.
  void FitRows(int column, std::initializer_list<std::pair<QWidget*, QWidget*>> rows);
  void FitLayout();
  QLabel* AddLabel(int id, int stringNumber, const QRect& rect);
  QWidget* AddGroup(int id, int stringNumber, const QRect& rect);
  QWidget* AddGroupCell(int id, int stringNumber, int column, int row);
  QLabel* AddNote(int id, int stringNumber, int column, int row, int line = 0);
  // SettingDlgFormat.cpp
  void StartFormat(device::FormatPath path, const device::CardEntry& chosen);
  void EndFormat(const device::FormatOutcome& outcome);
  QMessageBox::StandardButton Ask(const QString& text, QMessageBox::StandardButtons buttons);

  static constexpr int kListWidth = 129;
  static constexpr int kRowHeight = 19;

  SettingDlgHost* host;
  // The card files when the host keeps none.
  device::CardFilePaths ownCardFiles;
  device::SettingDlgModel model;
  int languageIndex = 0;
  bool showing = false;  // ShowModel is writing the controls
  CardWatch* watch = nullptr;
  QThread* formatThread = nullptr;
  QWidget* busyNotice = nullptr;
  bool rebuildPending = false;
  device::CardEntry formattingCard;
  device::FormatOutcome lastOutcome;

  QComboBox* modelList = nullptr;
  QComboBox* cardList = nullptr;
  QComboBox* accTrigger = nullptr;
  QComboBox* powerOff = nullptr;
  QComboBox* lcdOff = nullptr;
  QComboBox* quality = nullptr;
  QComboBox* channels = nullptr;
  QComboBox* speaker = nullptr;
  QComboBox* cutOff = nullptr;
  QComboBox* frameRate = nullptr;
  QComboBox* resolution = nullptr;
  QComboBox* parkingMode = nullptr;
  QComboBox* drivingAlert = nullptr;
  std::array<QComboBox*, 6> clockLists{};
  QCheckBox* audio = nullptr;
  QCheckBox* clockBox = nullptr;
  QCheckBox* rearMirror = nullptr;
  QComboBox* language = nullptr;
  QComboBox* zone = nullptr;
  QRadioButton* kmh = nullptr;
  QRadioButton* mph = nullptr;
  QDoubleSpinBox* markerThreshold = nullptr;
  QRadioButton* volt12 = nullptr;
  QRadioButton* volt24 = nullptr;
  QLineEdit* captureFolder = nullptr;
  QSlider* jumpStep = nullptr;
  QLabel* jumpValue = nullptr;
  QAbstractButton* formatButton = nullptr;
};
