// The main window's controls: created once with their ids, set to their start state,
// and given the pictures and tooltips of the current language.

#include <QApplication>
#include <QPalette>
#include <QToolTip>
#include <string>
#include <utility>

#include "app/CDezirureDovuriDlg.h"
#include "app/DlgIds.h"
#include "app/WindowSeekTarget.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbListCtrl.h"
#include "controls/CBbScreenCtrl.h"
#include "controls/CBbSimpleSliderCtrl.h"
#include "controls/CBbSliderCtrl.h"
#include "controls/CBbTextCtrl.h"
#include "controls/CBbVolumeCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/ControlId.h"
#include "controls/SkinFont.h"
#include "controls/SkinPalette.h"
#include "map/CBbMapPanelCtrl.h"
#include "map/CMapNoConnectedWnd.h"
#include "map/CMapNoDataWnd.h"
#include "playback/CPlayer.h"
#include "res/SkinIds.h"
#include "settings/LanguageLibrary.h"
#include "settings/LanguageText.h"
#include "settings/ViewerSettings.h"
#include "telemetry/CBbGsensorCtrl.h"
#include "telemetry/CBbSpeedCtrl.h"
#include "telemetry/TelemetrySamples.h"

using app::ButtonSkin;
using app::DlgItem;

namespace {

// Normal, selected and disabled pictures of a language toggle (0 = none).
struct TogglePictures {
  int normal = 0;
  int selected = 0;
  int disabled = 0;
};

TogglePictures ToggleFor(ButtonSkin which, int language) {
  const skin::LanguageSkin& s = skin::LanguageSkinFor(language);
  switch (which) {
    case ButtonSkin::FilterAll:
      return {s.filterAll[0], s.filterAll[1], s.filterAll[2]};
    case ButtonSkin::FilterEvent:
      return {s.filterEvent[0], s.filterEvent[1], s.filterEvent[2]};
    case ButtonSkin::FilterNormal:
      return {s.filterNormal[0], s.filterNormal[1], s.filterNormal[2]};
    case ButtonSkin::FilterParking:
      return {s.filterParking[0], s.filterParking[1], s.filterParking[2]};
    case ButtonSkin::Front:
      return {s.front[0], s.front[1], 0};
    case ButtonSkin::Rear:
      return {s.rear[0], s.rear[1], 0};
    case ButtonSkin::Both:
      return {s.both[0], s.both[1], 0};
    case ButtonSkin::Fixed:
      break;
  }
  return {};
}

QString LanguageText(int number) {
  std::string text;
  if (!LoadLanguageString(number, text)) return {};
  return QString::fromStdString(text);
}

}  // namespace

void CDezirureDovuriDlg::CreateControls() {
  for (const app::ButtonSpec& spec : app::kButtonSpecs) {
    auto* button = new CBbButtonCtrl(spec.id, this);
    button->setObjectName(QStringLiteral("button%1").arg(spec.id));
    if (spec.skin == ButtonSkin::Fixed) {
      button->SetImages(spec.normal, spec.pressed, spec.hover, spec.disabled);
    }
    connect(button, &CBbButtonCtrl::Clicked, this, &CDezirureDovuriDlg::OnButtonClicked);
    buttons[static_cast<std::size_t>(spec.item)] = button;
    Register(spec.item, button);
  }
  // The top-bar pictures are drawn over the bar's own background.
  for (DlgItem item : app::kTopBarButtons) Button(item)->backgroundMode = true;

  auto makeText = [this](DlgItem item, int id, int kind, COLORREF background) {
    auto* text = new CBbTextCtrl(id, kind, this);
    text->backgroundColour = background;
    Register(item, text);
    return text;
  };
  controls.timeText = makeText(DlgItem::TimeText, app::kIdTimeText, app::kTextKindTime, skin::kWindowBackground);
  controls.timeText->speedFactor = 1.0f;
  controls.gsensorText =
      makeText(DlgItem::GsensorText, app::kIdGsensorText, app::kTextKindGsensor, skin::kWindowBackground);
  makeText(DlgItem::MapCaption, app::kIdMapCaption, app::kTextKindMapCaption, skin::kPanelBackground);
  controls.coordText =
      makeText(DlgItem::CoordText, app::kIdCoordText, app::kTextKindCoordinates, skin::kPanelBackground);
  makeText(DlgItem::ListCaption, app::kIdListCaption, app::kTextKindListCaption, skin::kPanelBackground);

  controls.volume = new CBbVolumeCtrl(app::kIdVolume, this);
  Register(DlgItem::Volume, controls.volume);

  auto* seek = new CBbSliderCtrl(app::kIdSeekBar, this);
  seekTarget = std::make_unique<app::WindowSeekTarget>(
      *player, [this] { return busy; }, [this] { FileList()->setFocus(); });
  seek->SetSeekTarget(seekTarget.get());
  seek->channelImage = skin::kSeekChannel;
  seek->thumbImage = skin::kSeekThumb;
  seek->backgroundColour = skin::kWindowBackground;
  seek->margin = app::kSeekBarMargin;
  Register(DlgItem::SeekBar, seek);
  controls.seekBar = seek;

  for (auto [item, id] : {std::pair{DlgItem::SpeedSlider, app::kIdSpeedSlider},
                          std::pair{DlgItem::BrightnessSlider, app::kIdBrightnessSlider}}) {
    auto* slider = new CBbSimpleSliderCtrl(id, this);
    slider->channelImage = skin::kSliderChannel;
    slider->thumbImage = skin::kSliderThumb;
    slider->backgroundColour = skin::kBarBackground;
    slider->margin = app::kSliderMargin;
    connect(slider, &CBbSimpleSliderCtrl::Scrolled, this, &CDezirureDovuriDlg::OnSliderScrolled);
    Register(item, slider);
    (item == DlgItem::SpeedSlider ? controls.speedSlider : controls.brightnessSlider) = slider;
  }

  auto* list = new CBbListCtrl(app::kIdFileList, this);
  connect(list, &CBbListCtrl::FilesDropped, this, &CDezirureDovuriDlg::OnFilesDropped);
  connect(list, &CBbListCtrl::RowDoubleClicked, this, &CDezirureDovuriDlg::OnRowDoubleClicked);
  Register(DlgItem::FileList, list);
  controls.fileList = list;

  for (auto [item, id] :
       {std::pair{DlgItem::FrontScreen, app::kIdFrontScreen}, std::pair{DlgItem::RearScreen, app::kIdRearScreen}}) {
    auto* screen = new CBbScreenCtrl(id, this);
    connect(screen, &CBbScreenCtrl::ContextMenuRequested, this, &CDezirureDovuriDlg::ShowContextMenu);
    Register(item, screen);
    (item == DlgItem::FrontScreen ? controls.frontScreen : controls.rearScreen) = screen;
  }

  // The map page's host; the page itself comes with the map view.
  controls.mapPanel = new CBbMapPanelCtrl(app::kIdMapPanel, this);
  Register(DlgItem::MapPanel, controls.mapPanel);
  controls.mapNoData = new CMapNoDataWnd(this);
  Register(DlgItem::MapNoData, controls.mapNoData);
  controls.mapNoConnected = new CMapNoConnectedWnd(this);
  Register(DlgItem::MapNoConnected, controls.mapNoConnected);

  auto* graph = new CBbGsensorCtrl(this);
  // The telemetry of the loaded recording: the window's samples, which each load fills.
  graph->SetSamples(&telemetry.gsensorSamples);
  connect(graph, &CBbGsensorCtrl::ContextMenuRequested, this, &CDezirureDovuriDlg::ShowContextMenu);
  Register(DlgItem::GsensorGraph, graph);
  controls.gsensorGraph = graph;
  controls.speedGauge = new CBbSpeedCtrl(this);
  Register(DlgItem::SpeedGauge, controls.speedGauge);
}

void CDezirureDovuriDlg::SetInitialControlState() {
  for (DlgItem hidden : {DlgItem::FrontScreen, DlgItem::RearScreen, DlgItem::FrontChannel, DlgItem::RearChannel,
                         DlgItem::BothChannels, DlgItem::Pause, DlgItem::MapButton, DlgItem::MapNoConnected}) {
    if (QWidget* widget = Item(hidden)) widget->hide();
  }
  if (QWidget* noData = Item(DlgItem::MapNoData)) noData->show();
  frontVisible = false;
  rearVisible = false;
  Button(DlgItem::FrontChannel)->selected = true;
  for (DlgItem needsRecording : {DlgItem::Merge, DlgItem::Capture, DlgItem::Print, DlgItem::Previous, DlgItem::Rewind,
                                 DlgItem::Play, DlgItem::FastForward, DlgItem::Next, DlgItem::FilterAll,
                                 DlgItem::FilterEvent, DlgItem::FilterNormal, DlgItem::FilterParking}) {
    Button(needsRecording)->enabled = false;
  }
  Item(DlgItem::SeekBar)->setEnabled(false);
  for (DlgItem item : {DlgItem::SpeedSlider, DlgItem::BrightnessSlider}) {
    CBbSimpleSliderCtrl* slider = Slider(item);
    slider->setRange(0, app::kSliderRangeMax);
    slider->setPageStep(app::kSliderPage);
    slider->setValue(app::kSliderCentre);
  }
  VolumeBar()->level = app::kVolumeStartLevel;
  muted = false;
  Button(DlgItem::Mute)->SetImages(app::kMuteSoundNormal, app::kMuteSoundPressed, 0, 0);
  for (CBbButtonCtrl* button : buttons) {
    if (button) button->Redraw();
  }
}

void CDezirureDovuriDlg::ApplyButtonSkins() {
  for (const app::ButtonSpec& spec : app::kButtonSpecs) {
    if (spec.skin == ButtonSkin::Fixed) continue;
    CBbButtonCtrl* button = Button(spec.item);
    const TogglePictures pictures = ToggleFor(spec.skin, languageIndex);
    // Toggles show their picture while pressed, and the selected one once chosen.
    button->SetImages(pictures.normal, pictures.normal, 0, pictures.disabled);
    button->selectedImage = pictures.selected;
    button->Redraw();
  }
}

void CDezirureDovuriDlg::ApplyTooltips() {
  QPalette tipPalette = QToolTip::palette();
  tipPalette.setColor(QPalette::ToolTipBase, Qt::white);
  tipPalette.setColor(QPalette::ToolTipText, Qt::black);
  QToolTip::setPalette(tipPalette);

  // Without a language library there are no tooltips at all.
  ViewerSettings& settings = TheViewerSettings();
  if (!settings.languageLibrary) LoadLanguageLibrary(settings);
  const bool haveLanguage = settings.languageLibrary != nullptr;
  auto tip = [haveLanguage](QWidget* widget, int number) {
    if (!widget) return;
    widget->setToolTip(haveLanguage && number != app::kTipNone ? LanguageText(number) : QString());
  };
  for (const app::ButtonSpec& spec : app::kButtonSpecs) tip(Button(spec.item), spec.tooltip);
  tip(Item(DlgItem::SpeedSlider), app::kTipSpeedSlider);
  tip(Item(DlgItem::BrightnessSlider), app::kTipBrightnessSlider);
  tip(Item(DlgItem::Volume), app::kTipVolume);
}

void CDezirureDovuriDlg::ChangeLanguage(int language) {
  ViewerSettings& settings = TheViewerSettings();
  settings.language = language;
  LoadLanguageLibrary(settings);
  ApplyLanguage(language);
}

void CDezirureDovuriDlg::ApplyLanguage(int language) {
  languageIndex = language;
  // The standard windows (dialogs, boxes, menus, tooltips) take the language's face.
  QApplication::setFont(skin::SkinFont(skin::kFontNormal, language));
  ApplyButtonSkins();
  ApplyTooltips();
  for (DlgItem item : {DlgItem::FrontScreen, DlgItem::RearScreen}) {
    Screen(item)->languageIndex = language;
  }
  GsensorGraph()->languageIndex = language;
  for (DlgItem item : {DlgItem::MapNoData, DlgItem::MapNoConnected}) {
    Placeholder(item)->SetLanguageIndex(language);
  }
  FileList()->SetColumnHeadings();
  for (QWidget* widget : items) {
    if (widget) widget->update();
  }
  update();
}
