// The whole factory set: reads the catalogue, designs every cabinet and writes
// impNN.wav (NN = res, two digits) plus the manifest impulses.tsv, one line per
// impulse: res, category, file name, display name, separated by tabs.
#pragma once
#include <string>

inline constexpr const char* kImpulseManifest = "impulses.tsv";

// File name of the response with resource id res ("imp02.wav").
std::string impulseFileName(int res);

// [any] Returns 0, or a negative code with error filled (bad catalogue, unwritable folder).
int generateImpulses(const std::string& catalogue_path, const std::string& out_dir, std::string& error);
