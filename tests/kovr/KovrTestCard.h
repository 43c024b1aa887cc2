#pragma once
// Card images for tests: sparse images formatted the way the dashcam formats cards (in
// a tests/support/TempFolder.h folder), and small helpers over the card library's calls.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "device/CardFormat.h"
#include "kovr/Kovr.h"
#include "sources/CardConnection.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace kovrtest {

namespace fs = std::filesystem;

constexpr uint64_t kMiB = 1024 * 1024;

struct ListedFile {
  std::string name;
  int32_t number = 0;
  uint32_t size = 0;
};

// A sparse image formatted with the camera's three areas; 120 MiB leaves areas of
// 6, 3 and 6 MiB, small enough to fill in a test.
inline std::string MakeFormattedCard(const fs::path& folder, uint64_t size = 120 * kMiB,
                                     const char* name = "card.img") {
  const fs::path image = folder / name;
  testsupport::MakeSparse(image, size);
  if (device::RunPartitionAndFormat(image.string()) != device::kFormatSuccess) return {};
  return image.string();
}

inline std::vector<unsigned char> Pattern(size_t size, uint32_t seed) {
  std::vector<unsigned char> bytes(size);
  std::mt19937 gen(seed);
  for (auto& b : bytes) b = static_cast<unsigned char>(gen());
  return bytes;
}

inline uint32_t Le32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t Le64(const unsigned char* p) {
  return static_cast<uint64_t>(Le32(p)) | static_cast<uint64_t>(Le32(p + 4)) << 32;
}
inline void PutLe32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

inline uint32_t Crc32(const unsigned char* data, size_t size) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    c ^= data[i];
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
  }
  return c ^ 0xFFFFFFFFu;
}

// An open connection with the file helpers the tests use on it.
class Card {
 public:
  explicit Card(const std::string& path) : rc_(connection_.Open(path)), block_(connection_.Block()) {}
  bool Ok() const { return rc_ == 0; }
  int Result() const { return rc_; }
  void* Block() { return block_; }

  // Writes a whole file as the camera does; returns its number or a negative code.
  int32_t Put(const std::string& folder, const std::string& name, const std::vector<unsigned char>& data,
              bool close = true, size_t chunk = 65536) {
    const std::string path = "/" + folder + "/" + name;
    const int h = VK_Kovr_File_Open(block_, path.c_str(), "w", 0, 0, 0);
    if (h <= 0) return h;
    for (size_t at = 0; at < data.size(); at += chunk) {
      const auto n = static_cast<int32_t>(std::min(chunk, data.size() - at));
      const int w = VK_Kovr_File_Write(block_, data.data() + at, n, h);
      if (w != n) return w < 0 ? w : KOVR_E_IO;
    }
    const int32_t number = VK_Kovr_File_Number(block_, h);
    if (close) VK_Kovr_File_Close(block_, h);
    return number;
  }

  std::vector<unsigned char> Get(const std::string& path, int32_t number, int32_t chunk = 262144) {
    std::vector<unsigned char> out;
    const int h = VK_Kovr_File_Open(block_, path.c_str(), "r", 0, 0, number);
    if (h <= 0) return out;
    std::vector<unsigned char> buffer(static_cast<size_t>(chunk));
    int n = 0;
    while ((n = VK_Kovr_File_Read(block_, buffer.data(), chunk, h)) > 0)
      out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    VK_Kovr_File_Close(block_, h);
    return out;
  }

  // Every record of a folder, with the number of records each call returned.
  std::vector<ListedFile> List(const std::string& folder, std::vector<int>* batches = nullptr) {
    std::vector<ListedFile> files;
    std::vector<unsigned char> buffer(KOVR_FILE_LIST_BUFFER_SIZE, 0);
    PutLe32(buffer.data(), KOVR_FILE_LIST_CAPACITY);
    int32_t cursor = 1;
    int n = 0;
    while ((n = VK_Kovr_Get_FileList(block_, folder.c_str(), &cursor, buffer.data(), 0)) > 0) {
      if (batches) batches->push_back(n);
      for (int i = 0; i < n; ++i) {
        const unsigned char* r = buffer.data() + 4 + i * KOVR_FILE_RECORD_SIZE;
        ListedFile f;
        f.name.assign(reinterpret_cast<const char*>(r), strnlen(reinterpret_cast<const char*>(r), 98));
        f.number = static_cast<int32_t>(Le32(r + KOVR_FILE_RECORD_NUMBER));
        f.size = Le32(r + KOVR_FILE_RECORD_BYTES);
        files.push_back(f);
      }
    }
    return files;
  }

 private:
  CardConnection connection_;
  int rc_;
  void* block_;
};

// The place of partition 2 and of its structures, read from the image's own bytes.
struct Geometry {
  uint64_t partitionStart = 0;  // bytes
  uint64_t directoryStart = 0;  // bytes from the start of the image
  uint32_t recordCount = 0;
};

inline Geometry ReadGeometry(const fs::path& image) {
  Geometry g;
  const std::vector<unsigned char> mbr = testsupport::ReadBytesAt(image, 0, 512);
  if (mbr.size() < 512) return g;
  g.partitionStart = uint64_t{Le32(mbr.data() + 446 + 16 + 8)} * 512;
  const std::vector<unsigned char> sb = testsupport::ReadBytesAt(image, g.partitionStart, 4096);
  if (sb.size() < 4096) return g;
  g.recordCount = Le32(sb.data() + 28);
  g.directoryStart = g.partitionStart + Le64(sb.data() + 32);
  return g;
}

}  // namespace kovrtest
