#pragma once
// Walking the files of one card folder through VK_Kovr_Get_FileList, a record at a time.

#include <cstdint>
#include <cstring>
#include <vector>

#include "kovr/Bytes.h"
#include "kovr/Kovr.h"

namespace kovr {

struct ListedFile {
  char name[KOVR_MAX_NAME_LENGTH + 1];  // always NUL-terminated
  int32_t number;
  uint32_t bytes;
};

// Calls fn(const ListedFile&) for each file of `folder` on the open card `device`, in
// the card's order. Never more records per batch than the buffer holds, whatever the
// library answers.
template <typename Fn>
void ForEachListedFile(void* device, const char* folder, Fn fn) {
  std::vector<unsigned char> buffer(KOVR_FILE_LIST_BUFFER_SIZE, 0);
  const int32_t capacity = KOVR_FILE_LIST_CAPACITY;
  std::memcpy(buffer.data(), &capacity, sizeof capacity);
  int32_t cursor = 1;
  for (;;) {
    int n = VK_Kovr_Get_FileList(device, folder, &cursor, buffer.data(), 0);
    if (n <= 0) return;
    if (n > capacity) n = capacity;
    for (int i = 0; i < n; ++i) {
      const unsigned char* r = buffer.data() + 4 + i * KOVR_FILE_RECORD_SIZE;
      ListedFile file;
      std::memcpy(file.name, r + KOVR_FILE_RECORD_NAME, KOVR_MAX_NAME_LENGTH);
      file.name[KOVR_MAX_NAME_LENGTH] = '\0';
      file.number = static_cast<int32_t>(Get32(r + KOVR_FILE_RECORD_NUMBER));
      file.bytes = Get32(r + KOVR_FILE_RECORD_BYTES);
      fn(file);
    }
  }
}

}  // namespace kovr
