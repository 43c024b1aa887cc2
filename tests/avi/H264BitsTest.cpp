#include <gtest/gtest.h>

#include <vector>

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

// A high-profile SPS of a 32x32 picture whose first scaling list starts with
// `firstDelta` (then zeros), with its NAL header byte.
std::vector<uint8_t> HighProfileSps(uint32_t firstDeltaCode) {
  h264::BitWriter w;
  w.WriteBits(8, 100);  // profile_idc: High, which carries scaling lists
  w.WriteBits(16, 0);   // constraint flags, level
  w.WriteUe(0);         // seq_parameter_set_id
  w.WriteUe(1);         // chroma_format_idc 4:2:0
  w.WriteUe(0);         // bit depths
  w.WriteUe(0);
  w.WriteBit(0);  // qpprime_y_zero_transform_bypass
  w.WriteBit(1);  // seq_scaling_matrix_present
  w.WriteBit(1);  // list 0 present
  w.WriteUe(firstDeltaCode);
  for (int j = 1; j < 16; ++j) w.WriteUe(0);
  for (int list = 1; list < 8; ++list) w.WriteBit(0);
  w.WriteUe(0);  // log2_max_frame_num - 4
  w.WriteUe(0);  // pic_order_cnt_type
  w.WriteUe(0);  // log2_max_pic_order_cnt_lsb - 4
  w.WriteUe(1);  // max_num_ref_frames
  w.WriteBit(0);
  w.WriteUe(1);   // two macroblocks wide
  w.WriteUe(1);   // two high
  w.WriteBit(1);  // frame_mbs_only
  w.WriteBit(1);  // direct_8x8_inference
  w.WriteBit(0);  // no cropping
  w.WriteBit(0);  // no VUI
  w.WriteBit(1);  // stop bit
  std::vector<uint8_t> nal = {0x67};
  const std::vector<uint8_t> body = h264::ToNalBody(w.Bytes());
  nal.insert(nal.end(), body.begin(), body.end());
  return nal;
}

TEST(H264Bits, ScalingListDeltaOutsideItsRangeIsRefusedNotOverflowed) {
  int width = 0, height = 0;
  const std::vector<uint8_t> good = HighProfileSps(0);
  ASSERT_TRUE(h264::ParseSpsPictureSize(good.data(), good.size(), width, height));
  EXPECT_EQ(width, 32);
  EXPECT_EQ(height, 32);
  // se(v) code 253 is +127 and 256 is -128: the ends of delta_scale.
  for (const uint32_t code : {253u, 256u}) {
    const std::vector<uint8_t> edge = HighProfileSps(code);
    EXPECT_TRUE(h264::ParseSpsPictureSize(edge.data(), edge.size(), width, height)) << code;
  }
  // Code 4294967293 is +2147483647: added to the previous scale it overflowed an int
  // (found by fuzz_h264_bits). Such an SPS is damage and gives no size.
  for (const uint32_t code : {255u, 4294967293u, 4294967294u}) {
    width = height = 7;
    const std::vector<uint8_t> bad = HighProfileSps(code);
    EXPECT_FALSE(h264::ParseSpsPictureSize(bad.data(), bad.size(), width, height)) << code;
    EXPECT_EQ(width, 7);
    EXPECT_EQ(height, 7);
  }
}

}  // namespace
