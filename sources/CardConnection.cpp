#include "sources/CardConnection.h"

#include <unistd.h>

#include "kovr/Kovr.h"

static_assert(kCardConnectionSize == KOVR_CONNECTION_BLOCK_SIZE);

CardConnection::~CardConnection() { Close(); }

CardConnection& CardConnection::operator=(CardConnection&& other) noexcept {
  if (this != &other) {
    Close();
    block = std::move(other.block);
  }
  return *this;
}

int CardConnection::Open(const std::string& physicalPath, drives::AccessError* error) {
  Close();
  drives::AccessError problem;
  const int fd = drives::OpenCardDevice(physicalPath, false, true, problem);
  if (error) *error = problem;
  if (fd < 0) return KOVR_E_IO;
  // The library wants a zeroed block; it keeps a descriptor of its own.
  auto opened = std::make_unique<unsigned char[]>(kCardConnectionSize);
  const int result = VK_Kovr_Device_Open_Descriptor(fd, KOVR_OPEN_DEFAULT, opened.get());
  ::close(fd);
  if (result == 0) block = std::move(opened);
  return result;
}

void CardConnection::Close() {
  if (!block) return;
  VK_Kovr_Device_Close(block.get());
  block.reset();
}
