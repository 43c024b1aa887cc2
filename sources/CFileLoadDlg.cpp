#include "sources/CFileLoadDlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QTimerEvent>

#include "controls/CBbTextCtrl.h"
#include "controls/ControlId.h"
#include "controls/SkinPalette.h"
#include "settings/LanguageLibrary.h"
#include "settings/LanguageText.h"
#include "settings/StringIds.h"
#include "settings/ViewerSettings.h"

namespace {

constexpr int kMessageTop = 10;
constexpr int kMessageHeight = 80;
constexpr int kFrench = 6;

QString LanguageText(int number) {
  std::string text;
  if (!LoadLanguageString(number, text)) return {};
  return QString::fromStdString(text);
}

}  // namespace

CFileLoadDlg::CFileLoadDlg(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("CFileLoadDlg"));
  setWindowTitle(QString::fromUtf8("파일을 불러오는 중..."));
  setWindowModality(Qt::ApplicationModal);
  setAttribute(Qt::WA_OpaquePaintEvent);
  message = new CBbTextCtrl(kMessageId, kTextStyleLoading, this);
  message->backgroundColour = skin::kWindowBackground;
}

int CFileLoadDlg::WidthFor(int languageIndex) {
  if (languageIndex == 0) return 350;
  if (languageIndex == kFrench) return 400;
  return 300;
}

void CFileLoadDlg::Run() {
  ViewerSettings& settings = TheViewerSettings();
  const int w = WidthFor(settings.language);
  setFixedSize(w, kHeight);
  if (const QWidget* owner = parentWidget()) {
    const QRect frame = owner->frameGeometry();
    move(frame.left() + (frame.width() - w) / 2, frame.top() + (frame.height() - kHeight) / 2);
  }
  message->setGeometry(0, kMessageTop, w, kMessageHeight);
  if (!settings.languageLibrary) LoadLanguageLibrary(settings);
  const bool startup = mode == kModeStartup;
  message->kind = startup ? kTextStyleStartup : kTextStyleLoading;
  // Without a language library the caption stays empty; style and delay are the same.
  setWindowTitle(settings.languageLibrary ? LanguageText(startup ? kStrWelcomeCaption : kStrLoadingCaption)
                                          : QString());
  message->update();
  workTimer.start(delayOverrideMs >= 0 ? delayOverrideMs : DelayFor(mode), this);
  show();
  raise();
}

void CFileLoadDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() != workTimer.timerId()) {
    QDialog::timerEvent(event);
    return;
  }
  workTimer.stop();
  if ((mode == kModeOpen || mode == kModeDrop) && fill) fill(sourceLabel);
  hide();
  emit Finished();
}

void CFileLoadDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), skin::ToColor(skin::kWindowBackground));
}

void CFileLoadDlg::keyPressEvent(QKeyEvent* event) {
  // No way out but the timer: the dialog has no close box and Esc does nothing.
  event->accept();
}

void CFileLoadDlg::closeEvent(QCloseEvent* event) {
  if (workTimer.isActive()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}
