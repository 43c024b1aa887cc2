#pragma once
// One open connection to a dashcam card (or card image) through the card library: the
// connection block the library fills, opened on a physical path and closed again when
// the object goes. Move-only; the block stays at one address for its whole life, so a
// block pointer handed to the library or the player stays valid across moves.

#include <cstddef>
#include <memory>
#include <string>

#include "sources/DiskService.h"

// Size of the connection block the card library fills.
inline constexpr std::size_t kCardConnectionSize = 161;

class CardConnection {
 public:
  CardConnection() = default;
  ~CardConnection();
  CardConnection(CardConnection&& other) noexcept = default;
  CardConnection& operator=(CardConnection&& other) noexcept;
  CardConnection(const CardConnection&) = delete;
  CardConnection& operator=(const CardConnection&) = delete;

  // Closes a connection held before, then opens the card at physicalPath (through the
  // desktop's disk service where the process uses it). The card library's result: 0
  // when the connection is open; when the device itself could not be opened,
  // KOVR_E_IO with the cause in `error` (when given).
  int Open(const std::string& physicalPath, drives::AccessError* error = nullptr);
  // Closes the connection when one is open.
  void Close();
  bool IsOpen() const { return block != nullptr; }
  // The block the card library's calls take as the card handle; null while closed.
  void* Block() const { return block.get(); }

 private:
  std::unique_ptr<unsigned char[]> block;
};
