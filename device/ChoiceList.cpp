#include "device/ChoiceList.h"

bool ChoiceList::Select(int index) {
  if (index < 0 || index >= Count()) return false;
  selected = index;
  return true;
}

std::string ChoiceList::SelectedText() const {
  if (selected < 0 || selected >= Count()) return {};
  return entries[static_cast<std::size_t>(selected)];
}

int ChoiceList::FindPrefix(std::string_view prefix) const {
  for (int i = 0; i < Count(); ++i)
    if (std::string_view(entries[static_cast<std::size_t>(i)]).substr(0, prefix.size()) == prefix) return i;
  return -1;
}

bool ChoiceList::SelectPrefix(std::string_view prefix) {
  const int index = FindPrefix(prefix);
  if (index < 0) return false;
  selected = index;
  return true;
}
