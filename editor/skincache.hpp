// The skin images decoded once per process: the PNG resources of the set "skins"
// turn into cairo image surfaces on first use and stay until the module unloads,
// shared by every editor of every instance (a surface is never changed
// after decoding; cairo counts its references atomically).
#pragma once
#include "toolkit/cairoholders.hpp"

// [ui] A new reference to the decoded picture of file `file` ("ampguibg1.png"),
// null when the set has no such resource or it is not a PNG.
CairoSurfacePtr decodedSkin(const char* file);
