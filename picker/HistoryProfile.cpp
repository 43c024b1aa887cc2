#include "picker/HistoryProfile.h"

#include <algorithm>
#include <cstdio>

namespace picker {

std::string TrimText(const std::string& text) {
  constexpr const char* kWhiteSpace = " \t\r\n\v\f";
  const size_t first = text.find_first_not_of(kWhiteSpace);
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(kWhiteSpace);
  return text.substr(first, last - first + 1);
}

std::string HistoryProfile::KeyFor(int index) const {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d", index);
  return keyPrefix + digits;
}

void HistoryProfile::Limit(std::vector<std::string>& items) const {
  const size_t keep = maxItems > 0 ? static_cast<size_t>(maxItems) : 0;
  if (items.size() > keep) items.resize(keep);
}

HistoryState HistoryProfile::Load(const ProfileStore& store) const {
  HistoryState state;
  for (int i = 0; i < maxItems; ++i) {
    std::string text = store.ReadString(section, KeyFor(i));
    if (text.empty()) break;
    state.items.push_back(std::move(text));
  }
  if (saveLast) {
    const std::string last = store.ReadString(section, keyPrefix);
    if (!last.empty()) {
      const auto equal = std::find(state.items.begin(), state.items.end(), last);
      if (equal != state.items.end()) {
        state.selectedIndex = static_cast<int>(equal - state.items.begin());
      }
      state.editText = last;
    }
  }
  if (!state.items.empty()) state.editText = state.items.front();
  return state;
}

void HistoryProfile::Save(ProfileStore& store, HistoryState& state) const {
  const std::string text = TrimText(state.editText);
  state.editText = text;
  if (!text.empty()) {
    // Paths differ by case on this system, so only an exact match is the same entry.
    state.items.erase(std::remove(state.items.begin(), state.items.end(), text), state.items.end());
    state.items.insert(state.items.begin(), text);
    Limit(state.items);
    state.selectedIndex = state.items.empty() ? -1 : 0;
  } else {
    Limit(state.items);
    if (state.selectedIndex >= static_cast<int>(state.items.size())) state.selectedIndex = -1;
  }

  const int count = static_cast<int>(state.items.size());
  for (int i = 0; i < count; ++i) store.WriteString(section, KeyFor(i), state.items[static_cast<size_t>(i)]);
  // Entries an earlier, longer list left behind; the first gap ends them.
  for (int i = count; i <= kLastKeyIndex; ++i) {
    const std::string key = KeyFor(i);
    if (!store.Contains(section, key)) break;
    store.Remove(section, key);
  }
  if (saveLast) store.WriteString(section, keyPrefix, state.editText);
}

}  // namespace picker
