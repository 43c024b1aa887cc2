// The application's icons for the desktop's icon theme: the same drawing as the
// window icon, as a scalable SVG and as PNGs at the sizes menus and docks ask for.

#include <QDir>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

#include "res/generator/Drawers.h"

namespace gen {

bool WriteAppIcons(const QString& outDir, const QString& name) {
  const QDir dir(outDir);
  const QString svgFolder = QStringLiteral("hicolor/scalable/apps");
  if (!dir.mkpath(svgFolder)) return false;
  QSvgGenerator svg;
  svg.setFileName(dir.filePath(svgFolder + QLatin1Char('/') + name + QStringLiteral(".svg")));
  svg.setSize(QSize(256, 256));
  svg.setViewBox(QRect(0, 0, 256, 256));
  svg.setTitle(QStringLiteral("Tarvo Viewer"));
  {
    QPainter p(&svg);
    if (!p.isActive()) return false;
    p.setRenderHint(QPainter::Antialiasing, true);
    PaintAppIcon(p);
  }
  for (const int size : {48, 128, 256}) {
    const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
    if (!dir.mkpath(folder)) return false;
    if (!DrawAppIcon(size).save(dir.filePath(folder + QLatin1Char('/') + name + QStringLiteral(".png")), "PNG")) {
      return false;
    }
  }
  return true;
}

}  // namespace gen
