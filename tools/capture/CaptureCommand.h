#pragma once
// The main window's Capture command after its checks: the still capture into the
// capture folder, then the question whether to open that folder.
//
// The caller has ignored the command while a load runs, done nothing unless the
// player is running or paused, and paused it (playback stays paused afterwards).

#include <QUrl>
#include <filesystem>
#include <functional>
#include <string>

#include "playback/CPlayer.h"
#include "settings/ViewerSettings.h"
#include "tools/capture/StillCapture.h"

class QWidget;

// Shows a folder in the desktop's file manager; true when it was handed over.
using FolderOpener = std::function<bool(const QUrl& folder)>;

// QDesktopServices::openUrl.
bool OpenFolderInFileManager(const QUrl& folder);

// Resolves the capture folder (a missing one becomes the default, saved into
// `settingsPath`), writes "(Track1)" and, for two or more video channels,
// "(Track2)" of the row's `fileName`, and asks with the channel 1 file name and
// language string 145 (Yes/No, modal to `parent`) whether to open the folder;
// Yes hands it to `openFolder`. No question without a language library, none after
// a failed grab or save; a picture or settings file that could not be written is
// said in a box with the file and why (strings 363 and 360). Returns what was written.
StillCaptureResult RunCaptureCommand(playback::CPlayer& player, const std::string& fileName, int videoChannels,
                                     ViewerSettings& settings, QWidget* parent,
                                     const FolderOpener& openFolder = OpenFolderInFileManager,
                                     const std::filesystem::path& settingsPath = SettingsFilePath());
