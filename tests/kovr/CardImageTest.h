#pragma once
// The fixture of the suites that work on one formatted card image: the card library
// started for the test and a fresh image in the test's temporary folder.

#include <gtest/gtest.h>

#include <string>

#include "tests/kovr/KovrTestCard.h"
#include "tests/support/TempFolder.h"

namespace kovrtest {

class CardImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VK_Kovr_Start();
    image_ = MakeFormattedCard(temp_.Path());
    ASSERT_FALSE(image_.empty());
  }
  void TearDown() override { VK_Kovr_Stop(); }

  testsupport::TempFolder temp_;
  std::string image_;
};

}  // namespace kovrtest
