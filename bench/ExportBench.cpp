// Export benchmark helpers (bench/run-export.sh runs them):
//
//   export_bench inputs OUTDIR "FROM" "TO" FILE...
//     writes what ffmpeg is given for the same range: the front and rear cameras as
//     H.264 elementary streams (cam0.h264, cam1.h264) and the sound as ADTS AAC
//     (audio.aac), from the front camera's key frame before the range to its end,
//     and prints the frames ffmpeg must skip ("preroll N"), the range's frames
//     ("frames N") and the frame rate ("fps N").
//
//   export_bench window FOLDER OUTDIR
//     the viewer's window (offscreen) plays the folder's first recording while the
//     export dialog makes a clip of 08:30:17 to the end of the second second of the
//     next recording; prints the window thread's longest and mean lateness during the
//     export beside an idle window's, and the export's wall time.

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/CDezirureDovuriDlg.h"
#include "app/ContextMenus.h"
#include "bench/BenchClock.h"
#include "bench/BenchWindow.h"
#include "bench/StallMeter.h"
#include "controls/CBbListCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/LanguageMessageBox.h"
#include "map/WebEngineSetup.h"
#include "playback/CPlayer.h"
#include "res/SkinResources.h"
#include "sources/CFileLoadDlg.h"
#include "sources/RecordingCollection.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"
#include "tests/app/WindowInspector.h"
#include "tools/export/CExportDlg.h"
#include "tools/export/ExportJob.h"

namespace fs = std::filesystem;
using bench::Clock;
using bench::Ms;
using bench::Spin;

namespace {

// An ADTS header for one raw AAC frame of `size` bytes, from the AudioSpecificConfig.
void WriteAdts(std::ofstream& out, const std::vector<uint8_t>& config, std::size_t size) {
  const int profile = config.empty() ? 1 : (config[0] >> 3) - 1;
  const int rate = config.size() < 2 ? 4 : ((config[0] & 7) << 1) | (config[1] >> 7);
  const int channels = config.size() < 2 ? 1 : (config[1] >> 3) & 15;
  const std::size_t length = size + 7;
  const unsigned char header[7] = {0xFF,
                                   0xF1,
                                   static_cast<unsigned char>((profile << 6) | (rate << 2) | (channels >> 2)),
                                   static_cast<unsigned char>(((channels & 3) << 6) | (length >> 11)),
                                   static_cast<unsigned char>((length >> 3) & 0xFF),
                                   static_cast<unsigned char>(((length & 7) << 5) | 0x1F),
                                   0xFC};
  out.write(reinterpret_cast<const char*>(header), 7);
}

int Inputs(int argc, char** argv) {
  if (argc < 6) return 2;
  const fs::path out = argv[2];
  int64_t from = 0, to = 0;
  if (!clipexport::ParseClockText(argv[3], from) || !clipexport::ParseClockText(argv[4], to)) return 2;
  std::vector<clipexport::JobRecording> list;
  for (int i = 5; i < argc; ++i) {
    RecordingEntry entry;
    entry.path = argv[i];
    entry.fileName = fs::path(argv[i]).filename().string();
    RecordingCollection::ParseRecordingName(entry.fileName, entry);
    clipexport::JobRecording r;
    if (clipexport::JobRecordingOf(entry, nullptr, r)) list.push_back(r);
  }
  clipexport::ExportPlan plan;
  std::string error;
  if (!clipexport::PlanExport(list, from * clipexport::kUnitsPerSecond, to * clipexport::kUnitsPerSecond, plan,
                              error)) {
    std::fprintf(stderr, "export_bench: %s\n", error.c_str());
    return 1;
  }
  fs::create_directories(out);
  std::ofstream cameras[2] = {std::ofstream(out / "cam0.h264", std::ios::binary),
                              std::ofstream(out / "cam1.h264", std::ios::binary)};
  std::ofstream audio(out / "audio.aac", std::ios::binary);
  int64_t preroll = 0;
  double fps = 0;
  std::vector<uint8_t> data;
  for (std::size_t p = 0; p < plan.range.parts.size(); ++p) {
    const clipexport::RangePart& part = plan.range.parts[p];
    FileByteSource file;
    if (!file.Open(plan.recordings[part.recording].path)) return 1;
    avi::AviReader reader(file);
    if (!reader.Open() || reader.Cameras().size() < 2) return 1;
    fps = reader.FrameRate();
    // Everything from the front camera's key frame before the part's start.
    const std::size_t first = reader.SeekCamera(reader.Cameras()[0].id, part.start);
    const int64_t begin = p == 0 ? reader.Chunk(first).time : 0;
    for (std::size_t c = 0; c < reader.ChunkCount(); ++c) {
      const avi::ChunkEntry& chunk = reader.Chunk(c);
      if (chunk.time < begin || chunk.time >= part.stop || !reader.ReadChunk(chunk, data)) continue;
      if (chunk.kind == avi::ChunkKind::Video && chunk.camera >= 0 && chunk.camera < 2) {
        cameras[chunk.camera].write(reinterpret_cast<const char*>(data.data()),
                                    static_cast<std::streamsize>(data.size()));
        if (p == 0 && chunk.camera == reader.Cameras()[0].id && chunk.time < part.start) ++preroll;
      } else if (chunk.kind == avi::ChunkKind::Audio) {
        WriteAdts(audio, reader.Audio().config, data.size());
        audio.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
      }
    }
  }
  std::printf("preroll %lld\nframes %lld\nfps %.3f\n", static_cast<long long>(preroll),
              static_cast<long long>(plan.range.frames), fps);
  return 0;
}

int Window(int argc, char** argv) {
  if (argc < 4) return 2;
  const fs::path folder = argv[2];
  const fs::path out = argv[3];
  bench::PrepareWindowProcess();
  QApplication application(argc, argv);
  bench::PrepareWindowResources("export_bench");
  CDezirureDovuriDlg dlg;
  dlg.SetWriteSettingsOnClose(false);
  app::WindowInspector window(dlg);
  window.LoadingDialog()->delayOverrideMs = 0;
  dlg.show();
  bench::StallMeter stalls;
  stalls.Start();
  Spin([] { return false; }, 2000);
  stalls.Stop();
  const double idleWorst = stalls.Worst(), idle99 = stalls.Percentile99();

  window.OpenPickedPaths({folder.string()});
  const auto loaded = [&] { return !window.LoadingDialog()->TimerActive() && !window.Busy() && !window.LoadRunning(); };
  Spin(loaded, 20000);
  // Marks: 2 s into the first recording, 2 s into the second, as keys I and O do.
  const auto mark = [&](int row, int key) {
    window.LoadItem(row);
    Spin(loaded, 20000);
    window.PausePlayback();
    window.Player().Seek(2000);
    window.Player().WaitUntilSettled(std::chrono::seconds(5));
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(window.FileList(), &press);
  };
  mark(0, Qt::Key_I);
  mark(1, Qt::Key_O);
  dlg.OnCommand(app::kMenuExportClip);
  auto* dialog = dlg.findChild<CExportDlg*>();
  if (!dialog) return 1;
  dialog->SetFolderOpener([](const QUrl&) { return true; });
  fs::create_directories(out);
  dialog->SetDestination(QString::fromStdString((out / "viewer.mp4").string()));
  // The first recording plays on while the clip is made.
  window.LoadItem(0);
  Spin(loaded, 20000);
  bool finished = false;
  QObject::connect(dialog, &CExportDlg::Finished, [&](bool) { finished = true; });
  const Clock::time_point start = Clock::now();
  stalls.Start();
  dialog->StartExport();
  Spin([&] { return finished; }, 600000);
  stalls.Stop();
  const double wall = Ms(start, Clock::now());
  std::printf("window export: %s, %lld frames in %.1f s; playback %s\n",
              dialog->Outcome().ok ? "done" : dialog->Outcome().error.c_str(),
              static_cast<long long>(dialog->Outcome().clip.frames), wall / 1000,
              window.Player().state() == playback::kStateRunning ? "still playing" : "stopped");
  std::printf(
      "window thread lateness while the export runs: longest %.1f ms, 99th percentile %.1f ms, mean %.2f ms "
      "(target < 50); idle window: longest %.1f ms, 99th percentile %.1f ms\n",
      stalls.Worst(), stalls.Percentile99(), stalls.Mean(), idleWorst, idle99);
  return dialog->Outcome().ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "inputs") return Inputs(argc, argv);
  if (mode == "window") return Window(argc, argv);
  std::fputs("usage: export_bench inputs OUTDIR FROM TO FILE... | export_bench window FOLDER OUTDIR\n", stderr);
  return 2;
}
