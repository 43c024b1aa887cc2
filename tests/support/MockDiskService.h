#pragma once
// A private system bus with the mock disk service (tests/support/udisks2_mock.py on
// python-dbusmock) for one test: both processes started here and ended by their ids,
// DBUS_SYSTEM_BUS_ADDRESS pointing at the bus while the object lives. Disks come and
// go with AddDisk and RemoveDisk, as a card put in and taken out.

#include <fcntl.h>
// GLib names a struct member "signals", which Qt makes a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

extern char** environ;

namespace testsupport {

class MockDiskService {
 public:
  static constexpr const char* kPython = "/usr/bin/python3";

  // Why the machine cannot run the mock ("" when it can).
  static std::string Missing() {
    if (::access("/usr/bin/dbus-daemon", X_OK) != 0) return "dbus-daemon is not installed";
    if (::access(kPython, X_OK) != 0) return "python3 is not installed";
    if (std::system("/usr/bin/python3 -c 'import dbusmock' >/dev/null 2>&1") != 0)
      return "python3-dbusmock is not installed";
    return {};
  }

  MockDiskService() {
    namespace fs = std::filesystem;
    // Reachable by a user made for a test: the folder and the socket.
    fs::permissions(folder_.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
    const fs::path socket = folder_.Path() / "system_bus_socket";
    const fs::path config = folder_.Path() / "bus.conf";
    std::ofstream(config) << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                             " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                             "<busconfig><type>system</type><listen>unix:path="
                          << socket.string()
                          << "</listen><auth>EXTERNAL</auth>"
                             "<policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>"
                             "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy></busconfig>\n";
    bus_ = Spawn({"/usr/bin/dbus-daemon", "--nofork", "--nopidfile", "--config-file=" + config.string()});
    for (int i = 0; i < 100 && !fs::exists(socket); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::chmod(socket.c_str(), 0777);
    address_ = "unix:path=" + socket.string();
    env_ = std::make_unique<ScopedEnv>("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str());
    mock_ = Spawn({kPython, "-m", "dbusmock", "--system", "--template",
                   std::string(TARVO_SOURCE_DIR) + "/tests/support/udisks2_mock.py"});
    for (int i = 0; i < 250 && !Ready(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }

  ~MockDiskService() {
    Stop(mock_);
    Stop(bus_);
  }

  MockDiskService(const MockDiskService&) = delete;
  MockDiskService& operator=(const MockDiskService&) = delete;

  bool Ready() const { return Call("org.freedesktop.DBus.ObjectManager", "GetManagedObjects", nullptr); }
  const std::string& Address() const { return address_; }

  // spec: a GVariant text of a{sv}, as udisks2_mock.py describes.
  bool AddDisk(const std::string& name, const std::string& spec) const {
    GError* e = nullptr;
    GVariant* dict = g_variant_parse(G_VARIANT_TYPE("a{sv}"), spec.c_str(), nullptr, nullptr, &e);
    if (!dict) {
      ADD_FAILURE() << "bad spec: " << (e ? e->message : "");
      if (e) g_error_free(e);
      return false;
    }
    return Call("org.freedesktop.DBus.Mock", "AddDisk", g_variant_new("(s@a{sv})", name.c_str(), dict));
  }
  bool RemoveDisk(const std::string& name) const {
    return Call("org.freedesktop.DBus.Mock", "RemoveDisk", g_variant_new("(s)", name.c_str()));
  }

 private:
  static pid_t Spawn(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }

  static void Stop(pid_t pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
  }

  bool Call(const char* interface, const char* method, GVariant* args) const {
    GError* e = nullptr;
    GDBusConnection* c = g_dbus_connection_new_for_address_sync(
        address_.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &e);
    if (!c) {
      if (e) g_error_free(e);
      if (args) g_variant_unref(g_variant_ref_sink(args));
      return false;
    }
    GVariant* reply = g_dbus_connection_call_sync(c, "org.freedesktop.UDisks2", "/org/freedesktop/UDisks2", interface,
                                                  method, args, nullptr, G_DBUS_CALL_FLAGS_NONE, 10000, nullptr, &e);
    if (reply) g_variant_unref(reply);
    if (e) g_error_free(e);
    g_dbus_connection_close_sync(c, nullptr, nullptr);
    g_object_unref(c);
    return reply != nullptr;
  }

  TempFolder folder_;
  pid_t bus_ = -1;
  pid_t mock_ = -1;
  std::string address_;
  std::unique_ptr<ScopedEnv> env_;
};

}  // namespace testsupport
