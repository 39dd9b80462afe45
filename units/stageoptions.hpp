// Options of a distorting stage (tube gain, clipping) that trade its exact numbers
// for less aliasing; both off on a new stage. The rig turns them on for all its
// stages at once (plugin/aliasoptions.hpp).
#pragma once

struct qvstageoptions {
  int antiderivative = 0;  // order (1 or 2) of antiderivative anti-aliasing of the static curve; 0 off
  bool lowpass = false;    // a band limit behind the stage while it runs oversampled
  bool operator==(const qvstageoptions&) const = default;
};
