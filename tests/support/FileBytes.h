#pragma once
// Reading, writing and making the files tests work on: whole files as text or bytes,
// byte ranges at an offset, files of a given size and sparse images.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

// The whole file as bytes in a string; empty when it cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path) {
  std::string bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  std::fclose(file);
  return bytes;
}

// Replaces the file's contents with `bytes`.
inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Up to `count` bytes from `offset`; fewer where the file ends.
inline std::vector<uint8_t> ReadBytesAt(const std::filesystem::path& path, uint64_t offset, std::size_t count) {
  std::vector<uint8_t> bytes(count);
  std::ifstream in(path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

// Overwrites `count` bytes at `offset` of an existing file, leaving the rest.
inline void WriteBytesAt(const std::filesystem::path& path, uint64_t offset, const void* data, std::size_t count) {
  std::fstream io(path, std::ios::binary | std::ios::in | std::ios::out);
  io.seekp(static_cast<std::streamoff>(offset));
  io.write(static_cast<const char*>(data), static_cast<std::streamsize>(count));
}

// A file of `size` bytes "x", with the folders above it; its path.
inline std::filesystem::path MakeFile(const std::filesystem::path& path, std::size_t size = 0) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << std::string(size, 'x');
  return path;
}

// A file of `size` zero bytes that takes no room on disk (a card image).
inline void MakeSparse(const std::filesystem::path& path, uint64_t size) {
  { std::ofstream create(path, std::ios::binary); }
  std::filesystem::resize_file(path, size);
}

}  // namespace testsupport
