#include <gtest/gtest.h>

#include "sources/avi/H264Bits.h"
#include "tools/simulator/ParameterSetRenumber.h"

namespace {

// A baseline SPS of 160x96 (10x6 macroblocks), id 0, with a stop bit.
std::vector<uint8_t> MakeSps(uint32_t id, uint32_t widthMbs, uint32_t heightMbs) {
  h264::BitWriter w;
  w.WriteBits(8, 66);  // profile
  w.WriteBits(8, 0);
  w.WriteBits(8, 30);  // level
  w.WriteUe(id);
  w.WriteUe(0);  // log2_max_frame_num - 4
  w.WriteUe(2);  // poc type 2
  w.WriteUe(1);  // max ref frames
  w.WriteBit(0);
  w.WriteUe(widthMbs - 1);
  w.WriteUe(heightMbs - 1);
  w.WriteBit(1);  // frame_mbs_only
  w.WriteBit(1);  // direct_8x8
  w.WriteBit(0);  // no cropping
  w.WriteBit(0);  // no vui
  w.WriteBit(1);  // stop bit
  while (w.BitCount() % 8) w.WriteBit(0);
  std::vector<uint8_t> nal{0x67};
  const std::vector<uint8_t> body = h264::ToNalBody(w.Bytes());
  nal.insert(nal.end(), body.begin(), body.end());
  return nal;
}

std::vector<uint8_t> MakeSlice(int type, uint32_t ppsId, const std::vector<uint8_t>& payloadBits) {
  h264::BitWriter w;
  w.WriteUe(0);                  // first_mb_in_slice
  w.WriteUe(type == 5 ? 7 : 5);  // slice type I or P
  w.WriteUe(ppsId);
  for (const uint8_t b : payloadBits) w.WriteBit(b);
  w.WriteBit(1);
  while (w.BitCount() % 8) w.WriteBit(0);
  std::vector<uint8_t> nal{static_cast<uint8_t>(0x60 | type)};
  const std::vector<uint8_t> body = h264::ToNalBody(w.Bytes());
  nal.insert(nal.end(), body.begin(), body.end());
  return nal;
}

std::vector<uint8_t> AnnexB(std::initializer_list<std::vector<uint8_t>> nals) {
  std::vector<uint8_t> out;
  for (const auto& n : nals) {
    out.insert(out.end(), {0, 0, 0, 1});
    out.insert(out.end(), n.begin(), n.end());
  }
  return out;
}

TEST(ParameterSetRenumber, SpsIdChangesAndPictureSizeSurvivesTheBitShift) {
  const std::vector<uint8_t> sps = MakeSps(0, 10, 6);
  std::vector<uint8_t> out;
  ASSERT_TRUE(simulator::RenumberNal(sps.data(), sps.size(), 1, out));
  const std::vector<uint8_t> au = AnnexB({out});
  EXPECT_EQ(h264::ParameterSetIdOf(au.data(), au.size()), 1);
  int w = 0, h = 0;
  ASSERT_TRUE(h264::ParseSpsPictureSize(out.data(), out.size(), w, h));
  EXPECT_EQ(w, 160);
  EXPECT_EQ(h, 96);
}

TEST(ParameterSetRenumber, SliceKeepsEveryPayloadBitAfterTheNewId) {
  // Payload chosen to need emulation prevention once shifted: long zero runs.
  std::vector<uint8_t> bits;
  for (int i = 0; i < 40; ++i) bits.push_back(0);
  bits.push_back(1);
  for (int i = 0; i < 7; ++i) bits.push_back(static_cast<uint8_t>(i % 2));
  const std::vector<uint8_t> slice = MakeSlice(1, 0, bits);
  std::vector<uint8_t> out;
  ASSERT_TRUE(simulator::RenumberNal(slice.data(), slice.size(), 3, out));
  const std::vector<uint8_t> rbsp = h264::ToRbsp(out.data() + 1, out.size() - 1);
  h264::BitReader r(rbsp.data(), rbsp.size());
  uint32_t v = 0;
  ASSERT_TRUE(r.ReadUe(v));
  EXPECT_EQ(v, 0u);
  ASSERT_TRUE(r.ReadUe(v));
  EXPECT_EQ(v, 5u);
  ASSERT_TRUE(r.ReadUe(v));
  EXPECT_EQ(v, 3u);
  for (size_t i = 0; i < bits.size(); ++i) {
    ASSERT_TRUE(r.ReadBit(v));
    EXPECT_EQ(v, bits[i]) << "payload bit " << i;
  }
  ASSERT_TRUE(r.ReadBit(v));
  EXPECT_EQ(v, 1u) << "stop bit";
  // No start-code emulation inside the rewritten NAL.
  for (size_t i = 0; i + 2 < out.size(); ++i)
    EXPECT_FALSE(out[i] == 0 && out[i + 1] == 0 && out[i + 2] <= 1) << "at " << i;
}

TEST(ParameterSetRenumber, KeyFrameWithoutParameterSetsGetsTheLastOnes) {
  const std::vector<uint8_t> sps = MakeSps(0, 10, 6);
  const std::vector<uint8_t> pps{0x68, 0xCE, 0x38, 0x80};  // pps 0, sps 0
  const std::vector<uint8_t> idr = MakeSlice(5, 0, {1, 0, 1});
  const std::vector<uint8_t> aud{0x09, 0xF0};
  const std::vector<uint8_t> sei{0x06, 0x05, 0x01, 0x00, 0x80};
  std::vector<uint8_t> keepSps, keepPps, out;
  const std::vector<uint8_t> first = AnnexB({aud, sps, pps, sei, idr});
  ASSERT_TRUE(simulator::ToDashcamAccessUnit(first.data(), first.size(), 1, keepSps, keepPps, out));
  const std::vector<h264::NalSpan> nals = h264::SplitAnnexB(out.data(), out.size());
  ASSERT_EQ(nals.size(), 3u);
  EXPECT_EQ(nals[0].type, h264::kNalSps);
  EXPECT_EQ(nals[1].type, h264::kNalPps);
  EXPECT_EQ(nals[2].type, h264::kNalIdr);
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 4), (std::vector<uint8_t>{0, 0, 0, 1}));
  EXPECT_EQ(h264::ParameterSetIdOf(out.data(), out.size()), 1);

  const std::vector<uint8_t> second = AnnexB({idr});
  ASSERT_TRUE(simulator::ToDashcamAccessUnit(second.data(), second.size(), 1, keepSps, keepPps, out));
  const std::vector<h264::NalSpan> again = h264::SplitAnnexB(out.data(), out.size());
  ASSERT_EQ(again.size(), 3u);
  EXPECT_EQ(again[0].type, h264::kNalSps);
  EXPECT_EQ(out[4] & 0x1f, h264::kNalSps);
}

}  // namespace
