#pragma once
// The loading dialog: a small modal window that shows a wait message for a fixed time
// and then, from its own timer, does the work of its mode and closes itself. Mode 2
// (after Open) and mode 3 (after a drop) list the opened set and start its first
// recording; mode 5 is the start-up notice and does nothing more.
//
// The dialog is modal to the application (the main window takes no input while it
// shows) but never runs a nested event loop: Run shows it and returns, the timer does
// the rest.

#include <QBasicTimer>
#include <QDialog>
#include <functional>
#include <string>

class CBbTextCtrl;

class CFileLoadDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kModeOpen = 2;
  static constexpr int kModeDrop = 3;
  static constexpr int kModeStartup = 5;
  static constexpr int kMessageId = 1000;
  static constexpr int kTimerWork = 1;
  static constexpr int kHeight = 100;
  static constexpr int kFillDelayMs = 3000;
  static constexpr int kStartupDelayMs = 5000;
  static constexpr int kTextStyleLoading = 10;
  static constexpr int kTextStyleStartup = 11;

  explicit CFileLoadDlg(QWidget* owner);

  int mode = kModeStartup;
  std::string sourceLabel;
  // The work of modes 2 and 3 (the main window's fill); given the source label.
  std::function<void(const std::string&)> fill;

  // Sets the size, caption, text style and delay for `mode`, centres the dialog over
  // its owner, shows it and starts the timer.
  void Run();
  // Width by language: 350 English, 400 French, 300 otherwise.
  static int WidthFor(int languageIndex);
  // The delay before the work (or the end of the notice) for a mode.
  static int DelayFor(int mode) { return mode == kModeStartup ? kStartupDelayMs : kFillDelayMs; }
  // The time the timer waits; tests shorten it.
  int delayOverrideMs = -1;
  bool TimerActive() const { return workTimer.isActive(); }

 signals:
  void Finished();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  CBbTextCtrl* message = nullptr;
  QBasicTimer workTimer;
};
