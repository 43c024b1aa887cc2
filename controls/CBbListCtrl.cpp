#include "controls/CBbListCtrl.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>

#include "controls/CSkinHeaderCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/ControlId.h"
#include "controls/SkinFont.h"
#include "settings/LanguageText.h"
#include "settings/StringIds.h"

namespace {

constexpr int kColumnWidths[kRecordingListColumns] = {35, 72, 56, 150, 0, 0};
constexpr int kTextPadding = 4;
constexpr int kMinimumStretch = 85;
constexpr int kCentredPadding = 2;

// Paints each cell in the row colours; the list itself has no grid or focus frame.
class RowDelegate : public QStyledItemDelegate {
 public:
  explicit RowDelegate(CBbListCtrl* owner) : QStyledItemDelegate(owner), list(owner) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const CBbListCtrl::RowColours colours = CBbListCtrl::ColoursFor(index.row(), list->highlightRow, selected);
    painter->save();
    painter->fillRect(option.rect, skin::ToColor(colours.background));
    painter->setFont(skin::SkinFont(skin::kFontNormal));
    painter->setPen(skin::ToColor(colours.text));
    const int column = index.column();
    // Cells align as their headings do.
    const Qt::Alignment alignment = CSkinHeaderCtrl::HeadingAlignment(column);
    const QRect textRect = CBbListCtrl::CellTextRect(option.rect, column);
    QString text = index.data().toString();
    const int needed = painter->fontMetrics().horizontalAdvance(text);
    if (needed > textRect.width() && needed > 0) {
      // A date a few pixels too wide for its column is narrowed a little rather than cut.
      const int stretch = textRect.width() * 100 / needed;
      if (stretch >= kMinimumStretch) {
        QFont narrow = painter->font();
        narrow.setStretch(stretch);
        painter->setFont(narrow);
      }
      text = painter->fontMetrics().elidedText(text, Qt::ElideRight, textRect.width());
    }
    painter->drawText(textRect, static_cast<int>(alignment | Qt::AlignVCenter), text);
    if (list->SeparatorAbove(index.row())) {
      const QRect cell = option.rect;
      painter->fillRect(QRect(cell.left(), cell.top(), cell.width(), CBbListCtrl::kTripSeparatorHeight),
                        skin::ToColor(CBbListCtrl::kTripSeparator));
    }
    painter->restore();
  }

 private:
  CBbListCtrl* list;
};

}  // namespace

CBbListCtrl::CBbListCtrl(int controlId, QWidget* parent) : QTableWidget(0, kRecordingListColumns, parent) {
  SetControlId(this, controlId);
  header = new CSkinHeaderCtrl(this);
  setHorizontalHeader(header);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  verticalHeader()->setMinimumSectionSize(kRowHeight);
  for (int column = 0; column < kRecordingListColumns; ++column) {
    header->resizeSection(column, kColumnWidths[column]);
    if (kColumnWidths[column] == 0) setColumnHidden(column, true);
  }
  header->setStretchLastSection(false);
  setItemDelegate(new RowDelegate(this));
  setShowGrid(false);
  setFrameShape(QFrame::NoFrame);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setWordWrap(false);
  setFocusPolicy(Qt::StrongFocus);
  setFont(skin::SkinFont(skin::kFontNormal));
  QPalette colours = palette();
  colours.setColor(QPalette::Base, skin::ToColor(kListBackground));
  colours.setColor(QPalette::Window, skin::ToColor(kListBackground));
  setPalette(colours);
  viewport()->setAutoFillBackground(true);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDropIndicatorShown(false);
  SetColumnHeadings();

  auto* bar = new CSkinVerticleScrollbar(parent);
  bar->list = this;
  scrollBar = bar;
  connect(verticalScrollBar(), &QScrollBar::valueChanged, bar, &CSkinVerticleScrollbar::UpdateThumb);
  connect(verticalScrollBar(), &QScrollBar::rangeChanged, bar, &CSkinVerticleScrollbar::UpdateThumb);
  connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { emit RowDoubleClicked(row); });
  PlaceScrollBar();
}

CBbListCtrl::~CBbListCtrl() {
  // The scroll bar lives in the parent; it must not outlive the list it points to.
  delete scrollBar.data();
}

CBbListCtrl::RowColours CBbListCtrl::ColoursFor(int row, int highlight, bool selected) {
  if (row == highlight) return {kHighlightBackground, kHighlightText};
  if (selected) return {kSelectedBackground, kSelectedText};
  return {row % 2 == 0 ? kEvenRowBackground : kOddRowBackground, kRowText};
}

void CBbListCtrl::SetTripStarts(std::vector<bool> starts) {
  tripStarts = std::move(starts);
  viewport()->update();
}

bool CBbListCtrl::SeparatorAbove(int row) const {
  return row > 0 && static_cast<std::size_t>(row) < tripStarts.size() && tripStarts[static_cast<std::size_t>(row)];
}

void CBbListCtrl::SetHighlightRow(int row) {
  highlightRow = row;
  viewport()->update();
}

QRect CBbListCtrl::CellTextRect(const QRect& cell, int column) {
  // Centred columns are sized tightly for their dates and times: little padding there.
  const int padding = CSkinHeaderCtrl::HeadingAlignment(column) == Qt::AlignHCenter ? kCentredPadding : kTextPadding;
  return cell.adjusted(padding, 0, -padding, 0);
}

void CBbListCtrl::SetColumnHeadings() {
  const int numbers[4] = {kStrColumnNumber, kStrColumnDate, kStrColumnTime, kStrColumnType};
  QStringList headings;
  for (int number : numbers) {
    std::string text;
    headings << (LoadLanguageString(number, text) ? QString::fromStdString(text) : QString());
  }
  headings << QStringLiteral("    ") << QString();
  setHorizontalHeaderLabels(headings);
}

void CBbListCtrl::SetRedraw(bool on) {
  setUpdatesEnabled(on);
  if (on) {
    viewport()->update();
    UpdateScrollBar();
  }
}

void CBbListCtrl::DeleteAllItems() {
  tripStarts.clear();
  clearContents();
  setRowCount(0);
  UpdateScrollBar();
}

void CBbListCtrl::InsertRow(int row, const RecordingRow& columns) {
  const int at = std::clamp(row, 0, rowCount());
  insertRow(at);
  for (int column = 0; column < kRecordingListColumns; ++column) {
    auto* item = new QTableWidgetItem(QString::fromStdString(columns[static_cast<size_t>(column)]));
    setItem(at, column, item);
  }
}

std::string CBbListCtrl::GetItemText(int row, int column) const {
  const QTableWidgetItem* cell = item(row, column);
  return cell ? cell->text().toStdString() : std::string();
}

int CBbListCtrl::GetSelectedRow() const {
  const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void CBbListCtrl::SelectRow(int row) {
  if (row < 0 || row >= rowCount()) {
    clearSelection();
    return;
  }
  selectRow(row);
}

void CBbListCtrl::EnsureVisible(int row) {
  if (row < 0 || row >= rowCount()) return;
  scrollTo(model()->index(row, 0), QAbstractItemView::EnsureVisible);
  UpdateScrollBar();
}

void CBbListCtrl::ScrollLines(int lines) {
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(std::clamp(bar->value() + lines, bar->minimum(), bar->maximum()));
  UpdateScrollBar();
}

void CBbListCtrl::ScrollPages(int pages) {
  QScrollBar* bar = verticalScrollBar();
  const int page = std::max(1, bar->pageStep());
  bar->setValue(std::clamp(bar->value() + pages * page, bar->minimum(), bar->maximum()));
  UpdateScrollBar();
}

void CBbListCtrl::keyPressEvent(QKeyEvent* event) {
  // Left and Right would only shift the list sideways; they are not for the list.
  if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
    event->accept();
    return;
  }
  QTableWidget::keyPressEvent(event);
  UpdateScrollBar();
}

void CBbListCtrl::keyReleaseEvent(QKeyEvent* event) {
  QTableWidget::keyReleaseEvent(event);
  UpdateScrollBar();
}

void CBbListCtrl::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta != 0) ScrollLines(delta > 0 ? -1 : 1);
  event->accept();
}

void CBbListCtrl::UpdateScrollBar() {
  if (CSkinVerticleScrollbar* bar = scrollBar.data()) bar->UpdateThumb();
}

void CBbListCtrl::PlaceScrollBar() {
  CSkinVerticleScrollbar* bar = scrollBar.data();
  if (!bar) return;
  bar->setGeometry(geometry().right() + 1, geometry().top(), bar->barWidth, height());
  bar->UpdateThumb();
}

void CBbListCtrl::resizeEvent(QResizeEvent* event) {
  QTableWidget::resizeEvent(event);
  PlaceScrollBar();
}

void CBbListCtrl::moveEvent(QMoveEvent* event) {
  QTableWidget::moveEvent(event);
  PlaceScrollBar();
}

void CBbListCtrl::showEvent(QShowEvent* event) {
  QTableWidget::showEvent(event);
  if (scrollBar) scrollBar->show();
  PlaceScrollBar();
}

void CBbListCtrl::hideEvent(QHideEvent* event) {
  QTableWidget::hideEvent(event);
  if (scrollBar) scrollBar->hide();
}

namespace {
QStringList LocalFiles(const QMimeData* data) {
  QStringList paths;
  if (!data || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  return paths;
}
}  // namespace

void CBbListCtrl::dragEnterEvent(QDragEnterEvent* event) {
  if (!LocalFiles(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void CBbListCtrl::dragMoveEvent(QDragMoveEvent* event) {
  if (!LocalFiles(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void CBbListCtrl::dropEvent(QDropEvent* event) {
  const QStringList paths = LocalFiles(event->mimeData());
  if (paths.isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  emit FilesDropped(paths);
}
