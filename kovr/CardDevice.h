#pragma once
// Raw access to a whole card: a block device or an image file. Every read and write
// is checked against the device's size, so nothing outside the card is ever touched.

#include <cstdint>
#include <string>

namespace kovr {

constexpr uint64_t kSectorSize = 512;

class CardDevice {
 public:
  CardDevice() = default;
  ~CardDevice();
  CardDevice(const CardDevice&) = delete;
  CardDevice& operator=(const CardDevice&) = delete;

  // Opens read-write when allowed, else read-only; false when the path is neither a
  // regular file nor a block device, or cannot be opened.
  bool Open(const std::string& path, bool wantWrite = true);
  void Close();

  bool IsOpen() const { return fd_ >= 0; }
  bool Writable() const { return writable_; }
  uint64_t Size() const { return size_; }
  uint64_t SectorCount() const { return size_ / kSectorSize; }
  const std::string& Path() const { return path_; }

  // Whole reads and writes only: false when [offset, offset + count) leaves the card.
  bool ReadAt(uint64_t offset, void* buffer, uint64_t count) const;
  bool WriteAt(uint64_t offset, const void* buffer, uint64_t count);
  bool ZeroRange(uint64_t offset, uint64_t count);
  bool Flush();
  // Asks the kernel to read a block device's partition table again; images need not.
  void RereadPartitions();

 private:
  int fd_ = -1;
  bool writable_ = false;
  uint64_t size_ = 0;
  std::string path_;
};

}  // namespace kovr
