// A synthesized guitar DI signal: a palm-muted power-chord riff played on
// plucked strings (Karplus-Strong), the kind of signal an amplifier model gets
// from a guitar. The same bytes come out on every machine and every build, so
// the demo riff and the benchmark's input are reproducible.
#pragma once
#include <vector>

// [any] `seconds` of mono DI at `rate` Hz, peaks near 0.5; the riff repeats
// every two bars at 120 beats per minute.
std::vector<float> synthGuitarDI(double rate, double seconds);
