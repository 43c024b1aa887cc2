#include "cli/MediaSession.h"

#include <QGuiApplication>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "sources/avi/RecordingInput.h"
#include "tools/capture/RecordingMoment.h"

namespace cli {

namespace {
int gArgc = 1;
char gProgram[] = "tarvo-tool";
char* gArgv[] = {gProgram, nullptr};
QtMessageHandler gQtMessages = nullptr;

void ToolMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  // Without a desktop session the offscreen platform notes the missing runtime
  // folder it never uses; scripts reading stderr get only the tool's own messages.
  if (message.startsWith(QStringLiteral("QStandardPaths:"))) return;
  if (gQtMessages)
    gQtMessages(type, context, message);
  else
    std::fprintf(stderr, "%s\n", qPrintable(message));
}
}  // namespace

MediaSession::MediaSession() {
  // The tool draws only into files: the offscreen platform works with or without a
  // display and never fails on a stale DISPLAY.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // A capture never plays sound; the desktop's sound server is left alone.
  ::setenv("TARVO_AUDIO_SINK", "null", 0);
  gQtMessages = qInstallMessageHandler(ToolMessages);
  app_ = std::make_unique<QGuiApplication>(gArgc, gArgv);
}

MediaSession::~MediaSession() = default;

bool ParseDigits(const std::string& text, std::int32_t& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
  errno = 0;
  char* end = nullptr;
  const long long number = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || number > INT_MAX) return false;
  value = static_cast<std::int32_t>(number);
  return true;
}

bool OpenRecordingMoment(RecordingMoment& moment, const std::string& path, std::int32_t positionMs,
                         std::string& error) {
  std::error_code ec;
  if (path.find(kCardPathMark) != std::string::npos && !std::filesystem::exists(path, ec)) {
    error = "cannot read " + path + ": copy a card's recording out first (tarvo-tool card get)";
    return false;
  }
  return moment.Open(path, error) && moment.ShowPosition(positionMs, error);
}

}  // namespace cli
