// The viewer's Print command: the print dialog with printing to a PDF file,
// cancelling, a printer that will not start, and the report on the printer the
// dialog set up.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <cerrno>
#include <filesystem>
#include <optional>

#include "PdfInspection.h"
#include "settings/LanguageLibrary.h"
#include "tests/playback/PlaybackTestSupport.h"
#include "tests/support/FileBytes.h"
#include "tests/support/QtApplication.h"
#include "tests/support/ReadOnlyFolder.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"
#include "tools/capture/RecordingMoment.h"
#include "tools/print/PrintCommand.h"

namespace fs = std::filesystem;
using namespace print_test;
using playback_test::Recording;
using testsupport::TempFolder;

namespace {

QApplication& App() { return testsupport::TestApplication<QApplication>(); }
const bool kAppReady = (App(), true);

const fs::path kScreenshots = fs::path(TARVO_BINARY_DIR) / "screenshots" / "print";

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class PrintCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    FreeLanguageLibrary(TheViewerSettings());
    TheViewerSettings().language = 0;
    std::string error;
    ASSERT_TRUE(moment.Open(Recording("long").string(), error)) << error;
    ASSERT_TRUE(moment.ShowPosition(3500, error)) << error;
  }
  PrintOutcome Print(const PrinterChooser& choose, const QImage& map = QImage(), const QString& pdfFile = {}) {
    return PrintWithResult(choose, map, pdfFile).outcome;
  }
  PrintResult PrintWithResult(const PrinterChooser& choose, const QImage& map = QImage(), const QString& pdfFile = {}) {
    return RunPrintCommand(moment.Player(), moment.VideoChannels(), 3500, moment.Samples(), settings, map, pdfFile,
                           nullptr, choose);
  }
  // Stands in for the user choosing a printer: the printer writes a PDF file.
  PrinterChooser ToPdf() {
    return [this](QPrinter& printer, QWidget*) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(pdf.string()));
      printer.setCopyCount(2);
      ++asked;
      return true;
    };
  }

  TempFolder dir;
  fs::path pdf = dir / "printed.pdf";
  RecordingMoment moment;
  ViewerSettings settings;
  int asked = 0;
};

TEST_F(PrintCommand, TheChosenPrinterGetsBothPagesOfTheMoment) {
  QImage map(300, 150, QImage::Format_RGB32);
  map.fill(Qt::darkGreen);
  ASSERT_EQ(PrintOutcome::Printed, Print(ToPdf(), map));
  EXPECT_EQ(1, asked);
  // Two copies were asked for: each page is drawn once, the copies are the printer
  // system's.
  ASSERT_EQ(2, PageCount(pdf));
  EXPECT_TRUE(Has(PageText(pdf, 1), "1. Video pictures"));
  EXPECT_TRUE(Has(PageText(pdf, 1), "Page 1 of 2"));
  EXPECT_TRUE(Has(PageText(pdf, 2), "2. Location"));
  EXPECT_TRUE(Has(PageText(pdf, 2), "Page 2 of 2"));
  EXPECT_EQ(2u, PicturesOfPage(pdf, 1).size());
  ASSERT_EQ(1u, PicturesOfPage(pdf, 2).size());
  EXPECT_EQ(300, PicturesOfPage(pdf, 2)[0].width);
}

TEST_F(PrintCommand, TheTitleFollowsTheModelSetting) {
  settings.model = 1;
  ASSERT_EQ(PrintOutcome::Printed, Print(ToPdf()));
  EXPECT_FALSE(Has(PageText(pdf, 1), "Tarvo Viewer"));
  EXPECT_TRUE(Has(PageText(pdf, 1), "Page 1 of 2"));
}

TEST_F(PrintCommand, ACancelledChoicePrintsNothing) {
  EXPECT_EQ(PrintOutcome::Cancelled, Print([](QPrinter&, QWidget*) { return false; }));
  EXPECT_EQ(PrintOutcome::Cancelled, Print(nullptr));
  EXPECT_FALSE(fs::exists(pdf));
}

TEST_F(PrintCommand, APdfFileThatCannotBeWrittenIsSaidWithTheFileAndWhyAndLeavesNothing) {
  const auto to = [](const fs::path& file) {
    return [file](QPrinter& printer, QWidget*) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(file.string()));
      return true;
    };
  };
  const fs::path missing = dir / "no-such-folder" / "x.pdf";
  const PrintResult inMissingFolder = PrintWithResult(to(missing));
  EXPECT_EQ(PrintOutcome::FileNotWritten, inMissingFolder.outcome);
  EXPECT_EQ(missing.string(), inMissingFolder.file);
  EXPECT_EQ(ENOENT, inMissingFolder.writeError);

  const fs::path locked = dir / "locked";
  fs::create_directories(locked);
  PrintResult inLockedFolder;
  {
    const testsupport::ReadOnlyFolder readOnly(locked);
    inLockedFolder = PrintWithResult(to(locked / "x.pdf"));
  }
  EXPECT_EQ(PrintOutcome::FileNotWritten, inLockedFolder.outcome);
  EXPECT_EQ((locked / "x.pdf").string(), inLockedFolder.file);
  EXPECT_EQ(EACCES, inLockedFolder.writeError);
  EXPECT_TRUE(fs::is_empty(locked));
}

TEST_F(PrintCommand, ThePrintDialogOffersAPdfFileAndWithoutPrintersStartsOnIt) {
  std::optional<bool> printToFile;
  QString startFile;
  QTimer timer;
  timer.setInterval(20);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    timer.stop();
    printToFile = dialog->testOption(QAbstractPrintDialog::PrintToFile);
    startFile = dialog->printer()->outputFileName();
    fs::create_directories(kScreenshots);
    dialog->grab().save(QString::fromStdString((kScreenshots / "print-dialog.png").string()));
    dialog->reject();
  });
  timer.start();
  const QString offered = QString::fromStdString((dir / "REC_20240512_083000_2.pdf").string());
  EXPECT_EQ(PrintOutcome::Cancelled, Print(ShowPrintDialog, QImage(), offered));
  ASSERT_TRUE(printToFile.has_value()) << "no print dialog was shown";
  EXPECT_TRUE(*printToFile);
  EXPECT_EQ(startFile, PrinterAvailable() ? QString() : offered);
}

}  // namespace
