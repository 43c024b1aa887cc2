#include "app/ContextMenus.h"

#include <QMenu>
#include <array>

#include "controls/PopupMenus.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"

namespace app {
namespace {

// The words of one language's popups.
struct MenuWords {
  const char* open;
  const char* playPause;
  const char* previous;
  const char* next;
  const char* brightness;
  const char* darken;
  const char* brighten;
  const char* speed;
  const char* faster;
  const char* slower;
  const char* normal;  // "default" of brightness and speed
  const char* volume;
  const char* up;
  const char* down;
  const char* mute;
  const char* all;
  const char* normalType;
  const char* event;
  const char* parking;
  const char* keys;  // the key-help window: string 428 of the language
};

// By language index: English, Korean, German, Japanese, Chinese, Dutch, French,
// Italian, Polish, Portuguese, Russian, Spanish.
const std::array<MenuWords, 12> kWords = {{
    {"Open",   "Play/Pause", "Previous", "Next",          "Brightness", "Darker", "Brighter",    "Play speed",
     "Faster", "Slower",     "Default",  "Volume",        "Up",         "Down",   "Mute on/off", "All",
     "Normal", "Event",      "Parking",  "Keys and mouse"},
    {"열기",   "재생/일시정지", "이전", "다음", "밝기", "어둡게",           "밝게", "재생 속도", "빠르게",
     "느리게", "기본값",        "볼륨", "크게", "작게", "음소거 켜기/끄기", "전체", "상시",      "이벤트",
     "주차",   "키와 마우스"},
    {"Öffnen",   "Wiedergabe/Pause", "Zurück",          "Weiter",    "Helligkeit",
     "Dunkler",  "Heller",           "Geschwindigkeit", "Schneller", "Langsamer",
     "Standard", "Lautstärke",       "Lauter",          "Leiser",    "Ton aus/an",
     "Alle",     "Normal",           "Ereignis",        "Parken",    "Tasten und Maus"},
    {"開く",   "再生/一時停止", "前へ",     "次へ",   "明るさ",
     "暗く",   "明るく",        "再生速度", "速く",   "遅く",
     "標準",   "音量",          "上げる",   "下げる", "ミュート オン/オフ",
     "すべて", "常時",          "イベント", "駐車",   "キーとマウス"},
    {"打开", "播放/暂停", "上一个", "下一个", "亮度",       "变暗", "变亮", "播放速度", "加快", "减慢",
     "默认", "音量",      "增大",   "减小",   "静音 开/关", "全部", "常规", "事件",     "停车", "按键和鼠标"},
    {"Openen",          "Afspelen/Pauze", "Vorige",    "Volgende",    "Helderheid", "Donkerder",      "Lichter",
     "Afspeelsnelheid", "Sneller",        "Langzamer", "Standaard",   "Volume",     "Harder",         "Zachter",
     "Dempen aan/uit",  "Alle",           "Normaal",   "Gebeurtenis", "Parkeren",   "Toetsen en muis"},
    {"Ouvrir",      "Lecture/Pause", "Précédent",          "Suivant",     "Luminosité",
     "Plus sombre", "Plus clair",    "Vitesse de lecture", "Plus rapide", "Plus lent",
     "Par défaut",  "Volume",        "Plus fort",          "Moins fort",  "Muet oui/non",
     "Tout",        "Normal",        "Événement",          "Parking",     "Touches et souris"},
    {"Apri",       "Riproduci/Pausa", "Precedente", "Successivo",  "Luminosità", "Più scuro",    "Più chiaro",
     "Velocità",   "Più veloce",      "Più lento",  "Predefinito", "Volume",     "Alza",         "Abbassa",
     "Muto sì/no", "Tutti",           "Normale",    "Evento",      "Parcheggio", "Tasti e mouse"},
    {"Otwórz",   "Odtwórz/Pauza", "Poprzedni",       "Następny",
     "Jasność",  "Ciemniej",      "Jaśniej",         "Prędkość odtwarzania",
     "Szybciej", "Wolniej",       "Domyślnie",       "Głośność",
     "Głośniej", "Ciszej",        "Wycisz wł./wył.", "Wszystkie",
     "Normalne", "Zdarzenie",     "Parking",         "Klawisze i mysz"},
    {"Abrir",       "Reproduzir/Pausa", "Anterior",   "Seguinte",       "Brilho",
     "Mais escuro", "Mais claro",       "Velocidade", "Mais rápido",    "Mais lento",
     "Predefinido", "Volume",           "Aumentar",   "Diminuir",       "Silêncio lig./desl.",
     "Todos",       "Normal",           "Evento",     "Estacionamento", "Teclas e rato"},
    {"Открыть",         "Воспроизведение/пауза",
     "Предыдущая",      "Следующая",
     "Яркость",         "Темнее",
     "Светлее",         "Скорость",
     "Быстрее",         "Медленнее",
     "По умолчанию",    "Громкость",
     "Громче",          "Тише",
     "Звук вкл./выкл.", "Все",
     "Обычные",         "События",
     "Парковка",        "Клавиши и мышь"},
    {"Abrir",          "Reproducir/Pausa", "Anterior",  "Siguiente",    "Brillo",
     "Más oscuro",     "Más claro",        "Velocidad", "Más rápido",   "Más lento",
     "Predeterminado", "Volumen",          "Subir",     "Bajar",        "Silencio sí/no",
     "Todos",          "Normal",           "Evento",    "Aparcamiento", "Teclas y ratón"},
}};

QString Text(const char* words, const char* shortcut = nullptr) {
  QString text = QString::fromUtf8(words);
  if (shortcut) text += QStringLiteral("\t") + QString::fromLatin1(shortcut);
  return text;
}

// String `number` of language `language`'s library, whichever language is active.
QString LanguageText(int language, int number) {
  ViewerSettings settings;
  settings.language = language;
  LoadLanguageLibrary(settings);
  std::string text;
  LookupLanguageString(settings.languageLibrary, number, text);
  FreeLanguageLibrary(settings);
  return QString::fromStdString(text);
}

QString WithShortcut(QString text, const char* shortcut) {
  if (shortcut) text += QStringLiteral("\t") + QString::fromLatin1(shortcut);
  return text;
}

std::vector<MenuItem> PlaybackItems(const MenuWords& w, int language) {
  return {
      {kMenuOpen, Text(w.open, "Ctrl+O"), {}},
      {kMenuPlayPause, Text(w.playPause, "Space"), {}},
      {kMenuPrevious, Text(w.previous, "Page Up"), {}},
      {kMenuNext, Text(w.next, "Page Down"), {}},
      {0,
       Text(w.brightness),
       {{kMenuDarken, Text(w.darken), {}},
        {kMenuBrighten, Text(w.brighten), {}},
        {kMenuBrightnessReset, Text(w.normal, "B"), {}}}},
      {0,
       Text(w.speed),
       {{kMenuFaster, Text(w.faster), {}},
        {kMenuSlower, Text(w.slower), {}},
        {kMenuSpeedReset, Text(w.normal, "S"), {}}}},
      {0,
       Text(w.volume),
       {{kMenuVolumeUp, Text(w.up, "Up"), {}},
        {kMenuVolumeDown, Text(w.down, "Down"), {}},
        {kMenuMute, Text(w.mute, "M"), {}}}},
      {kMenuMarkStart, WithShortcut(LanguageText(language, kStrMenuMarkStart), "I"), {}},
      {kMenuMarkEnd, WithShortcut(LanguageText(language, kStrMenuMarkEnd), "O"), {}},
      {kMenuExportClip, LanguageText(language, kStrMenuExportClip), {}},
      {kMenuExportPackage, LanguageText(language, kStrMenuExportPackage), {}},
      {kMenuKeyHelp, Text(w.keys, "F1"), {}},
  };
}

std::vector<MenuItem> FilterItems(const MenuWords& w) {
  return {{kMenuFilterAll, Text(w.all), {}},
          {kMenuFilterNormal, Text(w.normalType), {}},
          {kMenuFilterEvent, Text(w.event), {}},
          {kMenuFilterParking, Text(w.parking), {}}};
}

void AddItems(QMenu* menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    if (item.id == kMenuMarkStart) menu->addSeparator();
    if (item.id == 0) {
      AddItems(menu->addMenu(item.text), item.children);
    } else {
      menu->addAction(item.text)->setData(item.id);
    }
  }
}

}  // namespace

int LanguageOfPopup(int index) {
  for (int language = 0; language < 12; ++language) {
    const int playback = PlaybackPopupIndex(language);
    if (index == playback || index == playback + 1) return language;
  }
  return -1;
}

bool IsPlaybackPopup(int index) {
  const int language = LanguageOfPopup(index);
  return language >= 0 && PlaybackPopupIndex(language) == index;
}

std::vector<MenuItem> PopupItems(int index) {
  const int language = LanguageOfPopup(index);
  if (language < 0) return {};
  const MenuWords& words = kWords[static_cast<std::size_t>(language)];
  return IsPlaybackPopup(index) ? PlaybackItems(words, language) : FilterItems(words);
}

QMenu* BuildPopup(int index, QWidget* parent) {
  auto* menu = new QMenu(parent);
  menu->setObjectName(QStringLiteral("popup%1").arg(index));
  if (index >= 0) {
    AddItems(menu, PopupItems(index));
    return menu;
  }
  // The whole table: every popup as a sub-menu, in table order.
  for (int i = 0; i < kPopupCount; ++i) {
    const std::vector<MenuItem> items = PopupItems(i);
    if (items.empty()) continue;
    AddItems(menu->addMenu(QString::number(i)), items);
  }
  return menu;
}

}  // namespace app
