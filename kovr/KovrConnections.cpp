// The connection calls: a table of open cards, addressed from the caller's block.

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "kovr/Bytes.h"
#include "kovr/Kovr.h"
#include "kovr/Volume.h"

namespace {

constexpr unsigned char kBlockMagic[4] = {'K', 'V', 'C', 'B'};

struct Connection {
  std::mutex mutex;  // one call at a time per card: the player's thread and the UI
  kovr::Volume volume;
};

struct Table {
  std::mutex mutex;
  std::vector<std::shared_ptr<Connection>> slots;
  std::vector<uint64_t> generations;
  int starts = 0;  // several owners may start the library; the last stop ends it
};

Table& Connections() {
  static Table table;
  return table;
}

// The block holds the magic, the slot and the slot's generation, so a stale or
// foreign block never reaches another card's connection.
std::shared_ptr<Connection> Find(const void* block) {
  if (!block) return nullptr;
  const auto* b = static_cast<const unsigned char*>(block);
  if (std::memcmp(b, kBlockMagic, sizeof kBlockMagic) != 0) return nullptr;
  const uint32_t slot = kovr::Get32(b + 4);
  const uint64_t generation = kovr::Get64(b + 8);
  Table& t = Connections();
  std::lock_guard<std::mutex> lock(t.mutex);
  if (slot >= t.slots.size() || t.generations[slot] != generation) return nullptr;
  return t.slots[slot];
}

template <typename Fn>
auto WithConnection(void* block, Fn fn) -> decltype(fn(std::declval<kovr::Volume&>())) {
  std::shared_ptr<Connection> c = Find(block);
  if (!c) return KOVR_E_HANDLE;
  std::lock_guard<std::mutex> lock(c->mutex);
  return fn(c->volume);
}

// Puts an opened connection into the table and writes its address into the block.
int Register(std::shared_ptr<Connection> c, void* block) {
  Table& t = Connections();
  std::lock_guard<std::mutex> lock(t.mutex);
  size_t slot = 0;
  while (slot < t.slots.size() && t.slots[slot]) ++slot;
  if (slot == t.slots.size()) {
    t.slots.emplace_back();
    t.generations.push_back(0);
  }
  t.slots[slot] = std::move(c);
  const uint64_t generation = ++t.generations[slot];
  auto* b = static_cast<unsigned char*>(block);
  std::memset(b, 0, KOVR_CONNECTION_BLOCK_SIZE);
  std::memcpy(b, kBlockMagic, sizeof kBlockMagic);
  kovr::Put32(b + 4, static_cast<uint32_t>(slot));
  kovr::Put64(b + 8, generation);
  return KOVR_OK;
}

}  // namespace

extern "C" {

int VK_Kovr_Start(void) {
  Table& t = Connections();
  std::lock_guard<std::mutex> lock(t.mutex);
  ++t.starts;
  return KOVR_OK;
}

int VK_Kovr_Stop(void) {
  Table& t = Connections();
  std::lock_guard<std::mutex> lock(t.mutex);
  if (t.starts > 0 && --t.starts > 0) return KOVR_OK;
  for (size_t i = 0; i < t.slots.size(); ++i) {
    t.slots[i].reset();
    ++t.generations[i];
  }
  return KOVR_OK;
}

int VK_Kovr_Device_Open(const char* physicalPath, int flags, void* block) {
  (void)flags;
  if (!physicalPath || !block) return KOVR_E_ARGUMENT;
  auto c = std::make_shared<Connection>();
  const int rc = c->volume.Mount(physicalPath);
  if (rc != KOVR_OK) return rc;
  return Register(std::move(c), block);
}

int VK_Kovr_Device_Open_Descriptor(int fd, int flags, void* block) {
  (void)flags;
  if (fd < 0 || !block) return KOVR_E_ARGUMENT;
  auto c = std::make_shared<Connection>();
  const int rc = c->volume.MountDescriptor(fd);
  if (rc != KOVR_OK) return rc;
  return Register(std::move(c), block);
}

int VK_Kovr_Bind_Descriptor(const char* physicalPath, int fd) {
  if (!physicalPath || !*physicalPath) return KOVR_E_ARGUMENT;
  return kovr::CardDevice::BindDescriptor(physicalPath, fd) ? KOVR_OK : KOVR_E_IO;
}

int VK_Kovr_Device_Close(void* block) {
  if (!Find(block)) return KOVR_E_HANDLE;
  auto* b = static_cast<unsigned char*>(block);
  const uint32_t slot = kovr::Get32(b + 4);
  Table& t = Connections();
  {
    std::lock_guard<std::mutex> lock(t.mutex);
    if (slot < t.slots.size() && t.generations[slot] == kovr::Get64(b + 8)) {
      t.slots[slot].reset();
      ++t.generations[slot];
    }
  }
  std::memset(b, 0, KOVR_CONNECTION_BLOCK_SIZE);
  return KOVR_OK;
}

int VK_Kovr_Get_FileList(void* block, const char* folder, int32_t* cursor, void* buffer, int reserved) {
  (void)reserved;
  return WithConnection(block,
                        [&](kovr::Volume& v) { return v.List(folder, cursor, static_cast<unsigned char*>(buffer)); });
}

int VK_Kovr_File_Open(void* block, const char* path, const char* mode, int reserved1, int reserved2,
                      int32_t fileNumber) {
  (void)reserved1;
  (void)reserved2;
  if (!mode) return KOVR_E_ARGUMENT;
  const bool read = std::strcmp(mode, "r") == 0 || std::strcmp(mode, "rb") == 0;
  const bool write = std::strcmp(mode, "w") == 0 || std::strcmp(mode, "wb") == 0;
  if (!read && !write) return KOVR_E_ARGUMENT;
  return WithConnection(block,
                        [&](kovr::Volume& v) { return read ? v.OpenRead(path, fileNumber) : v.OpenWrite(path); });
}

int VK_Kovr_File_Read(void* block, void* buffer, int32_t count, int handle) {
  return WithConnection(block, [&](kovr::Volume& v) { return v.Read(handle, buffer, count); });
}

int VK_Kovr_File_Close(void* block, int handle) {
  return WithConnection(block, [&](kovr::Volume& v) { return v.Close(handle); });
}

int VK_Kovr_File_Write(void* block, const void* buffer, int32_t count, int handle) {
  return WithConnection(block, [&](kovr::Volume& v) { return v.Write(handle, buffer, count); });
}

int64_t VK_Kovr_File_Seek(void* block, int handle, int64_t offset, int whence) {
  std::shared_ptr<Connection> c = Find(block);
  if (!c) return KOVR_E_HANDLE;
  std::lock_guard<std::mutex> lock(c->mutex);
  return c->volume.Seek(handle, offset, whence);
}

int64_t VK_Kovr_File_Size(void* block, int handle) {
  std::shared_ptr<Connection> c = Find(block);
  if (!c) return KOVR_E_HANDLE;
  std::lock_guard<std::mutex> lock(c->mutex);
  return c->volume.Size(handle);
}

int32_t VK_Kovr_File_Number(void* block, int handle) {
  return WithConnection(block, [&](kovr::Volume& v) { return v.Number(handle); });
}

int VK_Kovr_File_Delete(void* block, int32_t fileNumber) {
  return WithConnection(block, [&](kovr::Volume& v) { return v.Delete(fileNumber); });
}

int VK_Kovr_Get_Area_Count(void* block) {
  return WithConnection(block, [&](kovr::Volume& v) { return v.AreaCount(); });
}

int VK_Kovr_Get_Area_Info(void* block, int index, KovrAreaInfo* info) {
  return WithConnection(block, [&](kovr::Volume& v) { return v.GetAreaInfo(index, info); });
}

}  // extern "C"
