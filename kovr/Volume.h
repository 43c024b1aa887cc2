#pragma once
// An open card: the superblock, the directory held in memory, and the open files.
// Areas are rings: a file is written at the area's head and the oldest files ahead
// of it give way, so an area never fills up and files never fragment.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "kovr/CardDevice.h"
#include "kovr/Kovr.h"
#include "kovr/VolumeLayout.h"

namespace kovr {

class Volume {
 public:
  Volume() = default;
  // Written bytes reach the card before the connection ends.
  ~Volume();
  Volume(const Volume&) = delete;
  Volume& operator=(const Volume&) = delete;

  // KOVR_OK, or a negative code for a card without an intact file system.
  int Mount(const std::string& path);
  // The same on a descriptor of the card (the library keeps a duplicate).
  int MountDescriptor(int fd);

  int List(const char* folder, int32_t* cursor, unsigned char* buffer);
  int OpenRead(const char* path, int32_t fileNumber);
  int OpenWrite(const char* path);
  int Read(int handle, void* buffer, int32_t count);
  int Write(int handle, const void* buffer, int32_t count);
  int64_t Seek(int handle, int64_t offset, int whence);
  int64_t Size(int handle) const;
  int32_t Number(int handle) const;
  int Close(int handle);
  int Delete(int32_t fileNumber);
  int AreaCount() const { return static_cast<int>(sb_.areas.size()); }
  int GetAreaInfo(int index, KovrAreaInfo* info) const;

 private:
  int Load();

  struct Slot {
    bool used = false;
    DirRecord rec;
  };
  struct OpenFile {
    uint32_t slot = 0;
    uint32_t number = 0;
    bool writing = false;
    uint64_t position = 0;
  };

  int FindArea(const std::string& name) const;
  const std::vector<uint32_t>& AreaFiles(int area);
  const DirRecord* Live(const OpenFile& f) const;
  bool SaveRecord(uint32_t slot);
  bool SaveSuperblock();
  bool FreeSlot(uint32_t slot);
  bool IsOpenForWriting(uint32_t slot) const;
  int MakeRoom(int area, uint32_t self, uint64_t start, uint64_t length);
  bool TransferAt(const DirRecord& rec, uint64_t position, void* data, uint64_t count, bool write);
  static uint64_t Extent(uint64_t size);

  CardDevice device_;
  uint64_t partitionStart_ = 0;
  Superblock sb_;
  std::vector<Slot> slots_;
  // File slots per area in file-number order, rebuilt when the directory changes.
  std::vector<std::vector<uint32_t>> byArea_;
  bool indexStale_ = true;
  std::map<int, OpenFile> open_;
  int nextHandle_ = 1;
  bool written_ = false;
};

}  // namespace kovr
