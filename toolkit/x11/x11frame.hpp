// The X11 window of a frame: a child of the host's window on a display
// connection of the kit's own (never the host's), announced as an XEmbed client
// (mapped), with fixed size hints. Events are read only when the frame's idle
// pumps them; the frame's image is copied to the window for dirty and exposed areas.
#pragma once
#include <cstdint>
#include <memory>

#include "toolkit/iplatformframe.hpp"

class CFrame;

// [ui] A child window of the X11 window `parent` showing `frame`. Null, with
// nothing left behind, when there is no display or `parent` is not a window.
std::unique_ptr<IPlatformFrame> openX11Frame(CFrame& frame, uintptr_t parent);
