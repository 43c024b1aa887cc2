#pragma once
// The file list's column header, repainted in the skin: each heading on the bar grey,
// in white, columns 0 and 3 left-aligned and the others centred.

#include <QHeaderView>

class CSkinHeaderCtrl : public QHeaderView {
  Q_OBJECT

 public:
  static constexpr int kHeight = 20;

  explicit CSkinHeaderCtrl(QWidget* parent);

  // Alignment of the heading of `column`.
  static Qt::Alignment HeadingAlignment(int column);
  // The part of a heading's section its text is drawn in (and cut to).
  static QRect HeadingTextRect(const QRect& section);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};
