#pragma once
// The key-help window (F1, and the playback menu's last entry): every key and mouse
// action of the main window with what it does, in the viewer's language. The rows are
// the window's key table; the key handler and this list are checked against each
// other by the tests.

#include <QDialog>
#include <vector>

class QTableWidget;

namespace app {

struct KeyHelpRow {
  int key = 0;           // Qt::Key; 0 for a mouse action
  int modifiers = 0;     // Qt::KeyboardModifiers of the key
  const char* keyName;   // the key as printed on keyboards; null when `keyString` names it
  int keyString = 0;     // language string of the first column (mouse actions, Space, arrows)
  int actionString = 0;  // language string of what it does
};

// The main window's keys, then its mouse actions.
const std::vector<KeyHelpRow>& KeyHelpRows();

// The text of a row's first column in the loaded language.
QString KeyHelpKeyText(const KeyHelpRow& row);

class KeyHelpWindow : public QDialog {
  Q_OBJECT

 public:
  KeyHelpWindow(int language, QWidget* parent);

  // The language index it was made in.
  int Language() const { return language_; }

  // The two columns as shown, row by row (tests).
  QStringList KeyColumn() const;
  QStringList ActionColumn() const;

 private:
  int language_ = 0;
  QTableWidget* table = nullptr;
};

}  // namespace app
