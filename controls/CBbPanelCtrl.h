#pragma once
// A black container for child windows. The buttons inside report their clicks through
// their own Clicked signal, straight to whoever connected it, so the panel passes
// nothing on.

#include <QWidget>

class CBbPanelCtrl : public QWidget {
  Q_OBJECT

 public:
  CBbPanelCtrl(int controlId, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
