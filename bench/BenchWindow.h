#pragma once
// The viewer's window as the benchmarks run it: no sound device, no network, and the
// boxes it would show written to stderr under the benchmark's name instead of waiting
// for a click.

#include <QMessageBox>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "controls/LanguageMessageBox.h"
#include "map/WebEngineSetup.h"
#include "res/SkinResources.h"

namespace bench {

// Before the QApplication exists.
inline void PrepareWindowProcess() {
  setenv("TARVO_AUDIO_SINK", "null", 0);
  setenv("TARVO_NETWORK", "offline", 0);
  PrepareWebEngine();
}

// After the QApplication exists.
inline void PrepareWindowResources(const char* benchmark) {
  InitSkinResources();
  SetMessagePresenter([name = std::string(benchmark)](QWidget*, const QString& text, QMessageBox::StandardButtons) {
    std::fprintf(stderr, "%s: message: %s\n", name.c_str(), qPrintable(text));
    return QMessageBox::Ok;
  });
}

}  // namespace bench
