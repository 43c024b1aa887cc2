#pragma once
// A small stand-in for the system registry: each hive is an INI file whose sections
// are key paths ("Software\GNU\ffdshow") and whose entries are typed values.
// Both hives live in the config folder beside option.ini (the user's own, or the
// program's in portable mode). Key paths and value names compare case-insensitively, as
// registry names do. Every change re-reads the file and replaces it whole (write to a
// temporary file, then rename), so a crash never leaves half a hive behind.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class RegistryHive { kCurrentUser, kLocalMachine };

class Registry {
 public:
  // The hive file: ConfigFolder()/"HKEY_CURRENT_USER.ini" or "HKEY_LOCAL_MACHINE.ini".
  static std::filesystem::path HiveFile(RegistryHive hive);

  explicit Registry(RegistryHive hive);
  // A hive kept in any file (tests, tools).
  explicit Registry(std::filesystem::path file);

  const std::filesystem::path& File() const { return file_; }

  // Creates the key (and the hive file and its folder) when missing; true when it
  // exists afterwards. Key paths use "\" (or "/") between their parts.
  bool CreateKey(std::string_view key);
  bool KeyExists(std::string_view key) const;
  // Removes the key with its values and every key below it; true when none is left.
  bool DeleteKey(std::string_view key);

  // Create the key when needed and set the value, replacing one of any type.
  bool SetDword(std::string_view key, std::string_view name, std::uint32_t value);
  bool SetString(std::string_view key, std::string_view name, std::string_view value);
  // A value of raw bytes (a fixed-size buffer), kept as hex digits in the file.
  bool SetBinary(std::string_view key, std::string_view name, std::string_view bytes);

  // The value when it exists with that type.
  std::optional<std::uint32_t> GetDword(std::string_view key, std::string_view name) const;
  std::optional<std::string> GetString(std::string_view key, std::string_view name) const;
  std::optional<std::string> GetBinary(std::string_view key, std::string_view name) const;

  bool DeleteValue(std::string_view key, std::string_view name);
  // Value names of the key in the order they were first set.
  std::vector<std::string> ValueNames(std::string_view key) const;

 private:
  struct Value {
    std::string name;
    bool isDword = false;
    bool isBinary = false;  // text holds the bytes
    std::uint32_t dword = 0;
    std::string text;
  };
  struct Key {
    std::string path;
    std::vector<Value> values;
  };
  using Hive = std::vector<Key>;

  Hive Load() const;
  bool Save(const Hive& hive) const;
  static Key* FindKey(Hive& hive, std::string_view path);
  static const Value* FindValue(const Hive& hive, std::string_view key, std::string_view name);
  bool SetValue(std::string_view key, const Value& value);

  std::filesystem::path file_;
};

}  // namespace platform
