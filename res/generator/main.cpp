// tarvo-skingen: draws every skin image of the table into <out>/skin/<id>.png and
// writes <out>/skin.qrc listing them, so that the build compiles them in.
//
//   tarvo-skingen --out DIR [--sheet FILE.png] [--mock FILE.png LANGUAGE]
//   tarvo-skingen --markdown      (prints the id table)
//   tarvo-skingen --app-icons DIR NAME   (the desktop icons, DIR/hicolor/...)

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <vector>

#include "res/SkinIds.h"
#include "res/generator/ContactSheet.h"
#include "res/generator/Drawers.h"
#include "res/generator/SkinPainter.h"
#include "res/generator/WindowMock.h"

namespace {

// The stored form of an image: opaque bitmaps without an alpha channel, PNGs with one.
QImage StoredForm(const skin::SkinImage& info, const QImage& image) {
  if (info.kind == skin::SkinKind::Png) return image.convertToFormat(QImage::Format_ARGB32);
  return image.convertToFormat(QImage::Format_RGB32);
}

bool WriteIfChanged(const QString& path, const QByteArray& bytes) {
  QFile existing(path);
  if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes) return true;
  // No QSaveFile: its flush to disk per file would make the build wait for hundreds of
  // syncs, and a torn file is simply drawn again by the next build.
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(bytes) == bytes.size();
}

QByteArray QrcText(const std::vector<gen::RenderedImage>& images) {
  QByteArray text;
  QTextStream out(&text);
  out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
  for (const gen::RenderedImage& r : images) {
    out << "  <file>skin/" << r.info.id << ".png</file>\n";
  }
  out << "  <file alias=\"icons/tarvo-viewer.png\">skin/" << skin::kAppIcon << ".png</file>\n";
  out << "</qresource>\n</RCC>\n";
  out.flush();
  return text;
}

const char* KindText(const skin::SkinImage& info) {
  switch (info.kind) {
    case skin::SkinKind::Bitmap:
      return "bitmap";
    case skin::SkinKind::KeyedBitmap:
      return "bitmap, key 0xFFFFFF";
    case skin::SkinKind::Png:
      return "PNG (alpha)";
  }
  return "";
}

// The id table for the documentation, one row per image.
void PrintMarkdownTable() {
  static const char* const kLanguages[skin::kLanguageCount] = {"English", "Korean",     "German",  "Japanese",
                                                               "Chinese", "Dutch",      "French",  "Italian",
                                                               "Polish",  "Portuguese", "Russian", "Spanish"};
  std::printf("| Id | Size | Kind | Role | Language |\n|---|---|---|---|---|\n");
  for (const skin::SkinImage& info : skin::kSkinImages) {
    std::printf("| %d | %d x %d | %s | %s | %s |\n", info.id, info.width, info.height, KindText(info), info.role,
                info.language >= 0 ? kLanguages[info.language] : "all");
  }
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  QString outDir, sheetPath, mockPath;
  int mockLanguage = 0;
  const QStringList args = app.arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--out") && i + 1 < args.size()) {
      outDir = args[++i];
    } else if (args[i] == QLatin1String("--sheet") && i + 1 < args.size()) {
      sheetPath = args[++i];
    } else if (args[i] == QLatin1String("--mock") && i + 2 < args.size()) {
      mockPath = args[++i];
      mockLanguage = args[++i].toInt();
    } else if (args[i] == QLatin1String("--markdown")) {
      PrintMarkdownTable();
      return 0;
    } else if (args[i] == QLatin1String("--app-icons") && i + 2 < args.size()) {
      if (gen::WriteAppIcons(args[i + 1], args[i + 2])) return 0;
      std::fprintf(stderr, "tarvo-skingen: cannot write the icons into %s\n", qPrintable(args[i + 1]));
      return 1;
    } else {
      std::fprintf(stderr, "usage: tarvo-skingen --out DIR [--sheet FILE.png] [--mock FILE.png LANGUAGE]\n");
      return 2;
    }
  }
  if (outDir.isEmpty()) {
    std::fprintf(stderr, "usage: tarvo-skingen --out DIR [--sheet FILE.png] [--mock FILE.png LANGUAGE]\n");
    return 2;
  }
  const QDir dir(outDir);
  if (!dir.mkpath(QStringLiteral("skin"))) {
    std::fprintf(stderr, "tarvo-skingen: cannot create %s/skin\n", qPrintable(outDir));
    return 1;
  }

  std::vector<gen::RenderedImage> rendered;
  rendered.reserve(skin::kSkinImages.size());
  int failures = 0;
  for (const skin::SkinImage& info : skin::kSkinImages) {
    const QImage image = gen::RenderSkinImage(info);
    if (image.isNull() || image.width() != info.width || image.height() != info.height) {
      std::fprintf(stderr, "tarvo-skingen: image %d (%s) is %dx%d, expected %dx%d\n", info.id, info.role, image.width(),
                   image.height(), info.width, info.height);
      ++failures;
      continue;
    }
    const QImage stored = StoredForm(info, image);
    QByteArray png;
    {
      QBuffer buffer(&png);
      buffer.open(QIODevice::WriteOnly);
      stored.save(&buffer, "PNG");
    }
    if (!WriteIfChanged(dir.filePath(QStringLiteral("skin/%1.png").arg(info.id)), png)) {
      std::fprintf(stderr, "tarvo-skingen: cannot write image %d\n", info.id);
      ++failures;
      continue;
    }
    rendered.push_back({info, stored});
  }
  if (failures > 0) return 1;
  // Always rewritten: its time stamp tells the build that the images are current.
  QFile qrc(dir.filePath(QStringLiteral("skin.qrc")));
  if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate) || qrc.write(QrcText(rendered)) < 0) {
    std::fprintf(stderr, "tarvo-skingen: cannot write skin.qrc\n");
    return 1;
  }
  if (!sheetPath.isEmpty() && !gen::BuildContactSheet(rendered).save(sheetPath, "PNG")) {
    std::fprintf(stderr, "tarvo-skingen: cannot write %s\n", qPrintable(sheetPath));
    return 1;
  }
  if (!mockPath.isEmpty() && !gen::BuildWindowMock(rendered, mockLanguage).save(mockPath, "PNG")) {
    std::fprintf(stderr, "tarvo-skingen: cannot write %s\n", qPrintable(mockPath));
    return 1;
  }
  return 0;
}
