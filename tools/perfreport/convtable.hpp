// The convolution benchmark's figures (bench/bench_convolution, written with
// --benchmark_out_format=json) as a Markdown table: our engine beside
// zita-convolver for each impulse length and slot count.
#pragma once
#include <string>

// `repetitions`: how many runs each figure is the median of (1: a single run);
// `ratio16384`: engine / zita at 16384 taps and one slot (negative when absent).
// False with the reason in `error` when the file is missing or not that benchmark's output.
bool convolutionTable(const std::string& jsonPath, std::string& markdown, int& repetitions,
                      double& ratio16384, std::string& error);
