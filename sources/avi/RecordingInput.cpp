#include "sources/avi/RecordingInput.h"

#include "sources/avi/FileByteSource.h"
#include "sources/avi/KovrByteSource.h"

std::unique_ptr<ByteSource> OpenRecordingInput(const std::string& path, std::string* why) {
  const size_t mark = path.find(kCardPathMark);
  if (mark != std::string::npos && mark > 0) {
    const std::string inCard = path.substr(mark + 3);
    const size_t slash = inCard.find('/');
    if (slash != std::string::npos && slash > 0 && slash + 1 < inCard.size()) {
      auto card = KovrByteSource::OpenOnCard(path.substr(0, mark), inCard.substr(0, slash), inCard.substr(slash + 1));
      if (!card && why != nullptr) *why = "is no file on a readable card";
      return card;
    }
  }
  auto file = std::make_unique<FileByteSource>();
  if (!file->Open(path)) {
    if (why != nullptr) *why = platform::DescribeOpenFailure(file->Failure());
    return nullptr;
  }
  return file;
}
