#include "sources/DiskService.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <gio/gunixfdlist.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "sources/DriveTable.h"

namespace drives {

namespace {

constexpr const char* kService = "org.freedesktop.UDisks2";
constexpr const char* kRoot = "/org/freedesktop/UDisks2";
constexpr const char* kBlock = "org.freedesktop.UDisks2.Block";
constexpr const char* kDrive = "org.freedesktop.UDisks2.Drive";
constexpr const char* kFilesystem = "org.freedesktop.UDisks2.Filesystem";
constexpr const char* kPartition = "org.freedesktop.UDisks2.Partition";
constexpr const char* kPartitionTable = "org.freedesktop.UDisks2.PartitionTable";
constexpr const char* kSwapspace = "org.freedesktop.UDisks2.Swapspace";
constexpr int kCallTimeoutMs = 25000;
// A question to the user waits for the user.
constexpr int kInteractiveTimeoutMs = G_MAXINT;

// Owned GLib pointers.
struct ErrorFree {
  void operator()(GError* e) const { g_error_free(e); }
};
using Error = std::unique_ptr<GError, ErrorFree>;
struct ObjectUnref {
  void operator()(gpointer p) const { g_object_unref(p); }
};
using Connection = std::unique_ptr<GDBusConnection, ObjectUnref>;
using FdList = std::unique_ptr<GUnixFDList, ObjectUnref>;
struct VariantUnref {
  void operator()(GVariant* v) const { g_variant_unref(v); }
};
using Variant = std::unique_ptr<GVariant, VariantUnref>;

void SetError(AccessError& error, const GError* e) {
  error.detail = e ? e->message : "unknown error";
  error.problem = AccessProblem::kFailed;
  if (!e) return;
  if (g_error_matches(e, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
      g_error_matches(e, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER) ||
      g_error_matches(e, G_IO_ERROR, G_IO_ERROR_NOT_FOUND) ||
      g_error_matches(e, G_DBUS_ERROR, G_DBUS_ERROR_FILE_NOT_FOUND)) {
    error.problem = AccessProblem::kNoService;
  }
  if (gchar* remote = g_dbus_error_get_remote_error(e)) {
    const std::string name = remote;
    g_free(remote);
    if (name.find("NotAuthorized") != std::string::npos || name == "org.freedesktop.DBus.Error.AccessDenied")
      error.problem = AccessProblem::kRefused;
    // Keep the service's own sentence, without GDBus's "GDBus.Error:name: " prefix.
    const std::string prefix = "GDBus.Error:" + name + ": ";
    if (error.detail.rfind(prefix, 0) == 0) error.detail.erase(0, prefix.size());
  }
}

// A private connection to the system bus of this moment (tests start buses of their
// own, so nothing is cached).
Connection Connect(AccessError& error) {
  GError* e = nullptr;
  gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SYSTEM, nullptr, &e);
  if (!address) {
    SetError(error, e);
    error.problem = AccessProblem::kNoService;
    if (e) g_error_free(e);
    return nullptr;
  }
  GDBusConnection* c = g_dbus_connection_new_for_address_sync(
      address,
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &e);
  g_free(address);
  if (!c) {
    SetError(error, e);
    error.problem = AccessProblem::kNoService;
    if (e) g_error_free(e);
    return nullptr;
  }
  // The process must never end because the bus went away.
  g_dbus_connection_set_exit_on_close(c, FALSE);
  return Connection(c);
}

Variant Call(GDBusConnection* c, const char* object, const char* interface, const char* method, GVariant* args,
             const char* replyType, AccessError& error, bool interactive = false, GUnixFDList** fds = nullptr) {
  GError* e = nullptr;
  const auto flags = interactive ? G_DBUS_CALL_FLAGS_ALLOW_INTERACTIVE_AUTHORIZATION : G_DBUS_CALL_FLAGS_NONE;
  const int timeout = interactive ? kInteractiveTimeoutMs : kCallTimeoutMs;
  const GVariantType* type = replyType ? G_VARIANT_TYPE(replyType) : nullptr;
  GVariant* reply = fds ? g_dbus_connection_call_with_unix_fd_list_sync(c, kService, object, interface, method, args,
                                                                        type, flags, timeout, nullptr, fds, nullptr, &e)
                        : g_dbus_connection_call_sync(c, kService, object, interface, method, args, type, flags,
                                                      timeout, nullptr, &e);
  if (!reply) {
    SetError(error, e);
    if (e) g_error_free(e);
  }
  return Variant(reply);
}

std::string StringProperty(GVariant* props, const char* name) {
  const gchar* s = nullptr;
  return g_variant_lookup(props, name, "&s", &s) && s ? s : std::string();
}

std::string ObjectProperty(GVariant* props, const char* name) {
  const gchar* s = nullptr;
  return g_variant_lookup(props, name, "&o", &s) && s ? s : std::string();
}

// Byte strings (the device path, mount points) come with their NUL.
std::string BytesProperty(GVariant* value) {
  gsize n = 0;
  const auto* p = static_cast<const char*>(g_variant_get_fixed_array(value, &n, 1));
  std::string s(p ? p : "", p ? n : 0);
  while (!s.empty() && s.back() == '\0') s.pop_back();
  return s;
}

bool BoolProperty(GVariant* props, const char* name, bool otherwise) {
  gboolean b = FALSE;
  return g_variant_lookup(props, name, "b", &b) ? b != FALSE : otherwise;
}

void ReadBlock(GVariant* props, ServiceBlock& b) {
  if (Variant device{g_variant_lookup_value(props, "Device", G_VARIANT_TYPE("ay"))})
    b.device = BytesProperty(device.get());
  guint64 size = 0;
  if (g_variant_lookup(props, "Size", "t", &size)) b.size = size;
  b.drive = ObjectProperty(props, "Drive");
  b.hintSystem = BoolProperty(props, "HintSystem", true);
  b.idType = StringProperty(props, "IdType");
  b.idLabel = StringProperty(props, "IdLabel");
  b.cryptoBacking = ObjectProperty(props, "CryptoBackingDevice");
  b.mdRaidMember = ObjectProperty(props, "MDRaidMember");
}

// The object of the block device `device` (its name, or a link to it).
std::string FindBlockObject(GDBusConnection* c, const std::string& device, AccessError& error) {
  Variant reply =
      Call(c, kRoot, "org.freedesktop.DBus.ObjectManager", "GetManagedObjects", nullptr, "(a{oa{sa{sv}}})", error);
  if (!reply) return {};
  char* real = ::realpath(device.c_str(), nullptr);
  const std::string resolved = real ? real : device;
  std::free(real);
  std::string found;
  GVariantIter* objects = nullptr;
  g_variant_get(reply.get(), "(a{oa{sa{sv}}})", &objects);
  const gchar* path = nullptr;
  GVariant* interfaces = nullptr;
  while (found.empty() && g_variant_iter_loop(objects, "{&o@a{sa{sv}}}", &path, &interfaces)) {
    Variant props{g_variant_lookup_value(interfaces, kBlock, G_VARIANT_TYPE("a{sv}"))};
    if (!props) continue;
    ServiceBlock b;
    ReadBlock(props.get(), b);
    if (b.device == device || b.device == resolved) found = path;
  }
  g_variant_iter_free(objects);
  if (found.empty()) {
    error.problem = AccessProblem::kNotFound;
    error.detail = "the disk service knows no device " + device;
  }
  return found;
}

GVariant* Options(bool interactive) {
  GVariantBuilder b;
  g_variant_builder_init(&b, G_VARIANT_TYPE("a{sv}"));
  g_variant_builder_add(&b, "{sv}", "auth.no_user_interaction", g_variant_new_boolean(!interactive));
  return g_variant_builder_end(&b);
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

bool DiskServiceRuns() {
  AccessError error;
  Connection c = Connect(error);
  if (!c) return false;
  GError* e = nullptr;
  GVariant* owner = g_dbus_connection_call_sync(
      c.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
      g_variant_new("(s)", kService), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &e);
  gboolean has = FALSE;
  if (owner) {
    g_variant_get(owner, "(b)", &has);
    g_variant_unref(owner);
  }
  if (e) g_error_free(e);
  e = nullptr;
  if (has) return true;
  GVariant* names = g_dbus_connection_call_sync(
      c.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "ListActivatableNames", nullptr,
      G_VARIANT_TYPE("(as)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &e);
  bool activatable = false;
  if (names) {
    GVariantIter* it = nullptr;
    g_variant_get(names, "(as)", &it);
    const gchar* name = nullptr;
    while (g_variant_iter_loop(it, "&s", &name))
      if (std::strcmp(name, kService) == 0) activatable = true;
    g_variant_iter_free(it);
    g_variant_unref(names);
  }
  if (e) g_error_free(e);
  return activatable;
}

bool UseDiskService() {
  if (const char* table = std::getenv(kDriveTableVariable); table && *table) return false;
  const char* mode = std::getenv(kDiskAccessVariable);
  const std::string wanted = mode ? mode : "";
  if (wanted == "direct") return false;
  if (::geteuid() == 0 && wanted != "service") return false;
  return DiskServiceRuns();
}

bool ReadServiceState(ServiceState& state, AccessError& error) {
  state = ServiceState{};
  Connection c = Connect(error);
  if (!c) return false;
  Variant reply = Call(c.get(), kRoot, "org.freedesktop.DBus.ObjectManager", "GetManagedObjects", nullptr,
                       "(a{oa{sa{sv}}})", error);
  if (!reply) return false;
  GVariantIter* objects = nullptr;
  g_variant_get(reply.get(), "(a{oa{sa{sv}}})", &objects);
  const gchar* path = nullptr;
  GVariant* interfaces = nullptr;
  while (g_variant_iter_loop(objects, "{&o@a{sa{sv}}}", &path, &interfaces)) {
    if (Variant drive{g_variant_lookup_value(interfaces, kDrive, G_VARIANT_TYPE("a{sv}"))}) {
      ServiceDrive d;
      d.removable = BoolProperty(drive.get(), "Removable", false);
      d.mediaRemovable = BoolProperty(drive.get(), "MediaRemovable", false);
      d.connectionBus = StringProperty(drive.get(), "ConnectionBus");
      state.drives[path] = d;
    }
    Variant block{g_variant_lookup_value(interfaces, kBlock, G_VARIANT_TYPE("a{sv}"))};
    if (!block) continue;
    ServiceBlock b;
    b.object = path;
    ReadBlock(block.get(), b);
    if (Variant fsProps{g_variant_lookup_value(interfaces, kFilesystem, G_VARIANT_TYPE("a{sv}"))}) {
      if (Variant points{g_variant_lookup_value(fsProps.get(), "MountPoints", G_VARIANT_TYPE("aay"))}) {
        const gsize n = g_variant_n_children(points.get());
        for (gsize i = 0; i < n; ++i) {
          Variant point{g_variant_get_child_value(points.get(), i)};
          b.mountPoints.push_back(BytesProperty(point.get()));
        }
      }
    }
    if (Variant part{g_variant_lookup_value(interfaces, kPartition, G_VARIANT_TYPE("a{sv}"))}) {
      guint32 number = 0;
      if (g_variant_lookup(part.get(), "Number", "u", &number)) b.partitionNumber = number;
      b.partitionType = StringProperty(part.get(), "Type");
      b.partitionTable = ObjectProperty(part.get(), "Table");
    }
    if (Variant table{g_variant_lookup_value(interfaces, kPartitionTable, G_VARIANT_TYPE("a{sv}"))})
      b.hasPartitionTable = true;
    if (Variant swap{g_variant_lookup_value(interfaces, kSwapspace, G_VARIANT_TYPE("a{sv}"))})
      b.swapActive = BoolProperty(swap.get(), "Active", false);
    state.blocks.push_back(std::move(b));
  }
  g_variant_iter_free(objects);
  return true;
}

int ServiceOpenDevice(const std::string& device, bool write, bool exclusive, bool interactive, AccessError& error) {
  error = AccessError{};
  Connection c = Connect(error);
  if (!c) return -1;
  const std::string object = FindBlockObject(c.get(), device, error);
  if (object.empty()) return -1;
  GVariantBuilder b;
  g_variant_builder_init(&b, G_VARIANT_TYPE("a{sv}"));
  g_variant_builder_add(&b, "{sv}", "auth.no_user_interaction", g_variant_new_boolean(!interactive));
  if (exclusive) g_variant_builder_add(&b, "{sv}", "flags", g_variant_new_int32(O_EXCL));
  GVariant* args = g_variant_new("(s@a{sv})", write ? "rw" : "r", g_variant_builder_end(&b));
  GUnixFDList* raw = nullptr;
  Variant reply = Call(c.get(), object.c_str(), kBlock, "OpenDevice", args, "(h)", error, interactive, &raw);
  FdList fds(raw);
  if (!reply) return -1;
  gint32 index = -1;
  g_variant_get(reply.get(), "(h)", &index);
  GError* e = nullptr;
  const int fd = fds ? g_unix_fd_list_get(fds.get(), index, &e) : -1;
  if (fd < 0) {
    SetError(error, e);
    if (e) g_error_free(e);
    return -1;
  }
  return fd;
}

bool ServiceMount(const std::string& device, std::string& mountPoint, AccessError& error) {
  error = AccessError{};
  Connection c = Connect(error);
  if (!c) return false;
  const std::string object = FindBlockObject(c.get(), device, error);
  if (object.empty()) return false;
  Variant reply =
      Call(c.get(), object.c_str(), kFilesystem, "Mount", g_variant_new("(@a{sv})", Options(false)), "(s)", error);
  if (!reply) return false;
  const gchar* where = nullptr;
  g_variant_get(reply.get(), "(&s)", &where);
  mountPoint = where ? where : "";
  return true;
}

bool ServiceUnmount(const std::string& device, AccessError& error) {
  error = AccessError{};
  Connection c = Connect(error);
  if (!c) return false;
  const std::string object = FindBlockObject(c.get(), device, error);
  if (object.empty()) return false;
  return Call(c.get(), object.c_str(), kFilesystem, "Unmount", g_variant_new("(@a{sv})", Options(false)), nullptr,
              error) != nullptr;
}

bool ServiceRescan(const std::string& device, AccessError& error) {
  error = AccessError{};
  Connection c = Connect(error);
  if (!c) return false;
  const std::string object = FindBlockObject(c.get(), device, error);
  if (object.empty()) return false;
  return Call(c.get(), object.c_str(), kBlock, "Rescan", g_variant_new("(@a{sv})", Options(false)), nullptr, error) !=
         nullptr;
}

std::string DiskAccessNote() {
  if (const char* table = std::getenv(kDriveTableVariable); table && *table) return {};
  if (::geteuid() == 0) return {};
  const char* mode = std::getenv(kDiskAccessVariable);
  if (mode && std::string(mode) == "direct") return {};
  if (DiskServiceRuns()) return {};
  return "no disk service (UDisks2) answers on the system bus, so cards are reached only where this user may "
         "open the disk itself (root, or the group that owns the device)";
}

std::string DescribeAccessError(const AccessError& error) {
  switch (error.problem) {
    case AccessProblem::kNone:
      return {};
    case AccessProblem::kRefused:
      return "access refused by the system (" + error.detail + ")";
    case AccessProblem::kNotFound:
    case AccessProblem::kNoService:
    case AccessProblem::kFailed:
      break;
  }
  return error.detail;
}

int OpenCardDevice(const std::string& path, bool exclusive, bool interactive, AccessError& error) {
  error = AccessError{};
  if (IsRegularFile(path) || !UseDiskService()) {
    const int claim = exclusive ? O_EXCL : 0;
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | claim);
    if (fd < 0 && errno != EBUSY) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | claim);
    if (fd >= 0) return fd;
    const int err = errno;
    error.detail = std::strerror(err);
    error.problem = err == EACCES || err == EPERM ? AccessProblem::kRefused : AccessProblem::kFailed;
    return -1;
  }
  const int fd = ServiceOpenDevice(path, true, exclusive, interactive, error);
  if (fd >= 0 || error.problem != AccessProblem::kFailed) return fd;
  // A medium with its write switch set opens for reading only.
  AccessError readError;
  const int readOnly = ServiceOpenDevice(path, false, exclusive, interactive, readError);
  if (readOnly >= 0) error = AccessError{};
  return readOnly;
}

// --- the watch ---

struct ServiceWatch::Loop {
  std::function<void()> changed;
  GMainContext* context = nullptr;
  GMainLoop* loop = nullptr;
  GDBusConnection* connection = nullptr;
  std::thread thread;
  std::mutex mutex;
  std::condition_variable ready;
  bool started = false;
  bool running = false;

  static void OnSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant*,
                       gpointer self) {
    static_cast<Loop*>(self)->changed();
  }

  void Run() {
    g_main_context_push_thread_default(context);
    AccessError error;
    Connection c = Connect(error);
    if (c) {
      connection = c.get();
      // Every signal of the service: objects added and removed, properties (mounts,
      // media) changed; and the service itself starting or ending.
      g_dbus_connection_signal_subscribe(connection, kService, nullptr, nullptr, nullptr, nullptr,
                                         G_DBUS_SIGNAL_FLAGS_NONE, &Loop::OnSignal, this, nullptr);
      g_dbus_connection_signal_subscribe(connection, "org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged",
                                         "/org/freedesktop/DBus", kService, G_DBUS_SIGNAL_FLAGS_NONE, &Loop::OnSignal,
                                         this, nullptr);
    }
    {
      std::lock_guard<std::mutex> lock(mutex);
      started = true;
      running = c != nullptr;
    }
    ready.notify_all();
    if (c) g_main_loop_run(loop);
    if (c) g_dbus_connection_close_sync(connection, nullptr, nullptr);
    connection = nullptr;
    c.reset();
    g_main_context_pop_thread_default(context);
  }
};

ServiceWatch::ServiceWatch(std::function<void()> changed) : loop_(std::make_unique<Loop>()) {
  loop_->changed = std::move(changed);
  loop_->context = g_main_context_new();
  loop_->loop = g_main_loop_new(loop_->context, FALSE);
  loop_->thread = std::thread([l = loop_.get()] { l->Run(); });
  std::unique_lock<std::mutex> lock(loop_->mutex);
  loop_->ready.wait(lock, [this] { return loop_->started; });
}

ServiceWatch::~ServiceWatch() {
  // The loop may not be running yet: a source of its own quits it from inside.
  GSource* quit = g_idle_source_new();
  g_source_set_callback(
      quit,
      [](gpointer loop) -> gboolean {
        g_main_loop_quit(static_cast<GMainLoop*>(loop));
        return G_SOURCE_REMOVE;
      },
      loop_->loop, nullptr);
  g_source_attach(quit, loop_->context);
  g_source_unref(quit);
  loop_->thread.join();
  g_main_loop_unref(loop_->loop);
  g_main_context_unref(loop_->context);
}

bool ServiceWatch::Running() const {
  std::lock_guard<std::mutex> lock(loop_->mutex);
  return loop_->running;
}

}  // namespace drives
