// The headless side of a frame: its picture read back or written as PNG, and
// input injected by calls, for tests, the gallery and snapshot tools. The
// frame draws exactly as it does in a window.
#pragma once
#include <cairo.h>

#include <string>

#include "toolkit/cframe.hpp"

// [ui] Draws what is dirty, then writes the frame's picture to `path` as PNG.
// 0 on success, 1 when the file could not be written.
int writeFramePng(CFrame& frame, const std::string& path);

// The colour of pixel (x, y) of an image surface, unpremultiplied; transparent
// black outside it or for surfaces that are not RGB24 or ARGB32.
CColor surfacePixel(cairo_surface_t* surface, int x, int y);
// Pixel (x, y) of the frame's picture as last drawn.
inline CColor framePixel(const CFrame& frame, int x, int y) { return surfacePixel(frame.getImage(), x, y); }

// [ui] Injected input, in frame coordinates.
void injectClick(CFrame& frame, const CPoint& where, CButtonState buttons = kLButton);
// Press at `from`, `steps` moves to `to` (evenly spaced), release at `to`.
void injectDrag(CFrame& frame, const CPoint& from, const CPoint& to, CButtonState buttons = kLButton,
                int steps = 4);
// One key press per character of the UTF-8 text.
void injectText(CFrame& frame, const std::string& text);
void injectKey(CFrame& frame, VirtualKey key, int32_t modifiers = 0);
