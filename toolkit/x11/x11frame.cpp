#include "toolkit/x11/x11frame.hpp"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

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

bool hostIsLittleEndian() {
  const uint32_t one = 1;
  unsigned char first;
  std::memcpy(&first, &one, 1);
  return first == 1;
}

// The frame's picture goes to the window with XPutImage. When the window's
// visual stores pixels as the picture does (32-bit 0x00RRGGBB words, the usual
// 24-bit TrueColor), the picture's own memory is sent; otherwise each area is
// converted pixel by pixel first.
class X11Frame final : public IPlatformFrame {
public:
  X11Frame(CFrame& frame, Display* display, Window window, Visual* visual, int depth)
      : frame_(frame), display_(display), window_(window), visual_(visual), depth_(depth),
        gc_(XCreateGC(display, window, 0, nullptr)) {
    cairo_surface_t* image = frame_.getImage();
    const int width = cairo_image_surface_get_width(image);
    const int height = cairo_image_surface_get_height(image);
    XImage* shared = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0,
                                  reinterpret_cast<char*>(cairo_image_surface_get_data(image)),
                                  static_cast<unsigned>(width), static_cast<unsigned>(height), 32,
                                  cairo_image_surface_get_stride(image));
    if (shared && visual_->c_class == TrueColor && visual_->red_mask == 0xFF0000 && visual_->green_mask == 0xFF00 &&
        visual_->blue_mask == 0xFF && shared->bits_per_pixel == 32 &&
        shared->byte_order == (hostIsLittleEndian() ? LSBFirst : MSBFirst))
      direct_ = shared;
    else if (shared)
      releaseImage(shared);
  }

  ~X11Frame() override {
    if (direct_) releaseImage(direct_);
    XFreeGC(display_, gc_);
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
    cairo_surface_t* image = frame_.getImage();
    cairo_surface_flush(image);
    const CRect whole(0, 0, cairo_image_surface_get_width(image), cairo_image_surface_get_height(image));
    for (CRect a : areas) {
      a.bound(whole);
      const int x = static_cast<int>(std::floor(a.left));
      const int y = static_cast<int>(std::floor(a.top));
      const int w = static_cast<int>(std::ceil(a.right)) - x;
      const int h = static_cast<int>(std::ceil(a.bottom)) - y;
      if (w <= 0 || h <= 0) continue;
      if (direct_) XPutImage(display_, window_, gc_, direct_, x, y, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
      else putConverted(image, x, y, w, h);
    }
    XFlush(display_);
  }

  void takeKeyboardFocus() override {
    if (gone_) return;
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    XFlush(display_);
  }

  uintptr_t nativeWindow() const override { return window_; }

private:
  // An XImage over memory it does not own: detach the memory before destroying it.
  static void releaseImage(XImage* image) {
    image->data = nullptr;
    XDestroyImage(image);
  }

  // For visuals that store pixels otherwise: the area pixel by pixel in the window's format.
  void putConverted(cairo_surface_t* image, int x, int y, int w, int h) {
    XImage* area = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                                static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
    if (!area) return;
    area->data = static_cast<char*>(std::malloc(static_cast<size_t>(area->bytes_per_line) * static_cast<size_t>(h)));
    if (!area->data) {
      XDestroyImage(area);
      return;
    }
    const unsigned char* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    const auto scale = [](uint32_t value, unsigned long mask) -> unsigned long {
      if (mask == 0) return 0;
      int shift = 0;
      while (!((mask >> shift) & 1)) ++shift;
      const unsigned long top = mask >> shift;  // channel's largest value
      return ((value * top + 127) / 255) << shift;
    };
    for (int row = 0; row < h; ++row)
      for (int col = 0; col < w; ++col) {
        uint32_t pixel;
        std::memcpy(&pixel, data + (y + row) * stride + 4 * (x + col), 4);
        XPutPixel(area, col, row,
                  scale((pixel >> 16) & 0xFF, visual_->red_mask) | scale((pixel >> 8) & 0xFF, visual_->green_mask) |
                      scale(pixel & 0xFF, visual_->blue_mask));
      }
    XPutImage(display_, window_, gc_, area, 0, 0, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
    XDestroyImage(area);  // frees the pixels too
  }

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
  Visual* visual_;
  int depth_;
  GC gc_;
  XImage* direct_ = nullptr;     // the frame's picture as the window's image, when the layouts agree
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
  return std::make_unique<X11Frame>(frame, display, window, own.visual, own.depth);
}
