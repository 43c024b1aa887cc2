#pragma once
// What the two map placeholders share: a 0x333333 area with the picture of the current
// language centred on it.

#include <QWidget>

class MapPlaceholderWnd : public QWidget {
  Q_OBJECT

 public:
  int languageIndex = 0;

  void SetLanguageIndex(int index);
  // The picture for `languageIndex`, or 0 outside 0..11.
  virtual int PictureId() const = 0;

 protected:
  MapPlaceholderWnd(int controlId, QWidget* parent);
  void paintEvent(QPaintEvent* event) override;
};
