#pragma once
// The desktop's disk service (UDisks2 on the system bus): what it knows of the block
// devices and their drives, opening a whole device through it (the service asks the
// user for the right when it must, so no root and no "disk" group are needed),
// mounting, unmounting and rescanning, and a watch on its changes.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace drives {

// "service" uses the disk service even as root, "direct" never uses it; unset: the
// service for users other than root wherever it runs.
inline constexpr const char* kDiskAccessVariable = "TARVO_DISK_ACCESS";

enum class AccessProblem {
  kNone,
  kRefused,    // the service (or polkit) refused the right to open the device
  kNotFound,   // the service knows no such device
  kNoService,  // no disk service on the system bus
  kFailed,     // anything else: the text says what
};

struct AccessError {
  AccessProblem problem = AccessProblem::kNone;
  std::string detail;  // the service's or the system's own words
};

// One block device as the service reports it.
struct ServiceBlock {
  std::string object;  // D-Bus object path
  std::string device;  // /dev/sdb, /dev/sdb1, /dev/loop0
  std::string drive;   // object path of its drive; "/" for none (loop devices)
  uint64_t size = 0;
  bool hintSystem = true;
  std::string idType;  // vfat, ext4, LVM2_member, crypto_LUKS, linux_raid_member, swap ...
  std::string idLabel;
  std::vector<std::string> mountPoints;
  bool hasPartitionTable = false;
  std::string partitionTable;  // object path of the whole disk for a partition, else ""
  uint32_t partitionNumber = 0;
  std::string partitionType;  // "0x0c" for an MBR entry
  std::string cryptoBacking;  // the device this one decrypts, "/" or "" for none
  std::string mdRaidMember;   // the array this one is part of, "/" or "" for none
  bool swapActive = false;
};

struct ServiceDrive {
  bool removable = false;       // the drive is removable (every USB drive)
  bool mediaRemovable = false;  // the medium can be taken out (cards, sticks)
  std::string connectionBus;    // usb, sdio, ...
};

struct ServiceState {
  std::vector<ServiceBlock> blocks;
  std::map<std::string, ServiceDrive> drives;  // by object path
};

// Whether the process goes through the service: not for a drive table, never when
// TARVO_DISK_ACCESS says "direct", as root only when it says "service", and only
// while the service runs (or can be started by the bus).
bool UseDiskService();
// The service answers on the system bus (or the bus can start it).
bool DiskServiceRuns();

bool ReadServiceState(ServiceState& state, AccessError& error);

// Opens the whole device (or a partition) through the service: a descriptor the
// caller closes, or -1 with `error` set. `exclusive` asks for O_EXCL; `interactive`
// lets the service ask the user for the right.
int ServiceOpenDevice(const std::string& device, bool write, bool exclusive, bool interactive, AccessError& error);
// Mounts a file system where the service chooses; its mount point in `mountPoint`.
bool ServiceMount(const std::string& device, std::string& mountPoint, AccessError& error);
bool ServiceUnmount(const std::string& device, AccessError& error);
// Has the kernel read the device's partition table again.
bool ServiceRescan(const std::string& device, AccessError& error);

// Why this user may see fewer cards than the machine has ("" when nothing is amiss):
// a user other than root without the disk service reaches only the disks it may open
// itself.
std::string DiskAccessNote();

// A short English text for a problem, for tools: "access refused by the system (...)".
std::string DescribeAccessError(const AccessError& error);

// Opens a card device for the card library: images and, without the service, devices
// by name (O_RDWR, else O_RDONLY; O_EXCL when exclusive); through the service
// otherwise. A descriptor or -1 with `error` set.
int OpenCardDevice(const std::string& path, bool exclusive, bool interactive, AccessError& error);

// Calls `changed` (on a thread of its own) whenever the service's devices, their
// mounts or the service itself come or go. Stops with the object.
class ServiceWatch {
 public:
  explicit ServiceWatch(std::function<void()> changed);
  ~ServiceWatch();
  ServiceWatch(const ServiceWatch&) = delete;
  ServiceWatch& operator=(const ServiceWatch&) = delete;
  // The watch is connected to the system bus.
  bool Running() const;

  struct Loop;

 private:
  std::unique_ptr<Loop> loop_;
};

}  // namespace drives
