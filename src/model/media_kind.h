#pragma once

#include <cstdint>

/// Media kinds of tracks and clip items; they equal the picture and sound slot kinds.
inline constexpr int32_t kMediaVideo = 1;
inline constexpr int32_t kMediaAudio = 2;
