// The editor's two transient overlays: the hint of the control under the mouse
// and the message line. Each is a label in the frame whose alpha follows a count:
//   hint:    from -1 it rises by 1.25/s (so it shows after 0.8 s), from 0 by 2/s
//            to 1 (a 0.5 s fade-in), and stays until told to fade out;
//   message: from 0 it rises by 2/s to 1, keeps counting by 0.25/s and at 2.0
//            (after 4 s) fades out by itself;
//   fading out: the count falls by 2/s; at 0 the label leaves the frame, the
//            count becomes -1 and the view pointer null.
// A new hint continues from the count it finds, so a hint asked for again while
// the last one fades does not wait another 0.8 s.
#pragma once
#include <cstdint>

class CTextLabel;

struct qvoverlay {
  CTextLabel* view = nullptr;  // in the frame, which owns it; null when none
  bool fadingOut = false;
  float alpha = 0.0f;          // the count; the view shows it clamped to 0..1
};

enum class qvoverlaykind { hint, message };

// [ui] Advances `o` by `dt` seconds and sets its view's alpha; removes the view
// from its container once it has faded out.
void advanceOverlay(qvoverlay& o, qvoverlaykind kind, float dt);
// [ui] Takes the view out of its container now: count -1, pointer null.
void removeOverlay(qvoverlay& o);
// [ui] The window closed: the frame took the view with it.
inline void forgetOverlayView(qvoverlay& o) {
  o.view = nullptr;
  o.fadingOut = false;
  o.alpha = -1.0f;
}

// [any] The meter level of a running sum of squares over 2048 samples:
// log10(1 + 29 * rms) / log10(30), so an RMS of 1 reads 1; 0 at or below 1e-5.
double meterLevel(double sumOfSquares);
// [any] Seconds between two ticks of a 32-bit millisecond counter, taken as an
// unsigned difference so that it survives the counter's wrap.
inline double tickSeconds(uint32_t now_ms, uint32_t last_ms) {
  return static_cast<double>(static_cast<uint32_t>(now_ms - last_ms)) / 1000.0;
}
