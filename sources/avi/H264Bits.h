#pragma once
// Bit-level access to H.264 NAL units: emulation-prevention removal and insertion,
// and exp-Golomb reading and writing. Enough to read parameter-set ids and picture
// sizes, and for the simulator to renumber parameter sets.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace h264 {

constexpr int kNalSlice = 1;
constexpr int kNalIdr = 5;
constexpr int kNalSei = 6;
constexpr int kNalSps = 7;
constexpr int kNalPps = 8;
constexpr int kNalAud = 9;

// NAL payload (after the one-byte header) without emulation-prevention bytes.
std::vector<uint8_t> ToRbsp(const uint8_t* data, size_t size);
// Adds emulation-prevention bytes so that the payload is a valid NAL body.
std::vector<uint8_t> ToNalBody(const std::vector<uint8_t>& rbsp);

class BitReader {
 public:
  BitReader(const uint8_t* bytes, size_t size) : data(bytes), bits(size * 8) {}
  // Each read fails (returns false) instead of reading past the end.
  bool ReadBit(uint32_t& v);
  bool ReadBits(int n, uint32_t& v);
  bool ReadUe(uint32_t& v);
  bool ReadSe(int32_t& v);
  bool Skip(size_t n);
  size_t Position() const { return pos; }
  size_t BitCount() const { return bits; }

 private:
  const uint8_t* data;
  size_t bits;
  size_t pos = 0;
};

class BitWriter {
 public:
  void WriteBit(uint32_t v);
  void WriteBits(int n, uint32_t v);
  void WriteUe(uint32_t v);
  const std::vector<uint8_t>& Bytes() const { return bytes; }
  size_t BitCount() const { return bits; }

 private:
  std::vector<uint8_t> bytes;
  size_t bits = 0;
};

// One NAL unit found in an Annex-B byte stream: [begin, end) of its bytes after the
// start code, header byte included.
struct NalSpan {
  size_t begin;
  size_t end;
  int type;
};
// Splits an Annex-B buffer at its start codes (3- or 4-byte). An unterminated last
// NAL runs to the end of the buffer.
std::vector<NalSpan> SplitAnnexB(const uint8_t* data, size_t size);

// The parameter-set id that tells the camera of an access unit: from an SPS or PPS,
// else from the first slice header's pic_parameter_set_id. -1 when none is found in
// the bytes given (a prefix of the access unit is enough).
int ParameterSetIdOf(const uint8_t* data, size_t size);

// Picture size from an SPS NAL (header byte included), cropping applied.
bool ParseSpsPictureSize(const uint8_t* nal, size_t size, int& width, int& height);

}  // namespace h264
