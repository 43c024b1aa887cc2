#include "tools/export/CExportDlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>
#include <filesystem>

#include "app/AppInfo.h"
#include "controls/LanguageMessageBox.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"
#include "settings/ViewerSettings.h"
#include "sources/RecordingCollection.h"
#include "tools/capture/CaptureFolder.h"

using namespace clipexport;

namespace {

constexpr int kProgressSteps = 1000;
constexpr int kFieldWidth = 420;

QString Text(int number) { return QString::fromStdString(LanguageString(number)); }

// "%1 left" with the time as m:ss.
QString TimeLeft(double seconds) {
  const int whole = static_cast<int>(std::lround(seconds));
  return Text(kStrExportTimeLeft).arg(QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0')));
}

// To the tenth of a second, as the length beside it: marks fall between whole seconds,
// and whole seconds alone made "10:00:10 to 10:00:18 (8.4 s)".
QString MomentText(int64_t units) {
  const int64_t tenth = kUnitsPerSecond / 10;
  const int64_t tenths = units >= 0 ? units / tenth : -((-units + tenth - 1) / tenth);
  return QStringLiteral("%1.%2").arg(QString::fromStdString(ClockText(tenths * tenth))).arg((tenths % 10 + 10) % 10);
}

QString RangeText(const ExportPlan& plan) {
  const double seconds = static_cast<double>(plan.to - plan.from) / kUnitsPerSecond;
  return Text(kStrExportRangeText).arg(MomentText(plan.from), MomentText(plan.to), QString::number(seconds, 'f', 1));
}

struct LayoutChoice {
  Layout layout;
  int text;
};
constexpr LayoutChoice kLayouts[] = {{Layout::Side, kStrExportLayoutSide},
                                     {Layout::Pip, kStrExportLayoutPip},
                                     {Layout::Front, kStrExportLayoutFront},
                                     {Layout::Rear, kStrExportLayoutRear}};

}  // namespace

CExportDlg::CExportDlg(ExportKind kind, ExportRequest request, std::shared_ptr<std::vector<unsigned char>> keep,
                       const QString& destination, QWidget* parent, FolderOpener openFolder)
    : QDialog(parent),
      kind_(kind),
      request_(std::move(request)),
      keep_(std::move(keep)),
      openFolder_(std::move(openFolder)) {
  setWindowTitle(Text(kind == ExportKind::Clip ? kStrExportClipTitle : kStrExportPackageTitle));
  auto* form = new QFormLayout;
  form->addRow(Text(kStrExportRange), new QLabel(RangeText(request_.plan), this));

  layout_ = new QComboBox(this);
  // A layout that shows the rear camera needs it in every recording of the range.
  bool rear = true;
  for (const TimelineRecording& t : request_.plan.timelines) rear = rear && t.cameras >= 2;
  for (const LayoutChoice& c : kLayouts)
    if (rear || !LayoutNeedsRear(c.layout)) layout_->addItem(Text(c.text), static_cast<int>(c.layout));
  form->addRow(Text(kStrExportLayout), layout_);

  auto* overlay = new QHBoxLayout;
  time_ = new QCheckBox(Text(kStrExportOverlayTime), this);
  speed_ = new QCheckBox(Text(kStrExportOverlaySpeed), this);
  position_ = new QCheckBox(Text(kStrExportOverlayPosition), this);
  gValues_ = new QCheckBox(Text(kStrExportOverlayG), this);
  for (QCheckBox* box : {time_, speed_, position_, gValues_}) {
    box->setChecked(true);
    overlay->addWidget(box);
  }
  overlay->addStretch();
  form->addRow(Text(kStrExportOverlay), overlay);

  quality_ = new QComboBox(this);
  quality_->addItem(Text(kStrExportQualityStandard), static_cast<int>(Quality::Standard));
  quality_->addItem(Text(kStrExportQualityHigh), static_cast<int>(Quality::High));
  form->addRow(Text(kStrExportQuality), quality_);

  auto* where = new QHBoxLayout;
  destination_ = new QLineEdit(destination, this);
  destination_->setMinimumWidth(kFieldWidth);
  browse_ = new QPushButton(Text(kStrExportBrowse), this);
  where->addWidget(destination_, 1);
  where->addWidget(browse_);
  form->addRow(Text(kStrExportSaveTo), where);

  progress_ = new QProgressBar(this);
  progress_->setRange(0, kProgressSteps);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setVisible(false);  // shown once an export starts
  status_ = new QLabel(this);
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  start_ = new QPushButton(Text(kStrExportStart), this);
  start_->setDefault(true);
  cancel_ = new QPushButton(Text(kStrExportCancel), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(start_);
  buttons->addWidget(cancel_);

  auto* top = new QVBoxLayout(this);
  top->addLayout(form);
  top->addWidget(progress_);
  top->addWidget(status_);
  top->addLayout(buttons);

  connect(browse_, &QPushButton::clicked, this, &CExportDlg::Browse);
  connect(start_, &QPushButton::clicked, this, &CExportDlg::StartExport);
  connect(cancel_, &QPushButton::clicked, this, [this] {
    if (running_)
      CancelExport();
    else
      close();
  });
}

CExportDlg::~CExportDlg() {
  cancelFlag_ = true;
  Join();
}

QString CExportDlg::Destination() const { return destination_->text(); }
void CExportDlg::SetDestination(const QString& path) { destination_->setText(path); }

ExportRequest CExportDlg::Choices() const {
  ExportRequest r = request_;
  r.layout = static_cast<Layout>(layout_->currentData().toInt());
  r.fields = OverlayFields{time_->isChecked(), speed_->isChecked(), position_->isChecked(), gValues_->isChecked()};
  r.quality = static_cast<Quality>(quality_->currentData().toInt());
  return r;
}

void CExportDlg::SetChoices(Layout layout, const OverlayFields& fields, Quality quality) {
  layout_->setCurrentIndex(std::max(0, layout_->findData(static_cast<int>(layout))));
  time_->setChecked(fields.time);
  speed_->setChecked(fields.speed);
  position_->setChecked(fields.position);
  gValues_->setChecked(fields.g);
  quality_->setCurrentIndex(std::max(0, quality_->findData(static_cast<int>(quality))));
}

QString CExportDlg::StatusText() const { return status_->text(); }

void CExportDlg::Browse() {
  const QString chosen =
      kind_ == ExportKind::Clip
          ? QFileDialog::getSaveFileName(this, windowTitle(), Destination(), QStringLiteral("MP4 (*.mp4)"))
          : QFileDialog::getSaveFileName(this, windowTitle(), Destination(), QString(), nullptr,
                                         QFileDialog::DontConfirmOverwrite);
  if (!chosen.isEmpty()) SetDestination(chosen);
}

void CExportDlg::SetEditable(bool editable) {
  for (QWidget* w : std::initializer_list<QWidget*>{layout_, time_, speed_, position_, gValues_, quality_, destination_,
                                                    browse_, start_})
    w->setEnabled(editable);
}

void CExportDlg::StartExport() {
  if (running_) return;
  std::filesystem::path target = Destination().trimmed().toStdString();
  if (target.empty()) return;
  if (kind_ == ExportKind::Clip && target.extension() != ".mp4") target += ".mp4";
  std::error_code ec;
  if (kind_ == ExportKind::Package && std::filesystem::exists(target, ec) &&
      !(std::filesystem::is_directory(target, ec) && std::filesystem::is_empty(target, ec))) {
    status_->setText(Text(kStrExportFolderExists).arg(QString::fromStdString(target.string())));
    return;
  }
  SetDestination(QString::fromStdString(target.string()));
  Join();
  cancelFlag_ = false;
  running_ = true;
  SetEditable(false);
  progress_->setValue(0);
  progress_->setVisible(true);
  status_->setText(Text(kStrExportWorking));
  const ExportRequest request = Choices();
  const ExportKind kind = kind_;
  worker_ = std::thread([this, request, kind, target] {
    // Queued to the dialog: when it is gone, the calls are dropped with it.
    const auto report = [this](const ExportProgress& p) {
      QMetaObject::invokeMethod(
          this, [this, p] { OnProgress(p); }, Qt::QueuedConnection);
    };
    const ExportOutcome outcome = kind == ExportKind::Clip
                                      ? ExportClipFile(request, target, report, &cancelFlag_)
                                      : ExportEvidencePackage(request, target, report, &cancelFlag_);
    QMetaObject::invokeMethod(
        this, [this, outcome] { OnDone(outcome); }, Qt::QueuedConnection);
  });
}

void CExportDlg::CancelExport() { cancelFlag_ = true; }

void CExportDlg::OnProgress(const ExportProgress& p) {
  if (!running_) return;
  progress_->setValue(static_cast<int>(std::lround(p.fraction * kProgressSteps)));
  status_->setText(p.secondsLeft >= 0 ? TimeLeft(p.secondsLeft) : Text(kStrExportWorking));
}

void CExportDlg::OnDone(const ExportOutcome& outcome) {
  Join();
  running_ = false;
  outcome_ = outcome;
  if (outcome.ok) {
    progress_->setValue(kProgressSteps);
    status_->setText(Text(kStrExportDone).arg(QString::fromStdString(outcome.output.string())));
    start_->setVisible(false);
    cancel_->setText(Text(kStrExportClose));
    // The folder that holds the clip, or the package folder itself.
    const std::filesystem::path folder = kind_ == ExportKind::Clip ? outcome.output.parent_path() : outcome.output;
    if (openFolder_) openFolder_(QUrl::fromLocalFile(QString::fromStdString(folder.string())));
  } else {
    progress_->setValue(0);
    status_->setText(outcome.cancelled ? Text(kStrExportCancelled)
                                       : Text(kStrExportFailed).arg(QString::fromStdString(outcome.error)));
    SetEditable(true);
  }
  emit Finished(outcome.ok);
}

void CExportDlg::Join() {
  if (worker_.joinable()) worker_.join();
}

void CExportDlg::closeEvent(QCloseEvent* event) {
  // Closing stops a running export; nothing half-written stays.
  cancelFlag_ = true;
  Join();
  running_ = false;
  QDialog::closeEvent(event);
}

void CExportDlg::reject() {
  // Esc while an export runs cancels it first, as the Cancel button does.
  if (running_) {
    CancelExport();
    return;
  }
  QDialog::reject();
}

QString DefaultExportDestination(ExportKind kind, const ExportPlan& plan, const std::string& folder) {
  const std::string stamp = ClockText(plan.FirstFrameClock());
  std::string name = std::filesystem::path(plan.FirstRecording().fileName).stem().string() + "_";
  for (const char c : stamp)
    if (c >= '0' && c <= '9') name.push_back(c);
  const std::string suffix = kind == ExportKind::Clip ? ".mp4" : "_evidence";
  std::filesystem::path path = std::filesystem::path(folder) / (name + suffix);
  std::error_code ec;
  for (int n = 2; std::filesystem::exists(path, ec); ++n)
    path = std::filesystem::path(folder) / (name + "-" + std::to_string(n) + suffix);
  return QString::fromStdString(path.string());
}

CExportDlg* RunExportCommand(ExportKind kind, const ExportMarks& marks, RecordingCollection& collection,
                             QWidget* parent) {
  if (!marks.Complete()) {
    ShowLanguageMessage(parent, kStrExportNoMarks);
    return nullptr;
  }
  std::shared_ptr<std::vector<unsigned char>> block;
  const void* card = collection.sourceKind == kSourceCard ? collection.device.Block() : nullptr;
  std::vector<JobRecording> recordings = JobRecordingsOfRows(collection.rows, card, block);
  ExportRequest request;
  std::string error;
  if (!PlanExport(std::move(recordings), marks.Start().clock, marks.End().clock, request.plan, error)) {
    ShowMessage(parent, Text(kStrExportRangeRefused).arg(QString::fromStdString(error)));
    return nullptr;
  }
  ViewerSettings& settings = TheViewerSettings();
  request.miles = settings.speedInMiles;
  request.timeZone = settings.timeZone;
  request.mirrorRear = settings.rearMirror;
  request.language = settings.language;
  request.model = settings.model;
  request.background = true;
  request.program = app::AppTitle();
  const SourceEntry* source = collection.CurrentSource();
  request.sourceText = collection.sourceKind == kSourceCard
                           ? "the dashcam card " + std::string(source ? source->physicalPath : "")
                           : "files and folders chosen in the viewer";
  const QString destination =
      DefaultExportDestination(kind, request.plan, ResolveCaptureFolder(settings, SettingsFilePath()));
  auto* dialog = new CExportDlg(kind, std::move(request), std::move(block), destination, parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->show();
  return dialog;
}
