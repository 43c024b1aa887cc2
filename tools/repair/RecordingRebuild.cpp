#include "tools/repair/RecordingRebuild.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "sources/avi/AviFormat.h"
#include "sources/avi/ByteSourceView.h"
#include "sources/avi/FileByteSource.h"
#include "sources/avi/RiffLayout.h"
#include "tools/repair/RebuildOutput.h"

namespace repair {

namespace {

constexpr int64_t kHeadFixed = 20;
constexpr int64_t kTransferSize = 0x40000;
// Our headers are a few hundred bytes; a larger list is damage, not a header.
constexpr uint32_t kMaxHeaderList = 1 << 20;
constexpr size_t kMaxNameBytes = 200;
constexpr uint32_t kPlainStreamCount = 2;
// A sound stream among the stream lists of a header list.
bool HasSoundStream(const std::vector<uint8_t>& bytes) {
  for (size_t pos = 24; pos + 32 <= bytes.size();) {
    const uint32_t id = avi::ReadLe32(&bytes[pos]);
    const uint32_t len = avi::ReadLe32(&bytes[pos + 4]);
    if (len > bytes.size() - pos - 8) break;
    if (id == avi::kList && avi::ReadLe32(&bytes[pos + 8]) == avi::kStrl &&
        avi::ReadLe32(&bytes[pos + 12]) == avi::kStrh && avi::ReadLe32(&bytes[pos + 20]) == avi::kAuds)
      return true;
    pos += 8 + size_t{len} + (len & 1);
  }
  return false;
}

bool WriteAll(int fd, const void* data, size_t size) {
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// The rest of the input behind the header, in pieces as the card library reads; a
// local file is copied in the kernel. A failed write leaves its errno in writeError.
bool CopyBody(ByteSource& input, int64_t from, int fd, int& writeError) {
  if (auto* file = dynamic_cast<FileByteSource*>(&input)) {
    const int64_t size = file->Size();
    if (size < 0) return false;
    const int64_t count = std::max<int64_t>(0, size - from);
    errno = 0;
    if (CopyFileRange(file->Descriptor(), from, fd, 0, count) == count) return true;
    writeError = errno;
    return false;
  }
  std::vector<char> piece(kTransferSize);
  for (int64_t pos = from;;) {
    const int64_t n = input.ReadAt(pos, piece.data(), kTransferSize);
    // A read that fails is no end of the recording: a body cut there would be
    // "repaired" into a shorter recording with nothing to tell that bytes are missing.
    if (n < 0) return false;
    if (n == 0) return true;
    if (!WriteAll(fd, piece.data(), static_cast<size_t>(n))) {
      writeError = errno;
      return false;
    }
    pos += n;
  }
}

// The rebuild repairs when given 0 and inserts the silent track otherwise.
uint32_t RebuildRiffSize(const RecordingHead& head) { return head.cutOff ? 0 : head.riffSize; }

bool WriteNewFile(const std::filesystem::path& path, int& fd) {
  fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd >= 0;
}

}  // namespace

bool ReadRecordingHead(ByteSource& input, RecordingHead& head) {
  uint8_t first[kHeadFixed];
  if (input.ReadAt(0, first, kHeadFixed) != kHeadFixed) return false;
  const uint32_t riff = avi::ReadLe32(first + avi::kRiffSizeOffset);
  const uint32_t list = avi::ReadLe32(first + avi::kHeaderListSizeOffset);
  if (list > kMaxHeaderList) return false;
  std::vector<uint8_t> bytes(static_cast<size_t>(kHeadFixed + list));
  std::copy(first, first + kHeadFixed, bytes.begin());
  if (list > 0 && input.ReadAt(kHeadFixed, bytes.data() + kHeadFixed, list) != int64_t{list}) return false;
  head.riffSize = riff;
  head.headerListSize = list;
  uint8_t behind[12] = {};
  input.ReadAt(static_cast<int64_t>(bytes.size()), behind, sizeof behind);
  if (IsCameraLayout(bytes, behind)) {
    head.noAudio = bytes.size() > static_cast<size_t>(avi::kSecondStreamTypeOffset) &&
                   bytes[avi::kSecondStreamTypeOffset] == 't' &&
                   avi::ReadLe32(&bytes[avi::kStreamCountOffset]) == kPlainStreamCount;
  } else {
    head.noAudio = !HasSoundStream(bytes);
  }
  // A power cut leaves R = 0; a copy cut short leaves the sizes, and the file ends
  // before them or before its index.
  avi::RiffLayout layout;
  const size_t listPayload = kHeadFixed + 4;  // behind "hdrl"
  const bool superIndex =
      bytes.size() > listPayload && avi::HasSuperIndex(bytes.data() + listPayload, bytes.size() - listPayload);
  head.cutOff = riff == 0 || !avi::WalkRiff(input, layout) || avi::IsCutOff(layout, superIndex);
  head.bytes = std::move(bytes);
  return true;
}

std::filesystem::path TemporaryPath(const std::filesystem::path& tempFolder, const std::string& fileName,
                                    std::string_view suffix) {
  // Only the name's own characters: no folder separators, so ".." becomes part of a
  // plain name and nothing lands outside the temporary folder.
  std::string name;
  for (const char c : fileName) name.push_back(c == '/' || c == '\\' || c == '\0' ? '_' : c);
  if (name.size() > kMaxNameBytes) name.resize(kMaxNameBytes);
  if (name.empty()) name = "_";
  return tempFolder / (name + std::string(suffix));
}

bool IsRebuildFileName(std::string_view name) {
  if (name.size() >= std::char_traits<char>::length(kPartialSuffix) && name.ends_with(kPartialSuffix))
    name.remove_suffix(std::char_traits<char>::length(kPartialSuffix));
  for (const std::string_view suffix : {kHeaderSuffix, kBodySuffix, kRepairSuffix, kAddAudioSuffix})
    if (name.size() > suffix.size() && name.ends_with(suffix)) return true;
  return false;
}

bool WriteTemporaryFiles(ByteSource& input, const RecordingHead& head, const std::filesystem::path& headerFile,
                         const std::filesystem::path& bodyFile, int* writeError) {
  std::error_code ec;
  std::filesystem::remove(headerFile, ec);
  std::filesystem::remove(bodyFile, ec);
  int error = 0;
  const auto noteError = [&error] {
    if (error == 0) error = errno;
    return false;
  };
  int headerFd = -1, bodyFd = -1;
  bool created =
      (WriteNewFile(headerFile, headerFd) && WriteAll(headerFd, head.bytes.data(), head.bytes.size())) || noteError();
  if (headerFd >= 0) created = (::close(headerFd) == 0 || noteError()) && created;
  created = created && (WriteNewFile(bodyFile, bodyFd) || noteError()) &&
            CopyBody(input, static_cast<int64_t>(head.bytes.size()), bodyFd, error);
  if (bodyFd >= 0) created = (::close(bodyFd) == 0 || noteError()) && created;
  if (writeError != nullptr) *writeError = error;
  if (!created) {
    // Half-written copies are worth nothing; the card still holds the recording.
    std::filesystem::remove(headerFile, ec);
    std::filesystem::remove(bodyFile, ec);
  }
  return created;
}

PrepareOutcome PrepareRecording(ByteSource& input, const std::string& fileName,
                                const std::filesystem::path& tempFolder) {
  PrepareOutcome outcome;
  RecordingHead head;
  if (!ReadRecordingHead(input, head)) return outcome;
  if (PlaysDirectly(head)) {
    outcome.result = PrepareResult::PlayDirectly;
    return outcome;
  }
  if (tempFolder.empty()) {
    // No folder to write into; a relative path would land in the working folder.
    outcome.result = PrepareResult::CannotCreateFiles;
    outcome.writeError = ENOENT;
    return outcome;
  }
  std::error_code ec;
  std::filesystem::create_directories(tempFolder, ec);
  outcome.output = TemporaryPath(tempFolder, fileName, head.cutOff ? kRepairSuffix : kAddAudioSuffix);
  if (!head.cutOff && std::filesystem::exists(outcome.output, ec)) {
    outcome.result = PrepareResult::Reused;
    return outcome;
  }
  std::filesystem::remove(outcome.output, ec);
  if (auto* file = dynamic_cast<FileByteSource*>(&input)) {
    // A local file is read in place: its header and body need no copies of their own.
    ByteSourceView header(*file, 0, static_cast<int64_t>(head.bytes.size()));
    ByteSourceView body(*file, static_cast<int64_t>(head.bytes.size()));
    errno = 0;
    outcome.rebuild = RebuildRecording(outcome.output, header, body, head.noAudio, RebuildRiffSize(head));
  } else {
    const std::filesystem::path headerFile = TemporaryPath(tempFolder, fileName, kHeaderSuffix);
    const std::filesystem::path bodyFile = TemporaryPath(tempFolder, fileName, kBodySuffix);
    if (!WriteTemporaryFiles(input, head, headerFile, bodyFile, &outcome.writeError)) {
      outcome.result = PrepareResult::CannotCreateFiles;
      return outcome;
    }
    errno = 0;
    outcome.rebuild = RebuildRecording(outcome.output, headerFile, bodyFile, head.noAudio, RebuildRiffSize(head));
  }
  // The rebuild gives up at its first failed write and only removes its partial file
  // after it, which leaves the errno of that write.
  if (outcome.rebuild == RebuildResult::CannotWrite) outcome.writeError = errno;
  outcome.result = outcome.rebuild == RebuildResult::Rebuilt ? PrepareResult::Rebuilt : PrepareResult::RebuildFailed;
  return outcome;
}

}  // namespace repair
