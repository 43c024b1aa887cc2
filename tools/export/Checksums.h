#pragma once
// SHA-256 checksums of an evidence package: the file SHA256SUMS in the form
// `sha256sum -c` reads (64 hex digits, two spaces, the file's path relative to the
// package folder, one file per line), and the check that every listed file is
// there with the same bytes.

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

namespace clipexport {

inline constexpr const char* kChecksumFileName = "SHA256SUMS";

// The SHA-256 of a file's bytes as 64 lower-case hex digits; false when it cannot be
// read whole, or when `cancel` turns true meanwhile.
bool Sha256OfFile(const std::filesystem::path& path, std::string& hex, const std::atomic<bool>* cancel = nullptr);

// Writes SHA256SUMS into `folder` for `files` (paths relative to it, "/" between
// folders), in the order given. False, with `error`, when a file cannot be read or
// the list cannot be written; no list is then left behind.
bool WriteChecksumFile(const std::filesystem::path& folder, const std::vector<std::string>& files, std::string& error,
                       const std::atomic<bool>* cancel = nullptr);

struct VerifyReport {
  bool listRead = false;          // SHA256SUMS was there and readable
  std::vector<std::string> good;  // listed, present, same bytes
  std::vector<std::string> bad;   // listed, present, different bytes (or unreadable)
  std::vector<std::string> missing;
  std::vector<std::string> unlisted;   // in the folder but not in the list
  std::vector<std::string> malformed;  // lines of the list that name no file and sum
  bool Passed() const {
    return listRead && !good.empty() && bad.empty() && missing.empty() && unlisted.empty() && malformed.empty();
  }
};

// Checks every file SHA256SUMS lists against its sum, and looks for files the list
// does not name. Paths that would lead out of the folder count as malformed.
VerifyReport VerifyChecksumFile(const std::filesystem::path& folder);

}  // namespace clipexport
