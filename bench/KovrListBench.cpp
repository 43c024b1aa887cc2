// Listing a card with 10,000 recordings through the card library, as the viewer
// lists a card: open, then every folder in batches of 30.

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "device/CardFormat.h"
#include "kovr/Kovr.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  const int files = argc > 2 ? std::atoi(argv[2]) : 10000;
  const fs::path image = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "kovr-list-bench.img";
  { std::ofstream create(image, std::ios::binary); }
  fs::resize_file(image, 8ull << 30);
  if (device::RunPartitionAndFormat(image.string()) != device::kFormatSuccess) {
    std::fprintf(stderr, "kovr_list_bench: format failed\n");
    return 1;
  }
  VK_Kovr_Start();
  unsigned char block[KOVR_CONNECTION_BLOCK_SIZE] = {};
  if (VK_Kovr_Device_Open(image.c_str(), KOVR_OPEN_DEFAULT, block) != 0) return 1;
  const char* folders[] = {"NORMAL", "EVENT", "PARKING"};
  std::vector<char> data(2048, 'r');
  for (int i = 0; i < files; ++i) {
    char path[96];
    std::snprintf(path, sizeof path, "/%s/REC_20240101_%06d_2.avi", folders[i % 3], i);
    const int h = VK_Kovr_File_Open(block, path, "w", 0, 0, 0);
    if (h <= 0 || VK_Kovr_File_Write(block, data.data(), static_cast<int32_t>(data.size()), h) <= 0) {
      std::fprintf(stderr, "kovr_list_bench: writing file %d failed\n", i);
      return 1;
    }
    VK_Kovr_File_Close(block, h);
  }
  VK_Kovr_Device_Close(block);

  const auto start = std::chrono::steady_clock::now();
  if (VK_Kovr_Device_Open(image.c_str(), KOVR_OPEN_DEFAULT, block) != 0) return 1;
  std::vector<unsigned char> buffer(KOVR_FILE_LIST_BUFFER_SIZE);
  int listed = 0;
  for (const char* folder : {"NORMAL", "INFINITE", "EVENT", "PARKING"}) {
    std::memset(buffer.data(), 0, buffer.size());
    const int32_t capacity = KOVR_FILE_LIST_CAPACITY;
    std::memcpy(buffer.data(), &capacity, sizeof capacity);
    int32_t cursor = 1;
    int n = 0;
    while ((n = VK_Kovr_Get_FileList(block, folder, &cursor, buffer.data(), 0)) > 0) listed += n;
  }
  VK_Kovr_Device_Close(block);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  VK_Kovr_Stop();
  std::error_code ec;
  if (argc <= 1) fs::remove(image, ec);
  std::printf("list: %d recordings listed in %.3f s (limit 0.5 s, ratio %.2f of the limit)\n", listed, seconds,
              seconds / 0.5);
  return listed == files && seconds < 0.5 ? 0 : 1;
}
