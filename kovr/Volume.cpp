#include "kovr/Volume.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "kovr/Bytes.h"

namespace kovr {

namespace {

constexpr size_t kMaxPath = 4096;

uint64_t AlignUp(uint64_t v, uint64_t a) { return (v + a - 1) / a * a; }

// "/AREA/NAME" gives both; a bare "NAME" gives the name alone.
bool SplitPath(const char* path, std::string& area, std::string& name) {
  if (!path) return false;
  const size_t len = strnlen(path, kMaxPath);
  if (len == kMaxPath) return false;
  const std::string p(path, len);
  area.clear();
  if (!p.empty() && p[0] == '/') {
    const size_t slash = p.find('/', 1);
    if (slash == std::string::npos) return false;
    area = p.substr(1, slash - 1);
    name = p.substr(slash + 1);
  } else {
    name = p;
  }
  return name.find('/') == std::string::npos;
}

bool ValidNewName(const std::string& name) {
  return !name.empty() && name.size() <= KOVR_MAX_NAME_LENGTH && name != "." && name != ".." &&
         name.find('\\') == std::string::npos;
}

// Whether two stretches of a ring of the given length share a byte.
bool RingOverlap(uint64_t ring, uint64_t a, uint64_t an, uint64_t b, uint64_t bn) {
  auto segments = [ring](uint64_t s, uint64_t n, uint64_t out[2][2]) {
    const uint64_t first = std::min(n, ring - s);
    out[0][0] = s;
    out[0][1] = s + first;
    out[1][0] = 0;
    out[1][1] = n - first;
  };
  uint64_t sa[2][2];
  uint64_t sb[2][2];
  segments(a, an, sa);
  segments(b, bn, sb);
  for (auto& x : sa)
    for (auto& y : sb)
      if (x[0] < x[1] && y[0] < y[1] && x[0] < y[1] && y[0] < x[1]) return true;
  return false;
}

}  // namespace

uint64_t Volume::Extent(uint64_t size) { return std::max<uint64_t>(AlignUp(size, kFileAlignment), kFileAlignment); }

Volume::~Volume() {
  if (written_) device_.Flush();
}

int Volume::Mount(const std::string& path) {
  if (!device_.Open(path)) return KOVR_E_IO;
  return Load();
}

int Volume::MountDescriptor(int fd) {
  if (!device_.OpenDescriptor(fd)) return KOVR_E_IO;
  return Load();
}

int Volume::Load() {
  PartitionEntry partition;
  const int rc = ReadVolumeHeader(device_, partition, sb_);
  if (rc != KOVR_OK) return rc;
  partitionStart_ = uint64_t{partition.start} * kSectorSize;
  const uint64_t bytes = uint64_t{sb_.recordCount} * kRecordSize;
  std::vector<unsigned char> directory(bytes);
  if (!device_.ReadAt(partitionStart_ + sb_.directoryOffset, directory.data(), bytes)) return KOVR_E_IO;
  slots_.assign(sb_.recordCount, Slot{});
  std::unordered_set<uint32_t> seen;
  uint32_t highest = 0;
  for (uint32_t i = 0; i < sb_.recordCount; ++i) {
    DirRecord rec;
    if (!ParseRecord(directory.data() + uint64_t{i} * kRecordSize, sb_, rec)) continue;
    // A number seen twice means a damaged directory: the later record is ignored.
    if (!seen.insert(rec.number).second) continue;
    highest = std::max(highest, rec.number);
    slots_[i].used = true;
    slots_[i].rec = std::move(rec);
  }
  if (highest >= sb_.nextFileNumber) sb_.nextFileNumber = highest + 1;
  byArea_.assign(sb_.areas.size(), {});
  indexStale_ = true;
  return KOVR_OK;
}

int Volume::FindArea(const std::string& name) const {
  for (size_t i = 0; i < sb_.areas.size(); ++i)
    if (sb_.areas[i].name == name) return static_cast<int>(i);
  return -1;
}

const std::vector<uint32_t>& Volume::AreaFiles(int area) {
  if (indexStale_) {
    for (auto& list : byArea_) list.clear();
    for (uint32_t i = 0; i < slots_.size(); ++i)
      if (slots_[i].used) byArea_[slots_[i].rec.area].push_back(i);
    for (auto& list : byArea_)
      std::sort(list.begin(), list.end(),
                [this](uint32_t a, uint32_t b) { return slots_[a].rec.number < slots_[b].rec.number; });
    indexStale_ = false;
  }
  return byArea_[static_cast<size_t>(area)];
}

const DirRecord* Volume::Live(const OpenFile& f) const {
  const Slot& s = slots_[f.slot];
  return s.used && s.rec.number == f.number ? &s.rec : nullptr;
}

bool Volume::SaveRecord(uint32_t slot) {
  written_ = true;
  unsigned char bytes[kRecordSize];
  DirRecord rec = slots_[slot].rec;
  if (!slots_[slot].used) rec.state = kFree;
  EncodeRecord(rec, bytes);
  return device_.WriteAt(partitionStart_ + sb_.directoryOffset + uint64_t{slot} * kRecordSize, bytes, kRecordSize);
}

bool Volume::SaveSuperblock() {
  unsigned char block[kSuperblockSize];
  EncodeSuperblock(sb_, block);
  return device_.WriteAt(partitionStart_, block, sizeof block);
}

bool Volume::FreeSlot(uint32_t slot) {
  slots_[slot].used = false;
  indexStale_ = true;
  return SaveRecord(slot);
}

bool Volume::IsOpenForWriting(uint32_t slot) const {
  for (const auto& [handle, f] : open_)
    if (f.writing && f.slot == slot && Live(f)) return true;
  return false;
}

int Volume::MakeRoom(int area, uint32_t self, uint64_t start, uint64_t length) {
  const uint64_t ring = sb_.areas[static_cast<size_t>(area)].length;
  std::vector<uint32_t> victims;
  for (uint32_t i = 0; i < slots_.size(); ++i) {
    const Slot& s = slots_[i];
    if (!s.used || i == self || s.rec.area != area) continue;
    if (!RingOverlap(ring, start, length, s.rec.start, Extent(s.rec.size))) continue;
    if (IsOpenForWriting(i)) return KOVR_E_BUSY;
    victims.push_back(i);
  }
  // Records go before their bytes are overwritten, so no file ever lists bytes that
  // belong to another.
  for (uint32_t v : victims)
    if (!FreeSlot(v)) return KOVR_E_IO;
  return KOVR_OK;
}

bool Volume::TransferAt(const DirRecord& rec, uint64_t position, void* data, uint64_t count, bool write) {
  const Area& a = sb_.areas[rec.area];
  const uint64_t base = partitionStart_ + a.offset;
  const uint64_t at = (rec.start + position) % a.length;
  const uint64_t first = std::min(count, a.length - at);
  auto* p = static_cast<unsigned char*>(data);
  auto io = [&](uint64_t off, unsigned char* buf, uint64_t n) {
    return write ? device_.WriteAt(base + off, buf, n) : device_.ReadAt(base + off, buf, n);
  };
  if (!io(at, p, first)) return false;
  return count == first || io(0, p + first, count - first);
}

int Volume::List(const char* folder, int32_t* cursor, unsigned char* buffer) {
  if (!folder || !cursor || !buffer || *cursor < 1) return KOVR_E_ARGUMENT;
  const int32_t capacity = static_cast<int32_t>(Get32(buffer));
  if (capacity <= 0) return KOVR_E_ARGUMENT;
  const size_t len = strnlen(folder, kMaxPath);
  if (len == kMaxPath) return KOVR_E_ARGUMENT;
  std::string name(folder, len);
  while (!name.empty() && name.front() == '/') name.erase(0, 1);
  while (!name.empty() && name.back() == '/') name.pop_back();
  const int area = FindArea(name);
  if (area < 0) return 0;
  const std::vector<uint32_t>& files = AreaFiles(area);
  const uint32_t from = static_cast<uint32_t>(*cursor);
  auto it = std::lower_bound(files.begin(), files.end(), from,
                             [this](uint32_t slot, uint32_t n) { return slots_[slot].rec.number < n; });
  const int limit = std::min(capacity, KOVR_FILE_LIST_CAPACITY);
  int n = 0;
  for (; it != files.end() && n < limit; ++it, ++n) {
    const DirRecord& rec = slots_[*it].rec;
    unsigned char* out = buffer + 4 + n * KOVR_FILE_RECORD_SIZE;
    std::memset(out, 0, KOVR_FILE_RECORD_SIZE);
    std::memcpy(out, rec.name.data(), std::min<size_t>(rec.name.size(), KOVR_MAX_NAME_LENGTH));
    Put32(out + KOVR_FILE_RECORD_NUMBER, rec.number);
    Put32(out + KOVR_FILE_RECORD_BYTES, rec.size);
    *cursor = static_cast<int32_t>(rec.number) + 1;
  }
  return n;
}

int Volume::OpenRead(const char* path, int32_t fileNumber) {
  std::string area;
  std::string name;
  if (!SplitPath(path, area, name)) return KOVR_E_ARGUMENT;
  const int areaIndex = area.empty() ? -1 : FindArea(area);
  if (!area.empty() && areaIndex < 0) return KOVR_E_NOT_FOUND;
  auto matches = [&](const DirRecord& rec) {
    if (areaIndex >= 0 && rec.area != areaIndex) return false;
    return name.empty() ? fileNumber > 0 : rec.name == name;
  };
  // By number when one is given; otherwise the oldest file of that name.
  int64_t found = -1;
  for (uint32_t i = 0; i < slots_.size(); ++i) {
    const Slot& s = slots_[i];
    if (!s.used || !matches(s.rec)) continue;
    if (fileNumber > 0) {
      if (s.rec.number != static_cast<uint32_t>(fileNumber)) continue;
      found = i;
      break;
    }
    if (found < 0 || s.rec.number < slots_[static_cast<size_t>(found)].rec.number) found = i;
  }
  if (found < 0) return KOVR_E_NOT_FOUND;
  const int handle = nextHandle_++;
  open_[handle] = OpenFile{static_cast<uint32_t>(found), slots_[static_cast<size_t>(found)].rec.number, false, 0};
  return handle;
}

int Volume::OpenWrite(const char* path) {
  if (!device_.Writable()) return KOVR_E_READ_ONLY;
  std::string area;
  std::string name;
  if (!SplitPath(path, area, name) || !ValidNewName(name)) return KOVR_E_ARGUMENT;
  const int areaIndex = FindArea(area);
  if (areaIndex < 0) return KOVR_E_NOT_FOUND;
  const auto areaByte = static_cast<unsigned char>(areaIndex);

  // A second file of the same name replaces the first, as a fresh "w" open does.
  for (uint32_t i = 0; i < slots_.size(); ++i) {
    if (!slots_[i].used || slots_[i].rec.area != areaByte || slots_[i].rec.name != name) continue;
    if (IsOpenForWriting(i)) return KOVR_E_BUSY;
    if (!FreeSlot(i)) return KOVR_E_IO;
  }

  int64_t slot = -1;
  for (uint32_t i = 0; i < slots_.size() && slot < 0; ++i)
    if (!slots_[i].used) slot = i;
  if (slot < 0) {
    // Every record is in use: the oldest file of this area (else of the card) gives
    // way, as when its bytes are overwritten.
    for (int pass = 0; pass < 2 && slot < 0; ++pass) {
      for (uint32_t i = 0; i < slots_.size(); ++i) {
        const Slot& s = slots_[i];
        if (!s.used || (pass == 0 && s.rec.area != areaByte) || IsOpenForWriting(i)) continue;
        if (slot < 0 || s.rec.number < slots_[static_cast<size_t>(slot)].rec.number) slot = i;
      }
    }
    if (slot < 0) return KOVR_E_FULL;
    if (!FreeSlot(static_cast<uint32_t>(slot))) return KOVR_E_IO;
  }

  const Area& a = sb_.areas[areaByte];
  uint64_t head = 0;
  uint32_t newest = 0;
  for (const Slot& s : slots_) {
    if (!s.used || s.rec.area != areaByte || s.rec.number < newest) continue;
    newest = s.rec.number;
    head = (s.rec.start + Extent(s.rec.size)) % a.length;
  }
  if (sb_.nextFileNumber == 0 || sb_.nextFileNumber >= kNumberLimit) return KOVR_E_FULL;
  const uint32_t number = sb_.nextFileNumber++;
  if (!SaveSuperblock()) return KOVR_E_IO;
  const auto s = static_cast<uint32_t>(slot);
  const int room = MakeRoom(areaIndex, s, head, kFileAlignment);
  if (room != KOVR_OK) return room;
  slots_[s].used = true;
  slots_[s].rec = DirRecord{name, number, 0, kWriting, areaByte, head};
  indexStale_ = true;
  if (!SaveRecord(s)) return KOVR_E_IO;
  const int handle = nextHandle_++;
  open_[handle] = OpenFile{s, number, true, 0};
  return handle;
}

int Volume::Read(int handle, void* buffer, int32_t count) {
  auto it = open_.find(handle);
  if (it == open_.end()) return KOVR_E_HANDLE;
  if (!buffer || count < 0) return KOVR_E_ARGUMENT;
  const DirRecord* rec = Live(it->second);
  if (!rec) return KOVR_E_NOT_FOUND;
  OpenFile& f = it->second;
  if (f.position >= rec->size || count == 0) return 0;
  const uint64_t n = std::min<uint64_t>(static_cast<uint64_t>(count), rec->size - f.position);
  if (!TransferAt(*rec, f.position, buffer, n, false)) return KOVR_E_IO;
  f.position += n;
  return static_cast<int>(n);
}

int Volume::Write(int handle, const void* buffer, int32_t count) {
  auto it = open_.find(handle);
  if (it == open_.end()) return KOVR_E_HANDLE;
  if (!it->second.writing) return KOVR_E_READ_ONLY;
  if (!buffer || count < 0) return KOVR_E_ARGUMENT;
  if (!Live(it->second)) return KOVR_E_NOT_FOUND;
  if (count == 0) return 0;
  const uint32_t slot = it->second.slot;
  DirRecord& rec = slots_[slot].rec;
  const uint64_t newSize = uint64_t{rec.size} + static_cast<uint64_t>(count);
  if (newSize > sb_.areas[rec.area].length || newSize > 0xFFFFFFFFu) return KOVR_E_FULL;
  const int room = MakeRoom(rec.area, slot, rec.start, Extent(newSize));
  if (room != KOVR_OK) return room;
  if (!TransferAt(rec, rec.size, const_cast<void*>(buffer), static_cast<uint64_t>(count), true)) return KOVR_E_IO;
  rec.size = static_cast<uint32_t>(newSize);
  if (!SaveRecord(slot)) return KOVR_E_IO;
  it->second.position = newSize;
  return count;
}

int64_t Volume::Seek(int handle, int64_t offset, int whence) {
  auto it = open_.find(handle);
  if (it == open_.end()) return KOVR_E_HANDLE;
  const DirRecord* rec = Live(it->second);
  if (!rec) return KOVR_E_NOT_FOUND;
  if (it->second.writing) return KOVR_E_ARGUMENT;  // the camera only appends
  int64_t base = 0;
  if (whence == 1)
    base = static_cast<int64_t>(it->second.position);
  else if (whence == 2)
    base = rec->size;
  else if (whence != 0)
    return KOVR_E_ARGUMENT;
  if (offset < -base || offset > INT64_MAX / 2) return KOVR_E_ARGUMENT;
  it->second.position = static_cast<uint64_t>(base + offset);
  return base + offset;
}

int64_t Volume::Size(int handle) const {
  auto it = open_.find(handle);
  if (it == open_.end()) return KOVR_E_HANDLE;
  const DirRecord* rec = Live(it->second);
  return rec ? int64_t{rec->size} : int64_t{KOVR_E_NOT_FOUND};
}

int32_t Volume::Number(int handle) const {
  auto it = open_.find(handle);
  if (it == open_.end()) return KOVR_E_HANDLE;
  return static_cast<int32_t>(it->second.number);
}

int Volume::Close(int handle) {
  auto it = open_.find(handle);
  if (it == open_.end()) return KOVR_E_HANDLE;
  const OpenFile f = it->second;
  open_.erase(it);
  if (!f.writing || !Live(f)) return KOVR_OK;
  slots_[f.slot].rec.state = kClosed;
  return SaveRecord(f.slot) ? KOVR_OK : KOVR_E_IO;
}

int Volume::Delete(int32_t fileNumber) {
  if (!device_.Writable()) return KOVR_E_READ_ONLY;
  if (fileNumber <= 0) return KOVR_E_ARGUMENT;
  for (uint32_t i = 0; i < slots_.size(); ++i) {
    if (!slots_[i].used || slots_[i].rec.number != static_cast<uint32_t>(fileNumber)) continue;
    if (IsOpenForWriting(i)) return KOVR_E_BUSY;
    return FreeSlot(i) ? KOVR_OK : KOVR_E_IO;
  }
  return KOVR_E_NOT_FOUND;
}

int Volume::GetAreaInfo(int index, KovrAreaInfo* info) const {
  if (!info || index < 0 || index >= AreaCount()) return KOVR_E_ARGUMENT;
  const Area& a = sb_.areas[static_cast<size_t>(index)];
  std::memset(info, 0, sizeof *info);
  std::memcpy(info->name, a.name.data(), std::min<size_t>(a.name.size(), sizeof info->name - 1));
  info->percent = a.percent;
  info->startByte = partitionStart_ + a.offset;
  info->lengthBytes = a.length;
  for (const Slot& s : slots_) {
    if (!s.used || s.rec.area != index) continue;
    ++info->fileCount;
    info->usedBytes += s.rec.size;
  }
  return KOVR_OK;
}

}  // namespace kovr
