// X errors on the kit's own display connections. Xlib reports errors through one
// process-wide handler whose default ends the process; a plug-in must never do
// that to its host (a window the host destroyed first, a bad parent id). Errors
// on a watched connection are recorded instead; errors on any other connection
// go on to the handler that was installed before ours, which is put back when
// the last watched connection closes.
#pragma once
#include <X11/Xlib.h>

// [ui] Starts and stops recording the errors of `display`.
void watchDisplayErrors(Display* display);
void unwatchDisplayErrors(Display* display);
// [ui] Waits until the server has answered every request sent so far, then
// returns the error code of the first error since the last call (0 for none).
int takeDisplayError(Display* display);
