// Every text the viewer's text controls, list headings and type labels draw, in each of
// the twelve languages, at the smallest size its window allows: a label cut off at the right edge
// of its box (or a caption centred off its left edge) fails here with the language, the
// text and the pixels it is over. One picture per language shows all of them.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionComboBox>
#include <QTextStream>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "app/CAboutDlg.h"
#include "app/DlgIds.h"
#include "app/DlgLayout.h"
#include "controls/CBbListCtrl.h"
#include "controls/CBbSimpleSliderCtrl.h"
#include "controls/CBbTextCtrl.h"
#include "controls/CSkinHeaderCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/ControlId.h"
#include "controls/SkinFont.h"
#include "device/CSettingDlg.h"
#include "map/CMapDlg.h"
#include "res/SkinIds.h"
#include "res/SkinResources.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"
#include "settings/ViewerSettings.h"
#include "sources/CFileInfoView.h"
#include "sources/CFileLoadDlg.h"
#include "sources/FileInformation.h"
#include "sources/RecordingList.h"

namespace {

using app::DlgItem;

constexpr int kLanguageCount = 12;
constexpr std::array<const char*, kLanguageCount> kLanguageNames = {"English", "Korean",     "German",  "Japanese",
                                                                    "Chinese", "Dutch",      "French",  "Italian",
                                                                    "Polish",  "Portuguese", "Russian", "Spanish"};

// The widest values the controls show in use: three-digit degrees with minus signs, a
// full hour of two-digit minutes, the slider's top speed and the G-sensor's full scale.
constexpr float kWidestLatitude = -33.868820f;
constexpr float kWidestLongitude = -151.209290f;
constexpr int kWidestTimeMs = 59 * 60000 + 59 * 1000;
constexpr double kWidestG = 8.0;
constexpr int kSpeedSliderTop = 100;

// --- where the controls sit -------------------------------------------------------

app::DlgLayout MinimumMainLayout() {
  app::LayoutInput input;
  input.width = app::kMinimumWidth;
  input.height = app::kMinimumHeight;
  input.layoutMode = 1;
  input.mapEmbedded = true;
  return app::ComputeLayout(input);
}

QRect ToQRect(const app::LayoutRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

QRect MainRect(DlgItem item) {
  const QRect client(0, 0, app::kMinimumWidth, app::kMinimumHeight);
  return ToQRect(MinimumMainLayout()[item].rect).intersected(client);
}

// A text control as its window places it: the part of it the window shows (a control
// reaching past the window's edge has only that part to draw in) and the kind it has.
struct Placed {
  QRect box;
  int kind = 0;
};

Placed PlacedIn(const QWidget& window, int id) {
  const auto* text = FindControl<CBbTextCtrl>(&window, id);
  if (text == nullptr) return {};
  return {text->geometry().intersected(window.rect()), text->kind};
}

// The loading dialog sizes its message, and picks its kind, when it runs: for the
// language of the settings and the dialog's mode.
Placed LoadingMessage(int language, int mode) {
  EXPECT_EQ(TheViewerSettings().language, language);
  CFileLoadDlg dialog(nullptr);
  dialog.mode = mode;
  dialog.delayOverrideMs = 60 * 60 * 1000;  // measured, never waited for
  dialog.Run();
  const Placed placed = PlacedIn(dialog, CFileLoadDlg::kMessageId);
  dialog.hide();
  return placed;
}

Placed InMapDlg(int id) {
  CMapDlg dialog(nullptr);
  dialog.resize(dialog.minimumSize());
  dialog.ApplyLayout();
  return PlacedIn(dialog, id);
}

// The card information view at its narrow size (no User.bin beside the tests).
Placed InInfoView(int id) {
  const CFileInfoView view(fileinfo::FileFigures{}, 0, nullptr, std::filesystem::path(TARVO_BINARY_DIR) / "no-marker");
  return PlacedIn(view, id);
}

Placed InAboutBox(int language, int id) {
  CAboutDlg about(language, nullptr, nullptr);
  return PlacedIn(about, id);
}

// Every text control of the viewer, with the code its geometry is taken from. Stacked
// kinds draw lines one under another, so their height counts as well as their width.
struct TextPlace {
  const char* where;
  int id;
  int kind;
  bool stacked;
  Placed (*place)(int language);
};

const TextPlace kTextPlaces[] = {
    {"main window time (app::ComputeLayout, minimum size)", app::kIdTimeText, app::kTextKindTime, false,
     [](int) {
       return Placed{MainRect(DlgItem::TimeText), app::kTextKindTime};
     }},
    {"main window G-sensor (app::ComputeLayout, minimum size)", app::kIdGsensorText, app::kTextKindGsensor, false,
     [](int) {
       return Placed{MainRect(DlgItem::GsensorText), app::kTextKindGsensor};
     }},
    {"main window map caption (app::ComputeLayout, minimum size)", app::kIdMapCaption, app::kTextKindMapCaption, false,
     [](int) {
       return Placed{MainRect(DlgItem::MapCaption), app::kTextKindMapCaption};
     }},
    {"main window coordinates (app::ComputeLayout, minimum size)", app::kIdCoordText, app::kTextKindCoordinates, false,
     [](int) {
       return Placed{MainRect(DlgItem::CoordText), app::kTextKindCoordinates};
     }},
    {"main window list caption (app::ComputeLayout, minimum size)", app::kIdListCaption, app::kTextKindListCaption,
     false,
     [](int) {
       return Placed{MainRect(DlgItem::ListCaption), app::kTextKindListCaption};
     }},
    {"loading dialog after Open (CFileLoadDlg::Run, WidthFor)", CFileLoadDlg::kMessageId,
     CFileLoadDlg::kTextStyleLoading, true,
     [](int language) { return LoadingMessage(language, CFileLoadDlg::kModeOpen); }},
    {"loading dialog start-up notice (CFileLoadDlg::Run, WidthFor)", CFileLoadDlg::kMessageId,
     CFileLoadDlg::kTextStyleStartup, true,
     [](int language) { return LoadingMessage(language, CFileLoadDlg::kModeStartup); }},
    {"map window caption (CMapDlg::ApplyLayout, minimum size)", CMapDlg::kIdCaptionText, CMapDlg::kCaptionTextKind,
     false, [](int) { return InMapDlg(CMapDlg::kIdCaptionText); }},
    {"map window coordinates (CMapDlg::ApplyLayout, minimum size)", CMapDlg::kIdCoordText, CMapDlg::kCoordTextKind,
     false, [](int) { return InMapDlg(CMapDlg::kIdCoordText); }},
    {"about box name (CAboutDlg)", CAboutDlg::kIdName, 8, false,
     [](int language) { return InAboutBox(language, CAboutDlg::kIdName); }},
    {"about box version (CAboutDlg)", CAboutDlg::kIdVersion, 9, false,
     [](int language) { return InAboutBox(language, CAboutDlg::kIdVersion); }},
    {"card information heading (CFileInfoView)", CFileInfoView::kIdHeading, CFileInfoView::kKindHeading, false,
     [](int) { return InInfoView(CFileInfoView::kIdHeading); }},
    {"card information total (CFileInfoView)", CFileInfoView::kIdTotal, CFileInfoView::kKindTotal, false,
     [](int) { return InInfoView(CFileInfoView::kIdTotal); }},
    {"card information normal (CFileInfoView)", CFileInfoView::kIdNormal, CFileInfoView::kKindNormal, false,
     [](int) { return InInfoView(CFileInfoView::kIdNormal); }},
    {"card information event (CFileInfoView)", CFileInfoView::kIdEvent, CFileInfoView::kKindEvent, false,
     [](int) { return InInfoView(CFileInfoView::kIdEvent); }},
    {"card information parking (CFileInfoView)", CFileInfoView::kIdParking, CFileInfoView::kKindParking, false,
     [](int) { return InInfoView(CFileInfoView::kIdParking); }},
};

// --- measuring ----------------------------------------------------------------------

// A run's extent as the control paints it: the text cell's top-left corner at `at`, the
// pen's advance across, and the glyphs' ink from one ascent down to the baseline.
struct RunExtent {
  int left = 0;
  int right = 0;
  int top = 0;
  int bottom = 0;
};

RunExtent Extent(const CBbTextCtrl::TextRun& run) {
  const QFontMetrics metrics(skin::SkinFont(run.fontHeight));
  const int baseline = run.at.y() + metrics.ascent();
  const QRect ink = metrics.tightBoundingRect(run.text).translated(run.at.x(), baseline);
  RunExtent extent;
  extent.left = run.at.x();
  extent.right = run.at.x() + metrics.horizontalAdvance(run.text);
  extent.top = ink.top();
  extent.bottom = ink.bottom() + 1;
  return extent;
}

// Cards of 100 GiB and more are not listed, so "99.9GB" is the widest size shown.
constexpr std::uint64_t kLargestCardKiB = 104800000;

void FillWidestValues(CBbTextCtrl& text) {
  text.positionMs = kWidestTimeMs;
  text.durationMs = kWidestTimeMs;
  text.speedFactor = CBbSimpleSliderCtrl::SpeedFactor(kSpeedSliderTop);
  text.hasGsensor = true;
  text.gX = text.gY = text.gZ = kWidestG;
  text.latitude = kWidestLatitude;
  text.longitude = kWidestLongitude;
  // Four-digit counts and the largest card the settings dialog lists.
  const QString count = QString::fromStdString(fileinfo::FormatCount(9999));
  const QString size = QString::fromStdString(fileinfo::FormatGiB(kLargestCardKiB));
  text.countAll = text.countNormal = text.countEvent = text.countParking = count;
  text.sizeAll = text.sizeNormal = text.sizeEvent = text.sizeParking = size;
}

// The tightest run of one control in one language, for the figures: the run with the
// least room left before its box's edge or the next run on its line.
struct Figure {
  QString text;
  int right = 0;
  int limit = 0;
  int Margin() const { return limit - right; }
};

std::string Utf8(const QString& text) { return text.toStdString(); }

// Checks every run of `text` (sized as its window sizes it) against its box and its
// neighbours on the same line.
Figure CheckRuns(const CBbTextCtrl& text, const TextPlace& place, int language) {
  const std::vector<CBbTextCtrl::TextRun> runs = text.Layout();
  const char* name = kLanguageNames[static_cast<std::size_t>(language)];
  EXPECT_FALSE(runs.empty()) << name << " kind " << place.kind << ": nothing drawn";
  Figure tightest;
  bool first = true;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const CBbTextCtrl::TextRun& run = runs[i];
    const RunExtent extent = Extent(run);
    const std::string label = std::string(name) + ", kind " + std::to_string(place.kind) + " (" + place.where +
                              "), \"" + Utf8(run.text) + "\"";
    EXPECT_LE(extent.right, text.width())
        << label << " is " << extent.right - text.width() << " px wider than its " << text.width() << " px box";
    EXPECT_GE(extent.left, 0) << label << " starts " << -extent.left << " px left of its box";
    if (place.stacked) {
      EXPECT_LE(extent.bottom, text.height())
          << label << " ends " << extent.bottom - text.height() << " px below its " << text.height() << " px box";
      EXPECT_GE(extent.top, 0) << label << " starts " << -extent.top << " px above its box";
    }
    int limit = text.width();
    if (i + 1 < runs.size() && runs[i + 1].at.y() == run.at.y()) {
      limit = Extent(runs[i + 1]).left;
      EXPECT_LE(extent.right, limit) << label << " runs " << extent.right - limit << " px into \""
                                     << Utf8(runs[i + 1].text) << "\"";
    }
    if (first || limit - extent.right < tightest.Margin()) {
      tightest = {run.text, extent.right, limit};
      first = false;
    }
  }
  return tightest;
}

// --- the language of the process ----------------------------------------------------

// Switches the process-wide language (what the controls read) and restores it after.
class ProcessLanguage {
 public:
  explicit ProcessLanguage(int language) : previous(TheViewerSettings().language) { Select(language); }
  ~ProcessLanguage() { Select(previous); }
  ProcessLanguage(const ProcessLanguage&) = delete;
  ProcessLanguage& operator=(const ProcessLanguage&) = delete;
  bool Loaded() const { return TheViewerSettings().languageLibrary != nullptr; }

 private:
  static void Select(int language) {
    ViewerSettings& settings = TheViewerSettings();
    settings.language = language;
    LoadLanguageLibrary(settings);
  }
  int previous;
};

// The file list as wide as the main window has it at its minimum size (only as high as
// `height`), headed in the current language and holding one row of each recording type.
CBbListCtrl* MakeFileList(QWidget* owner, QPoint at, int height) {
  auto* list = new CBbListCtrl(app::kIdFileList, owner);
  list->setGeometry(at.x(), at.y(), MainRect(DlgItem::FileList).width(), height);
  list->SetColumnHeadings();
  int row = 0;
  for (int label : {kStrLabelNormal, kStrLabelEvent, kStrLabelParking, kStrLabelMotion}) {
    const std::string type = LanguageString(label);
    list->InsertRow(row, RecordingRow{std::to_string(row + 1), "2024-12-31", "23:59:59", type, "/r.avi", "r.avi"});
    ++row;
  }
  return list;
}

QString ShotFolder() {
  const QString folder = QString::fromStdString((apptest::ScreenshotFolder() / "text-fit").string());
  QDir().mkpath(folder);
  return folder;
}

// One picture per language: each box framed in red so that a cut-off text shows.
class Gallery : public QWidget {
 public:
  Gallery() { setAttribute(Qt::WA_OpaquePaintEvent); }
  void Frame(const QRect& box, const QString& caption, int captionGap = 0) {
    frames.push_back({box, caption, captionGap});
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0x30, 0x30, 0x30));
    p.setFont(skin::SkinFont(skin::kFontSmall));
    for (const Framed& frame : frames) {
      p.setPen(QColor(0xE0, 0x40, 0x40));
      p.drawRect(frame.box.adjusted(-1, -1, 0, 0));
      p.setPen(QColor(0x90, 0x90, 0x90));
      p.drawText(frame.box.right() + frame.captionGap + 12, frame.box.top() + 14, frame.caption);
    }
  }

 private:
  struct Framed {
    QRect box;
    QString caption;
    int captionGap;
  };
  std::vector<Framed> frames;
};

class TextFitTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { apptest::EnsureApplication(); }
};

// --- the text controls --------------------------------------------------------------

TEST_F(TextFitTest, EveryTextControlFitsItsBoxInEveryLanguage) {
  QString figures;
  QTextStream out(&figures);
  out << "language\tcontrol\tkind\tbox width\trun end\tlimit\tmargin\ttightest run\n";
  for (int language = 0; language < kLanguageCount; ++language) {
    ProcessLanguage selected(language);
    ASSERT_TRUE(selected.Loaded()) << kLanguageNames[static_cast<std::size_t>(language)] << " library not found";
    Gallery gallery;
    int y = 10;
    int widestBox = 0;
    for (const TextPlace& place : kTextPlaces) {
      const Placed placed = place.place(language);
      const QRect& box = placed.box;
      ASSERT_FALSE(box.isEmpty()) << place.where;
      EXPECT_EQ(placed.kind, place.kind) << place.where;
      auto* text = new CBbTextCtrl(place.id, place.kind, &gallery);
      FillWidestValues(*text);
      text->setGeometry(10, y, box.width(), box.height());
      gallery.Frame(text->geometry(),
                    QStringLiteral("%1 (kind %2)").arg(QString::fromUtf8(place.where)).arg(place.kind));
      const Figure tightest = CheckRuns(*text, place, language);
      out << kLanguageNames[static_cast<std::size_t>(language)] << '\t' << place.where << '\t' << place.kind << '\t'
          << box.width() << '\t' << tightest.right << '\t' << tightest.limit << '\t' << tightest.Margin() << '\t'
          << tightest.text << '\n';
      widestBox = std::max(widestBox, box.width());
      y += box.height() + 8;
    }
    // The file list and the language's toggle pictures, for the eye.
    const CBbListCtrl* list =
        MakeFileList(&gallery, QPoint(10, y), CSkinHeaderCtrl::kHeight + 4 * CBbListCtrl::kRowHeight);
    // The scroll bar takes the rest of the list column, right of the list.
    const int barWidth = MinimumMainLayout().listRect.Width() - list->width();
    gallery.Frame(list->geometry(), QStringLiteral("file list (minimum width)"), barWidth);
    y += list->height() + 8;
    const skin::LanguageSkin& pictures = skin::LanguageSkinFor(language);
    int x = 10;
    for (int id : {pictures.filterAll[0], pictures.filterNormal[0], pictures.filterEvent[0], pictures.filterParking[0],
                   pictures.front[0], pictures.rear[0], pictures.both[0]}) {
      auto* picture = new QLabel(&gallery);
      picture->setPixmap(QPixmap(skin::SkinResourcePath(id)));
      picture->setGeometry(QRect(QPoint(x, y), picture->pixmap().size()));
      x += picture->width() + 4;
    }
    y += skin::kFilterHeight + 8;
    gallery.resize(widestBox + 420, y + 2);
    gallery.show();
    QCoreApplication::processEvents();
    const QString path =
        ShotFolder() + QStringLiteral("/%1.png").arg(kLanguageNames[static_cast<std::size_t>(language)]);
    EXPECT_TRUE(gallery.grab().save(path)) << Utf8(path);
  }
  QFile file(ShotFolder() + QStringLiteral("/figures.tsv"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(figures.toUtf8());
}

TEST_F(TextFitTest, BoxesAreTheWindowsOwnAtTheirMinimumSizes) {
  // Guards the table itself: a geometry taken from the wrong place would make every
  // fit above meaningless.
  EXPECT_EQ(MainRect(DlgItem::CoordText).width(), 270);
  EXPECT_EQ(MainRect(DlgItem::ListCaption).size(), QSize(92, 20));
  EXPECT_EQ(MainRect(DlgItem::TimeText).size(), QSize(545, 20));
  // 300 wide from x = 5 in a window 300 wide: the window shows 295 of it.
  EXPECT_EQ(InMapDlg(CMapDlg::kIdCoordText).box.size(), QSize(295, 20));
  EXPECT_EQ(InMapDlg(CMapDlg::kIdCaptionText).box.size(), QSize(60, 20));
  EXPECT_EQ(InAboutBox(0, CAboutDlg::kIdVersion).box.size(), QSize(200, 20));
  for (int language : {0, 2, 6}) {
    ProcessLanguage selected(language);
    EXPECT_EQ(LoadingMessage(language, CFileLoadDlg::kModeStartup).box.size(),
              QSize(CFileLoadDlg::WidthFor(language), 80));
  }
}

// The columns of the control that its paint lit, on its own background.
std::pair<int, int> PaintedColumns(CBbTextCtrl& text) {
  const QImage image = text.grab().toImage();
  const QRgb background = skin::ToColor(text.backgroundColour).rgb();
  int first = image.width();
  int last = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == background) continue;
      first = std::min(first, x);
      last = std::max(last, x);
    }
  }
  return {first, last + 1};
}

TEST_F(TextFitTest, MeasuredExtentIsWhereThePaintEnds) {
  // The measure must be the paint's own: in another font (or without the CJK fallback)
  // the lit pixels would end somewhere else than the measured advance.
  struct Sample {
    int language;
    int kind;
    int width;
  };
  for (const Sample& sample : {Sample{0, app::kTextKindCoordinates, 600}, Sample{2, app::kTextKindCoordinates, 600},
                               Sample{10, app::kTextKindListCaption, 200}, Sample{3, app::kTextKindListCaption, 200},
                               Sample{1, app::kTextKindListCaption, 200}, Sample{4, app::kTextKindMapCaption, 200}}) {
    ProcessLanguage selected(sample.language);
    ASSERT_TRUE(selected.Loaded());
    CBbTextCtrl text(app::kIdCoordText, sample.kind, nullptr);
    FillWidestValues(text);
    text.resize(sample.width, 20);
    const std::vector<CBbTextCtrl::TextRun> runs = text.Layout();
    ASSERT_EQ(runs.size(), 1u);
    const RunExtent extent = Extent(runs[0]);
    const auto [first, last] = PaintedColumns(text);
    const std::string label =
        std::string(kLanguageNames[static_cast<std::size_t>(sample.language)]) + " \"" + Utf8(runs[0].text) + "\"";
    EXPECT_GE(first, extent.left) << label;
    EXPECT_LE(last, extent.right) << label;
    // Only the last glyph's own side bearing lies between its ink and the pen.
    EXPECT_GE(last, extent.right - 3) << label;
  }
}

// --- the file list ------------------------------------------------------------------

TEST_F(TextFitTest, FileListHeadingsAndTypeLabelsFitTheirColumns) {
  const QFontMetrics metrics(skin::SkinFont(skin::kFontNormal));
  QString figures;
  QTextStream out(&figures);
  out << "language\ttext of\troom\tneeded\tmargin\ttext\n";
  for (int language = 0; language < kLanguageCount; ++language) {
    ProcessLanguage selected(language);
    ASSERT_TRUE(selected.Loaded());
    const char* name = kLanguageNames[static_cast<std::size_t>(language)];
    QWidget owner;
    owner.resize(MainRect(DlgItem::FileList).size() + QSize(40, 20));
    CBbListCtrl* list = MakeFileList(&owner, QPoint(10, 10), MainRect(DlgItem::FileList).height());
    owner.show();
    QCoreApplication::processEvents();
    // The list is narrower than its columns: the type column ends at the list's edge.
    const int visibleRight = list->viewport()->width();
    ASSERT_EQ(visibleRight, MainRect(DlgItem::FileList).width());
    const QHeaderView* header = list->horizontalHeader();
    for (int column = 0; column < 4; ++column) {
      const QRect section(header->sectionViewportPosition(column), 0, header->sectionSize(column), header->height());
      QRect room = CSkinHeaderCtrl::HeadingTextRect(section);
      room.setRight(std::min(room.right(), visibleRight - 1));
      const QString heading = list->model()->headerData(column, Qt::Horizontal).toString();
      const int needed = metrics.horizontalAdvance(heading);
      out << name << "\theading " << column << '\t' << room.width() << '\t' << needed << '\t' << room.width() - needed
          << '\t' << heading << '\n';
      EXPECT_LE(needed, room.width()) << name << ", heading of column " << column << " \"" << Utf8(heading) << "\" is "
                                      << needed - room.width() << " px wider than its " << room.width() << " px";
    }
    for (int row = 0; row < list->GetItemCount(); ++row) {
      QRect room = CBbListCtrl::CellTextRect(list->visualRect(list->model()->index(row, 3)), 3);
      room.setRight(std::min(room.right(), visibleRight - 1));
      const QString type = QString::fromStdString(list->GetItemText(row, kColumnType));
      const int needed = metrics.horizontalAdvance(type);
      out << name << "\ttype label\t" << room.width() << '\t' << needed << '\t' << room.width() - needed << '\t' << type
          << '\n';
      EXPECT_LE(needed, room.width()) << name << ", type label \"" << Utf8(type) << "\" is " << needed - room.width()
                                      << " px wider than the " << room.width() << " px the list shows of its column";
    }
  }
  QFile file(ShotFolder() + QStringLiteral("/list-figures.tsv"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(figures.toUtf8());
}

// --- the settings dialog ------------------------------------------------------------

// Where a control's text reaches, in the dialog's coordinates: labels and check boxes
// as far as their text goes, lists and buttons over their whole box.
QRect InkOf(const QWidget& widget) {
  const QRect box = widget.geometry();
  const QFontMetrics metrics = widget.fontMetrics();
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
    if (label->wordWrap()) {
      const QRect wrapped =
          metrics.boundingRect(QRect(0, 0, box.width(), 10000), Qt::TextWordWrap | label->alignment(), label->text());
      return QRect(box.topLeft(), QSize(std::max(wrapped.width(), 1), wrapped.height()));
    }
    // One line, centred in its box.
    return QRect(box.left(), box.top() + (box.height() - metrics.height()) / 2,
                 metrics.horizontalAdvance(label->text()), metrics.height());
  }
  if (qobject_cast<const QCheckBox*>(&widget) || qobject_cast<const QRadioButton*>(&widget)) {
    const QSize hint = widget.sizeHint();
    return QRect(box.left(), box.top() + (box.height() - hint.height()) / 2, hint.width(), hint.height());
  }
  return box;
}

// Checks one control's text against its own box; the tightest margin left.
int CheckOwnBox(const QWidget& widget, const std::string& label) {
  const QRect box = widget.geometry();
  const QFontMetrics metrics = widget.fontMetrics();
  int room = box.width();
  int needed = 0;
  QString text;
  if (const auto* group = qobject_cast<const QGroupBox*>(&widget)) {
    text = group->title();
    // Fusion draws the title inset from both ends.
    needed = text.isEmpty() ? 0 : metrics.horizontalAdvance(text) + 2 * 8;
  } else if (const auto* list = qobject_cast<const QComboBox*>(&widget)) {
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = false;
    room = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list).width();
    // A list the user can open may come to show any of its entries; a disabled one
    // only ever shows the one it has.
    for (int i = 0; i < list->count(); ++i) {
      if (!list->isEnabled() && i != list->currentIndex()) continue;
      const QFont font =
          list->itemData(i, Qt::FontRole).isValid() ? list->itemData(i, Qt::FontRole).value<QFont>() : list->font();
      const int width = QFontMetrics(font).horizontalAdvance(list->itemText(i));
      if (width > needed) {
        needed = width;
        text = list->itemText(i);
      }
    }
  } else if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
    // The text between the button's frame and margins.
    text = button->text();
    const int margins = 2 * (button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                             button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
    needed = metrics.horizontalAdvance(text) + margins;
  } else if (qobject_cast<const QAbstractButton*>(&widget)) {
    text = qobject_cast<const QAbstractButton*>(&widget)->text();
    needed = widget.sizeHint().width();
  } else if (const auto* plain = qobject_cast<const QLabel*>(&widget)) {
    text = plain->text();
    const QRect ink = InkOf(widget);
    needed = ink.width();
    if (plain->wordWrap()) {
      EXPECT_LE(ink.height(), box.height()) << label << ": \"" << Utf8(text) << "\" takes " << ink.height()
                                            << " px of lines in a " << box.height() << " px box";
    }
  }
  EXPECT_LE(needed, room) << label << ": \"" << Utf8(text) << "\" needs " << needed << " px, its box has " << room;
  return room - needed;
}

TEST_F(TextFitTest, EverySettingsDialogTextFitsItsBoxAndGroupInEveryLanguage) {
  QString figures;
  QTextStream out(&figures);
  out << "language\tcontrol id\tkind\tmargin\ttext\n";
  for (int language = 0; language < kLanguageCount; ++language) {
    ProcessLanguage selected(language);
    ASSERT_TRUE(selected.Loaded());
    const char* name = kLanguageNames[static_cast<std::size_t>(language)];
    CSettingDlg dialog(nullptr, nullptr);
    dialog.show();
    QCoreApplication::processEvents();
    std::vector<const QGroupBox*> groups;
    std::vector<const QWidget*> controls;
    for (const QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (!child->isVisibleTo(&dialog) || ControlId(child) == 0) continue;
      if (const auto* group = qobject_cast<const QGroupBox*>(child)) {
        groups.push_back(group);
      } else if (qobject_cast<const QLabel*>(child) || qobject_cast<const QAbstractButton*>(child) ||
                 qobject_cast<const QComboBox*>(child)) {
        controls.push_back(child);
      }
    }
    ASSERT_GT(controls.size(), 50u);
    for (const QWidget* widget : std::vector<const QWidget*>(groups.begin(), groups.end())) controls.push_back(widget);
    for (const QWidget* widget : controls) {
      const std::string label = std::string(name) + ", control " + std::to_string(ControlId(widget)) + " (" +
                                widget->metaObject()->className() + ")";
      const int margin = CheckOwnBox(*widget, label);
      out << name << '\t' << ControlId(widget) << '\t' << widget->metaObject()->className() << '\t' << margin << '\n';
      if (qobject_cast<const QGroupBox*>(widget)) continue;
      // The smallest group around the control holds all of its text.
      const QRect ink = InkOf(*widget);
      const QGroupBox* around = nullptr;
      for (const QGroupBox* group : groups) {
        if (group->geometry().contains(widget->geometry().topLeft()) &&
            (!around || group->geometry().width() * group->geometry().height() <
                            around->geometry().width() * around->geometry().height())) {
          around = group;
        }
      }
      if (around) {
        EXPECT_LE(ink.right(), around->geometry().right() - 2)
            << label << " reaches " << ink.right() - around->geometry().right() + 2 << " px past its group "
            << ControlId(around);
        EXPECT_LE(ink.bottom(), around->geometry().bottom() - 2)
            << label << " reaches " << ink.bottom() - around->geometry().bottom() + 2 << " px below its group "
            << ControlId(around);
      }
      // No text runs into another control, nor into a group's title.
      for (const QGroupBox* group : groups) {
        const QRect title(group->x() + 8, group->y(), group->fontMetrics().horizontalAdvance(group->title()),
                          group->fontMetrics().height());
        EXPECT_FALSE(!group->title().isEmpty() && ink.intersects(title))
            << label << " runs into the title of group " << ControlId(group);
      }
      for (const QWidget* other : controls) {
        if (other == widget || qobject_cast<const QGroupBox*>(other)) continue;
        EXPECT_FALSE(ink.intersects(other->geometry()))
            << label << " runs into control " << ControlId(other) << " (" << other->metaObject()->className() << ")";
      }
    }
    const QString path = ShotFolder() + QStringLiteral("/settings-%1.png").arg(QString::fromUtf8(name));
    EXPECT_TRUE(dialog.grab().save(path)) << Utf8(path);
  }
  QFile file(ShotFolder() + QStringLiteral("/settings-figures.tsv"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(figures.toUtf8());
}

}  // namespace
