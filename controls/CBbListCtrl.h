#pragma once
// The file list of the main window: a report list whose rows are coloured by the skin
// (alternating greys, the highlighted row of the recording that plays, the selection,
// a line where a trip begins),
// with the skinned header and, beside it in the parent, the skinned scroll bar in
// place of its own. Files dropped on it are handed to the owner (FilesDropped).
//
// Columns: number, date, time, type, path, file name (the last two kept but hidden).

#include <QPointer>
#include <QStringList>
#include <QTableWidget>
#include <string>
#include <vector>

#include "controls/SkinPalette.h"
#include "sources/RecordingList.h"

class CSkinHeaderCtrl;
class CSkinVerticleScrollbar;

class CBbListCtrl : public QTableWidget, public RecordingList {
  Q_OBJECT

 public:
  static constexpr COLORREF kEvenRowBackground = 0x464646;
  static constexpr COLORREF kOddRowBackground = 0x323232;
  static constexpr COLORREF kRowText = 0xB4B4B4;
  static constexpr COLORREF kHighlightBackground = 0x808000;
  static constexpr COLORREF kHighlightText = 0xC8C8C8;
  static constexpr COLORREF kSelectedBackground = 0x008080;
  static constexpr COLORREF kSelectedText = 0x141414;
  static constexpr COLORREF kListBackground = skin::kWindowBackground;
  static constexpr int kRowHeight = 19;
  // The line over the first row of a trip (but the list's first): the highlight's
  // teal, brighter, so it reads as belonging to the skin and not as a selection.
  static constexpr COLORREF kTripSeparator = 0xB4B400;
  static constexpr int kTripSeparatorHeight = 2;

  struct RowColours {
    COLORREF background;
    COLORREF text;
  };

  // The list is made in `parent`, which also receives the scroll bar.
  CBbListCtrl(int controlId, QWidget* parent);
  ~CBbListCtrl() override;

  // The row drawn with the highlight colours (-1: none). Set it with SetHighlightRow.
  int highlightRow = -1;
  void SetHighlightRow(int row);

  // The rows each trip begins at (rows of consecutive recordings; see sources/Trips.h),
  // drawn with a separator line over them. Emptied with the rows.
  void SetTripStarts(std::vector<bool> starts);
  // Whether a separator is drawn over row `row`: a trip begins there and it is not
  // the first row.
  bool SeparatorAbove(int row) const;

  // Colours of row `row`: the highlight wins over the selection, then the parity.
  static RowColours ColoursFor(int row, int highlightRow, bool selected);

  // The part of a cell of `column` its text is drawn in (and elided to).
  static QRect CellTextRect(const QRect& cell, int column);

  // Column headings from the language strings (call again after a language change).
  void SetColumnHeadings();

  // RecordingList.
  void SetRedraw(bool on) override;
  void DeleteAllItems() override;
  void InsertRow(int row, const RecordingRow& columns) override;

  int GetItemCount() const { return rowCount(); }
  std::string GetItemText(int row, int column) const;
  // The selected row, or -1.
  int GetSelectedRow() const;
  void SelectRow(int row);
  void EnsureVisible(int row);

  // Line and page scrolling as the list's own bar would do it (negative: up).
  void ScrollLines(int lines);
  void ScrollPages(int pages);

  CSkinHeaderCtrl* Header() const { return header; }
  CSkinVerticleScrollbar* ScrollBar() const { return scrollBar.data(); }

 signals:
  void FilesDropped(const QStringList& paths);
  void RowDoubleClicked(int row);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void PlaceScrollBar();
  void UpdateScrollBar();

  CSkinHeaderCtrl* header = nullptr;
  std::vector<bool> tripStarts;
  // Lives in the list's parent; the list deletes it with itself.
  QPointer<CSkinVerticleScrollbar> scrollBar;
};
