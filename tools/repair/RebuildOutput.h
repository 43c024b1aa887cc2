#pragma once
// The rebuilt file as it is written: small pieces (headers, index entries, silent
// blocks) through a buffer, runs of unchanged chunk bytes copied from the body
// in the kernel, so that a rebuild moves the bytes of a recording only once.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace repair {

class RebuildOutput {
 public:
  RebuildOutput() = default;
  ~RebuildOutput();
  RebuildOutput(const RebuildOutput&) = delete;
  RebuildOutput& operator=(const RebuildOutput&) = delete;

  // Creates (truncates) the output.
  bool Create(const std::filesystem::path& path);
  bool Write(const void* data, size_t size);
  bool WriteZeros(size_t size);
  // Copies count bytes of the file behind sourceFd from offset.
  bool CopyFrom(int sourceFd, int64_t offset, int64_t count);
  // Overwrites bytes already written (header fields known only at the end).
  bool Patch(int64_t offset, const void* data, size_t size);
  bool Close();
  int64_t Position() const { return position; }
  bool Failed() const { return failed; }

 private:
  bool Flush();

  int fd = -1;
  bool failed = false;
  int64_t position = 0;
  std::vector<uint8_t> buffer;
};

// Copies count bytes from one descriptor's offset to another's, in the kernel where
// it can; the bytes copied.
int64_t CopyFileRange(int fromFd, int64_t fromOffset, int toFd, int64_t toOffset, int64_t count);

}  // namespace repair
