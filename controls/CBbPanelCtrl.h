#pragma once
// A black container whose children's commands reach the window above it: every command
// message from a child is posted on, unchanged, to the panel's parent.

#include <QWidget>

class CBbPanelCtrl : public QWidget {
  Q_OBJECT

 public:
  CBbPanelCtrl(int controlId, QWidget* parent);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};
