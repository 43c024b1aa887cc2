#include "controls/LanguageMessageBox.h"

#include <QApplication>
#include <cerrno>
#include <mutex>
#include <string>

#include "platform/FileOpen.h"
#include "settings/LanguageText.h"
#include "settings/StringIds.h"

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

QString WriteFailureReason(int error) {
  int number = kStrReasonSystem;
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      number = kStrReasonDiskFull;
      break;
    case EACCES:
    case EPERM:
      number = kStrReasonNotPermitted;
      break;
    case EROFS:
      number = kStrReasonReadOnly;
      break;
    case ENOENT:
    case ENOTDIR:
      number = kStrReasonNoFolder;
      break;
    default:
      break;
  }
  std::string text;
  LoadLanguageString(number, text);
  QString reason = QString::fromStdString(text);
  if (number == kStrReasonSystem) reason = reason.arg(QString::fromStdString(platform::ErrorText(error)));
  return reason;
}

QString WriteFailureText(int number, const std::string& path, int error) {
  std::string text;
  if (!LoadLanguageString(number, text)) return {};
  return QString::fromStdString(text).arg(QString::fromStdString(path), WriteFailureReason(error));
}

QMessageBox::StandardButton ShowWriteFailure(QWidget* parent, int number, const std::string& path, int error) {
  const QString text = WriteFailureText(number, path, error);
  return text.isEmpty() ? QMessageBox::NoButton : ShowMessage(parent, text);
}
