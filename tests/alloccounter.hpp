// Counts heap allocations made through the global operator new while armed, so a
// test can prove that a real-time path allocates nothing. The replacement operators
// (tests/alloccounter.cpp) serve the whole test binary and behave like the default
// ones when disarmed; any test wanting such a check uses this one hook.
#pragma once

namespace alloccounter {
void arm();     // start counting from zero
long disarm();  // stop counting; returns the allocations counted since arm()
}  // namespace alloccounter
