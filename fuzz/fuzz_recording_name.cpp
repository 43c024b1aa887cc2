// Recording names as the card and the folders give them: time fields, type group,
// channel count, extension check, the copy names and the sort of a set of them.

#include <algorithm>
#include <cstdint>
#include <string>

#include "sources/MemoryRecordingList.h"
#include "sources/NameParsing.h"
#include "sources/RecordingCollection.h"

namespace {
bool NoLanguage(int, std::string&) { return false; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  RecordingEntry entry;
  RecordingCollection::ParseRecordingName(text, entry);
  RecordingCollection::GroupOfName(text);
  RecordingCollection::ChannelCountFromName(text);
  names::Utf8ToUtf16(text);
  char field[64];
  names::CopyNarrow(field, text);
  const std::string safe = RecordingCollection::SafeLocalName(text);
  if (safe.empty() || safe == "." || safe == ".." || safe.find('/') != std::string::npos) __builtin_trap();

  // Newline-separated names as one set: sorted and listed as the loading dialog does.
  RecordingCollection collection;
  collection.languageLookup = NoLanguage;
  collection.AddExtension("avi");
  size_t from = 0;
  while (from <= text.size() && collection.entries.size() < 64) {
    const size_t end = std::min(text.find('\n', from), text.size());
    RecordingEntry e;
    e.fileName = e.path = text.substr(from, end - from);
    e.sizeKiB = static_cast<int32_t>(end - from);
    collection.IsAdmissibleName(e.fileName);
    RecordingCollection::ParseRecordingName(e.fileName, e);
    collection.entries.push_back(std::move(e));
    from = end + 1;
  }
  collection.SortEntries();
  MemoryRecordingList list;
  collection.ListAll(list);
  for (const int group : {0, 2, 3}) collection.ListGroup(list, group);
  for (int row = 0; row < collection.EntryCount(); ++row) collection.SuggestedCopyName(row);
  return 0;
}
