#include "tools/simulator/ParameterSetRenumber.h"

#include "sources/avi/H264Bits.h"

namespace simulator {

namespace {

constexpr uint8_t kStartCode[4] = {0, 0, 0, 1};

// Position of the rbsp stop bit: the last 1 bit of the payload.
bool FindStopBit(const std::vector<uint8_t>& rbsp, size_t& position) {
  for (size_t i = rbsp.size(); i-- > 0;) {
    if (rbsp[i] == 0) continue;
    int bit = 0;
    while (((rbsp[i] >> bit) & 1) == 0) ++bit;
    position = i * 8 + static_cast<size_t>(7 - bit);
    return true;
  }
  return false;
}

}  // namespace

bool RenumberNal(const uint8_t* nal, size_t size, uint32_t id, std::vector<uint8_t>& out) {
  out.assign(nal, nal + size);
  if (size < 2) return false;
  const int type = nal[0] & 0x1f;
  if (type != h264::kNalSps && type != h264::kNalPps && type != h264::kNalSlice && type != h264::kNalIdr) return true;
  const std::vector<uint8_t> rbsp = h264::ToRbsp(nal + 1, size - 1);
  size_t stop = 0;
  if (!FindStopBit(rbsp, stop)) return false;
  h264::BitReader r(rbsp.data(), rbsp.size());
  h264::BitWriter w;
  uint32_t v = 0;
  if (type == h264::kNalSps) {
    if (!r.ReadBits(24, v)) return false;
    w.WriteBits(24, v);
    if (!r.ReadUe(v)) return false;
    w.WriteUe(id);
  } else if (type == h264::kNalPps) {
    if (!r.ReadUe(v) || !r.ReadUe(v)) return false;
    w.WriteUe(id);
    w.WriteUe(id);
  } else {
    uint32_t first = 0, sliceType = 0;
    if (!r.ReadUe(first) || !r.ReadUe(sliceType) || !r.ReadUe(v)) return false;
    w.WriteUe(first);
    w.WriteUe(sliceType);
    w.WriteUe(id);
  }
  if (r.Position() > stop) return false;
  while (r.Position() < stop) {
    r.ReadBit(v);
    w.WriteBit(v);
  }
  w.WriteBit(1);
  while (w.BitCount() % 8) w.WriteBit(0);
  const std::vector<uint8_t> body = h264::ToNalBody(w.Bytes());
  out.clear();
  out.push_back(nal[0]);
  out.insert(out.end(), body.begin(), body.end());
  return true;
}

bool ToDashcamAccessUnit(const uint8_t* data, size_t size, uint32_t id, std::vector<uint8_t>& sps,
                         std::vector<uint8_t>& pps, std::vector<uint8_t>& out) {
  out.clear();
  bool idr = false;
  std::vector<std::vector<uint8_t>> nals;
  for (const h264::NalSpan& span : h264::SplitAnnexB(data, size)) {
    if (span.type == h264::kNalAud || span.type == h264::kNalSei) continue;
    std::vector<uint8_t> nal;
    if (id == 0)
      nal.assign(data + span.begin, data + span.end);
    else if (!RenumberNal(data + span.begin, span.end - span.begin, id, nal))
      return false;
    if (span.type == h264::kNalSps) {
      sps = nal;
    } else if (span.type == h264::kNalPps) {
      pps = nal;
    } else if (span.type == h264::kNalIdr) {
      idr = true;
    }
    nals.push_back(std::move(nal));
  }
  if (nals.empty()) return false;
  auto append = [&out](const std::vector<uint8_t>& nal) {
    out.insert(out.end(), kStartCode, kStartCode + 4);
    out.insert(out.end(), nal.begin(), nal.end());
  };
  // A key frame opens with SPS, PPS, then its IDR slice.
  if (idr) {
    if (sps.empty() || pps.empty()) return false;
    append(sps);
    append(pps);
  }
  for (size_t i = 0; i < nals.size(); ++i) {
    const int type = nals[i][0] & 0x1f;
    if (idr && (type == h264::kNalSps || type == h264::kNalPps)) continue;
    append(nals[i]);
  }
  return true;
}

}  // namespace simulator
