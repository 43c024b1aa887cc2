#pragma once
// The skin's colours, kept as COLORREF values (0x00BBGGRR) so that they read the same
// as the numbers every skinned window was designed with; ToColor converts at the edge.

#include <QColor>
#include <cstdint>

using COLORREF = std::uint32_t;

namespace skin {

constexpr COLORREF kWindowBackground = 0x0A0A0A;  // window and control background
constexpr COLORREF kBarBackground = 0x1E1E1E;     // control bar and header background
constexpr COLORREF kPanelBackground = 0x141414;   // map and list column panels
constexpr COLORREF kTopBarStripe = 0x505050;
constexpr COLORREF kFrame = 0x646464;
constexpr COLORREF kDefaultText = 0xFFFFFF;
constexpr COLORREF kPlaceholderBackground = 0x333333;
// The G-sensor axes X, Y, Z: the graph's lines and the readout's labels match.
constexpr COLORREF kGsensorAxisColours[3] = {0x0064FF, 0x00FFFF, 0x00FF00};

constexpr int RValue(COLORREF c) { return static_cast<int>(c & 0xFFu); }
constexpr int GValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFFu); }
constexpr int BValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFFu); }
constexpr COLORREF Rgb(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

inline QColor ToColor(COLORREF c) { return QColor(RValue(c), GValue(c), BValue(c)); }
inline COLORREF FromColor(const QColor& c) { return Rgb(c.red(), c.green(), c.blue()); }

}  // namespace skin
