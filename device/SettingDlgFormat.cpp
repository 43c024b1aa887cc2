// Card formatting from the settings dialog: the questions, a busy notice while the
// format runs on a thread of its own, the message and Clear recordings afterwards.

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "device/CSettingDlg.h"
#include "device/SettingDlgHost.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"
#include "sources/DriveTable.h"

namespace {

// Stays up while the card is formatted: Escape and the close button do not end it.
class FormatBusyNotice : public QDialog {
 public:
  FormatBusyNotice(const QString& text, QWidget* parent)
      : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("FormatBusyNotice"));
    setWindowTitle(parent ? parent->windowTitle() : QString());
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* bar = new QProgressBar(this);
    bar->setRange(0, 0);
    layout->addWidget(bar);
    setFixedWidth(360);
  }
  void reject() override {}

 protected:
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

QString Text(int number) { return QString::fromStdString(LanguageString(number)); }

}  // namespace

int RunWithQProcess(const std::vector<std::string>& argv) {
  if (argv.empty()) return -1;
  QProcess process;
  process.setProgram(QString::fromStdString(argv[0]));
  QStringList arguments;
  for (size_t i = 1; i < argv.size(); ++i) arguments << QString::fromStdString(argv[i]);
  process.setArguments(arguments);
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  process.start();
  if (!process.waitForStarted()) return -1;
  // A format of a large card takes minutes: no time limit.
  process.waitForFinished(-1);
  if (process.exitStatus() != QProcess::NormalExit) return -1;
  return process.exitCode();
}

void CSettingDlg::FormatCard() {
  const device::CardEntry* selected = model.SelectedCard();
  if (!selected || Formatting()) return;
  // A copy: while a question is open the list may be rebuilt (its entries freed) and
  // the card may go. After each answer the card is looked up again by its device.
  const device::CardEntry wanted = *selected;
  std::string confirm;
  if (!LoadLanguageString(kStrFormatConfirm, confirm)) return;
  if (Ask(QString::fromStdString(confirm), QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) return;
  std::optional<device::CardEntry> card = device::FindCard(model.cards, wanted);
  if (!card) {
    Ask(Text(kStrFormatCardGone), QMessageBox::Ok);
    return;
  }
  const device::FormatPath path = device::ChooseFormatPath(*card, model.device.modelName);
  if (path == device::FormatPath::kPlain) {
    // Our own question in place of the system's format window, with the label it
    // would have been given.
    const std::string ask =
        device::FillPlaceholders(LanguageString(kStrFormatVolumeAsk), {card->root, model.CardFiles().volumeLabel});
    if (Ask(QString::fromStdString(ask), QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) return;
    card = device::FindCard(model.cards, wanted);
    if (!card) {
      Ask(Text(kStrFormatCardGone), QMessageBox::Ok);
      return;
    }
  }
  StartFormat(path, *card);
}

void CSettingDlg::StartFormat(device::FormatPath path, const device::CardEntry& chosen) {
  // The machine as it is now decides, not the list shown: a card that has become part
  // of the system or in use, or that has gone, is not formatted.
  const std::optional<device::CardEntry> card = device::FindCard(device::ListCards(), chosen);
  if (!card) {
    const std::vector<drives::Drive> all = drives::ListDrives();
    const bool present =
        std::any_of(all.begin(), all.end(), [&](const drives::Drive& d) { return d.device == chosen.physicalPath; });
    Ask(QString::fromStdString(
            present ? device::FillPlaceholders(LanguageString(kStrCardRefusedForFormat), {chosen.physicalPath})
                    : LanguageString(kStrFormatCardGone)),
        QMessageBox::Ok);
    RebuildCardList();
    return;
  }
  device::FormatRequest request;
  request.card = *card;
  request.modelName = model.device.modelName;
  request.volumeLabel = model.CardFiles().volumeLabel;
  request.programFolder = programFolder;
  request.safeFolder = safeFolder;
  request.legacySystem = host && host->LegacySystem();
  formattingCard = *card;

  QApplication::setOverrideCursor(Qt::WaitCursor);
  busyNotice = new FormatBusyNotice(QString::fromStdString(LanguageString(kStrFormatBusy)), this);
  busyNotice->show();
  const device::ProgramRunner run = runProgram ? runProgram : device::ProgramRunner(RunWithQProcess);
  formatThread = QThread::create([this, request, run, path] {
    device::CardFormatter formatter(
        request, [](int number) { return LanguageString(number); }, run);
    const device::FormatOutcome outcome = formatter.Run(path);
    QMetaObject::invokeMethod(
        this, [this, outcome] { EndFormat(outcome); }, Qt::QueuedConnection);
  });
  formatThread->start();
}

void CSettingDlg::EndFormat(const device::FormatOutcome& outcome) {
  formatThread->wait();
  delete formatThread;
  formatThread = nullptr;
  delete busyNotice;
  busyNotice = nullptr;
  QApplication::restoreOverrideCursor();
  lastOutcome = outcome;
  if (!outcome.message.empty()) Ask(QString::fromStdString(outcome.message), QMessageBox::Ok);
  if (outcome.successful && host && device::ListedFrom(host->LoadedDrive(), formattingCard)) host->ClearRecordings();
  // The card's label has changed with its format.
  rebuildPending = false;
  RebuildCardList();
  emit FormatFinished();
}
