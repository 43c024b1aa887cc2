#pragma once
// The context menus of the main window (menu 149): per language one playback popup
// and one filter popup, at the popup indices the controls ask for. The playback popup
// holds Open, Play/Pause, Previous, Next and the brightness, speed and volume
// sub-menus, then the export's Mark start, Mark end, Export clip... and Export
// evidence package...; the filter popup the four type filters. Items carry the command ids the
// main window dispatches.

#include <QString>
#include <vector>

class QMenu;
class QWidget;

namespace app {

inline constexpr int kMenuOpen = 32810;
inline constexpr int kMenuPlayPause = 32811;
inline constexpr int kMenuPrevious = 32812;
inline constexpr int kMenuNext = 32813;
inline constexpr int kMenuDarken = 32814;
inline constexpr int kMenuBrighten = 32815;
inline constexpr int kMenuBrightnessReset = 32816;
inline constexpr int kMenuFaster = 32817;
inline constexpr int kMenuSlower = 32818;
inline constexpr int kMenuSpeedReset = 32819;
inline constexpr int kMenuVolumeUp = 32820;
inline constexpr int kMenuVolumeDown = 32821;
inline constexpr int kMenuMute = 32822;
inline constexpr int kMenuFilterAll = 32823;
inline constexpr int kMenuFilterNormal = 32824;
inline constexpr int kMenuFilterEvent = 32825;
inline constexpr int kMenuFilterParking = 32826;
// The export's entries, after the playback popup's own.
inline constexpr int kMenuMarkStart = 32827;
inline constexpr int kMenuMarkEnd = 32828;
inline constexpr int kMenuExportClip = 32829;
inline constexpr int kMenuExportPackage = 32830;
inline constexpr int kMenuKeyHelp = 32831;  // the key-help window

inline constexpr int kPopupCount = 24;

// One item of a popup: a command, or a sub-menu with its own items.
struct MenuItem {
  int id = 0;  // 0 for a sub-menu
  QString text;
  std::vector<MenuItem> children;
};

// The items of popup `index` (0 .. 23); empty outside.
std::vector<MenuItem> PopupItems(int index);
// The language whose popup `index` is, and whether it is the playback popup.
int LanguageOfPopup(int index);
bool IsPlaybackPopup(int index);

// A menu of popup `index`, or of the whole table for -1, owned by `parent`; every
// item's data() is its command id.
QMenu* BuildPopup(int index, QWidget* parent);

}  // namespace app
