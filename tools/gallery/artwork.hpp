// The gallery's pictures, drawn with cairo at start-up (no image files): a knob
// film strip, a slider track and handle, a two-state button, scroll-bar pieces
// and the window's background with its panels. Same pixels on every run.
#pragma once
#include "toolkit/cbitmap.hpp"

namespace gallery {
// `frames` pictures of `side` x `side` stacked vertically, pointer from -135 to +135 degrees.
CBitmap* drawKnobStrip(int frames, int side);
CBitmap* drawSliderTrack(int width, int height);
CBitmap* drawSliderHandle(int width, int height);
// Two states stacked: off in the upper half, on (lit) in the lower.
CBitmap* drawButtonStates(int width, int height);
CBitmap* drawScrollTrack(int side);
CBitmap* drawScrollThumb(int side);
CBitmap* drawBackground(int width, int height);
}  // namespace gallery
