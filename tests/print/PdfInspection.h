#pragma once
// Looks into a PDF file the way a reader would, with poppler's command-line tools:
// the text of a page, the pictures of each page, the fonts, a page as pixels.

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace print_test {

inline std::string Quote(const std::string& text) { return "'" + text + "'"; }

// Standard output of a shell command.
inline std::string Output(const std::string& command) {
  std::string text;
  if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
    ::pclose(pipe);
  }
  return text;
}

inline int PageCount(const std::filesystem::path& pdf) {
  std::istringstream info(Output("pdfinfo " + Quote(pdf.string()) + " 2>/dev/null"));
  std::string line;
  while (std::getline(info, line))
    if (line.rfind("Pages:", 0) == 0) return std::stoi(line.substr(6));
  return 0;
}

// The text of page `page` (1-based), laid out as on the page.
inline std::string PageText(const std::filesystem::path& pdf, int page) {
  const std::string n = std::to_string(page);
  return Output("pdftotext -layout -f " + n + " -l " + n + " " + Quote(pdf.string()) + " - 2>/dev/null");
}

struct PdfPicture {
  int page = 0;
  int width = 0;
  int height = 0;
};

// Every picture of the file, as pdfimages -list tells them.
inline std::vector<PdfPicture> Pictures(const std::filesystem::path& pdf) {
  std::vector<PdfPicture> pictures;
  std::istringstream list(Output("pdfimages -list " + Quote(pdf.string()) + " 2>/dev/null"));
  std::string line;
  int lineNumber = 0;
  while (std::getline(list, line)) {
    if (++lineNumber <= 2) continue;  // heading and rule
    std::istringstream fields(line);
    PdfPicture picture;
    int number = 0;
    std::string type;
    if (fields >> picture.page >> number >> type >> picture.width >> picture.height && type == "image")
      pictures.push_back(picture);
  }
  return pictures;
}

inline std::vector<PdfPicture> PicturesOfPage(const std::filesystem::path& pdf, int page) {
  std::vector<PdfPicture> result;
  for (const PdfPicture& p : Pictures(pdf))
    if (p.page == page) result.push_back(p);
  return result;
}

inline std::string Fonts(const std::filesystem::path& pdf) {
  return Output("pdffonts " + Quote(pdf.string()) + " 2>/dev/null");
}

// Page `page` rendered at `dpi` to a PNG file `png` (without ".png"), loaded.
inline QImage RenderPage(const std::filesystem::path& pdf, int page, int dpi, const std::filesystem::path& png) {
  const std::string n = std::to_string(page);
  Output("pdftoppm -png -singlefile -r " + std::to_string(dpi) + " -f " + n + " -l " + n + " " + Quote(pdf.string()) +
         " " + Quote(png.string()) + " 2>/dev/null");
  return QImage(QString::fromStdString(png.string() + ".png"));
}

// The smallest rectangle holding every pixel inside `within` that is not near white.
inline QRect InkBounds(const QImage& page, const QRect& within) {
  QRect bounds;
  for (int y = within.top(); y <= within.bottom() && y < page.height(); ++y)
    for (int x = within.left(); x <= within.right() && x < page.width(); ++x) {
      const QColor c = page.pixelColor(x, y);
      if (c.red() < 230 || c.green() < 230 || c.blue() < 230) bounds |= QRect(x, y, 1, 1);
    }
  return bounds;
}

}  // namespace print_test
