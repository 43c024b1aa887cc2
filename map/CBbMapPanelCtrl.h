#pragma once
// The frame a map view sits in: the main window's map panel (1006) and the map
// window's (1201). It paints the panel colour where nothing covers it and keeps the
// window it hosts the size of its whole client area.
//
// The hosted window is set by message 2025 (kMsgMapPanelHost, wParam = the QWidget*,
// 0 for none); the panel never owns it.

#include <QWidget>

class CBbMapPanelCtrl : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kWindowClass = "BbMapPanelCtrl";
  // The dynamic property that names a window's class, as "BbMapPanelCtrl".
  static constexpr const char* kWindowClassProperty = "windowClass";

  CBbMapPanelCtrl(int controlId, QWidget* parent);

  // The window the panel hosts, or null.
  QWidget* Hosted() const { return hosted; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FitHosted();

  void Host(QWidget* window);

  // Cleared when the hosted window is destroyed elsewhere, so it never dangles.
  QWidget* hosted = nullptr;
  QMetaObject::Connection hostedGone;
};
