// The test binary links before the impulse loader is part of the library: this
// weak stand-in gives way to the library's definition once it is there. The
// load-and-save tests create their cab blocks through the engine's test loader.
#include "plugin/qvengine.hpp"

__attribute__((weak)) bool qvengine::loadImpulse(int32_t, int32_t) { return false; }
