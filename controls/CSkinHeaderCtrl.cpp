#include "controls/CSkinHeaderCtrl.h"

#include <QPainter>

#include "controls/SkinFont.h"
#include "controls/SkinPalette.h"

namespace {
constexpr int kTextDrop = 3;
constexpr int kTextPadding = 5;
}  // namespace

CSkinHeaderCtrl::CSkinHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setSectionsClickable(false);
  setSectionsMovable(false);
  setHighlightSections(false);
  setFixedHeight(kHeight);
  setFont(skin::SkinFont(skin::kFontNormal));
}

Qt::Alignment CSkinHeaderCtrl::HeadingAlignment(int column) {
  return (column == 0 || column == 3) ? Qt::AlignLeft : Qt::AlignHCenter;
}

QRect CSkinHeaderCtrl::HeadingTextRect(const QRect& section) {
  return section.adjusted(kTextPadding, kTextDrop, -kTextPadding, 0);
}

void CSkinHeaderCtrl::paintEvent(QPaintEvent* event) {
  {
    // The strip right of the last heading belongs to the bar too.
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), skin::ToColor(skin::kBarBackground));
  }
  QHeaderView::paintEvent(event);
}

void CSkinHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  painter->save();
  painter->fillRect(rect, skin::ToColor(skin::kBarBackground));
  // A faint divider keeps the headings apart on the flat bar.
  painter->setPen(skin::ToColor(0x3C3C3C));
  if (rect.width() > 0) painter->drawLine(rect.right(), rect.top() + 4, rect.right(), rect.bottom() - 4);
  const QString text = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
  painter->setFont(skin::SkinFont(skin::kFontNormal));
  painter->setPen(skin::ToColor(skin::kDefaultText));
  const QRect textRect = HeadingTextRect(rect);
  painter->drawText(textRect, static_cast<int>(HeadingAlignment(logicalIndex) | Qt::AlignTop), text);
  painter->restore();
}
