#include <gtest/gtest.h>

#include "sources/avi/H264Bits.h"

namespace {

TEST(H264Bits, ExpGolombRoundTripsIncludingTheLongestCodes) {
  h264::BitWriter w;
  const uint32_t values[] = {0, 1, 2, 3, 6, 7, 254, 255, 65535, 0xFFFFFFFEu};
  for (const uint32_t v : values) w.WriteUe(v);
  h264::BitReader r(w.Bytes().data(), w.Bytes().size());
  for (const uint32_t v : values) {
    uint32_t got = 0;
    ASSERT_TRUE(r.ReadUe(got));
    EXPECT_EQ(got, v);
  }
}

TEST(H264Bits, ReadsNeverPassTheEnd) {
  const uint8_t zeros[2] = {0, 0};
  h264::BitReader r(zeros, 2);
  uint32_t v = 0;
  EXPECT_FALSE(r.ReadUe(v)) << "sixteen leading zeros and no end";
  h264::BitReader s(zeros, 2);
  EXPECT_FALSE(s.ReadBits(17, v));
  EXPECT_TRUE(s.ReadBits(16, v));
  EXPECT_FALSE(s.ReadBit(v));
}

TEST(H264Bits, EmulationPreventionIsRemovedAndPutBack) {
  const std::vector<uint8_t> rbsp = {0, 0, 0, 0, 0, 1, 0, 0, 2, 0, 0, 3, 5};
  const std::vector<uint8_t> nal = h264::ToNalBody(rbsp);
  EXPECT_EQ(nal, (std::vector<uint8_t>{0, 0, 3, 0, 0, 3, 0, 1, 0, 0, 3, 2, 0, 0, 3, 3, 5}));
  EXPECT_EQ(h264::ToRbsp(nal.data(), nal.size()), rbsp);
}

TEST(H264Bits, SplitsAtThreeAndFourByteStartCodes) {
  const std::vector<uint8_t> au = {0, 0, 0, 1, 0x67, 1, 2, 0, 0, 1, 0x68, 3, 0, 0, 0, 1, 0x65, 4, 5};
  const auto nals = h264::SplitAnnexB(au.data(), au.size());
  ASSERT_EQ(nals.size(), 3u);
  EXPECT_EQ(nals[0].type, 7);
  EXPECT_EQ(nals[0].end - nals[0].begin, 3u);
  EXPECT_EQ(nals[1].type, 8);
  EXPECT_EQ(nals[1].end - nals[1].begin, 2u) << "the leading zero of the next start code is not data";
  EXPECT_EQ(nals[2].type, 5);
  EXPECT_EQ(nals[2].end, au.size());
}

TEST(H264Bits, CameraComesFromSpsPpsOrTheFirstSliceHeader) {
  // SPS: profile 66, flags, level, then ue(1) = 010.
  const std::vector<uint8_t> sps = {0, 0, 0, 1, 0x67, 66, 0, 30, 0x40};
  EXPECT_EQ(h264::ParameterSetIdOf(sps.data(), sps.size()), 1);
  // PPS: ue(2) = 011.
  const std::vector<uint8_t> pps = {0, 0, 0, 1, 0x68, 0x60};
  EXPECT_EQ(h264::ParameterSetIdOf(pps.data(), pps.size()), 2);
  // P slice: first_mb ue(0) = 1, slice_type ue(0) = 1, pps ue(3) = 00100.
  const std::vector<uint8_t> slice = {0, 0, 0, 1, 0x41, 0xC8};
  EXPECT_EQ(h264::ParameterSetIdOf(slice.data(), slice.size()), 3);
  // An SEI first is skipped.
  const std::vector<uint8_t> seiFirst = {0, 0, 0, 1, 0x06, 5, 1, 0x80, 0, 0, 0, 1, 0x41, 0xC8};
  EXPECT_EQ(h264::ParameterSetIdOf(seiFirst.data(), seiFirst.size()), 3);
  const std::vector<uint8_t> nothing = {0, 0, 0, 1, 0x41};
  EXPECT_EQ(h264::ParameterSetIdOf(nothing.data(), nothing.size()), -1);
  EXPECT_EQ(h264::ParameterSetIdOf(nullptr, 0), -1);
}

}  // namespace
