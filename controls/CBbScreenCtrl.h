#pragma once
// The surface one camera channel is shown on. The playback graph's video output hands
// it each picture from a streaming thread (ChannelWindow); the control keeps the last
// one and paints it stretched over its whole client area on the UI thread, straight
// from the picture's bytes. Before the first picture it shows the idle picture. While
// it is hidden (or its window minimised) it takes no pictures; its owner asks the
// player for a repaint when it shows it again. A right click asks the owner for the
// playback menu of the control's language.

#include <QImage>
#include <QWidget>
#include <atomic>
#include <mutex>

#include "playback/ChannelWindow.h"

class CBbScreenCtrl : public QWidget, public playback::ChannelWindow {
  Q_OBJECT

 public:
  CBbScreenCtrl(int controlId, QWidget* parent);
  // The owner detaches the screen from the player before destroying it.
  ~CBbScreenCtrl() override;

  int languageIndex = 0;

  // ChannelWindow (any thread).
  void PresentFrame(const playback::VideoFrame& frame) override;
  void RequestRepaint() override;
  int ClientWidth() const override { return clientWidth.load(); }
  int ClientHeight() const override { return clientHeight.load(); }
  bool IsShown() const override { return shown.load(); }

  // The last picture handed over (empty before the first), for still captures.
  playback::VideoFrame LastFrame() const;
  // The last picture as an image of its own size (null before the first).
  QImage CurrentImage() const;
  // Forgets the last picture; the idle picture shows again.
  void ClearFrame();

 signals:
  // Right click: the playback popup for `languageIndex` (never sent outside 0..11).
  void ContextMenuRequested(int popupIndex, const QPoint& globalPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // Guards `lastFrame`: written by streaming threads, read by the UI thread.
  mutable std::mutex frameLock;
  playback::VideoFrame lastFrame;
  std::atomic<int> clientWidth{0};
  std::atomic<int> clientHeight{0};
  // Written by the UI thread on show and hide events (minimising the window sends
  // them too), read by streaming threads.
  std::atomic<bool> shown{false};
  // A queued repaint is on its way: pictures that come meanwhile are painted by it
  // rather than each posting a call of its own.
  std::atomic<bool> repaintQueued{false};
};
