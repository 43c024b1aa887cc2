#include "picker/CHistoryCombo.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "picker/SettingsProfileStore.h"

CHistoryCombo::CHistoryCombo(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  // The list changes only through the history rules, never by Enter.
  setInsertPolicy(QComboBox::NoInsert);
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(20);
  setMaxVisibleItems(15);
  // It takes the whole width of the file-name row it stands in.
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  lineEdit()->installEventFilter(this);
}

void CHistoryCombo::SetMaxItems(int maximum) {
  maxItems = maximum;
  const int keep = maximum > 0 ? maximum : 0;
  while (count() > keep) removeItem(count() - 1);
}

picker::HistoryProfile CHistoryCombo::Profile() const {
  return picker::HistoryProfile(section.toStdString(), keyPrefix.toStdString(), maxItems, saveLast);
}

QStringList CHistoryCombo::Items() const {
  QStringList items;
  for (int i = 0; i < count(); ++i) items << itemText(i);
  return items;
}

void CHistoryCombo::Show(const picker::HistoryState& state) {
  clear();
  for (const std::string& item : state.items) addItem(QString::fromStdString(item));
  setCurrentIndex(state.selectedIndex);
  setEditText(QString::fromStdString(state.editText));
}

void CHistoryCombo::LoadHistory(QSettings& settings) {
  const picker::SettingsProfileStore store(settings);
  Show(Profile().Load(store));
}

void CHistoryCombo::SaveHistory(QSettings& settings) {
  picker::HistoryState state;
  for (int i = 0; i < count(); ++i) state.items.push_back(itemText(i).toStdString());
  state.editText = currentText().toStdString();
  state.selectedIndex = currentIndex();
  picker::SettingsProfileStore store(settings);
  Profile().Save(store, state);
  Show(state);
  settings.sync();
}

void CHistoryCombo::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    emit PathConfirmed(currentText());
    event->accept();
    return;
  }
  QComboBox::keyPressEvent(event);
}

bool CHistoryCombo::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      emit PathConfirmed(lineEdit()->text());
      return true;
    }
  }
  return QComboBox::eventFilter(watched, event);
}
