#include "controls/LanguageMessageBox.h"

#include <QApplication>
#include <mutex>
#include <string>

#include "settings/LanguageText.h"

namespace {

std::mutex& PresenterMutex() {
  static std::mutex mutex;
  return mutex;
}

MessagePresenter& Presenter() {
  static MessagePresenter presenter;
  return presenter;
}

QMessageBox::StandardButton RealBox(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, buttons, parent);
  box.setWindowModality(Qt::ApplicationModal);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

MessagePresenter SetMessagePresenter(MessagePresenter presenter) {
  std::lock_guard<std::mutex> lock(PresenterMutex());
  MessagePresenter old = std::move(Presenter());
  Presenter() = std::move(presenter);
  return old;
}

QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons) {
  MessagePresenter presenter;
  {
    std::lock_guard<std::mutex> lock(PresenterMutex());
    presenter = Presenter();
  }
  return presenter ? presenter(parent, text, buttons) : RealBox(parent, text, buttons);
}

QMessageBox::StandardButton ShowLanguageMessage(QWidget* parent, int number, QMessageBox::StandardButtons buttons,
                                                const QString& prefix) {
  std::string text;
  if (!LoadLanguageString(number, text)) return QMessageBox::NoButton;
  return ShowMessage(parent, prefix + QString::fromStdString(text), buttons);
}
