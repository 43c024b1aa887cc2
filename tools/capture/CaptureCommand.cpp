#include "tools/capture/CaptureCommand.h"

#include <QDesktopServices>
#include <QMessageBox>

#include "controls/LanguageMessageBox.h"
#include "settings/LanguageText.h"
#include "settings/StringIds.h"
#include "tools/capture/CaptureFolder.h"

bool OpenFolderInFileManager(const QUrl& folder) { return QDesktopServices::openUrl(folder); }

StillCaptureResult RunCaptureCommand(playback::CPlayer& player, const std::string& fileName, int videoChannels,
                                     ViewerSettings& settings, QWidget* parent, const FolderOpener& openFolder,
                                     const std::filesystem::path& settingsPath) {
  int settingsError = 0;
  const std::string folder = ResolveCaptureFolder(settings, settingsPath, &settingsError);
  if (settingsError != 0) ShowWriteFailure(parent, kStrSettingsNotSaved, settingsPath.string(), settingsError);
  if (folder.empty()) return {};
  const StillCaptureResult result = CaptureStill(player, folder, fileName, videoChannels, LocalTimeNow());
  if (result.writeError != 0) ShowWriteFailure(parent, kStrCaptureNotSaved, result.failedFile, result.writeError);
  if (!result.complete) return result;
  std::string question;
  if (!LoadLanguageString(kStrCaptureSavedAsk, question)) return result;
  QMessageBox box(QMessageBox::Question, QString(), QString::fromStdString(result.names.track1 + question),
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setObjectName(QStringLiteral("CaptureSavedBox"));
  if (box.exec() == QMessageBox::Yes && openFolder) openFolder(QUrl::fromLocalFile(QString::fromStdString(folder)));
  return result;
}
