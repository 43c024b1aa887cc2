#include "sources/avi/KovrByteSource.h"

#include <algorithm>
#include <cstring>

#include "kovr/Kovr.h"

namespace {

// One library read moves at most this much; the library counts in int32.
constexpr int64_t kLargestRead = 1 << 24;

}  // namespace

KovrByteSource::KovrByteSource(void* deviceBlock, const std::string& path, int32_t number) {
  if (!deviceBlock) return;
  std::memcpy(block, deviceBlock, sizeof block);
  device = block;
  Open(path, number);
}

KovrByteSource::~KovrByteSource() {
  if (handle > 0) VK_Kovr_File_Close(device, handle);
}

bool KovrByteSource::Open(const std::string& path, int32_t number) {
  if (!device) return false;
  handle = VK_Kovr_File_Open(device, path.c_str(), "r", 0, 0, number);
  if (handle <= 0) {
    handle = 0;
    return false;
  }
  fileNumber = VK_Kovr_File_Number(device, handle);
  size = VK_Kovr_File_Size(device, handle);
  position = 0;
  return true;
}

std::unique_ptr<KovrByteSource> KovrByteSource::OpenOnCard(const std::string& physicalPath, const std::string& folder,
                                                           const std::string& name) {
  std::unique_ptr<KovrByteSource> source(new KovrByteSource());
  if (source->ownConnection.Open(physicalPath) != 0) return nullptr;
  source->device = source->ownConnection.Block();
  if (!source->Open("/" + folder + "/" + name, 0)) return nullptr;
  return source;
}

int64_t KovrByteSource::Size() const { return handle > 0 ? size : -1; }

int64_t KovrByteSource::ReadAt(int64_t offset, void* buffer, int64_t count) {
  if (handle <= 0 || !buffer || offset < 0 || count < 0) return -1;
  if (count == 0 || offset >= size) return 0;
  if (offset != position) {
    if (VK_Kovr_File_Seek(device, handle, offset, 0) != offset) return -1;
    position = offset;
  }
  auto* out = static_cast<unsigned char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const auto want = static_cast<int32_t>(std::min(count - done, kLargestRead));
    const int n = VK_Kovr_File_Read(device, out + done, want, handle);
    if (n < 0) {
      if (done > 0) break;
      return -1;
    }
    if (n == 0) break;
    done += n;
    position += n;
  }
  return done;
}
