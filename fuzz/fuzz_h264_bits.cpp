// The H.264 parameter-set reader over any bytes: start-code split, parameter-set ids,
// SPS picture sizes, and the emulation-prevention round trip.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sources/avi/H264Bits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  h264::ParameterSetIdOf(data, size);
  for (const h264::NalSpan& nal : h264::SplitAnnexB(data, size)) {
    if (nal.begin >= nal.end || nal.end > size) std::abort();
    int width = 0, height = 0;
    if (h264::ParseSpsPictureSize(data + nal.begin, nal.end - nal.begin, width, height) && (width <= 0 || height <= 0))
      std::abort();
  }
  // Escaping and unescaping give back the payload, whatever it holds.
  const std::vector<uint8_t> payload(data, data + size);
  const std::vector<uint8_t> body = h264::ToNalBody(payload);
  if (h264::ToRbsp(body.data(), body.size()) != payload) std::abort();

  h264::BitReader reader(data, size);
  uint32_t u = 0;
  int32_t s = 0;
  while (reader.ReadUe(u) && reader.ReadSe(s) && reader.ReadBits(static_cast<int>(u % 33), u)) {
  }
  if (reader.Position() > reader.BitCount()) std::abort();
  return 0;
}
