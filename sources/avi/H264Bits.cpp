#include "sources/avi/H264Bits.h"

namespace h264 {

std::vector<uint8_t> ToRbsp(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out;
  out.reserve(size);
  int zeros = 0;
  for (size_t i = 0; i < size; ++i) {
    const uint8_t b = data[i];
    if (zeros >= 2 && b == 3) {
      zeros = 0;
      continue;
    }
    out.push_back(b);
    zeros = b == 0 ? zeros + 1 : 0;
  }
  return out;
}

std::vector<uint8_t> ToNalBody(const std::vector<uint8_t>& rbsp) {
  std::vector<uint8_t> out;
  out.reserve(rbsp.size() + rbsp.size() / 64 + 4);
  int zeros = 0;
  for (const uint8_t b : rbsp) {
    if (zeros >= 2 && b <= 3) {
      out.push_back(3);
      zeros = 0;
    }
    out.push_back(b);
    zeros = b == 0 ? zeros + 1 : 0;
  }
  return out;
}

bool BitReader::ReadBit(uint32_t& v) {
  if (pos >= bits) return false;
  v = (data[pos / 8] >> (7 - pos % 8)) & 1u;
  ++pos;
  return true;
}

bool BitReader::ReadBits(int n, uint32_t& v) {
  if (n < 0 || n > 32 || bits - pos < static_cast<size_t>(n)) return false;
  uint32_t r = 0;
  for (int i = 0; i < n; ++i) {
    uint32_t b = 0;
    ReadBit(b);
    r = r << 1 | b;
  }
  v = r;
  return true;
}

bool BitReader::ReadUe(uint32_t& v) {
  int leadingZeros = 0;
  uint32_t b = 0;
  for (;;) {
    if (!ReadBit(b)) return false;
    if (b) break;
    if (++leadingZeros > 31) return false;
  }
  uint32_t rest = 0;
  if (!ReadBits(leadingZeros, rest)) return false;
  v = static_cast<uint32_t>((uint64_t{1} << leadingZeros) - 1 + rest);
  return true;
}

bool BitReader::ReadSe(int32_t& v) {
  uint32_t k = 0;
  if (!ReadUe(k)) return false;
  const int64_t magnitude = (static_cast<int64_t>(k) + 1) / 2;
  v = static_cast<int32_t>(k % 2 ? magnitude : -magnitude);
  return true;
}

bool BitReader::Skip(size_t n) {
  if (bits - pos < n) return false;
  pos += n;
  return true;
}

void BitWriter::WriteBit(uint32_t v) {
  if (bits % 8 == 0) bytes.push_back(0);
  if (v & 1u) bytes.back() = static_cast<uint8_t>(bytes.back() | (0x80u >> (bits % 8)));
  ++bits;
}

void BitWriter::WriteBits(int n, uint32_t v) {
  for (int i = n - 1; i >= 0; --i) WriteBit(v >> i);
}

void BitWriter::WriteUe(uint32_t v) {
  const uint64_t x = uint64_t{v} + 1;
  int len = 0;
  while ((x >> len) > 1) ++len;
  WriteBits(len, 0);
  for (int i = len; i >= 0; --i) WriteBit(static_cast<uint32_t>(x >> i));
}

std::vector<NalSpan> SplitAnnexB(const uint8_t* data, size_t size) {
  std::vector<NalSpan> nals;
  size_t i = 0;
  auto startCodeAt = [&](size_t p) { return p + 3 <= size && data[p] == 0 && data[p + 1] == 0 && data[p + 2] == 1; };
  while (i < size && !startCodeAt(i)) ++i;
  while (i < size) {
    const size_t begin = i + 3;
    size_t j = begin;
    while (j < size && !startCodeAt(j)) ++j;
    size_t end = j;
    // A 4-byte start code leaves its leading zero at the end of the previous NAL.
    if (j < size)
      while (end > begin && data[end - 1] == 0) --end;
    if (end > begin) nals.push_back({begin, end, data[begin] & 0x1f});
    i = j;
  }
  return nals;
}

int ParameterSetIdOf(const uint8_t* data, size_t size) {
  for (const NalSpan& nal : SplitAnnexB(data, size)) {
    if (nal.end - nal.begin < 2) continue;
    const std::vector<uint8_t> rbsp = ToRbsp(data + nal.begin + 1, nal.end - nal.begin - 1);
    BitReader r(rbsp.data(), rbsp.size());
    uint32_t v = 0;
    switch (nal.type) {
      case kNalSps:
        if (r.Skip(24) && r.ReadUe(v) && v < 32) return static_cast<int>(v);
        return -1;
      case kNalPps:
        if (r.ReadUe(v) && v < 256) return static_cast<int>(v);
        return -1;
      case kNalSlice:
      case kNalIdr: {
        uint32_t first = 0, sliceType = 0;
        if (r.ReadUe(first) && r.ReadUe(sliceType) && r.ReadUe(v) && v < 256) return static_cast<int>(v);
        return -1;
      }
      default:
        break;
    }
  }
  return -1;
}

namespace {

constexpr int32_t kMinScaleDelta = -128;
constexpr int32_t kMaxScaleDelta = 127;

bool SkipScalingList(BitReader& r, int count) {
  int32_t last = 8, next = 8;
  for (int j = 0; j < count; ++j) {
    if (next != 0) {
      int32_t delta = 0;
      // delta_scale is -128..127; a damaged SPS may give any 32-bit value.
      if (!r.ReadSe(delta) || delta < kMinScaleDelta || delta > kMaxScaleDelta) return false;
      next = (last + delta + 256) % 256;
    }
    last = next == 0 ? last : next;
  }
  return true;
}

}  // namespace

bool ParseSpsPictureSize(const uint8_t* nal, size_t size, int& width, int& height) {
  if (size < 4 || (nal[0] & 0x1f) != kNalSps) return false;
  const std::vector<uint8_t> rbsp = ToRbsp(nal + 1, size - 1);
  BitReader r(rbsp.data(), rbsp.size());
  uint32_t profile = 0, v = 0, chromaFormat = 1, separateColour = 0;
  if (!r.ReadBits(8, profile) || !r.Skip(16) || !r.ReadUe(v)) return false;
  if (profile == 100 || profile == 110 || profile == 122 || profile == 244 || profile == 44 || profile == 83 ||
      profile == 86 || profile == 118 || profile == 128 || profile == 138 || profile == 139 || profile == 134 ||
      profile == 135) {
    if (!r.ReadUe(chromaFormat) || chromaFormat > 3) return false;
    if (chromaFormat == 3 && !r.ReadBit(separateColour)) return false;
    uint32_t present = 0;
    if (!r.ReadUe(v) || !r.ReadUe(v) || !r.Skip(1) || !r.ReadBit(present)) return false;
    if (present) {
      const int lists = chromaFormat == 3 ? 12 : 8;
      for (int i = 0; i < lists; ++i) {
        uint32_t listPresent = 0;
        if (!r.ReadBit(listPresent)) return false;
        if (listPresent && !SkipScalingList(r, i < 6 ? 16 : 64)) return false;
      }
    }
  }
  uint32_t pocType = 0;
  if (!r.ReadUe(v) || !r.ReadUe(pocType)) return false;
  if (pocType == 0) {
    if (!r.ReadUe(v)) return false;
  } else if (pocType == 1) {
    int32_t s = 0;
    uint32_t cycle = 0;
    if (!r.Skip(1) || !r.ReadSe(s) || !r.ReadSe(s) || !r.ReadUe(cycle) || cycle > 255) return false;
    for (uint32_t i = 0; i < cycle; ++i)
      if (!r.ReadSe(s)) return false;
  }
  uint32_t widthMbs = 0, heightMapUnits = 0, frameMbsOnly = 0, direct = 0, cropping = 0;
  if (!r.ReadUe(v) || !r.Skip(1) || !r.ReadUe(widthMbs) || !r.ReadUe(heightMapUnits) || !r.ReadBit(frameMbsOnly))
    return false;
  if (!frameMbsOnly && !r.Skip(1)) return false;
  if (!r.ReadBit(direct) || !r.ReadBit(cropping)) return false;
  uint32_t left = 0, right = 0, top = 0, bottom = 0;
  if (cropping && (!r.ReadUe(left) || !r.ReadUe(right) || !r.ReadUe(top) || !r.ReadUe(bottom))) return false;
  if (widthMbs > 1024 || heightMapUnits > 1024) return false;
  const int64_t chromaArray = separateColour ? 0 : chromaFormat;
  const int64_t cropX = chromaArray == 0 ? 1 : (chromaArray == 3 ? 1 : 2);
  const int64_t cropY = (chromaArray == 0 ? 1 : (chromaArray == 1 ? 2 : 1)) * (2 - frameMbsOnly);
  const int64_t w = (int64_t{widthMbs} + 1) * 16 - cropX * (int64_t{left} + right);
  const int64_t h = (int64_t{heightMapUnits} + 1) * 16 * (2 - frameMbsOnly) - cropY * (int64_t{top} + bottom);
  if (w <= 0 || h <= 0) return false;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

}  // namespace h264
