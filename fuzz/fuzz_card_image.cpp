// The card library and the card road of the viewer over a damaged card. The input is
// a card image in compact form (fuzz/compact-card-image.py makes one from a card
// image): the partition table sector, the superblock of partition 2, its directory
// records, then the bytes of the first area. They are laid out as a sparse card in
// memory where the table and the superblock place them, and the checksums are set
// right, so that damage reaches past them into the fields they guard.
//
// On that card: the intact check, opening, area information, listing every area,
// reading every file through the library and through KovrByteSource with the
// recording reader, the recording list, a copy to a local file, the rebuild road of
// a card recording, and a recording written and deleted as the camera does.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "kovr/FileListing.h"
#include "kovr/Kovr.h"
#include "sources/CardRecording.h"
#include "sources/MemoryRecordingList.h"
#include "sources/RecordingCollection.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/KovrByteSource.h"

namespace {

constexpr uint64_t kSector = 512;
constexpr uint64_t kSuperblock = 4096;
constexpr uint64_t kRecord = 128;
constexpr uint32_t kMaxRecords = 262144;
// Sparse: only what is written takes memory. Also the largest file written.
constexpr uint64_t kLargestCard = 384ull << 20;
constexpr size_t kMaxFilesRead = 8;
constexpr int32_t kReadPiece = 65536;
constexpr int64_t kMaxBytesRead = 1 << 20;

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint64_t Le64(const uint8_t* p) { return Le32(p) | uint64_t{Le32(p + 4)} << 32; }
void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

// Lays the compact input out as a card; false when it is too short to be one.
bool LayOutCard(const uint8_t* data, size_t size, fuzzsupport::MemoryFile& card) {
  if (size < kSector + kSuperblock) return false;
  const uint8_t* partition2 = data + 446 + 16;
  const uint64_t start = uint64_t{Le32(partition2 + 8)} * kSector;
  const uint64_t end = std::min(start + uint64_t{Le32(partition2 + 12)} * kSector, kLargestCard);
  if (start == 0 || start + kSuperblock > end) return false;
  std::vector<uint8_t> superblock(data + kSector, data + kSector + kSuperblock);
  PutLe32(&superblock[kSuperblock - 4], Crc32(superblock.data(), kSuperblock - 4));
  const uint64_t records = std::min<uint32_t>(Le32(&superblock[28]), kMaxRecords);
  const uint64_t directory = start + Le64(&superblock[32]);
  const uint64_t area = start + Le64(&superblock[128 + 80]);

  size_t at = kSector + kSuperblock;
  std::vector<uint8_t> entries(data + at, data + std::min<uint64_t>(size, at + records * kRecord));
  at += entries.size();
  for (size_t r = 0; r + kRecord <= entries.size(); r += kRecord) {
    uint8_t* e = &entries[r];
    if (e[106] == 1 || e[106] == 2) PutLe32(e + 124, Crc32(e, 124));
  }
  if (!card.Resize(end) || !card.WriteAt(0, data, kSector) || !card.WriteAt(start, superblock.data(), kSuperblock))
    return false;
  if (directory < end && !entries.empty())
    card.WriteAt(directory, entries.data(), std::min<uint64_t>(entries.size(), end - directory));
  if (area < end && at < size) card.WriteAt(area, data + at, std::min<uint64_t>(size - at, end - area));
  return card.Resize(end);  // nothing written past the card's end stays
}

void ReadEveryFile(void* device, const char* folder) {
  std::vector<kovr::ListedFile> files;
  kovr::ForEachListedFile(device, folder, [&](const kovr::ListedFile& f) {
    if (files.size() < kMaxFilesRead) files.push_back(f);
  });
  std::vector<uint8_t> piece(kReadPiece);
  for (const kovr::ListedFile& f : files) {
    const std::string path = std::string("/") + folder + "/" + f.name;
    const int handle = VK_Kovr_File_Open(device, path.c_str(), "r", 0, 0, f.number);
    if (handle > 0) {
      VK_Kovr_File_Size(device, handle);
      int64_t total = 0;
      for (int n; total < kMaxBytesRead && (n = VK_Kovr_File_Read(device, piece.data(), kReadPiece, handle)) > 0;)
        total += n;
      VK_Kovr_File_Seek(device, handle, -1, 2);
      VK_Kovr_File_Read(device, piece.data(), kReadPiece, handle);
      VK_Kovr_File_Close(device, handle);
    }
    KovrByteSource source(device, path, f.number);
    if (!source.IsOpen()) continue;
    avi::AviReader reader(source);
    if (reader.Open()) reader.Duration();
  }
}

bool NoLanguage(int, std::string&) { return false; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzsupport::LimitFileSize(kLargestCard);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::IgnoreFileSizeSignal();
  fuzzsupport::MemoryFile card;
  if (!LayOutCard(data, size, card)) return 0;
  const std::string path = card.Path();
  VK_Kovr_Start();
  VK_Kovr_Check_Kovr_partition(path.c_str());
  unsigned char device[KOVR_CONNECTION_BLOCK_SIZE] = {};
  if (VK_Kovr_Device_Open(path.c_str(), KOVR_OPEN_DEFAULT, device) == KOVR_OK) {
    const int areas = VK_Kovr_Get_Area_Count(device);
    std::vector<std::string> names;
    for (int i = 0; i < areas; ++i) {
      KovrAreaInfo info;
      if (VK_Kovr_Get_Area_Info(device, i, &info) == KOVR_OK) names.emplace_back(info.name, strnlen(info.name, 64));
    }
    for (const std::string& name : names) ReadEveryFile(device, name.c_str());

    // The camera's road: a new recording at the head of the first area, then gone.
    if (!names.empty()) {
      const std::string newPath = "/" + names.front() + "/REC_20240101_000000_1.avi";
      const int handle = VK_Kovr_File_Open(device, newPath.c_str(), "w", 0, 0, 0);
      if (handle > 0) {
        const std::vector<uint8_t> bytes(6000, 0x5A);
        VK_Kovr_File_Write(device, bytes.data(), static_cast<int32_t>(bytes.size()), handle);
        const int32_t number = VK_Kovr_File_Number(device, handle);
        VK_Kovr_File_Close(device, handle);
        VK_Kovr_File_Delete(device, number);
      }
    }
    VK_Kovr_Device_Close(device);
  }

  // The viewer's road: list the card's folders, copy and prepare the first recording.
  {
    RecordingCollection collection;
    collection.languageLookup = NoLanguage;
    for (const char* folder : {"NORMAL", "INFINITE", "EVENT", "PARKING"}) collection.AddCardFolder(folder);
    SourceEntry source;
    source.kind = kSourceCard;
    std::strncpy(source.physicalPath, path.c_str(), sizeof source.physicalPath - 1);
    if (collection.OpenCard(source)) {
      collection.SortEntries();
      MemoryRecordingList list;
      if (collection.ListAll(list) > 0) {
        const std::filesystem::path copy = fuzzsupport::ScratchFolder() / "copy.avi";
        collection.SaveRecordingCopy(0, copy.string());
        std::filesystem::remove(copy);
        const std::filesystem::path temp = fuzzsupport::ScratchFolder() / "temp";
        if (const RecordingEntry* entry = collection.EntryForRow(0))
          PrepareCardRecording(collection.device.Block(), *entry, temp);
        std::error_code ec;
        std::filesystem::remove_all(temp, ec);
      }
    }
  }
  VK_Kovr_Stop();
  return 0;
}
