// The main window's keys and context menus. Keys are looked at before the focused
// control sees them: the shortcuts work whatever has the focus, and every key pressed
// with Ctrl is taken (only Ctrl+O and Ctrl with the left or right arrow do something). The key-help window lists them
// all (app/KeyHelp.cpp): a key added here belongs in its table too.

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include "app/CDezirureDovuriDlg.h"
#include "app/ContextMenus.h"
#include "app/DlgIds.h"
#include "app/KeyHelp.h"
#include "controls/CBbListCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/PopupMenus.h"
#include "playback/CPlayer.h"

using app::DlgItem;
using playback::kStatePaused;
using playback::kStateRunning;

bool CDezirureDovuriDlg::HandleKey(const QKeyEvent* key) {
  const int code = key->key();
  const Qt::KeyboardModifiers modifiers = key->modifiers();
  if ((modifiers & Qt::AltModifier) && code == Qt::Key_F4) {
    close();
    return true;
  }
  if (modifiers & Qt::ControlModifier) {
    if (code == Qt::Key_O) OnCommand(app::kIdOpen);
    // The markers on the seek bar.
    if (code == Qt::Key_Right) JumpToMarker(true);
    if (code == Qt::Key_Left) JumpToMarker(false);
    return true;
  }
  const std::int32_t state = player->state();
  const int row = CurrentRow();
  const int count = FileList()->GetItemCount();
  switch (code) {
    case Qt::Key_Escape:
      if (!busy) ToggleLayout();
      return true;
    case Qt::Key_Space:
      if (busy) return true;
      if (state == kStateRunning) {
        PausePlayback();
      } else if (state == kStatePaused) {
        StartPlayback();
      }
      return true;
    case Qt::Key_PageUp:
      if ((state == kStateRunning || state == kStatePaused) && row > 0) OnCommand(app::kIdPrevious);
      return true;
    case Qt::Key_PageDown:
      if ((state == kStateRunning || state == kStatePaused) && row < count - 1) OnCommand(app::kIdNext);
      return true;
    case Qt::Key_Up:
      if (!busy) StepVolume(1);
      return true;
    case Qt::Key_Down:
      if (!busy) StepVolume(-1);
      return true;
    case Qt::Key_B:
      OnCommand(app::kIdBrightnessReset);
      return true;
    case Qt::Key_M:
      OnCommand(app::kIdMute);
      return true;
    case Qt::Key_S:
      OnCommand(app::kIdSpeedReset);
      return true;
    // The export range: start and end marks at the playing position.
    case Qt::Key_I:
      OnCommand(app::kMenuMarkStart);
      return true;
    case Qt::Key_O:
      OnCommand(app::kMenuMarkEnd);
      return true;
    case Qt::Key_BracketLeft:
      StepRate(-1);
      return true;
    case Qt::Key_BracketRight:
      StepRate(1);
      return true;
    // Frame by frame while paused; a held key repeats the step.
    case Qt::Key_Period:
      StepFrame(1);
      return true;
    case Qt::Key_Comma:
      StepFrame(-1);
      return true;
    case Qt::Key_F1:
      ShowKeyHelp();
      return true;
    default:
      return false;
  }
}

bool CDezirureDovuriDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* widget = qobject_cast<QWidget*>(watched);
    // Keys of the main window and its children; the dialogs it opens keep theirs.
    if (widget && widget->window() == this) {
      if (HandleKey(static_cast<QKeyEvent*>(event))) return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CDezirureDovuriDlg::ShowKeyHelp() {
  // A language chosen since it was made gets a new one.
  if (keyHelp && keyHelp->Language() != languageIndex) {
    delete keyHelp;
    keyHelp = nullptr;
  }
  if (!keyHelp) keyHelp = new app::KeyHelpWindow(languageIndex, this);
  keyHelp->show();
  keyHelp->raise();
  keyHelp->activateWindow();
}

void CDezirureDovuriDlg::ShowContextMenu(int popupIndex, const QPoint& globalPos) {
  if (busy) return;
  QMenu* menu = app::BuildPopup(popupIndex, this);
  const QAction* chosen = menu->exec(globalPos);
  const int id = chosen ? chosen->data().toInt() : 0;
  menu->deleteLater();
  if (id != 0) OnCommand(id);
}

void CDezirureDovuriDlg::contextMenuEvent(QContextMenuEvent* event) {
  // Right clicks left of the list column open the playback menu of the language.
  if (layoutMode == 1 && event->pos().x() >= layout.listRect.left) {
    QWidget::contextMenuEvent(event);
    return;
  }
  ShowContextMenu(PlaybackPopupIndex(languageIndex), event->globalPos());
}
