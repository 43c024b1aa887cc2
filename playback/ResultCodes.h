#pragma once
// Result codes of the playback engine. The graph keeps the COM-style codes its callers
// have always tested, with 1 as the engine's own failure. Unlike COM, where 1 is a
// success (S_FALSE), here it never is: Failed() holds for it as for every error code.

#include <cstdint>

namespace playback {

using HResult = std::int32_t;

inline constexpr HResult kSOk = 0;
inline constexpr HResult kEngineFailure = 1;  // Build failed: no usable graph
inline constexpr HResult kNotReady = -1;      // transport call on a graph not set up
inline constexpr HResult kEFail = static_cast<HResult>(0x80004005u);
inline constexpr HResult kENotImpl = static_cast<HResult>(0x80004001u);
inline constexpr HResult kEPointer = static_cast<HResult>(0x80004003u);
inline constexpr HResult kENoInterface = static_cast<HResult>(0x80004002u);
inline constexpr HResult kEInvalidArg = static_cast<HResult>(0x80070057u);
inline constexpr HResult kEOutOfMemory = static_cast<HResult>(0x8007000Eu);
inline constexpr HResult kVfwEWrongState = static_cast<HResult>(0x80040227u);

inline constexpr bool Failed(HResult hr) { return hr < 0 || hr == kEngineFailure; }

}  // namespace playback
