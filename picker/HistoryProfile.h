#pragma once
// The rules of a history list kept in the application's profile: entries under
// "<prefix>0000", "<prefix>0001", ... of one section, most recent first, and the last
// chosen text under the prefix itself. Plain C++ over a key-value store, so the rules
// are the same whatever keeps the profile (QSettings in the viewer, a map in tests).

#include <string>
#include <utility>
#include <vector>

namespace picker {

// String values by section and key. Reading an absent key gives "".
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  virtual std::string ReadString(const std::string& section, const std::string& key) const = 0;
  virtual bool Contains(const std::string& section, const std::string& key) const = 0;
  virtual void WriteString(const std::string& section, const std::string& key, const std::string& value) = 0;
  virtual void Remove(const std::string& section, const std::string& key) = 0;
};

// What a history combo shows: its list, the text of its edit field and the list item
// that is selected (-1 for none).
struct HistoryState {
  std::vector<std::string> items;
  std::string editText;
  int selectedIndex = -1;
};

class HistoryProfile {
 public:
  // Keys are numbered up to this index; deleting stale keys stops here at the latest.
  static constexpr int kLastKeyIndex = 999;

  std::string section;
  std::string keyPrefix;
  int maxItems = 10;
  bool saveLast = false;

  HistoryProfile() = default;
  HistoryProfile(std::string sectionName, std::string prefix, int maximum, bool keepLast)
      : section(std::move(sectionName)), keyPrefix(std::move(prefix)), maxItems(maximum), saveLast(keepLast) {}

  // keyPrefix followed by the index in four digits ("Folder0007").
  std::string KeyFor(int index) const;

  // Reads the list up to the first empty entry or maxItems entries, then the last
  // chosen text: it selects the equal item, or stands in the edit field when no item
  // equals it. The first item's text goes into the edit field whenever there is one.
  HistoryState Load(const ProfileStore& store) const;

  // Puts the trimmed edit text at the top of the list (an equal item further down
  // goes), cuts the list to maxItems, writes every item, deletes the stale keys after
  // the list and, with saveLast, writes the edit text under keyPrefix.
  void Save(ProfileStore& store, HistoryState& state) const;

  // Drops the items past maxItems (a negative maximum keeps none).
  void Limit(std::vector<std::string>& items) const;
};

// `text` without leading and trailing white space.
std::string TrimText(const std::string& text);

}  // namespace picker
