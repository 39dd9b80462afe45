#include "toolkit/x11/x11frame.hpp"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>

#include <cmath>

#include "toolkit/cairoholders.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/x11/x11errors.hpp"

namespace {
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | FocusChangeMask |
                            StructureNotifyMask;

int32_t modifiersOf(unsigned int state) {
  int32_t m = 0;
  if (state & ShiftMask) m |= kShift;
  if (state & ControlMask) m |= kControl;
  if (state & Mod1Mask) m |= kAlt;
  return m;
}

int32_t buttonsHeld(unsigned int state) {
  int32_t b = modifiersOf(state);
  if (state & Button1Mask) b |= kLButton;
  if (state & Button2Mask) b |= kMButton;
  if (state & Button3Mask) b |= kRButton;
  return b;
}

int32_t buttonBit(unsigned int button) {
  switch (button) {
  case Button1: return kLButton;
  case Button2: return kMButton;
  case Button3: return kRButton;
  default: return 0;
  }
}

uint8_t virtualKeyOf(KeySym sym) {
  switch (sym) {
  case XK_BackSpace: return kVKeyBack;
  case XK_Tab: case XK_ISO_Left_Tab: return kVKeyTab;
  case XK_Return: return kVKeyReturn;
  case XK_KP_Enter: return kVKeyEnter;
  case XK_Escape: return kVKeyEscape;
  case XK_Left: case XK_KP_Left: return kVKeyLeft;
  case XK_Up: case XK_KP_Up: return kVKeyUp;
  case XK_Right: case XK_KP_Right: return kVKeyRight;
  case XK_Down: case XK_KP_Down: return kVKeyDown;
  case XK_Home: case XK_KP_Home: return kVKeyHome;
  case XK_End: case XK_KP_End: return kVKeyEnd;
  case XK_Prior: case XK_KP_Prior: return kVKeyPageUp;
  case XK_Next: case XK_KP_Next: return kVKeyPageDown;
  case XK_Delete: case XK_KP_Delete: return kVKeyDelete;
  default: return kVKeyNone;
  }
}

// Latin-1 keysyms are their code points; Unicode keysyms carry theirs in the low bits.
int32_t characterOf(KeySym sym) {
  if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF)) return static_cast<int32_t>(sym);
  if ((sym & 0xFF000000) == 0x01000000) return static_cast<int32_t>(sym & 0x00FFFFFF);
  return 0;
}

class X11Frame final : public IPlatformFrame {
public:
  X11Frame(CFrame& frame, Display* display, Window window, Visual* visual, int width, int height)
      : frame_(frame), display_(display), window_(window),
        surface_(cairo_xlib_surface_create(display, window, visual, width, height)) {}

  ~X11Frame() override {
    surface_.reset();
    if (!gone_) XDestroyWindow(display_, window_);
    takeDisplayError(display_);
    unwatchDisplayErrors(display_);
    XCloseDisplay(display_);
  }

  void pumpEvents() override {
    while (!gone_ && XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      handle(event);
    }
    if (!exposed_.empty()) {
      present(exposed_);
      exposed_.clear();
    }
  }

  void present(const std::vector<CRect>& areas) override {
    if (gone_ || areas.empty()) return;
    CairoContextPtr cr(cairo_create(surface_.get()));
    cairo_set_source_surface(cr.get(), frame_.getImage(), 0, 0);
    for (const CRect& a : areas) cairo_rectangle(cr.get(), a.left, a.top, a.getWidth(), a.getHeight());
    cairo_fill(cr.get());
    cr.reset();
    cairo_surface_flush(surface_.get());
    XFlush(display_);
  }

  void takeKeyboardFocus() override {
    if (gone_) return;
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    XFlush(display_);
  }

  uintptr_t nativeWindow() const override { return window_; }

private:
  void handle(XEvent& event) {
    if (event.xany.window != window_) return;
    switch (event.type) {
    case Expose:
      exposed_.push_back(CRect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                               event.xexpose.y + event.xexpose.height));
      break;
    case ButtonPress: {
      const CPoint where(event.xbutton.x, event.xbutton.y);
      const unsigned int b = event.xbutton.button;
      if (b == Button4 || b == Button5)
        frame_.platformOnWheel(where, b == Button4 ? 1.0f : -1.0f, modifiersOf(event.xbutton.state));
      else if (const int32_t bit = buttonBit(b))
        frame_.platformOnMouseDown(where, modifiersOf(event.xbutton.state) | bit);
      break;
    }
    case ButtonRelease:
      if (const int32_t bit = buttonBit(event.xbutton.button))
        frame_.platformOnMouseUp(CPoint(event.xbutton.x, event.xbutton.y), modifiersOf(event.xbutton.state) | bit);
      break;
    case MotionNotify:
      // Only the latest of moves in a row matters; never skip past a press or release.
      while (XPending(display_) > 0) {
        XEvent next;
        XPeekEvent(display_, &next);
        if (next.type != MotionNotify || next.xmotion.window != window_) break;
        XNextEvent(display_, &event);
      }
      frame_.platformOnMouseMoved(CPoint(event.xmotion.x, event.xmotion.y), buttonsHeld(event.xmotion.state));
      break;
    case EnterNotify:
      frame_.platformOnMouseMoved(CPoint(event.xcrossing.x, event.xcrossing.y), buttonsHeld(event.xcrossing.state));
      break;
    case LeaveNotify:
      frame_.platformOnMouseExited();
      break;
    case KeyPress: {
      char text[8];
      KeySym sym = NoSymbol;
      XLookupString(&event.xkey, text, sizeof text, &sym, nullptr);
      CKeyCode key;
      key.virt = virtualKeyOf(sym);
      key.character = key.virt == kVKeyNone ? characterOf(sym) : 0;
      key.modifier = modifiersOf(event.xkey.state);
      if (key.virt != kVKeyNone || key.character != 0) frame_.onKeyDown(key);
      break;
    }
    case DestroyNotify:
      // The host destroyed its window, and ours with it.
      gone_ = true;
      break;
    default:
      break;
    }
  }

  CFrame& frame_;
  Display* display_;             // ours alone
  Window window_;
  CairoSurfacePtr surface_;      // the window as a cairo surface
  std::vector<CRect> exposed_;   // areas to copy again at the end of this pump
  bool gone_ = false;            // the window was destroyed from outside
};
}  // namespace

std::unique_ptr<IPlatformFrame> openX11Frame(CFrame& frame, uintptr_t parent) {
  if (parent == 0) return nullptr;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  watchDisplayErrors(display);
  const auto fail = [&]() -> std::unique_ptr<IPlatformFrame> {
    unwatchDisplayErrors(display);
    XCloseDisplay(display);
    return nullptr;
  };
  XWindowAttributes parentAttributes{};
  if (!XGetWindowAttributes(display, static_cast<Window>(parent), &parentAttributes) || takeDisplayError(display))
    return fail();
  const int width = static_cast<int>(std::lround(frame.getWidth()));
  const int height = static_cast<int>(std::lround(frame.getHeight()));
  XSetWindowAttributes attributes{};
  attributes.event_mask = kEventMask;
  attributes.background_pixmap = None;  // no flash of a background colour before the first copy
  attributes.border_pixel = 0;
  const Window window = XCreateWindow(display, static_cast<Window>(parent), 0, 0, static_cast<unsigned>(width),
                                      static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                      CWEventMask | CWBackPixmap | CWBorderPixel, &attributes);
  if (takeDisplayError(display)) return fail();

  // Fixed size: the editor's window never changes size.
  if (XSizeHints* hints = XAllocSizeHints()) {
    hints->flags = PMinSize | PMaxSize | PBaseSize;
    hints->min_width = hints->max_width = hints->base_width = width;
    hints->min_height = hints->max_height = hints->base_height = height;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
  }
  // XEmbed: protocol version 0, flags XEMBED_MAPPED.
  const Atom xembedInfo = XInternAtom(display, "_XEMBED_INFO", False);
  const long info[2] = {0, 1};
  XChangeProperty(display, window, xembedInfo, xembedInfo, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(info), 2);
  XMapWindow(display, window);
  XWindowAttributes own{};
  if (!XGetWindowAttributes(display, window, &own) || takeDisplayError(display)) {
    XDestroyWindow(display, window);
    takeDisplayError(display);
    return fail();
  }
  return std::make_unique<X11Frame>(frame, display, window, own.visual, width, height);
}
