#include "sources/CardConnection.h"

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

int CardConnection::Open(const std::string& physicalPath) {
  Close();
  // The library wants a zeroed block.
  auto opened = std::make_unique<unsigned char[]>(kCardConnectionSize);
  const int result = VK_Kovr_Device_Open(physicalPath.c_str(), KOVR_OPEN_DEFAULT, opened.get());
  if (result == 0) block = std::move(opened);
  return result;
}

void CardConnection::Close() {
  if (!block) return;
  VK_Kovr_Device_Close(block.get());
  block.reset();
}
