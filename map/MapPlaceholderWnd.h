#pragma once
// What the two map placeholders share: a 0x333333 area with the picture of the current
// language centred on it.

#include <QWidget>

#include "res/SkinIds.h"

class MapPlaceholderWnd : public QWidget {
  Q_OBJECT

 public:
  int languageIndex = 0;

  void SetLanguageIndex(int index);
  // The picture for `languageIndex`, or 0 outside 0..11.
  int PictureId() const;

 protected:
  // `picture` names the placeholder's entry among each language's pictures.
  MapPlaceholderWnd(int controlId, int skin::LanguageSkin::*picture, QWidget* parent);
  void paintEvent(QPaintEvent* event) override;

 private:
  int skin::LanguageSkin::*picture;
};
