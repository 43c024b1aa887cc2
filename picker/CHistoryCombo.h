#pragma once
// An editable combo box that remembers what was chosen in it, in the application's
// profile (HistoryProfile gives the rules). Enter in its edit field confirms the typed
// text (PathConfirmed) instead of pressing the dialog's default button.

#include <QComboBox>
#include <QSettings>
#include <QString>

#include "picker/HistoryProfile.h"

class CHistoryCombo : public QComboBox {
  Q_OBJECT

 public:
  explicit CHistoryCombo(QWidget* parent = nullptr);

  QString section;
  QString keyPrefix;
  bool saveLast = false;

  int MaxItems() const { return maxItems; }
  // Deletes the items beyond the new maximum.
  void SetMaxItems(int maximum);

  // Replaces the list and the edit field with the history in `settings`.
  void LoadHistory(QSettings& settings);
  // Moves the edit text to the top of the list and writes the list to `settings`.
  void SaveHistory(QSettings& settings);

  // The list, top first.
  QStringList Items() const;

 signals:
  // Enter was pressed in the edit field; `text` is what it holds.
  void PathConfirmed(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // With the focus on the combo itself (as a real keyboard gives it) Enter reaches the
  // combo rather than its edit field; it confirms the typed text there too, instead of
  // falling through to the dialog's default button.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  picker::HistoryProfile Profile() const;
  void Show(const picker::HistoryState& state);

  int maxItems = 10;
};
