// Counts heap allocations made through the global operator new while armed, so a
// test can prove that a real-time path allocates nothing, and can make one chosen
// allocation fail to test what a failure leaves behind. The replacement operators
// (tests/alloccounter.cpp) serve the whole test binary and behave like the default
// ones when disarmed; any test wanting such a check uses this one hook.
#pragma once

namespace alloccounter {
void arm();     // start counting from zero
long disarm();  // stop counting (and failing); returns the allocations counted since arm()
// Start counting from zero; allocation number `which` (0 the first) fails as an
// exhausted heap would: std::bad_alloc, or null from the nothrow forms.
void armFailure(long which);
bool failed();  // whether the chosen allocation came (and failed) since armFailure()
}  // namespace alloccounter
