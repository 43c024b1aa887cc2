// The rebuild of repair and silent track over any recording bytes, split into the
// header and body inputs as the viewer splits a card recording. The first input byte
// picks the road: the two temporary files, the recording read in place, or bytes
// that are no file at all; and
// whether the header's own cut-off and sound facts are taken or turned over. A file
// said to be rebuilt must then open as a recording whose sizes add up.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "fuzz/FuzzSupport.h"
#include "sources/avi/AviFormat.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/ByteSourceView.h"
#include "sources/avi/FileByteSource.h"
#include "tools/repair/AviRebuild.h"
#include "tools/repair/RecordingRebuild.h"

namespace {

constexpr uint8_t kInPlace = 1;
constexpr uint8_t kFlipSound = 2;
constexpr uint8_t kFlipCutOff = 4;
constexpr uint8_t kInMemory = 8;

void CheckRebuilt(const std::filesystem::path& output) {
  FileByteSource file;
  if (!file.Open(output)) std::abort();
  uint8_t head[8];
  if (file.ReadAt(0, head, sizeof head) != 8) std::abort();
  if (int64_t{avi::ReadLe32(head + 4)} + 8 != file.Size()) std::abort();  // RIFF size
  avi::AviReader reader(file);
  if (!reader.Open() || reader.IsCutOff()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzsupport::LimitFileSize(16 << 20);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::IgnoreFileSizeSignal();
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  fuzzsupport::MemoryByteSource input(data + 1, size - 1);
  repair::RecordingHead head;
  if (!repair::ReadRecordingHead(input, head)) return 0;
  const bool noAudio = (mode & kFlipSound) ? !head.noAudio : head.noAudio;
  const uint32_t riffSize = (mode & kFlipCutOff) ? (head.riffSize == 0 ? 1 : 0) : head.riffSize;
  const std::filesystem::path output = fuzzsupport::ScratchFolder() / "out.avi";
  const auto headerBytes = static_cast<int64_t>(head.bytes.size());
  repair::RebuildResult result;
  if (mode & kInMemory) {
    // Neither a file nor a card file: every byte goes through reads.
    ByteSourceView header(input, 0, headerBytes);
    ByteSourceView body(input, headerBytes);
    result = repair::RebuildRecording(output, header, body, noAudio, riffSize);
  } else if (mode & kInPlace) {
    // The local road: views of one file, chunks copied in the kernel.
    fuzzsupport::MemoryFile whole(data + 1, size - 1);
    FileByteSource file;
    if (!file.Open(whole.Path())) std::abort();
    ByteSourceView header(file, 0, headerBytes);
    ByteSourceView body(file, headerBytes);
    result = repair::RebuildRecording(output, header, body, noAudio, riffSize);
  } else {
    // The card road: the header and body copied into files of their own.
    fuzzsupport::MemoryFile headerFile(head.bytes.data(), head.bytes.size());
    fuzzsupport::MemoryFile bodyFile(data + 1 + head.bytes.size(), size - 1 - head.bytes.size());
    result = repair::RebuildRecording(output, headerFile.Path(), bodyFile.Path(), noAudio, riffSize);
  }
  if (result == repair::RebuildResult::Rebuilt) CheckRebuilt(output);
  ::unlink(output.c_str());
  return 0;
}
