// Image numbers of the editor's skin list that presets refer to. A preset stores
// its background and logo relative to the first image of their runs; the slot
// records hold absolute numbers, mended into the list when read.
#pragma once
#include <cstdint>

constexpr int32_t kFirstBackgroundImage = 69;   // the amplifier and pedal faces start here
constexpr int32_t kFirstLogoImage = 94;         // the logos start here
constexpr int32_t kFallbackBackgroundImage = 24;
constexpr int32_t kFallbackKnobProfile = 1;
constexpr int32_t kHighestImage = 119;          // 120 list entries, numbered from 0
constexpr int32_t kImageCount = kHighestImage + 1;
