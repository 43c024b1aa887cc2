#pragma once
// A ByteSource over an ordinary file, read with pread so that one object can serve
// several readers in turn without a shared file position.

#include <filesystem>

#include "platform/FileOpen.h"
#include "sources/avi/ByteSource.h"

class FileByteSource : public ByteSource {
 public:
  FileByteSource() = default;
  explicit FileByteSource(const std::filesystem::path& path);
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;

  // Opens path read-only; false when it cannot be opened or is not a regular file
  // (a named pipe is refused without waiting for a writer).
  bool Open(const std::filesystem::path& path);
  // Why the last Open failed.
  const platform::OpenFailure& Failure() const { return failure; }
  void Close();
  bool IsOpen() const { return fd >= 0; }
  // The descriptor, for callers that copy ranges in the kernel; -1 when closed.
  int Descriptor() const { return fd; }

  int64_t Size() const override;
  int64_t ReadAt(int64_t offset, void* buffer, int64_t count) override;

 private:
  int fd = -1;
  platform::OpenFailure failure;
};
