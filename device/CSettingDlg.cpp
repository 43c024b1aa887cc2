#include "device/CSettingDlg.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QThread>
#include <algorithm>
#include <cmath>

#include "controls/ControlId.h"
#include "controls/SkinFont.h"
#include "device/CardVolume.h"
#include "device/CardWatch.h"
#include "device/SettingDlgHost.h"
#include "platform/Paths.h"
#include "platform/TimeZone.h"
#include "res/SkinResources.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"

namespace {

constexpr int kGerman = 2;
constexpr int kIconId = 198;  // the dialog's icon resource, large and small
// The screen-off group and its label keep their template text in every language.
constexpr const char* kLcdOffText = "LCD OFF";

// The grid of the dashcam half: three columns of group boxes, four rows. The groups
// are taller than the template's 79 pixels so that a note of two lines in a CJK face
// (or of three in the longer Latin languages) stays clear of the row below it.
constexpr int kColumnX[] = {10, 303, 596};
constexpr int kRowY[] = {25, 118, 211, 304};
constexpr int kGroupWidth = 288;
constexpr int kGroupHeight = 88;
constexpr int kListOffset = 144;  // first list of a row, from the group's left edge
constexpr int kUpperRow = 26;     // label rows, from the group's top edge
constexpr int kLowerRow = 58;
constexpr int kNoteTop = 18;
// Up to the lower row: the longer notes wrap. This is also the German notes' extra
// room, which the template found by starting them higher (into the group's title).
constexpr int kNoteHeight = 38;
constexpr int kInset = 10;
constexpr int kGap = 6;          // between a label and its list
constexpr int kNarrowList = 60;  // the lists this model shows empty and disabled
// The viewer half below the grid, and the buttons below it.
constexpr int kViewerTop = 397;
constexpr int kButtonTop = 675;
constexpr int kButtonHeight = 25;
constexpr int kButtonMinWidth = 86;
constexpr int kButtonSpacing = 5;
constexpr int kDialogRight = 884;  // the right edge of the groups and the buttons

// Control ids of the template's groups, notes and labels.
constexpr int kIdDeviceFrame = 1061;
constexpr int kIdModelGroup = 1130, kIdModelNote = 1131, kIdModelLabel = 1132;
constexpr int kIdTriggerGroup = 1064, kIdTriggerNote = 1077, kIdTriggerLabel = 1100;
constexpr int kIdPowerOffGroup = 1066, kIdPowerOffNote = 1080, kIdPowerOffLabel = 1081;
constexpr int kIdLcdGroup = 1068, kIdLcdNote = 1084, kIdLcdLabel = 1101;
constexpr int kIdCardGroup = 1062, kIdCardNote = 1074, kIdCardLabel = 1075;
constexpr int kIdParkingGroup = 1097, kIdParkingNote = 1105, kIdParkingNote2 = 1096;
constexpr int kIdAlertGroup = 1124, kIdAlertNote = 1125, kIdAlertNote2 = 1133, kIdAlertNote3 = 1126;
constexpr int kIdExtraGroup = 1063, kIdFrameRateLabel = 1076, kIdResolutionLabel = 1058;
constexpr int kIdVideoGroup = 1065, kIdQualityLabel = 1078, kIdChannelsLabel = 1079;
constexpr int kIdAudioGroup = 1067, kIdAudioLabel = 1082, kIdSpeakerLabel = 1083;
constexpr int kIdBatteryGroup = 1069, kIdCutOffLabel = 1085;
constexpr int kIdClockGroup = 1070, kIdDateLabel = 1086, kIdTimeLabel = 1087;
constexpr int kIdViewerGroup = 1071, kIdCaptureGroup = 1072, kIdCaptureNote = 1088, kIdCaptureLabel = 1089;
constexpr int kIdJumpGroup = 1073, kIdJumpNote = 1090, kIdMirrorGroup = 1059;
// Controls of the template that this model never shows.
constexpr int kHiddenIds[] = {1127, 1128, 1330, 1331, 1332, 1135, 1134, 1136, 1138, 1098, 1106, 1099, 1104};

QString Text(int number) { return QString::fromStdString(LanguageString(number)); }

// Wide enough for the button's text in its font, never narrower than `minimum`.
int ButtonWidth(const QPushButton* button, int minimum) {
  return std::max(minimum, button->fontMetrics().horizontalAdvance(button->text()) + 16);
}

int TextWidth(const QWidget* widget, const QString& text) { return widget->fontMetrics().horizontalAdvance(text); }

// What a row's field needs: a list its widest entry and its frame and arrow, a check
// box its box and text.
int FieldWidth(const QWidget* field) {
  if (const auto* list = qobject_cast<const QComboBox*>(field)) {
    int widest = 0;
    for (int i = 0; i < list->count(); ++i) widest = std::max(widest, TextWidth(list, list->itemText(i)));
    constexpr int kListChrome = 30;
    return widest + kListChrome;
  }
  return field->sizeHint().width();
}

void ShowList(QComboBox* box, const ChoiceList& list) {
  box->clear();
  for (const std::string& entry : list.entries) box->addItem(QString::fromStdString(entry));
  box->setCurrentIndex(list.selected < box->count() ? list.selected : -1);
}

}  // namespace

CSettingDlg::CSettingDlg(SettingDlgHost* owner, QWidget* parent)
    : QDialog(parent),
      host(owner),
      model([](int number) { return LanguageString(number); },
            owner && owner->CardFiles() ? *owner->CardFiles() : ownCardFiles) {
  setObjectName(QStringLiteral("CSettingDlg"));
  setProperty("templateId", 135);
  setProperty("iconId", kIconId);
  setWindowIcon(QIcon(QString::fromLatin1(skin::kWindowIconPath)));
  programFolder = platform::ProgramFolder();
  safeFolder = platform::ConfigFolder() / "format-keep";
  runProgram = RunWithQProcess;

  // The record the viewer runs with, which its window read from option.ini when it
  // started: the dialog shows and keeps what runs (a language given on the command
  // line included), not what the file says meanwhile.
  ViewerSettings& viewer = TheViewerSettings();
  languageIndex = viewer.language;
  setFont(skin::SkinFont(skin::kFontSmall, languageIndex));
  setWindowTitle(Text(kStrSettingTitle));
  setFixedSize(kWidth, kHeight);
  CreateControls();
  for (int id : kHiddenIds) {
    auto* hidden = new QWidget(this);
    SetControlId(hidden, id);
    hidden->hide();
  }
  model.Startup(viewer, device::ListCards());
  ShowModel();
  FitLayout();
  ApplyModelEnabling();
  ConnectControls();

  watch = new CardWatch(this);
  connect(watch, &CardWatch::Changed, this, &CSettingDlg::RebuildCardList);
}

CSettingDlg::~CSettingDlg() {
  if (formatThread) formatThread->wait();
}

QWidget* CSettingDlg::AddGroup(int id, int stringNumber, const QRect& rect) {
  auto* group = new QGroupBox(stringNumber ? Text(stringNumber) : QString(), this);
  SetControlId(group, id);
  group->setGeometry(rect);
  group->lower();
  return group;
}

QWidget* CSettingDlg::AddGroupCell(int id, int stringNumber, int column, int row) {
  return AddGroup(id, stringNumber, QRect(kColumnX[column], kRowY[row], kGroupWidth, kGroupHeight));
}

QLabel* CSettingDlg::AddLabel(int id, int stringNumber, const QRect& rect) {
  auto* label = new QLabel(stringNumber ? Text(stringNumber) : QString(), this);
  SetControlId(label, id);
  label->setGeometry(rect);
  return label;
}

QLabel* CSettingDlg::AddNote(int id, int stringNumber, int column, int row, int line) {
  QLabel* note = AddLabel(id, stringNumber,
                          QRect(kColumnX[column] + kInset, kRowY[row] + kNoteTop + line * kRowHeight,
                                kGroupWidth - 2 * kInset, line == 0 ? kNoteHeight : kRowHeight));
  note->setWordWrap(true);
  note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return note;
}

QComboBox* CSettingDlg::AddList(int id, int x, int y, int width) {
  auto* box = new QComboBox(this);
  SetControlId(box, id);
  box->setGeometry(x, y, width, kRowHeight + 3);
  return box;
}

void CSettingDlg::FitRows(int column, std::initializer_list<std::pair<QWidget*, QWidget*>> rows) {
  // The lists start where the template has them unless a label or a list of this
  // group needs the room: then the split moves, the list's text first.
  const int left = kColumnX[column] + kInset;
  const int right = kColumnX[column] + kGroupWidth - kInset;
  int label = 0;
  int field = 0;
  for (const auto& [caption, control] : rows) {
    if (const auto* text = qobject_cast<const QLabel*>(caption)) label = std::max(label, TextWidth(text, text->text()));
    field = std::max(field, FieldWidth(control));
  }
  const int split = std::max(left + label + kGap, std::min(kColumnX[column] + kListOffset, right - field));
  for (const auto& [caption, control] : rows) {
    if (caption) caption->setGeometry(left, caption->y(), split - kGap - left, caption->height());
    control->setGeometry(split, control->y(), right - split, control->height());
  }
}

void CSettingDlg::CreateControls() {
  AddGroup(kIdDeviceFrame, kStrSettingDeviceFrame, QRect(5, 5, 883, kButtonTop - 10));
  CreateDeviceHalf();
  CreateViewerHalf();
  const auto button = [this](int id, int stringNumber, int x) {
    auto* b = new QPushButton(Text(stringNumber), this);
    SetControlId(b, id);
    b->setGeometry(x, kButtonTop, kButtonMinWidth, kButtonHeight);
    return b;
  };
  QPushButton* defaults = button(kIdDefault, kStrButtonDefault, 616);
  QPushButton* ok = button(kIdOk, kStrButtonOk, 707);
  QPushButton* cancel = button(kIdCancel, kStrButtonCancel, 798);
  // Right-aligned, each as wide as its text needs and no narrower than the template's.
  int x = kDialogRight;
  for (QPushButton* b : {cancel, ok, defaults}) {
    const int width = ButtonWidth(b, kButtonMinWidth);
    x -= width;
    b->setGeometry(x, kButtonTop, width, kButtonHeight);
    x -= kButtonSpacing;
  }
  defaults->setAutoDefault(false);
  ok->setDefault(true);
  connect(defaults, &QPushButton::clicked, this, &CSettingDlg::OnDefault);
  connect(ok, &QPushButton::clicked, this, &CSettingDlg::OnOk);
  connect(cancel, &QPushButton::clicked, this, &CSettingDlg::reject);
}

void CSettingDlg::CreateDeviceHalf() {
  const auto labelRect = [](int column, int row, int top, int width = kListOffset - kInset) {
    return QRect(kColumnX[column] + kInset, kRowY[row] + top, width, kRowHeight);
  };
  const auto listX = [](int column) { return kColumnX[column] + kListOffset; };
  const auto rowY = [](int row, int top) { return kRowY[row] + top; };
  constexpr int kFullWidth = kGroupWidth - 2 * kInset;

  // Column 1: model, trigger, power off, screen.
  AddGroupCell(kIdModelGroup, kStrSettingModelGroup, 0, 0);
  AddNote(kIdModelNote, kStrSettingModelNote, 0, 0);
  AddLabel(kIdModelLabel, kStrSettingModelLabel, labelRect(0, 0, kLowerRow));
  modelList = AddList(kIdModel, listX(0), rowY(0, kLowerRow));
  AddGroupCell(kIdTriggerGroup, kStrSettingTriggerGroup, 0, 1);
  AddNote(kIdTriggerNote, kStrSettingTriggerNote, 0, 1);
  AddLabel(kIdTriggerLabel, kStrSettingTriggerLabel, labelRect(0, 1, kLowerRow));
  accTrigger = AddList(kIdAccTrigger, listX(0), rowY(1, kLowerRow));
  AddGroupCell(kIdPowerOffGroup, kStrSettingPowerOffGroup, 0, 2);
  AddNote(kIdPowerOffNote, kStrSettingPowerOffNote, 0, 2);
  AddLabel(kIdPowerOffLabel, kStrSettingPowerOffLabel, labelRect(0, 2, kLowerRow));
  powerOff = AddList(kIdPowerOff, listX(0), rowY(2, kLowerRow));
  static_cast<QGroupBox*>(AddGroupCell(kIdLcdGroup, 0, 0, 3))->setTitle(QString::fromLatin1(kLcdOffText));
  AddNote(kIdLcdNote, kStrSettingLcdNote, 0, 3);
  AddLabel(kIdLcdLabel, 0, labelRect(0, 3, kLowerRow))->setText(QString::fromLatin1(kLcdOffText));
  lcdOff = AddList(kIdLcdOff, listX(0), rowY(3, kLowerRow));

  // Column 2: card, parking mode, driving alerts, further options.
  const int labelUnit = languageIndex == kGerman ? 51 : 64;
  AddGroupCell(kIdCardGroup, kStrSettingCardGroup, 1, 0);
  AddNote(kIdCardNote, kStrSettingCardNote, 1, 0);
  AddLabel(kIdCardLabel, kStrSettingCardLabel, labelRect(1, 0, kLowerRow, labelUnit - 4));
  const int cardX = kColumnX[1] + kInset + labelUnit;
  auto* format = new QPushButton(Text(kStrButtonFormat), this);
  const int formatWidth = ButtonWidth(format, 64);
  const int cardWidth = kColumnX[1] + kGroupWidth - kInset - formatWidth - 4 - cardX;
  cardList = AddList(kIdCard, cardX, rowY(0, kLowerRow), cardWidth);
  // Roots are long paths: the open list shows them whole.
  cardList->view()->setMinimumWidth(420);
  SetControlId(format, kIdFormat);
  format->setAutoDefault(false);
  format->setGeometry(cardX + cardWidth + 4, rowY(0, kLowerRow) - 1, formatWidth, kRowHeight + 5);
  formatButton = format;
  // The two groups this model shows disabled: their lists stay empty, so they are
  // narrow, and the note that says so has the rest of the row.
  const int narrowX = kColumnX[1] + kGroupWidth - kInset - kNarrowList;
  const auto notAvailable = [&](int id, int stringNumber, int row) {
    AddLabel(id, stringNumber, labelRect(1, row, kLowerRow, kFullWidth - kNarrowList - kGap));
  };
  AddGroupCell(kIdParkingGroup, kStrSettingParkingGroup, 1, 1);
  AddNote(kIdParkingNote, kStrSettingParkingNote, 1, 1);
  notAvailable(kIdParkingNote2, kStrSettingParkingNote2, 1);
  parkingMode = AddList(kIdParkingMode, narrowX, rowY(1, kLowerRow), kNarrowList);
  AddGroupCell(kIdAlertGroup, kStrSettingAlertGroup, 1, 2);
  AddLabel(kIdAlertNote, kStrSettingAlertNote, labelRect(1, 2, kNoteTop, kFullWidth));
  AddLabel(kIdAlertNote2, kStrSettingAlertNote2, labelRect(1, 2, kNoteTop + kRowHeight, kFullWidth));
  notAvailable(kIdAlertNote3, kStrSettingAlertNote3, 2);
  drivingAlert = AddList(kIdDrivingAlert, narrowX, rowY(2, kLowerRow), kNarrowList);
  AddGroupCell(kIdExtraGroup, kStrSettingExtraGroup, 1, 3);
  AddLabel(kIdFrameRateLabel, kStrSettingFrameRateLabel, labelRect(1, 3, kUpperRow));
  frameRate = AddList(kIdFrameRate, listX(1), rowY(3, kUpperRow));
  AddLabel(kIdResolutionLabel, kStrSettingResolutionLabel, labelRect(1, 3, kLowerRow));
  resolution = AddList(kIdResolution, listX(1), rowY(3, kLowerRow));

  // Column 3: video, sound, battery, clock.
  AddGroupCell(kIdVideoGroup, kStrSettingVideoGroup, 2, 0);
  AddLabel(kIdQualityLabel, kStrSettingQualityLabel, labelRect(2, 0, kUpperRow));
  quality = AddList(kIdQuality, listX(2), rowY(0, kUpperRow));
  AddLabel(kIdChannelsLabel, kStrSettingChannelsLabel, labelRect(2, 0, kLowerRow));
  channels = AddList(kIdChannels, listX(2), rowY(0, kLowerRow));
  AddGroupCell(kIdAudioGroup, kStrSettingAudioGroup, 2, 1);
  AddLabel(kIdAudioLabel, kStrSettingAudioLabel, labelRect(2, 1, kUpperRow));
  audio = new QCheckBox(Text(kStrCheckRecordAudio), this);
  SetControlId(audio, kIdAudio);
  audio->setGeometry(listX(2), rowY(1, kUpperRow), kListWidth, kRowHeight + 2);
  AddLabel(kIdSpeakerLabel, kStrSettingSpeakerLabel, labelRect(2, 1, kLowerRow));
  speaker = AddList(kIdSpeaker, listX(2), rowY(1, kLowerRow));
  AddGroupCell(kIdBatteryGroup, kStrSettingBatteryGroup, 2, 2);
  volt12 = new QRadioButton(Text(kStrRadio12V), this);
  SetControlId(volt12, kId12V);
  volt12->setGeometry(labelRect(2, 2, kUpperRow));
  // The cut-off label names the list below it and starts above it, unless the 12 V
  // text or the label itself needs that room: then it sits at the row's right end.
  const int rowRight = kColumnX[2] + kGroupWidth - kInset;
  QLabel* cutOffLabel = AddLabel(kIdCutOffLabel, kStrSettingCutOffLabel, QRect());
  const int radioEnd = volt12->x() + volt12->sizeHint().width() + kGap;
  const int cutOffNeeds = TextWidth(cutOffLabel, cutOffLabel->text());
  int cutOffX = listX(2);
  if (radioEnd > cutOffX || cutOffX + cutOffNeeds > rowRight) cutOffX = std::max(radioEnd, rowRight - cutOffNeeds);
  cutOffLabel->setGeometry(cutOffX, rowY(2, kUpperRow), rowRight - cutOffX, kRowHeight);
  volt24 = new QRadioButton(Text(kStrRadio24V), this);
  SetControlId(volt24, kId24V);
  volt24->setGeometry(labelRect(2, 2, kLowerRow));
  cutOff = AddList(kIdCutOff, listX(2), rowY(2, kLowerRow));
  volt12->resize(cutOffX - kGap - volt12->x(), volt12->height());
  AddGroupCell(kIdClockGroup, kStrSettingClockGroup, 2, 3);
  clockBox = new QCheckBox(Text(kStrCheckSetClock), this);
  SetControlId(clockBox, kIdClockBox);
  clockBox->setGeometry(kColumnX[2] + kInset, rowY(3, kNoteTop), kFullWidth, kRowHeight + 2);
  constexpr int kDateRow = 42;
  constexpr int kTimeRow = 64;
  AddLabel(kIdDateLabel, kStrSettingDateLabel, labelRect(2, 3, kDateRow, 90));
  AddLabel(kIdTimeLabel, kStrSettingTimeLabel, labelRect(2, 3, kTimeRow, 90));
  constexpr int kClockIds[] = {kIdYear, kIdMonth, kIdDay, kIdHour, kIdMinute, kIdSecond};
  for (int i = 0; i < 6; ++i) {
    clockLists[static_cast<size_t>(i)] =
        AddList(kClockIds[i], 698 + (i % 3) * 61, rowY(3, i < 3 ? kDateRow : kTimeRow), 56);
  }
}

void CSettingDlg::FitLayout() {
  // Each group's split between labels and lists, from the texts of this language and
  // the entries the lists hold.
  const auto label = [this](int id) { return FindControl<QLabel>(this, id); };
  FitRows(0, {{label(kIdModelLabel), modelList}});
  FitRows(0, {{label(kIdTriggerLabel), accTrigger}});
  FitRows(0, {{label(kIdPowerOffLabel), powerOff}});
  FitRows(0, {{label(kIdLcdLabel), lcdOff}});
  FitRows(1, {{label(kIdFrameRateLabel), frameRate}, {label(kIdResolutionLabel), resolution}});
  FitRows(2, {{label(kIdQualityLabel), quality}, {label(kIdChannelsLabel), channels}});
  FitRows(2, {{label(kIdAudioLabel), audio}, {label(kIdSpeakerLabel), speaker}});
}

void CSettingDlg::CreateViewerHalf() {
  const bool german = languageIndex == kGerman;
  // Places of the viewer half, relative to its top.
  const auto at = [](int x, int y, int width, int height) { return QRect(x, kViewerTop + y, width, height); };
  AddGroup(kIdViewerGroup, kStrSettingViewerGroup, at(10, 0, 870, kButtonTop - 8 - kViewerTop));
  AddGroup(kIdCaptureGroup, kStrSettingCaptureGroup, at(20, 17, 850, 72));
  AddLabel(kIdCaptureNote, kStrSettingCaptureNote, at(30, 35, 830, kRowHeight));
  QLabel* folderLabel =
      AddLabel(kIdCaptureLabel, kStrSettingCaptureLabel, german ? at(30, 56, 192, 28) : at(30, 61, 90, kRowHeight));
  folderLabel->setWordWrap(true);
  captureFolder = new QLineEdit(this);
  SetControlId(captureFolder, kIdCaptureFolder);
  captureFolder->setGeometry(german ? at(217, 60, 192, 21) : at(126, 60, 283, 21));
  auto* browse = new QPushButton(Text(kStrButtonBrowse), this);
  SetControlId(browse, kIdBrowse);
  browse->setAutoDefault(false);
  browse->setGeometry(at(414, 59, ButtonWidth(browse, 86), 23));
  connect(browse, &QPushButton::clicked, this, &CSettingDlg::OnBrowse);

  AddGroup(kIdJumpGroup, kStrSettingJumpGroup, at(20, 97, 560, 106));
  QLabel* jumpNote = AddLabel(kIdJumpNote, kStrSettingJumpNote, at(30, 117, 540, 2 * kRowHeight));
  jumpNote->setWordWrap(true);
  jumpNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  jumpValue = AddLabel(kIdJumpValue, 0, at(30, 176, 90, kRowHeight));
  jumpStep = new QSlider(Qt::Horizontal, this);
  SetControlId(jumpStep, kIdJumpStep);
  jumpStep->setGeometry(at(126, 174, 384, 23));
  jumpStep->setRange(device::kJumpStepMin, device::kJumpStepMax);
  jumpStep->setTickPosition(QSlider::TicksBelow);
  jumpStep->setPageStep(1);

  // The mirror group shares its column with the viewer's language.
  AddGroup(kIdMirrorGroup, kStrSettingMirrorGroup, at(590, 97, 280, 50));
  rearMirror = new QCheckBox(Text(kStrCheckRearMirror), this);
  SetControlId(rearMirror, kIdRearMirror);
  rearMirror->setGeometry(at(600, 119, 262, kRowHeight + 2));
  AddGroup(kIdLanguageGroup, kStrSettingLanguageGroup, at(590, 151, 280, 52));
  language = AddList(kIdLanguage, 600, kViewerTop + 173, 262);
  for (int index = 0; index < kLanguageCount; ++index) {
    language->addItem(QString::fromUtf8(LanguageOwnName(index)));
    // Each name in its own language's face.
    language->setItemData(index, skin::SkinFont(skin::kFontSmall, index), Qt::FontRole);
  }

  // The clock: the camera's own (UTC + 9) first, then the zones the system knows. The
  // entries carry the names option.ini stores; the first stores none.
  AddGroup(kIdZoneGroup, kStrSettingZoneGroup, at(20, 211, 260, 52));
  zone = AddList(kIdZone, 30, kViewerTop + 233, 240);
  zone->addItem(Text(kStrSettingCameraClock), QString());
  for (const std::string& name : platform::AvailableTimeZones())
    zone->addItem(QString::fromStdString(name), QString::fromStdString(name));
  zone->setMaxVisibleItems(20);

  // The horizontal G above which the seek bar marks a moment, in g.
  AddGroup(kIdMarkerGroup, kStrSettingMarkerGroup, at(290, 211, 290, 52));
  AddLabel(kIdMarkerLabel, kStrSettingMarkerThreshold, at(300, 235, 190, kRowHeight));
  markerThreshold = new QDoubleSpinBox(this);
  SetControlId(markerThreshold, kIdMarkerThreshold);
  markerThreshold->setGeometry(at(494, 232, 76, 22));
  markerThreshold->setRange(kLowestMarkerThreshold / 100.0, kHighestMarkerThreshold / 100.0);
  markerThreshold->setDecimals(2);
  markerThreshold->setSingleStep(0.05);
  markerThreshold->setSuffix(QStringLiteral(" g"));

  AddGroup(kIdUnitGroup, kStrSettingUnitGroup, at(590, 211, 280, 52));
  kmh = new QRadioButton(Text(kStrUnitKmh), this);
  SetControlId(kmh, kIdKmh);
  kmh->setGeometry(at(600, 233, 125, kRowHeight + 2));
  mph = new QRadioButton(Text(kStrUnitMph), this);
  SetControlId(mph, kIdMph);
  mph->setGeometry(at(735, 233, 125, kRowHeight + 2));
  // A group of their own, apart from the voltage buttons of the same window.
  auto* units = new QButtonGroup(this);
  units->addButton(kmh);
  units->addButton(mph);
}

void CSettingDlg::ConnectControls() {
  connect(modelList, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!showing) OnModelChosen(index);
  });
  connect(cardList, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!showing) OnCardChosen(index);
  });
  const auto bind = [this](QComboBox* box, ChoiceList& list) {
    connect(box, &QComboBox::currentIndexChanged, this, [this, &list](int index) {
      if (!showing) list.selected = index;
    });
  };
  DeviceSettings& d = model.device;
  bind(accTrigger, d.accTriggerLevel);
  bind(powerOff, d.powerOffTimer);
  bind(lcdOff, d.lcdOffTime);
  bind(quality, d.recVideoQuality);
  bind(channels, d.videoChannels);
  bind(speaker, d.spkVol);
  bind(cutOff, d.batteryCutOffVolt);
  DeviceClock& c = model.clock;
  ChoiceList* clock[] = {&c.year, &c.month, &c.day, &c.hour, &c.minute, &c.second};
  for (size_t i = 0; i < clockLists.size(); ++i) bind(clockLists[i], *clock[i]);
  connect(audio, &QCheckBox::toggled, this, [this](bool on) {
    if (!showing) model.device.recAudioEnable = on;
  });
  connect(volt12, &QRadioButton::clicked, this, [this] { OnVehicleVoltage(false); });
  connect(volt24, &QRadioButton::clicked, this, [this] { OnVehicleVoltage(true); });
  connect(clockBox, &QCheckBox::clicked, this, &CSettingDlg::OnClockBox);
  connect(jumpStep, &QSlider::valueChanged, this, [this](int position) {
    if (!showing) OnJumpStep(position);
  });
  connect(captureFolder, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!showing) model.saveDirectory = text.toStdString();
  });
  connect(rearMirror, &QCheckBox::toggled, this, [this](bool on) {
    if (!showing) model.rearMirror = on;
  });
  connect(zone, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!showing && index >= 0) model.timeZone = zone->itemData(index).toString().toStdString();
  });
  connect(markerThreshold, &QDoubleSpinBox::valueChanged, this, [this](double g) {
    if (!showing) model.markerThreshold = static_cast<int>(std::lround(g * 100));
  });
  connect(kmh, &QRadioButton::clicked, this, [this] { model.speedInMiles = false; });
  connect(mph, &QRadioButton::clicked, this, [this] { model.speedInMiles = true; });
  connect(language, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!showing && index >= 0) model.language = index;
  });
  connect(formatButton, &QAbstractButton::clicked, this, &CSettingDlg::FormatCard);
}

void CSettingDlg::ShowModel() {
  showing = true;
  const DeviceSettings& d = model.device;
  ShowList(modelList, model.modelList);
  cardList->clear();
  for (const device::CardEntry& card : model.cards) cardList->addItem(QString::fromStdString(CardEntryText(card)));
  cardList->setCurrentIndex(model.selectedCard);
  cardList->setToolTip(cardList->currentText());
  ShowList(accTrigger, d.accTriggerLevel);
  ShowList(powerOff, d.powerOffTimer);
  ShowList(lcdOff, d.lcdOffTime);
  ShowList(quality, d.recVideoQuality);
  ShowList(channels, d.videoChannels);
  ShowList(speaker, d.spkVol);
  ShowList(cutOff, d.batteryCutOffVolt);
  ShowList(parkingMode, model.parkingMode);
  ShowList(drivingAlert, model.drivingAlert);
  const ChoiceList* clock[] = {&model.clock.year, &model.clock.month,  &model.clock.day,
                               &model.clock.hour, &model.clock.minute, &model.clock.second};
  for (size_t i = 0; i < clockLists.size(); ++i) {
    ShowList(clockLists[i], *clock[i]);
    clockLists[i]->setEnabled(model.clockBox);
  }
  audio->setChecked(d.recAudioEnable);
  clockBox->setChecked(model.clockBox);
  // A radio group with neither button checked needs exclusivity off for a moment.
  volt12->setAutoExclusive(false);
  volt24->setAutoExclusive(false);
  volt12->setChecked(d.carBatteryVolt == CarVoltage::k12V);
  volt24->setChecked(d.carBatteryVolt == CarVoltage::k24V);
  volt12->setAutoExclusive(true);
  volt24->setAutoExclusive(true);
  captureFolder->setText(QString::fromStdString(model.saveDirectory));
  jumpStep->setValue(model.jumpStep);
  jumpValue->setText(QString::fromStdString(model.jumpStepText));
  rearMirror->setChecked(model.rearMirror);
  language->setCurrentIndex(model.language >= 0 && model.language < language->count() ? model.language : -1);
  // A zone option.ini names that this system lacks is still shown, and kept.
  int zoneIndex = zone->findData(QString::fromStdString(model.timeZone));
  if (zoneIndex < 0) {
    zone->addItem(QString::fromStdString(model.timeZone), QString::fromStdString(model.timeZone));
    zoneIndex = zone->count() - 1;
  }
  zone->setCurrentIndex(zoneIndex);
  kmh->setChecked(!model.speedInMiles);
  mph->setChecked(model.speedInMiles);
  markerThreshold->setValue(model.markerThreshold / 100.0);
  showing = false;
}

void CSettingDlg::ApplyModelEnabling() {
  if (model.ModelIndex() != 0) return;
  constexpr int kDisabled[] = {kIdAlertGroup,  kIdAlertNote,       kIdAlertNote2,   kIdAlertNote3,  kIdParkingGroup,
                               kIdParkingNote, kIdParkingNote2,    kIdDrivingAlert, kIdParkingMode, kIdFrameRateLabel,
                               kIdFrameRate,   kIdResolutionLabel, kIdResolution};
  constexpr int kEnabled[] = {kIdPowerOffGroup, kIdPowerOffNote, kIdPowerOffLabel, kIdLcdGroup, kIdLcdNote,
                              kIdLcdLabel,      kIdBatteryGroup, kIdCutOffLabel,   kIdPowerOff, kIdLcdOff,
                              kId12V,           kId24V,          kIdCutOff};
  for (int id : kDisabled)
    if (QWidget* w = FindControl(this, id)) w->setEnabled(false);
  for (int id : kEnabled)
    if (QWidget* w = FindControl(this, id)) w->setEnabled(true);
}

void CSettingDlg::CentreOnParent() {
  const QWidget* owner = parentWidget();
  if (!owner) return;
  const QRect frame = owner->window()->frameGeometry();
  move(frame.left() + (frame.width() - kWidth) / 2, frame.top() + (frame.height() - kHeight) / 2);
}

void CSettingDlg::showEvent(QShowEvent* event) {
  CentreOnParent();
  QDialog::showEvent(event);
}
