#include "platform/Registry.h"

#include <cstdio>
#include <system_error>

#include "platform/FileOpen.h"
#include "platform/Paths.h"
#include "platform/WholeFile.h"

namespace platform {
namespace {

constexpr char kDwordPrefix[] = "dword:";
constexpr char kStringPrefix[] = "sz:";
constexpr char kBinaryPrefix[] = "hex:";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// "Software/GNU\\ffdshow\" -> "Software\GNU\ffdshow"; "" for a path with no parts.
std::string NormalKey(std::string_view path) {
  std::string key;
  std::string part;
  auto flush = [&] {
    if (part.empty()) return;
    if (!key.empty()) key.push_back('\\');
    key += part;
    part.clear();
  };
  for (char c : path) {
    if (c == '\\' || c == '/')
      flush();
    else
      part.push_back(c);
  }
  flush();
  return key;
}

// True when `key` is `parent` itself or lies below it.
bool IsAtOrBelow(std::string_view key, std::string_view parent) {
  if (key.size() < parent.size() || !SameName(key.substr(0, parent.size()), parent)) return false;
  return key.size() == parent.size() || key[parent.size()] == '\\';
}

// Names and texts are stored percent-encoded where a raw character would break the
// line structure ('%', '=', '[', ']' and control characters).
std::string Encode(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '%' || c == '=' || c == '[' || c == ']') {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string HexBytes(std::string_view bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    text.push_back(kDigits[b >> 4]);
    text.push_back(kDigits[b & 0xF]);
  }
  return text;
}

bool ParseHexBytes(std::string_view text, std::string& bytes) {
  if (text.size() % 2 != 0) return false;
  bytes.clear();
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexDigit(text[i]);
    const int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  return true;
}

std::string Decode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

bool ParseDword(std::string_view text, std::uint32_t& value) {
  if (text.empty() || text.size() > 8) return false;
  std::uint32_t result = 0;
  for (char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    result = result * 16 + static_cast<std::uint32_t>(digit);
  }
  value = result;
  return true;
}

std::string HexDword(std::uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", value);
  return text;
}

}  // namespace

std::filesystem::path Registry::HiveFile(RegistryHive hive) {
  const std::filesystem::path folder = ConfigFolder();
  if (folder.empty()) return {};
  return folder / (hive == RegistryHive::kCurrentUser ? "HKEY_CURRENT_USER.ini" : "HKEY_LOCAL_MACHINE.ini");
}

Registry::Registry(RegistryHive hive) : file_(HiveFile(hive)) {}

Registry::Registry(std::filesystem::path file) : file_(std::move(file)) {}

Registry::Hive Registry::Load() const {
  Hive hive;
  std::FILE* in = OpenPlainFileStream(file_);
  if (in == nullptr) return hive;
  Key* current = nullptr;
  std::string line;
  for (int c = std::fgetc(in);; c = std::fgetc(in)) {
    if (c != EOF && c != '\n') {
      line.push_back(static_cast<char>(c));
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      const std::string path = NormalKey(Decode(std::string_view(line).substr(1, line.size() - 2)));
      current = path.empty() ? nullptr : FindKey(hive, path);
      if (current == nullptr && !path.empty()) {
        hive.push_back(Key{path, {}});
        current = &hive.back();
      }
    } else if (const std::size_t equals = line.find('='); current && equals != std::string::npos) {
      Value value;
      value.name = Decode(std::string_view(line).substr(0, equals));
      const std::string_view data = std::string_view(line).substr(equals + 1);
      bool valid = false;
      if (data.rfind(kDwordPrefix, 0) == 0) {
        value.isDword = true;
        valid = ParseDword(data.substr(sizeof kDwordPrefix - 1), value.dword);
      } else if (data.rfind(kStringPrefix, 0) == 0) {
        value.text = Decode(data.substr(sizeof kStringPrefix - 1));
        valid = true;
      } else if (data.rfind(kBinaryPrefix, 0) == 0) {
        value.isBinary = true;
        valid = ParseHexBytes(data.substr(sizeof kBinaryPrefix - 1), value.text);
      }
      if (valid) {
        std::vector<Value>& values = current->values;
        bool replaced = false;
        for (Value& v : values)
          if (SameName(v.name, value.name)) {
            v = value;
            replaced = true;
          }
        if (!replaced) values.push_back(value);
      }
    }
    line.clear();
    if (c == EOF) break;
  }
  std::fclose(in);
  return hive;
}

bool Registry::Save(const Hive& hive) const {
  if (file_.empty()) return false;
  std::error_code ec;
  if (file_.has_parent_path()) std::filesystem::create_directories(file_.parent_path(), ec);
  std::string text;
  for (const Key& key : hive) {
    text += "[" + Encode(key.path) + "]\n";
    for (const Value& v : key.values) {
      text += Encode(v.name) + "=";
      if (v.isDword) {
        text += kDwordPrefix + HexDword(v.dword);
      } else if (v.isBinary) {
        text += kBinaryPrefix + HexBytes(v.text);
      } else {
        text += kStringPrefix + Encode(v.text);
      }
      text += "\n";
    }
    text += "\n";
  }
  return WriteWholeFile(file_, text);
}

Registry::Key* Registry::FindKey(Hive& hive, std::string_view path) {
  for (Key& key : hive)
    if (SameName(key.path, path)) return &key;
  return nullptr;
}

const Registry::Value* Registry::FindValue(const Hive& hive, std::string_view key, std::string_view name) {
  const std::string path = NormalKey(key);
  for (const Key& k : hive) {
    if (!SameName(k.path, path)) continue;
    for (const Value& v : k.values)
      if (SameName(v.name, name)) return &v;
  }
  return nullptr;
}

bool Registry::CreateKey(std::string_view key) {
  const std::string path = NormalKey(key);
  if (path.empty()) return false;
  Hive hive = Load();
  if (FindKey(hive, path) != nullptr) return true;
  hive.push_back(Key{path, {}});
  return Save(hive);
}

bool Registry::KeyExists(std::string_view key) const {
  const std::string path = NormalKey(key);
  if (path.empty()) return false;
  Hive hive = Load();
  return FindKey(hive, path) != nullptr;
}

bool Registry::DeleteKey(std::string_view key) {
  const std::string path = NormalKey(key);
  if (path.empty()) return false;
  Hive hive = Load();
  const std::size_t before = hive.size();
  std::erase_if(hive, [&](const Key& k) { return IsAtOrBelow(k.path, path); });
  return hive.size() == before || Save(hive);
}

bool Registry::SetValue(std::string_view key, const Value& value) {
  const std::string path = NormalKey(key);
  if (path.empty()) return false;
  Hive hive = Load();
  Key* target = FindKey(hive, path);
  if (target == nullptr) {
    hive.push_back(Key{path, {}});
    target = &hive.back();
  }
  bool replaced = false;
  for (Value& v : target->values)
    if (SameName(v.name, value.name)) {
      const std::string keptName = v.name;
      v = value;
      v.name = keptName;
      replaced = true;
    }
  if (!replaced) target->values.push_back(value);
  return Save(hive);
}

bool Registry::SetDword(std::string_view key, std::string_view name, std::uint32_t value) {
  Value v;
  v.name = std::string(name);
  v.isDword = true;
  v.dword = value;
  return SetValue(key, v);
}

bool Registry::SetString(std::string_view key, std::string_view name, std::string_view value) {
  Value v;
  v.name = std::string(name);
  v.text = std::string(value);
  return SetValue(key, v);
}

bool Registry::SetBinary(std::string_view key, std::string_view name, std::string_view bytes) {
  Value v;
  v.name = std::string(name);
  v.isBinary = true;
  v.text = std::string(bytes);
  return SetValue(key, v);
}

std::optional<std::string> Registry::GetBinary(std::string_view key, std::string_view name) const {
  const Hive hive = Load();
  const Value* v = FindValue(hive, key, name);
  if (v == nullptr || !v->isBinary) return std::nullopt;
  return v->text;
}

std::optional<std::uint32_t> Registry::GetDword(std::string_view key, std::string_view name) const {
  const Hive hive = Load();
  const Value* v = FindValue(hive, key, name);
  if (v == nullptr || !v->isDword) return std::nullopt;
  return v->dword;
}

std::optional<std::string> Registry::GetString(std::string_view key, std::string_view name) const {
  const Hive hive = Load();
  const Value* v = FindValue(hive, key, name);
  if (v == nullptr || v->isDword || v->isBinary) return std::nullopt;
  return v->text;
}

bool Registry::DeleteValue(std::string_view key, std::string_view name) {
  const std::string path = NormalKey(key);
  Hive hive = Load();
  Key* target = FindKey(hive, path);
  if (target == nullptr) return true;
  const std::size_t before = target->values.size();
  std::erase_if(target->values, [&](const Value& v) { return SameName(v.name, name); });
  return target->values.size() == before || Save(hive);
}

std::vector<std::string> Registry::ValueNames(std::string_view key) const {
  std::vector<std::string> names;
  Hive hive = Load();
  if (const Key* k = FindKey(hive, NormalKey(key)))
    for (const Value& v : k->values) names.push_back(v.name);
  return names;
}

}  // namespace platform
