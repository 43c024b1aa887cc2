#pragma once
// What the web engine needs settled before the QApplication exists. The viewer's
// start-up calls PrepareWebEngine() first thing; tests that show the map do the same.
//
// - Qt::AA_ShareOpenGLContexts: the engine shares its GL context with the widgets'.
// - QTWEBENGINE_DISABLE_SANDBOX=1 when running as root: the engine's sandbox refuses
//   to start for root and the map would stay blank. Kept for every other user; a
//   value the caller set is left alone.
// - The engine's start-up report (qt.webenginecontext) is silenced; QT_LOGGING_RULES
//   can turn it back on.
//
// Under the offscreen and minimal platforms the engine itself switches to software
// drawing (no GPU process), so headless runs need nothing more.
void PrepareWebEngine();
