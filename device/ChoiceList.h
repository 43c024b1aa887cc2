#pragma once
// The state of one drop-down list of the device settings: its entries in order and the
// selected index (-1 for none). The settings dialog binds its combo boxes to these, and
// the card files are read into and written from them.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Gives the text of a language string by number ("" when there is none).
using TextLookup = std::function<std::string(int number)>;

struct ChoiceList {
  std::vector<std::string> entries;
  int selected = -1;

  int Count() const { return static_cast<int>(entries.size()); }
  void Add(std::string text) { entries.push_back(std::move(text)); }
  // Removes every entry; nothing stays selected.
  void Clear() {
    entries.clear();
    selected = -1;
  }
  // Selects `index` when it names an entry; false (selection unchanged) otherwise.
  bool Select(int index);
  // The selected entry's text, "" when nothing is selected.
  std::string SelectedText() const;
  // The first entry that begins with `prefix`, -1 when none does.
  int FindPrefix(std::string_view prefix) const;
  // Selects FindPrefix(prefix) when there is one; false (unchanged) otherwise.
  bool SelectPrefix(std::string_view prefix);
};
