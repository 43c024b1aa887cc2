#include "tools/export/Checksums.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <system_error>

namespace clipexport {

namespace {

constexpr std::size_t kReadBlock = 1 << 20;
constexpr std::size_t kHexDigits = 64;

struct DigestFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
struct FileClose {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// GNU sha256sum writes a name holding a backslash or a line break with a leading
// backslash on the line and both escaped; it reads them back the same way.
bool NeedsEscape(const std::string& name) { return name.find_first_of("\\\n\r") != std::string::npos; }

std::string Escape(const std::string& name) {
  std::string out;
  for (const char c : name) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out.push_back(c);
  }
  return out;
}

bool Unescape(const std::string& text, std::string& name) {
  name.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      name.push_back(text[i]);
      continue;
    }
    if (++i == text.size()) return false;
    if (text[i] == '\\')
      name.push_back('\\');
    else if (text[i] == 'n')
      name.push_back('\n');
    else if (text[i] == 'r')
      name.push_back('\r');
    else
      return false;
  }
  return true;
}

// One line of the list: the sum and the name, or false.
bool ParseLine(std::string line, std::string& hex, std::string& name) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const bool escaped = !line.empty() && line.front() == '\\';
  if (escaped) line.erase(0, 1);
  if (line.size() < kHexDigits + 3) return false;
  hex = line.substr(0, kHexDigits);
  if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
  std::transform(hex.begin(), hex.end(), hex.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
  if (line[kHexDigits] != ' ' || (line[kHexDigits + 1] != ' ' && line[kHexDigits + 1] != '*')) return false;
  const std::string raw = line.substr(kHexDigits + 2);
  if (escaped) return Unescape(raw, name);
  name = raw;
  return true;
}

// A listed name must stay inside the package: relative, no "..", no empty part.
bool InsideFolder(const std::string& name) {
  if (name.empty() || name.front() == '/') return false;
  const std::filesystem::path path(name);
  for (const auto& part : path)
    if (part == ".." || part == "." || part.empty()) return false;
  return true;
}

}  // namespace

bool Sha256OfFile(const std::filesystem::path& path, std::string& hex, const std::atomic<bool>* cancel) {
  hex.clear();
  const std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  const std::unique_ptr<EVP_MD_CTX, DigestFree> context(EVP_MD_CTX_new());
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return false;
  std::vector<unsigned char> block(kReadBlock);
  for (;;) {
    if (cancel && cancel->load()) return false;
    const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
    if (got > 0 && EVP_DigestUpdate(context.get(), block.data(), got) != 1) return false;
    if (got < block.size()) break;
  }
  if (std::ferror(file.get())) return false;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return false;
  static const char kDigits[] = "0123456789abcdef";
  for (unsigned int i = 0; i < length; ++i) {
    hex.push_back(kDigits[digest[i] >> 4]);
    hex.push_back(kDigits[digest[i] & 15]);
  }
  return true;
}

bool WriteChecksumFile(const std::filesystem::path& folder, const std::vector<std::string>& files, std::string& error,
                       const std::atomic<bool>* cancel) {
  std::string text;
  for (const std::string& name : files) {
    std::string hex;
    if (!Sha256OfFile(folder / name, hex, cancel)) {
      error = "cannot read " + (folder / name).string();
      return false;
    }
    if (NeedsEscape(name))
      text += "\\" + hex + "  " + Escape(name) + "\n";
    else
      text += hex + "  " + name + "\n";
  }
  // Written beside and renamed, so a list is either whole or absent.
  const std::filesystem::path target = folder / kChecksumFileName;
  const std::filesystem::path part = folder / (std::string(kChecksumFileName) + ".part");
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
      std::error_code ec;
      std::filesystem::remove(part, ec);
      error = "cannot write " + target.string();
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(part, target, ec);
  if (ec) {
    std::filesystem::remove(part, ec);
    error = "cannot write " + target.string();
    return false;
  }
  return true;
}

VerifyReport VerifyChecksumFile(const std::filesystem::path& folder) {
  VerifyReport report;
  std::ifstream in(folder / kChecksumFileName, std::ios::binary);
  if (!in) return report;
  report.listRead = true;
  std::set<std::string> listed;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line == "\r") continue;
    std::string hex, name;
    if (!ParseLine(line, hex, name) || !InsideFolder(name)) {
      report.malformed.push_back(line);
      continue;
    }
    listed.insert(name);
    const std::filesystem::path path = folder / name;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
      report.missing.push_back(name);
      continue;
    }
    std::string actual;
    if (Sha256OfFile(path, actual) && actual == hex)
      report.good.push_back(name);
    else
      report.bad.push_back(name);
  }
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string name = std::filesystem::relative(it->path(), folder, ec).generic_string();
    if (name == kChecksumFileName || listed.count(name)) continue;
    report.unlisted.push_back(name);
  }
  std::sort(report.unlisted.begin(), report.unlisted.end());
  return report;
}

}  // namespace clipexport
