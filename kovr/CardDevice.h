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
  // regular file nor a block device, or cannot be opened. A path bound to a descriptor
  // (BindDescriptor) is reached through a duplicate of it. `exclusive` claims a block
  // device for this open alone (O_EXCL): the kernel refuses while any of its
  // partitions is mounted or held, and refuses mounts while it is held.
  bool Open(const std::string& path, bool wantWrite = true, bool exclusive = false);
  // Takes a duplicate of an open descriptor of a card (the caller keeps its own);
  // writable when the descriptor was opened for writing.
  bool OpenDescriptor(int fd);
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
  // Descriptors that stand for a path in every later Open of that path (a device the
  // process may not open itself, handed over by the system's disk service). fd < 0
  // ends the binding. False when the descriptor cannot be duplicated.
  static bool BindDescriptor(const std::string& path, int fd);

  // Asks the kernel to read a block device's partition table again; images need not.
  void RereadPartitions();

 private:
  bool Adopt(int fd, bool writable, const std::string& path);

  int fd_ = -1;
  bool writable_ = false;
  uint64_t size_ = 0;
  std::string path_;
};

}  // namespace kovr
