// Images that carry text and therefore exist once per language: the list filters, the
// channel toggles, the about box's OK button and title, and the map placeholders.

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "res/SkinIds.h"
#include "res/generator/Drawers.h"
#include "res/generator/Style.h"

namespace gen {
namespace {

struct LanguageTexts {
  const char* filters[4];   // all, normal, event, parking
  const char* channels[3];  // front, rear, both
  const char* ok;
  const char* title;
  const char* noData[2];        // heading, explanation
  const char* notConnected[2];  // heading, explanation
};

// By language index.
const LanguageTexts kTexts[skin::kLanguageCount] = {
    {{"All", "Normal", "Event", "Parking"},
     {"Front", "Rear", "Both"},
     "OK",
     "About Tarvo Viewer",
     {"No GPS data", "This recording carries no position data."},
     {"No internet connection", "The map needs an internet connection."}},
    {{"전체", "상시", "이벤트", "주차"},
     {"전방", "후방", "전후방"},
     "확인",
     "Tarvo Viewer 정보",
     {"GPS 데이터 없음", "이 영상에는 위치 정보가 없습니다."},
     {"인터넷 연결 없음", "지도를 보려면 인터넷에 연결해야 합니다."}},
    {{"Alle", "Normal", "Ereignis", "Parken"},
     {"Vorne", "Hinten", "Beide"},
     "OK",
     "Über Tarvo Viewer",
     {"Keine GPS-Daten", "Diese Aufnahme enthält keine Positionsdaten."},
     {"Keine Internetverbindung", "Die Karte benötigt eine Internetverbindung."}},
    {{"全て", "常時", "衝撃", "駐車"},
     {"前方", "後方", "両方"},
     "OK",
     "Tarvo Viewer について",
     {"GPSデータなし", "この録画には位置情報がありません。"},
     {"インターネット未接続", "地図の表示には\u2028インターネット接続が必要です。"}},
    {{"全部", "常规", "事件", "停车"},
     {"前方", "后方", "双路"},
     "确定",
     "关于 Tarvo Viewer",
     {"无 GPS 数据", "此录像不包含位置信息。"},
     {"无网络连接", "地图需要连接互联网。"}},
    {{"Alle", "Normaal", "Incident", "Parkeren"},
     {"Voor", "Achter", "Beide"},
     "OK",
     "Over Tarvo Viewer",
     {"Geen GPS-gegevens", "Deze opname bevat geen positiegegevens."},
     {"Geen internetverbinding", "De kaart heeft een internetverbinding nodig."}},
    {{"Tout", "Normal", "Urgence", "Parking"},
     {"Avant", "Arrière", "Les 2"},
     "OK",
     "À propos de Tarvo Viewer",
     {"Aucune donnée GPS", "Cet enregistrement ne contient aucune position."},
     {"Pas de connexion Internet", "La carte nécessite une connexion Internet."}},
    {{"Tutti", "Normale", "Evento", "Sosta"},
     {"Fronte", "Retro", "Doppia"},
     "OK",
     "Informazioni su Tarvo Viewer",
     {"Nessun dato GPS", "Questa registrazione non contiene dati di posizione."},
     {"Nessuna connessione Internet", "La mappa richiede una connessione Internet."}},
    {{"Wszystko", "Ciągłe", "Alarm", "Parking"},
     {"Przód", "Tył", "Oba"},
     "OK",
     "O programie Tarvo Viewer",
     {"Brak danych GPS", "To nagranie nie zawiera danych o położeniu."},
     {"Brak połączenia z internetem", "Mapa wymaga połączenia z internetem."}},
    {{"Todos", "Normal", "Evento", "Parque"},
     {"Frente", "Trás", "Ambas"},
     "OK",
     "Sobre o Tarvo Viewer",
     {"Sem dados de GPS", "Esta gravação não contém dados de posição."},
     {"Sem conexão com a Internet", "O mapa precisa de conexão com a Internet."}},
    {{"Все", "Обычные", "События", "Стоянка"},
     {"Перед", "Зад", "Оба"},
     "ОК",
     "О программе Tarvo Viewer",
     {"Нет данных GPS", "В этой записи нет данных о местоположении."},
     {"Нет подключения к Интернету", "Для карты нужно подключение к Интернету."}},
    {{"Todos", "Normal", "Evento", "Parking"},
     {"Frontal", "Trasera", "Ambas"},
     "Aceptar",
     "Acerca de Tarvo Viewer",
     {"Sin datos GPS", "Esta grabación no contiene datos de posición."},
     {"Sin conexión a Internet", "El mapa necesita conexión a Internet."}},
};

const LanguageTexts& TextsFor(int language) { return kTexts[std::clamp(language, 0, skin::kLanguageCount - 1)]; }

// Room the pictures leave their labels: a toggle's border and a pixel of air, the OK
// button's rounded ends, the title's logo on the left and a margin on the right.
constexpr int kToggleInset = 3;
constexpr int kToggleMinPixels = 9;
constexpr int kOkInset = 12;
constexpr int kTitleLeft = 36;
constexpr int kTitleRight = 10;
// The placeholders' texts start under the icon and keep a gap between them.
constexpr qreal kPlaceholderTextTop = 92;
constexpr qreal kPlaceholderTextGap = 7;
constexpr qreal kPlaceholderSide = 8;

bool IsCjk(int language) {
  return language == skin::kLanguageKorean || language == skin::kLanguageJapanese || language == skin::kLanguageChinese;
}

// The label font of a group of toggles (the four filters or the three channel
// buttons of one language): one size for the whole group, the largest at which every
// label fits, so that neighbouring buttons never differ in size.
QFont GroupFont(int language, const char* const* texts, int count, int width) {
  const qreal basePx = IsCjk(language) ? 12 : 11;
  QFont font = LanguageFont(language, basePx, false, true);
  for (int i = 0; i < count; ++i) {
    font = FitFont(font, QString::fromUtf8(texts[i]), width - kToggleInset, kToggleMinPixels);
  }
  return font;
}

QFont OkFont(int language, const QString& text) {
  return FitFont(LanguageFont(language, 14, true), text, skin::kOkWidth - kOkInset, 10);
}

QFont TitleFont(int language, const QString& text) {
  return FitFont(LanguageFont(language, 14, true), text, skin::kAboutTitleWidth - kTitleLeft - kTitleRight, 10);
}

// A toggle chip: `background` is what surrounds the button in its window.
QImage Toggle(int language, const QString& text, const QFont& groupFont, int width, int height,
              const QColor& background, ButtonState state) {
  QImage image = NewImage(width, height, background);
  QPainter p(&image);
  Smooth(p);
  QColor fill, border, ink;
  switch (state) {
    case ButtonState::Selected:
      fill = kAccent;
      border = kAccentLight;
      ink = Qt::white;
      break;
    case ButtonState::Disabled:
      fill = QColor(0x17, 0x17, 0x17);
      border = QColor(0x22, 0x22, 0x22);
      ink = QColor(0x4C, 0x4C, 0x4C);
      break;
    default:
      fill = QColor(0x24, 0x24, 0x24);
      border = QColor(0x3A, 0x3A, 0x3A);
      ink = QColor(0xC8, 0xC8, 0xC8);
      break;
  }
  if (state == ButtonState::Selected) {
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, QColor(0x3A, 0xB4, 0xC9));
    gradient.setColorAt(1, QColor(0x24, 0x92, 0xA7));
    p.setPen(QPen(border, 1));
    p.setBrush(gradient);
    p.drawRoundedRect(QRectF(0.5, 0.5, width - 1, height - 1), 4, 4);
  } else {
    RoundedBox(p, QRectF(0, 0, width, height), 4, fill, border);
  }
  // One weight in every state: the selection shows in the colour, and the label keeps
  // its width.
  (void)language;
  p.setFont(groupFont);
  CentredText(p, QRectF(0, 0, width, height), text, ink);
  return image;
}

// Lays `text` out centred in lines no wider than `width`, balancing two lines so that
// no word (or, in CJK, no pair of characters) is left alone on the last line. Returns
// the height used and the number of lines.
struct Wrapped {
  qreal height = 0;
  int lines = 0;
};

Wrapped LayOut(QTextLayout& layout, qreal width) {
  Wrapped result;
  QTextOption option(Qt::AlignHCenter);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  layout.beginLayout();
  qreal y = 0;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    line.setPosition(QPointF(0, y));
    y += line.height() + 1;
    ++result.lines;
  }
  layout.endLayout();
  result.height = y - 1;
  return result;
}

Wrapped WrappedText(QPainter* p, const QString& text, const QFont& font, qreal top, qreal width, qreal left,
                    const QColor& colour) {
  QTextLayout layout(text, font);
  Wrapped result = LayOut(layout, width);
  if (result.lines == 2) {
    // Narrow the lines as far as the text still takes two of them.
    const qreal natural = QFontMetricsF(font).horizontalAdvance(text);
    for (qreal narrower = std::ceil(natural / 2.0); narrower < width; narrower += 4) {
      QTextLayout trial(text, font);
      if (LayOut(trial, narrower).lines == 2) {
        LayOut(layout, narrower);
        left += (width - narrower) / 2.0;
        break;
      }
    }
  }
  if (p != nullptr) {
    p->save();
    p->setPen(colour);
    layout.draw(p, QPointF(left, top));
    p->restore();
  }
  return result;
}

qreal PlaceholderTextWidth() { return skin::kPlaceholderWidth - 2 * kPlaceholderSide; }

struct PlaceholderFonts {
  QFont heading;
  QFont detail;
};

PlaceholderFonts FontsForPlaceholder(int language, const QString& heading, const QString& detail) {
  const qreal textWidth = PlaceholderTextWidth();
  PlaceholderFonts fonts;
  fonts.heading = FitFont(LanguageFont(language, 16, true), heading, textWidth, 11);
  // The explanation takes one line where it fits at a comfortable size, else two.
  fonts.detail = LanguageFont(language, 12, false);
  if (QFontMetricsF(fonts.detail).horizontalAdvance(detail) > textWidth) {
    const QFont oneLine = FitFont(fonts.detail, detail, textWidth, 11);
    if (QFontMetricsF(oneLine).horizontalAdvance(detail) <= textWidth) fonts.detail = oneLine;
  }
  for (int px = fonts.detail.pixelSize(); px >= 9; --px) {
    fonts.detail.setPixelSize(px);
    if (WrappedText(nullptr, detail, fonts.detail, 0, textWidth, 0, Qt::white).lines <= 2) break;
  }
  return fonts;
}

}  // namespace

QImage DrawFilterToggle(int language, Filter filter, ButtonState state) {
  const LanguageTexts& texts = TextsFor(language);
  const QString text = QString::fromUtf8(texts.filters[static_cast<int>(filter)]);
  const QFont font = GroupFont(language, texts.filters, 4, skin::kFilterWidth);
  // The filters sit in the list column's panel.
  return Toggle(language, text, font, skin::kFilterWidth, skin::kFilterHeight, kPanelBg, state);
}

QImage DrawChannelToggle(int language, Channel channel, ButtonState state) {
  const LanguageTexts& texts = TextsFor(language);
  const QString text = QString::fromUtf8(texts.channels[static_cast<int>(channel)]);
  const QFont font = GroupFont(language, texts.channels, 3, skin::kChannelWidth);
  // The channel buttons sit on the window background under the video.
  return Toggle(language, text, font, skin::kChannelWidth, skin::kChannelHeight, kWindowBg, state);
}

QImage DrawOkButton(int language, ButtonState state) {
  QImage image = NewImage(skin::kOkWidth, skin::kOkHeight, kWindowBg);
  QPainter p(&image);
  Smooth(p);
  const bool pressed = state == ButtonState::Pressed;
  QLinearGradient fill(0, 0, 0, skin::kOkHeight);
  fill.setColorAt(0, pressed ? QColor(0x1B, 0x6C, 0x7B) : QColor(0x3A, 0xB4, 0xC9));
  fill.setColorAt(1, pressed ? QColor(0x1F, 0x7A, 0x8B) : QColor(0x24, 0x92, 0xA7));
  p.setPen(QPen(pressed ? kAccent : kAccentLight, 1));
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(0.5, 0.5, skin::kOkWidth - 1, skin::kOkHeight - 1), 6, 6);
  const QString text = QString::fromUtf8(TextsFor(language).ok);
  p.setFont(OkFont(language, text));
  CentredText(p, QRectF(0, pressed ? 1 : 0, skin::kOkWidth, skin::kOkHeight), text, Qt::white);
  return image;
}

QImage DrawAboutTitle(int language) {
  const int w = skin::kAboutTitleWidth, h = skin::kAboutTitleHeight;
  QImage image = NewImage(w, h, kWindowBg);
  QPainter p(&image);
  Smooth(p);
  QLinearGradient band(0, 0, w, 0);
  band.setColorAt(0, QColor(0x22, 0x22, 0x22));
  band.setColorAt(1, QColor(0x12, 0x12, 0x12));
  p.fillRect(QRect(0, 0, w, h), band);
  p.fillRect(QRect(0, 0, 3, h), kAccent);
  p.fillRect(QRect(0, h - 1, w, 1), QColor(0x32, 0x32, 0x32));
  DrawIcon(p, Icon::Logo, QRectF(10, 5, 18, 18), kAccentLight, 1.4);
  const QString text = QString::fromUtf8(TextsFor(language).title);
  p.setFont(TitleFont(language, text));
  const QFontMetricsF metrics(p.font());
  qreal cap = metrics.capHeight();
  if (cap <= 0) cap = metrics.ascent() * 0.72;
  p.setPen(QColor(0xF2, 0xF2, 0xF2));
  p.drawText(QPointF(kTitleLeft, std::round((h + cap) / 2.0)), text);
  return image;
}

QImage DrawPlaceholder(int language, bool noData) {
  const int w = skin::kPlaceholderWidth, h = skin::kPlaceholderHeight;
  QImage image = NewImage(w, h, Qt::transparent);
  QPainter p(&image);
  Smooth(p);
  const LanguageTexts& texts = TextsFor(language);
  const QString heading = QString::fromUtf8(noData ? texts.noData[0] : texts.notConnected[0]);
  const QString detail = QString::fromUtf8(noData ? texts.noData[1] : texts.notConnected[1]);

  // Icon in a soft disc; the slash cuts a gap through the icon's lines.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x00, 0x00, 0x00, 60));
  p.drawEllipse(QPointF(w / 2.0, 44), 34, 34);
  const QRectF iconBox(w / 2.0 - 22, 22, 44, 44);
  QImage icon = NewImage(w, h, Qt::transparent);
  {
    QPainter ip(&icon);
    Smooth(ip);
    DrawIcon(ip, noData ? Icon::MapPinOff : Icon::GlobeOff, iconBox, QColor(0xB4, 0xB4, 0xB4), 2.4);
    ip.setCompositionMode(QPainter::CompositionMode_Clear);
    DrawSlash(ip, iconBox, Qt::black, 6.5);
  }
  p.drawImage(0, 0, icon);
  DrawSlash(p, iconBox, QColor(0xE0, 0x6C, 0x5E), 2.6);

  const PlaceholderFonts fonts = FontsForPlaceholder(language, heading, detail);
  const Wrapped head = WrappedText(&p, heading, fonts.heading, kPlaceholderTextTop, PlaceholderTextWidth(),
                                   kPlaceholderSide, QColor(0xF0, 0xF0, 0xF0));
  WrappedText(&p, detail, fonts.detail, kPlaceholderTextTop + head.height + kPlaceholderTextGap, PlaceholderTextWidth(),
              kPlaceholderSide, QColor(0xB8, 0xB8, 0xB8));
  return image;
}

std::vector<TextFit> LanguageTextFits(int language) {
  const LanguageTexts& texts = TextsFor(language);
  std::vector<TextFit> fits;
  auto add = [&fits](const char* picture, const QString& text, const QFont& font, qreal room) {
    fits.push_back({picture, text, font.pixelSize(), QFontMetricsF(font).horizontalAdvance(text), room});
  };
  const QFont filterFont = GroupFont(language, texts.filters, 4, skin::kFilterWidth);
  for (const char* filter : texts.filters) {
    add("filter button", QString::fromUtf8(filter), filterFont, skin::kFilterWidth - kToggleInset);
  }
  const QFont channelFont = GroupFont(language, texts.channels, 3, skin::kChannelWidth);
  for (const char* channel : texts.channels) {
    add("channel button", QString::fromUtf8(channel), channelFont, skin::kChannelWidth - kToggleInset);
  }
  const QString ok = QString::fromUtf8(texts.ok);
  add("about box OK button", ok, OkFont(language, ok), skin::kOkWidth - kOkInset);
  const QString title = QString::fromUtf8(texts.title);
  add("about box title", title, TitleFont(language, title), skin::kAboutTitleWidth - kTitleLeft - kTitleRight);
  // The placeholders wrap their texts to the width, so it is the height that can run out.
  for (const auto* pair : {texts.noData, texts.notConnected}) {
    const QString heading = QString::fromUtf8(pair[0]);
    const QString detail = QString::fromUtf8(pair[1]);
    const PlaceholderFonts fonts = FontsForPlaceholder(language, heading, detail);
    const Wrapped head = WrappedText(nullptr, heading, fonts.heading, 0, PlaceholderTextWidth(), 0, Qt::white);
    const Wrapped body = WrappedText(nullptr, detail, fonts.detail, 0, PlaceholderTextWidth(), 0, Qt::white);
    const qreal bottom = kPlaceholderTextTop + head.height + kPlaceholderTextGap + body.height;
    fits.push_back({"map placeholder (height)", heading + QStringLiteral(" / ") + detail, fonts.detail.pixelSize(),
                    bottom, static_cast<qreal>(skin::kPlaceholderHeight)});
  }
  return fits;
}

}  // namespace gen
