#include "picker/SelectRule.h"

#include <filesystem>
#include <system_error>

namespace picker {

namespace fs = std::filesystem;

namespace {

// The ways one folder may be written: lexically cleaned, and with its links resolved
// when it exists.
std::vector<std::string> Spellings(const std::string& path) {
  std::vector<std::string> forms;
  if (path.empty()) return forms;
  fs::path clean = fs::path(path).lexically_normal();
  std::string text = clean.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  forms.push_back(text);
  std::error_code ec;
  const fs::path real = fs::canonical(clean, ec);
  if (!ec && real.string() != text) forms.push_back(real.string());
  return forms;
}

bool SameFolder(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  for (const std::string& x : a)
    for (const std::string& y : b)
      if (x == y) return true;
  return false;
}

}  // namespace

bool IsFixedDriveRoot(const std::string& path, const std::vector<drives::Drive>& drives) {
  const std::vector<std::string> forms = Spellings(path);
  if (forms.empty()) return false;
  bool fixedRoot = SameFolder(forms, {"/"});
  for (const drives::Drive& drive : drives) {
    if (!SameFolder(forms, Spellings(drive.root))) continue;
    // A card mounted over a fixed root is still a card.
    if (drive.removable) return false;
    fixedRoot = true;
  }
  return fixedRoot;
}

int FirstRefusedPath(const std::vector<std::string>& selection, const std::vector<drives::Drive>& drives) {
  for (size_t i = 0; i < selection.size(); ++i) {
    if (IsFixedDriveRoot(selection[i], drives)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace picker
