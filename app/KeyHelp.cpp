#include "app/KeyHelp.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "controls/SkinFont.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"

namespace app {
namespace {

QString Text(int number) { return QString::fromStdString(LanguageString(number)); }

}  // namespace

const std::vector<KeyHelpRow>& KeyHelpRows() {
  static const std::vector<KeyHelpRow> rows = {
      {Qt::Key_Space, 0, nullptr, kStrKeyNameSpace, kStrKeyHelpPlayPause},
      {Qt::Key_PageUp, 0, "Page Up", 0, kStrKeyHelpPrevious},
      {Qt::Key_PageDown, 0, "Page Down", 0, kStrKeyHelpNext},
      {Qt::Key_Up, 0, nullptr, kStrKeyNameUp, kStrKeyHelpVolumeUp},
      {Qt::Key_Down, 0, nullptr, kStrKeyNameDown, kStrKeyHelpVolumeDown},
      {Qt::Key_M, 0, "M", 0, kStrKeyHelpMute},
      {Qt::Key_B, 0, "B", 0, kStrKeyHelpBrightness},
      {Qt::Key_S, 0, "S", 0, kStrKeyHelpSpeed},
      {Qt::Key_BracketLeft, 0, "[", 0, kStrKeyHelpSlower},
      {Qt::Key_BracketRight, 0, "]", 0, kStrKeyHelpFaster},
      {Qt::Key_Period, 0, ".", 0, kStrKeyHelpNextFrame},
      {Qt::Key_Comma, 0, ",", 0, kStrKeyHelpPreviousFrame},
      {Qt::Key_Escape, 0, "Esc", 0, kStrKeyHelpLayout},
      {Qt::Key_I, 0, "I", 0, kStrMenuMarkStart},
      {Qt::Key_O, 0, "O", 0, kStrMenuMarkEnd},
      {Qt::Key_O, Qt::ControlModifier, "Ctrl+O", 0, kStrKeyHelpOpen},
      {Qt::Key_Right, Qt::ControlModifier, nullptr, kStrKeyNameCtrlRight, kStrKeyHelpNextMarker},
      {Qt::Key_Left, Qt::ControlModifier, nullptr, kStrKeyNameCtrlLeft, kStrKeyHelpPreviousMarker},
      {Qt::Key_F1, 0, "F1", 0, kStrKeyHelpHelp},
      {Qt::Key_F4, Qt::AltModifier, "Alt+F4", 0, kStrKeyHelpClose},
      {0, 0, nullptr, kStrMouseListDoubleClick, kStrKeyHelpPlayRow},
      {0, 0, nullptr, kStrMouseSeekBar, kStrKeyHelpSeek},
      {0, 0, nullptr, kStrMouseMarker, kStrKeyHelpMarker},
      {0, 0, nullptr, kStrMouseRightClick, kStrKeyHelpMenu},
      {0, 0, nullptr, kStrMouseTopBarDoubleClick, kStrKeyHelpMaximise},
  };
  return rows;
}

QString KeyHelpKeyText(const KeyHelpRow& row) {
  return row.keyName ? QString::fromLatin1(row.keyName) : Text(row.keyString);
}

KeyHelpWindow::KeyHelpWindow(int language, QWidget* parent) : QDialog(parent), language_(language) {
  setObjectName(QStringLiteral("KeyHelpWindow"));
  setFont(skin::SkinFont(skin::kFontSmall, language));
  setWindowTitle(Text(kStrKeyHelpTitle));
  const std::vector<KeyHelpRow>& rows = KeyHelpRows();
  table = new QTableWidget(static_cast<int>(rows.size()), 2, this);
  table->setHorizontalHeaderLabels({Text(kStrKeyHelpKeyColumn), Text(kStrKeyHelpActionColumn)});
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::NoSelection);
  table->setFocusPolicy(Qt::NoFocus);
  table->setShowGrid(false);
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const KeyHelpRow& row = rows[static_cast<std::size_t>(i)];
    table->setItem(i, 0, new QTableWidgetItem(KeyHelpKeyText(row)));
    table->setItem(i, 1, new QTableWidgetItem(Text(row.actionString)));
  }
  table->resizeColumnsToContents();
  table->resizeRowsToContents();
  table->horizontalHeader()->setStretchLastSection(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table);
  // Room for every row and both columns without scrolling.
  int height = table->horizontalHeader()->height() + 2 * table->frameWidth();
  for (int i = 0; i < table->rowCount(); ++i) height += table->rowHeight(i);
  const int width = table->columnWidth(0) + table->columnWidth(1) + 2 * table->frameWidth() + 40;
  resize(std::max(width, 420), height + 2 * layout->contentsMargins().top() + 4);
}

QStringList KeyHelpWindow::KeyColumn() const {
  QStringList column;
  for (int i = 0; i < table->rowCount(); ++i) column << table->item(i, 0)->text();
  return column;
}

QStringList KeyHelpWindow::ActionColumn() const {
  QStringList column;
  for (int i = 0; i < table->rowCount(); ++i) column << table->item(i, 1)->text();
  return column;
}

}  // namespace app
