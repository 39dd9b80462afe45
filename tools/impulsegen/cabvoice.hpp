// The tonal design of one cabinet response: speaker and enclosure, cone break-up,
// microphone, placement and tone tweaks, as a log-magnitude curve per sound path.
// The body is heard straight from the aimed speaker; the other paths (the other
// speakers of a 4x12, wall and floor reflections, the diffuse room) leave the cone
// off its axis and lose top on the way, so they get darker curves.
#pragma once
#include "tools/impulsegen/cabdesc.hpp"
#include "tools/impulsegen/shape.hpp"

enum class SoundPath { kDirect, kNeighbour, kReflection, kDiffuse };

// [any] Log magnitude of the given path on bins 0..bins−1 spaced bin_hz apart.
LogShape designPathShape(const CabinetDesc& desc, SoundPath path, int bins, double bin_hz);

// Proximity bass lift (dB) of the microphone at the description's distance.
double proximityDb(const CabinetDesc& desc);
