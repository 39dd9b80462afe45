// The image families of the skin generator. Each drawer paints one image of the
// editor's image list at its full stored size onto a cleared canvas.
#pragma once
#include <cairo.h>

#include "editor/skinfiles.hpp"
#include "tools/skingen/paint.hpp"

// Knob strips: the nine families by file name. False for a name that is not a knob.
bool drawKnobStrip(cairo_t* cr, const qvskinfile& f);
// Amplifier faces 1 to 14 ("ampguibg<n>.png").
void drawAmpFace(cairo_t* cr, int n);
// Pedal faces 1 to 11 ("pedalgui<n>.png").
void drawPedalFace(cairo_t* cr, int n);
// The foot switch: off state above the on state.
void drawFootSwitch(cairo_t* cr, int w, int h);
// Logos 0 to 25 in the logo list's order, transparent overlays of the face size.
void drawLogo(cairo_t* cr, int n);
// Buttons, icons, meters, tabs, fields, scroll bars and sliders. False when the
// name is not one of them.
bool drawWidget(cairo_t* cr, const qvskinfile& f);
// Frame, strip and panel backgrounds, brackets and dividers. False when the name
// is not one of them.
bool drawBackground(cairo_t* cr, const qvskinfile& f);

// The visual language shared by the frame, panels, buttons and icons: dark
// graphite surfaces, warm amber for what is lit or active.
inline constexpr rgb kFrameBg = rgb8(27, 28, 31);
inline constexpr rgb kPanelTop = rgb8(52, 54, 59);
inline constexpr rgb kPanelBottom = rgb8(36, 37, 41);
inline constexpr rgb kEdgeDark = rgb8(12, 12, 14);
inline constexpr rgb kInk = rgb8(214, 210, 200);
inline constexpr rgb kAmber = rgb8(255, 168, 48);
inline constexpr rgb kSteel = rgb8(150, 154, 160);
// Panels that carry knobs (block boxes, the gate, cab-sim and options panels) are
// mid-toned slate, so white and black knob captions both read on them.
inline constexpr rgb kPlateTop = rgb8(108, 112, 120);
inline constexpr rgb kPlateBottom = rgb8(90, 94, 102);
