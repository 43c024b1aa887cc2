#pragma once
// The bytes of one recording on a dashcam card, read through the card library, so
// the recording reader and the repair take card files as they take ordinary ones.

#include <cstdint>
#include <memory>
#include <string>

#include "sources/CardConnection.h"
#include "sources/avi/ByteSource.h"

class KovrByteSource : public ByteSource {
 public:
  // Opens the file `path` ("/FOLDER/NAME" or the name alone) with its file number on
  // an open card connection. The source keeps its own copy of the connection block
  // (the block only names the connection): once the card is closed its reads fail,
  // they never touch the caller's freed block.
  KovrByteSource(void* device, const std::string& path, int32_t fileNumber);
  ~KovrByteSource() override;
  KovrByteSource(const KovrByteSource&) = delete;
  KovrByteSource& operator=(const KovrByteSource&) = delete;

  // A source with a connection of its own to the card (or card image) at
  // physicalPath, for the file NAME of folder FOLDER; null when either cannot be
  // opened.
  static std::unique_ptr<KovrByteSource> OpenOnCard(const std::string& physicalPath, const std::string& folder,
                                                    const std::string& name);

  bool IsOpen() const { return handle > 0; }
  int32_t FileNumber() const { return fileNumber; }

  int64_t Size() const override;
  int64_t ReadAt(int64_t offset, void* buffer, int64_t count) override;

 private:
  KovrByteSource() = default;
  bool Open(const std::string& path, int32_t number);

  unsigned char block[kCardConnectionSize] = {};
  void* device = nullptr;
  // Open when this source opened the connection itself; closed after the file.
  CardConnection ownConnection;
  int handle = 0;
  int32_t fileNumber = 0;
  int64_t size = -1;
  int64_t position = 0;
};
