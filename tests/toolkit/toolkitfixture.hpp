// Shared pieces of the GUI kit's tests: a headless frame on a test clock, a
// listener that records what controls report, and bitmaps whose pixels say
// which part of them was drawn.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/cbitmap.hpp"
#include "toolkit/ccontrol.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/headless/headless.hpp"

struct Report {
  int32_t tag;
  float value;
};

class RecordingListener : public CControlListener {
public:
  void valueChanged(CControl* control) override { reports.push_back({control->getTag(), control->getValue()}); }
  std::vector<Report> reports;
};

// A frame of `width` x `height` on a test clock; released by the fixture.
struct TestFrame {
  CTestClock clock{1000};
  CFrame* frame;
  explicit TestFrame(CCoord width = 400, CCoord height = 300) : frame(new CFrame(CRect(0, 0, width, height), &clock)) {}
  ~TestFrame() { frame->forget(); }
  TestFrame(const TestFrame&) = delete;
  TestFrame& operator=(const TestFrame&) = delete;
  CFrame& operator*() { return *frame; }
  CFrame* operator->() { return frame; }
};

// A strip of `count` pictures of `width` x `height`, picture i filled with the
// opaque colour (i, 255 - i, 7 * i mod 256): the red channel names the picture.
inline CBitmap* makeIndexStrip(int count, int width, int height) {
  auto* bitmap = new CBitmap(width, height * count);
  CairoContextPtr cr(cairo_create(bitmap->getSurface()));
  for (int i = 0; i < count; ++i) {
    cairo_set_source_rgb(cr.get(), i / 255.0, (255 - i) / 255.0, (7 * i % 256) / 255.0);
    cairo_rectangle(cr.get(), 0, height * i, width, height);
    cairo_fill(cr.get());
  }
  cr.reset();
  cairo_surface_flush(bitmap->getSurface());
  return bitmap;
}

// A plain view that counts its events and can act inside its press handler.
class ProbeView : public CView {
public:
  explicit ProbeView(const CRect& r, CMouseEventResult answer = kMouseEventHandled) : CView(r), answer_(answer) {}
  ~ProbeView() override {
    if (destroyed) *destroyed = true;
  }
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override {
    ++downs;
    lastWhere = where;
    lastButtons = buttons;
    if (onDown) onDown(this);
    return answer_;
  }
  CMouseEventResult onMouseUp(const CPoint&, const CButtonState&) override {
    ++ups;
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseEntered(const CPoint&, const CButtonState&) override {
    ++entered;
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseExited(const CPoint&, const CButtonState&) override {
    ++exited;
    return kMouseEventHandled;
  }
  int downs = 0, ups = 0, entered = 0, exited = 0;
  CPoint lastWhere;
  CButtonState lastButtons;
  std::function<void(ProbeView*)> onDown;
  bool* destroyed = nullptr;

private:
  CMouseEventResult answer_;
};

// Colours compared channel by channel within `tolerance`.
inline ::testing::AssertionResult colorNear(const CColor& got, const CColor& want, int tolerance = 1) {
  const auto off = [&](int a, int b) { return std::abs(a - b) > tolerance; };
  if (off(got.red, want.red) || off(got.green, want.green) || off(got.blue, want.blue))
    return ::testing::AssertionFailure() << "got (" << int(got.red) << ", " << int(got.green) << ", "
                                         << int(got.blue) << "), want (" << int(want.red) << ", "
                                         << int(want.green) << ", " << int(want.blue) << ")";
  return ::testing::AssertionSuccess();
}
