// FFTW wisdom made when the plug-in was built, on the machine that built it, for
// the convolution engine's transforms. With it the planner finds its plans
// without its search: starting the first instance of a process takes ~10 ms less.
#pragma once

// [stopped] Imports the embedded wisdom once per process (under the planner lock).
// Without it (no resource, or wisdom FFTW rejects) the planner simply searches.
void importFftWisdom();
