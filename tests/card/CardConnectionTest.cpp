// The card connection: opened on a card image, closed by Close, by a second Open or by
// going out of scope, and handed on by moves without closing.

#include <gtest/gtest.h>

#include <utility>

#include "sources/CardConnection.h"
#include "tests/card/CardTestSupport.h"
#include "tests/kovr/CardImageTest.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

using namespace kovrtest;
using namespace testsupport;

namespace {

class CardConnectionTest : public CardImageTest {
 protected:
  void SetUp() override {
    CardImageTest::SetUp();
    if (HasFatalFailure()) return;
    Card writer(image_);
    ASSERT_GT(writer.Put("NORMAL", "REC_20240101_120000_2.avi", Pattern(5000, 9)), 0);
  }

  // The NORMAL folder's listing through `block`: the number of records, or the
  // library's error code (KOVR_E_HANDLE for a closed connection).
  static int ListNormal(void* block) {
    std::vector<unsigned char> buffer(KOVR_FILE_LIST_BUFFER_SIZE, 0);
    PutLe32(buffer.data(), KOVR_FILE_LIST_CAPACITY);
    int32_t cursor = 1;
    return VK_Kovr_Get_FileList(block, "NORMAL", &cursor, buffer.data(), 0);
  }
};

TEST_F(CardConnectionTest, OpenGivesABlockTheLibraryAnswersTo) {
  CardConnection card;
  EXPECT_FALSE(card.IsOpen());
  EXPECT_EQ(nullptr, card.Block());
  ASSERT_EQ(0, card.Open(image_));
  EXPECT_TRUE(card.IsOpen());
  ASSERT_NE(nullptr, card.Block());
  EXPECT_EQ(1, ListNormal(card.Block()));
}

TEST_F(CardConnectionTest, FailedOpenReportsTheLibraryCodeAndStaysClosed) {
  const fs::path plain = temp_.Path() / "plain.img";
  MakeSparse(plain, 4 * kMiB);
  CardConnection card;
  EXPECT_EQ(KOVR_E_NOT_KOVR, card.Open(plain.string()));
  EXPECT_FALSE(card.IsOpen());
  EXPECT_EQ(nullptr, card.Block());
  EXPECT_NE(0, card.Open((temp_.Path() / "missing.img").string()));
  EXPECT_FALSE(card.IsOpen());
}

TEST_F(CardConnectionTest, CloseAndDestructionReleaseTheConnection) {
  unsigned char stale[kCardConnectionSize];
  {
    CardConnection card;
    ASSERT_EQ(0, card.Open(image_));
    std::memcpy(stale, card.Block(), sizeof stale);
    card.Close();
    EXPECT_FALSE(card.IsOpen());
    EXPECT_EQ(KOVR_E_HANDLE, ListNormal(stale)) << "Close left the connection open";
    card.Close();  // a second close does nothing
    ASSERT_EQ(0, card.Open(image_));
    std::memcpy(stale, card.Block(), sizeof stale);
  }
  EXPECT_EQ(KOVR_E_HANDLE, ListNormal(stale)) << "the destructor left the connection open";
}

TEST_F(CardConnectionTest, OpeningAgainClosesTheConnectionHeldBefore) {
  CardConnection card;
  ASSERT_EQ(0, card.Open(image_));
  unsigned char first[kCardConnectionSize];
  std::memcpy(first, card.Block(), sizeof first);
  ASSERT_EQ(0, card.Open(image_));
  EXPECT_EQ(KOVR_E_HANDLE, ListNormal(first));
  EXPECT_EQ(1, ListNormal(card.Block()));
}

TEST_F(CardConnectionTest, MovesHandTheSameBlockOnWithoutClosingIt) {
  CardConnection card;
  ASSERT_EQ(0, card.Open(image_));
  void* const block = card.Block();
  CardConnection moved(std::move(card));
  EXPECT_FALSE(card.IsOpen());  // NOLINT(bugprone-use-after-move): moved-from is closed
  EXPECT_EQ(block, moved.Block()) << "a handle given out before the move would dangle";
  EXPECT_EQ(1, ListNormal(block));

  CardConnection other;
  ASSERT_EQ(0, other.Open(image_));
  unsigned char replaced[kCardConnectionSize];
  std::memcpy(replaced, other.Block(), sizeof replaced);
  other = std::move(moved);
  EXPECT_EQ(block, other.Block());
  EXPECT_EQ(1, ListNormal(block));
  EXPECT_EQ(KOVR_E_HANDLE, ListNormal(replaced)) << "the assigned-over connection stayed open";

  std::swap(other, moved);
  EXPECT_EQ(block, moved.Block());
  EXPECT_EQ(1, ListNormal(block)) << "a swap closed the connection";
}

}  // namespace
