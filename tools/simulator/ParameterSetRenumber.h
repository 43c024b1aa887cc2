#pragma once
// The dashcam tells its cameras apart by the H.264 parameter-set id of each access
// unit. x264 always numbers its SPS and PPS 0, so each camera's stream is renumbered
// here: SPS id, PPS id and its SPS reference, and every slice header's PPS id.
// The rewrite shifts the bits behind the id, which is exact for CAVLC slices (the
// encoder runs without CABAC, whose data would need byte alignment after the header).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace simulator {

// Rewrites one NAL (header byte included, no start code) to carry id. SPS, PPS and
// slices are rewritten; other NALs come back unchanged. False when the NAL cannot
// be parsed.
bool RenumberNal(const uint8_t* nal, size_t size, uint32_t id, std::vector<uint8_t>& out);

// Turns one encoder access unit (Annex-B) into the dashcam's form: 4-byte start
// codes, no delimiter or SEI, parameter sets renumbered to id, and a key frame that
// lacks its SPS and PPS gets the last ones seen (kept in sps/pps between calls).
bool ToDashcamAccessUnit(const uint8_t* data, size_t size, uint32_t id, std::vector<uint8_t>& sps,
                         std::vector<uint8_t>& pps, std::vector<uint8_t>& out);

}  // namespace simulator
