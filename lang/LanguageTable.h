#pragma once
// Shared by every language library: the string table is written as plain text, one
// "number<TAB>text" line per string, and parsed once on the first lookup. In a text
// "\n" stands for a line break and "\\" for a backslash.

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lang/LanguageAbi.h"

namespace tarvo_lang {

class LanguageTable {
 public:
  explicit LanguageTable(std::string_view source) {
    while (!source.empty()) {
      const std::size_t end = source.find('\n');
      const std::string_view line = source.substr(0, end);
      source = end == std::string_view::npos ? std::string_view() : source.substr(end + 1);
      AddLine(line);
    }
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.first < b.first; });
  }

  const char* Find(int number) const {
    const auto it =
        std::lower_bound(entries_.begin(), entries_.end(), number, [](const Entry& e, int n) { return e.first < n; });
    if (it == entries_.end() || it->first != number) return nullptr;
    return it->second.c_str();
  }

 private:
  using Entry = std::pair<int, std::string>;

  void AddLine(std::string_view line) {
    const std::size_t tab = line.find('\t');
    if (tab == 0 || tab == std::string_view::npos) return;
    int number = 0;
    for (std::size_t i = 0; i < tab; ++i) {
      if (line[i] < '0' || line[i] > '9') return;
      number = number * 10 + (line[i] - '0');
    }
    std::string text;
    for (std::size_t i = tab + 1; i < line.size(); ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) {
        ++i;
        text.push_back(line[i] == 'n' ? '\n' : line[i]);
      } else {
        text.push_back(line[i]);
      }
    }
    entries_.emplace_back(number, std::move(text));
  }

  std::vector<Entry> entries_;
};

}  // namespace tarvo_lang

// Defines the exported lookup over the table text `source` (a string literal).
#define TARVO_LANGUAGE_LIBRARY(source)                                                            \
  extern "C" __attribute__((visibility("default"))) const char* TarvoLanguageString(int number) { \
    static const tarvo_lang::LanguageTable table{std::string_view(source)};                       \
    return table.Find(number);                                                                    \
  }
