// The history rules over a plain key-value store: order, limits, the last choice and
// the deletion of stale keys.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "picker/HistoryProfile.h"
#include "tests/picker/PickerTestSupport.h"

namespace {

using picker::HistoryProfile;
using picker::HistoryState;
using Values = std::map<std::string, std::string>;

class MapStore : public picker::ProfileStore {
 public:
  std::string ReadString(const std::string& section, const std::string& key) const override {
    const auto found = values.find({section, key});
    return found == values.end() ? std::string() : found->second;
  }
  bool Contains(const std::string& section, const std::string& key) const override {
    return values.count({section, key}) != 0;
  }
  void WriteString(const std::string& section, const std::string& key, const std::string& value) override {
    values[{section, key}] = value;
    ++writes;
  }
  void Remove(const std::string& section, const std::string& key) override {
    values.erase({section, key});
    removed.push_back(key);
  }

  // The keys of one section with their values.
  Values Section(const std::string& section) const {
    Values out;
    for (const auto& [where, value] : values)
      if (where.first == section) out[where.second] = value;
    return out;
  }

  std::map<std::pair<std::string, std::string>, std::string> values;
  std::vector<std::string> removed;
  int writes = 0;
};

HistoryProfile FolderProfile() { return HistoryProfile("FolderHistory", "Folder", 50, true); }

void Store(MapStore& store, const std::vector<std::string>& entries, const std::string& last = {}) {
  const HistoryProfile profile = FolderProfile();
  for (size_t i = 0; i < entries.size(); ++i)
    store.values[{"FolderHistory", profile.KeyFor(static_cast<int>(i))}] = entries[i];
  if (!last.empty()) store.values[{"FolderHistory", "Folder"}] = last;
}

// Entries and the last choice as stored, in key order: Folder0000 ... then Folder.
Values Expected(const std::vector<std::string>& entries, const std::string& last) {
  Values out;
  const HistoryProfile profile = FolderProfile();
  for (size_t i = 0; i < entries.size(); ++i) out[profile.KeyFor(static_cast<int>(i))] = entries[i];
  out["Folder"] = last;
  return out;
}

TEST(HistoryKeys, FourDigitIndexAfterThePrefix) {
  const HistoryProfile profile = FolderProfile();
  EXPECT_EQ(profile.KeyFor(0), "Folder0000");
  EXPECT_EQ(profile.KeyFor(7), "Folder0007");
  EXPECT_EQ(profile.KeyFor(49), "Folder0049");
  EXPECT_EQ(profile.KeyFor(999), "Folder0999");
  EXPECT_EQ(HistoryProfile("S", "Path", 5, false).KeyFor(12), "Path0012");
}

TEST(HistoryTrim, WhiteSpaceAtBothEndsGoesInnerStays) {
  EXPECT_EQ(picker::TrimText("  /media/my card \t\r\n"), "/media/my card");
  EXPECT_EQ(picker::TrimText(" \t "), "");
  EXPECT_EQ(picker::TrimText(""), "");
  EXPECT_EQ(picker::TrimText("/a"), "/a");
}

TEST(HistoryLoad, ReadsInOrderAndStopsAtTheFirstEmptyEntry) {
  MapStore store;
  Store(store, {"/r/a", "/r/b", "/r/c"});
  store.values[{"FolderHistory", "Folder0003"}] = "";
  store.values[{"FolderHistory", "Folder0004"}] = "/r/after-the-gap";
  const HistoryState state = FolderProfile().Load(store);
  EXPECT_EQ(state.items, (std::vector<std::string>{"/r/a", "/r/b", "/r/c"}));
  EXPECT_EQ(state.editText, "/r/a");
  EXPECT_EQ(state.selectedIndex, -1);
}

TEST(HistoryLoad, MoreThanFiftyStoredLoadsOnlyTheFirstFifty) {
  MapStore store;
  const std::vector<std::string> stored = pickertest::NumberedPaths("/r", 60);
  Store(store, stored);
  const HistoryState state = FolderProfile().Load(store);
  ASSERT_EQ(state.items.size(), 50u);
  EXPECT_EQ(state.items.front(), "/r/folder0");
  EXPECT_EQ(state.items.back(), "/r/folder49");
}

TEST(HistoryLoad, LastChoiceSelectsTheEqualItemWhileTheEditShowsTheFirst) {
  MapStore store;
  Store(store, {"/r/a", "/r/b", "/r/c"}, "/r/c");
  const HistoryState state = FolderProfile().Load(store);
  EXPECT_EQ(state.selectedIndex, 2);
  EXPECT_EQ(state.editText, "/r/a");
}

TEST(HistoryLoad, LastChoiceMatchesExactlyBecausePathsDifferByCase) {
  MapStore store;
  Store(store, {"/r/Card", "/r/b"}, "/r/card");
  const HistoryState state = FolderProfile().Load(store);
  EXPECT_EQ(state.selectedIndex, -1);
  EXPECT_EQ(state.editText, "/r/Card");
}

TEST(HistoryLoad, LastChoiceAloneFillsTheEditOfAnEmptyList) {
  MapStore store;
  Store(store, {}, "/r/only-last");
  const HistoryState state = FolderProfile().Load(store);
  EXPECT_TRUE(state.items.empty());
  EXPECT_EQ(state.editText, "/r/only-last");
  EXPECT_EQ(state.selectedIndex, -1);
}

TEST(HistoryLoad, WithoutSaveLastTheLastChoiceIsNotRead) {
  MapStore store;
  Store(store, {}, "/r/only-last");
  const HistoryState state = HistoryProfile("FolderHistory", "Folder", 50, false).Load(store);
  EXPECT_EQ(state.editText, "");
}

TEST(HistorySave, NewFolderGoesToFolder0000AndTheTenOthersMoveDownByOne) {
  MapStore store;
  const std::vector<std::string> ten = pickertest::NumberedPaths("/r", 10);
  Store(store, ten, ten[0]);
  const HistoryProfile profile = FolderProfile();
  HistoryState state = profile.Load(store);
  state.editText = "/r/new";
  profile.Save(store, state);

  std::vector<std::string> expected = {"/r/new"};
  expected.insert(expected.end(), ten.begin(), ten.end());
  EXPECT_EQ(state.items, expected);
  EXPECT_EQ(state.selectedIndex, 0);
  EXPECT_EQ(state.editText, "/r/new");
  EXPECT_EQ(store.Section("FolderHistory"), Expected(expected, "/r/new"));
}

TEST(HistorySave, FolderChosenAgainMovesToTheTopInsteadOfAppearingTwice) {
  MapStore store;
  const std::vector<std::string> ten = pickertest::NumberedPaths("/r", 10);
  Store(store, ten);
  const HistoryProfile profile = FolderProfile();
  HistoryState state = profile.Load(store);
  state.editText = "/r/folder6";
  profile.Save(store, state);

  const std::vector<std::string> expected = {"/r/folder6", "/r/folder0", "/r/folder1", "/r/folder2", "/r/folder3",
                                             "/r/folder4", "/r/folder5", "/r/folder7", "/r/folder8", "/r/folder9"};
  EXPECT_EQ(state.items, expected);
  EXPECT_EQ(store.Section("FolderHistory"), Expected(expected, "/r/folder6"));
}

TEST(HistorySave, TopFolderChosenAgainKeepsTheOrder) {
  MapStore store;
  Store(store, {"/r/a", "/r/b"});
  HistoryState state = FolderProfile().Load(store);
  FolderProfile().Save(store, state);
  EXPECT_EQ(store.Section("FolderHistory"), Expected({"/r/a", "/r/b"}, "/r/a"));
}

TEST(HistorySave, KeysBeyondTheFiftyKeptAreDeleted) {
  MapStore store;
  const std::vector<std::string> sixty = pickertest::NumberedPaths("/r", 60);
  Store(store, sixty);
  const HistoryProfile profile = FolderProfile();
  HistoryState state = profile.Load(store);
  state.editText = "/r/new";
  profile.Save(store, state);

  ASSERT_EQ(state.items.size(), 50u);
  std::vector<std::string> expected = {"/r/new"};
  expected.insert(expected.end(), sixty.begin(), sixty.begin() + 49);
  EXPECT_EQ(state.items, expected);
  // Folder0050 ... Folder0059 went; nothing else was asked to go.
  EXPECT_EQ(store.Section("FolderHistory"), Expected(expected, "/r/new"));
  EXPECT_EQ(store.removed.size(), 10u);
  EXPECT_EQ(store.removed.front(), "Folder0050");
  EXPECT_EQ(store.removed.back(), "Folder0059");
}

TEST(HistorySave, StaleKeyDeletionStopsAtTheFirstAbsentKey) {
  MapStore store;
  Store(store, {"/r/a", "/r/b", "/r/c", "/r/d"});
  store.values[{"FolderHistory", "Folder0006"}] = "/r/beyond-a-gap";
  HistoryState state;
  state.items = {"/r/a"};
  state.editText = "/r/a";
  FolderProfile().Save(store, state);
  EXPECT_EQ(store.removed, (std::vector<std::string>{"Folder0001", "Folder0002", "Folder0003"}));
  EXPECT_EQ(store.ReadString("FolderHistory", "Folder0006"), "/r/beyond-a-gap");
}

TEST(HistorySave, StaleKeyDeletionEndsAtIndex999) {
  MapStore store;
  const HistoryProfile profile = FolderProfile();
  for (int i = 0; i <= 1001; ++i) store.values[{"FolderHistory", profile.KeyFor(i)}] = "/r/x" + std::to_string(i);
  HistoryState state;
  state.editText = "/r/new";
  profile.Save(store, state);
  EXPECT_EQ(store.removed.size(), 999u);
  EXPECT_EQ(store.removed.back(), "Folder0999");
  EXPECT_TRUE(store.Contains("FolderHistory", "Folder1000"));
  EXPECT_TRUE(store.Contains("FolderHistory", "Folder1001"));
}

TEST(HistorySave, EditTextIsTrimmedBeforeItIsStored) {
  MapStore store;
  Store(store, {"/r/a"});
  HistoryState state = FolderProfile().Load(store);
  state.editText = "  /r/a  ";
  FolderProfile().Save(store, state);
  EXPECT_EQ(store.Section("FolderHistory"), Expected({"/r/a"}, "/r/a"));
}

TEST(HistorySave, EmptyEditTextKeepsTheListAndStoresAnEmptyLastChoice) {
  MapStore store;
  Store(store, {"/r/a", "/r/b"}, "/r/a");
  HistoryState state = FolderProfile().Load(store);
  state.editText = " ";
  FolderProfile().Save(store, state);
  EXPECT_EQ(state.items, (std::vector<std::string>{"/r/a", "/r/b"}));
  EXPECT_EQ(store.Section("FolderHistory"), Expected({"/r/a", "/r/b"}, ""));
}

TEST(HistorySave, WithoutSaveLastNoLastChoiceIsWritten) {
  MapStore store;
  const HistoryProfile profile("Other", "Entry", 3, false);
  HistoryState state;
  state.items = {"x", "y", "z"};
  state.editText = "w";
  profile.Save(store, state);
  EXPECT_EQ(store.Section("Other"), (Values{{"Entry0000", "w"}, {"Entry0001", "x"}, {"Entry0002", "y"}}));
}

TEST(HistorySave, SavedListLoadsBackTheSame) {
  MapStore store;
  const HistoryProfile profile = FolderProfile();
  HistoryState state;
  for (const char* folder : {"/r/one", "/r/two", "/r/three", "/r/two"}) {
    state.editText = folder;
    profile.Save(store, state);
    state = profile.Load(store);
  }
  EXPECT_EQ(state.items, (std::vector<std::string>{"/r/two", "/r/three", "/r/one"}));
  EXPECT_EQ(state.selectedIndex, 0);
  EXPECT_EQ(state.editText, "/r/two");
}

TEST(HistoryLimit, DropsTheItemsPastTheMaximum) {
  std::vector<std::string> items = {"a", "b", "c", "d"};
  HistoryProfile("S", "K", 2, false).Limit(items);
  EXPECT_EQ(items, (std::vector<std::string>{"a", "b"}));
  HistoryProfile("S", "K", -1, false).Limit(items);
  EXPECT_TRUE(items.empty());
}

}  // namespace
