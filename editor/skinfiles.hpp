// The editor's image list: every skin image in the order the editor loads it, so
// an image is known everywhere by its index. The files are drawn at build time by
// tools/skingen and embedded as the resource set "skins" under their file names in
// upper case ("ampguibg1.png" is the resource "AMPGUIBG1.PNG").
//
// Sizes are the stored PNG sizes. A knob strip holds 91 square frames stacked
// vertically (its side is the strip's width); a two-state image holds the off
// state above the on state, each half the height.
#pragma once
#include <array>
#include <cstddef>
#include <string_view>

#include "data/skinimages.hpp"

struct qvskinfile {
  int index;              // position in the image list
  const char* file;       // lower-case PNG file name
  int width;              // pixels
  int height;             // pixels, all frames or states together
  int frames;             // 91 for a knob strip, else 1
  int states;             // 2 when off and on are stacked, else 1
};

constexpr int kKnobFrames = 91;          // frames of every knob strip
constexpr double kKnobSweepDeg = 270.0;  // frame 0 at -135 degrees, frame 90 at +135
constexpr int kFirstKnobImage = 60;
constexpr int kKnobImageCount = 9;
constexpr int kFirstSkinImage = kFirstBackgroundImage;  // 14 amplifier faces, then 11 pedal faces
constexpr int kAmpSkinCount = 14;
constexpr int kPedalSkinCount = 11;
constexpr int kLogoCount = 26;
constexpr int kSkinImageCount = kImageCount;  // list entries; one file is listed three times
constexpr int kSkinFileCount = 118;      // distinct files

// Face layout shared by the art and the editor's default placement, in pixels
// from the amplifier face's top-left corner (the face is drawn at x 22, y 20 of
// the amplifier page). Every face keeps these areas calm and mid-toned so that
// white (200, 200, 200) and black knob captions both read on them.
struct qvfacerect {
  int x, y, w, h;
};
constexpr qvfacerect kAmpIoPlate{6, 6, 188, 116};     // the input and output knobs
constexpr qvfacerect kAmpLogoBox{212, 18, 392, 92};   // where every logo sits
constexpr qvfacerect kAmpKnobBand{10, 142, 796, 150}; // the row of amplifier knobs
// Pedal faces (188 x 286): the menus and the move button at the top, up to four
// knobs in the plate, the foot switch (142 x 81 per state) at x 23, y 208.
constexpr qvfacerect kPedalKnobPlate{12, 64, 164, 138};
constexpr qvfacerect kPedalFootSwitch{23, 205, 142, 81};  // ends on the face's last row

namespace skinfiles_detail {
constexpr qvskinfile one(int i, const char* f, int w, int h) { return {i, f, w, h, 1, 1}; }
constexpr qvskinfile two(int i, const char* f, int w, int h) { return {i, f, w, h, 1, 2}; }
constexpr qvskinfile strip(int i, const char* f, int side) {
  return {i, f, side, side * kKnobFrames, kKnobFrames, 1};
}
}  // namespace skinfiles_detail

// clang-format off
constexpr std::array<qvskinfile, kSkinImageCount> kSkinFiles = [] {
  using namespace skinfiles_detail;
  return std::array<qvskinfile, kSkinImageCount>{{
    one(0, "emptybg.png", 128, 128),          one(1, "boxbg.png", 840, 232),
    two(2, "utoggleall.png", 149, 40),        one(3, "blockbg.png", 128, 104),
    two(4, "boxdelete.png", 16, 32),          one(5, "divider.png", 12, 93),
    one(6, "screenbg.png", 840, 480),         two(7, "boxtoggle.png", 16, 32),
    one(8, "ampmeterblank.png", 10, 90),      one(9, "ampmeterfull.png", 10, 90),
    one(10, "bracketl.png", 12, 186),         one(11, "bracketr.png", 12, 186),
    two(12, "boxbypass.png", 16, 32),         two(13, "boxreset.png", 16, 32),
    two(14, "boxtool.png", 16, 32),           two(15, "boxstar.png", 16, 32),
    two(16, "boxtrash.png", 16, 32),          one(17, "scrollbarver.png", 14, 14),
    one(18, "scrollbarbgver.png", 14, 14),    one(19, "buttonhilite.png", 100, 20),
    two(20, "uclickall.png", 100, 40),        one(21, "boxhilite.png", 16, 16),
    one(22, "longfield.png", 128, 20),        one(23, "panelcab.png", 376, 132),
    one(24, "panelnoise.png", 194, 132),      one(25, "uclickclose.png", 128, 20),
    one(26, "paneloptions.png", 816, 326),    two(27, "utoggleinvert.png", 100, 40),
    two(28, "uclickpre.png", 140, 40),        two(29, "uclickcategory.png", 140, 40),
    one(30, "uslider1.png", 16, 144),         one(31, "usliderh1.png", 16, 17),
    two(32, "footbutton.png", 142, 162),      one(33, "ampplug.png", 78, 70),
    two(34, "utoggleact.png", 100, 40),       one(35, "bordmenu.png", 80, 20),
    two(36, "tabamp.png", 22, 210),           two(37, "tabfloor.png", 22, 210),
    two(38, "tabopt.png", 22, 210),           two(39, "uclick2.png", 60, 40),
    one(40, "buttonhilite2.png", 60, 20),     one(41, "utoggleallhilite.png", 149, 20),
    one(42, "ampin.png", 19, 39),             one(43, "utoggleallhilite.png", 149, 20),
    one(44, "utoggleallhilite.png", 149, 20), two(45, "boxleftarrow.png", 16, 32),
    two(46, "boxrightarrow.png", 16, 32),     two(47, "circleplus.png", 16, 32),
    two(48, "circleo.png", 16, 32),           one(49, "dragicon.png", 16, 16),
    one(50, "dragoverlay.png", 140, 20),      one(51, "dragoverlayped.png", 45, 70),
    two(52, "dragnone.png", 16, 32),          one(53, "bordmenumini.png", 36, 20),
    one(54, "menuicon1.png", 8, 19),          one(55, "buttonfillline.png", 840, 17),
    one(56, "corvinasmall.png", 90, 18),      one(57, "lumbrelsmall.png", 125, 19),
    one(58, "fieldhilite.png", 128, 20),      one(59, "flatbg.png", 256, 180),
    strip(60, "knobpanel.png", 44),           strip(61, "knobchickblack.png", 60),
    strip(62, "knobpoint1.png", 44),          strip(63, "knobmetaltop.png", 60),
    strip(64, "knobskirtblack.png", 76),      strip(65, "knobchickwhite.png", 60),
    strip(66, "knobboxblack.png", 60),        strip(67, "knobemerald.png", 60),
    strip(68, "knobchickwhitedark.png", 60),
    one(69, "ampguibg1.png", 816, 300),       one(70, "ampguibg2.png", 816, 300),
    one(71, "ampguibg3.png", 816, 300),       one(72, "ampguibg4.png", 816, 300),
    one(73, "ampguibg5.png", 816, 300),       one(74, "ampguibg6.png", 816, 300),
    one(75, "ampguibg7.png", 816, 300),       one(76, "ampguibg8.png", 816, 300),
    one(77, "ampguibg9.png", 816, 300),       one(78, "ampguibg10.png", 816, 300),
    one(79, "ampguibg11.png", 816, 300),      one(80, "ampguibg12.png", 816, 300),
    one(81, "ampguibg13.png", 816, 300),      one(82, "ampguibg14.png", 816, 300),
    one(83, "pedalgui1.png", 188, 286),       one(84, "pedalgui2.png", 188, 286),
    one(85, "pedalgui3.png", 188, 286),       one(86, "pedalgui4.png", 188, 286),
    one(87, "pedalgui5.png", 188, 286),       one(88, "pedalgui6.png", 188, 286),
    one(89, "pedalgui7.png", 188, 286),       one(90, "pedalgui8.png", 188, 286),
    one(91, "pedalgui9.png", 188, 286),       one(92, "pedalgui10.png", 188, 286),
    one(93, "pedalgui11.png", 188, 286),
    one(94, "logoada.png", 816, 300),         one(95, "logoblw.png", 816, 300),
    one(96, "logoboi.png", 816, 300),         one(97, "logofal.png", 816, 300),
    one(98, "logolon.png", 816, 300),         one(99, "logopin.png", 816, 300),
    one(100, "logorhi.png", 816, 300),        one(101, "logostd.png", 816, 300),
    one(102, "logopay.png", 816, 300),        one(103, "logosev.png", 816, 300),
    one(104, "logoazi.png", 816, 300),        one(105, "logoshi.png", 816, 300),
    one(106, "logosol.png", 816, 300),        one(107, "logoval.png", 816, 300),
    one(108, "logotfa.png", 816, 300),        one(109, "logottu.png", 816, 300),
    one(110, "logosci.png", 816, 300),        one(111, "logokit.png", 816, 300),
    one(112, "logocer.png", 816, 300),        one(113, "logooce.png", 816, 300),
    one(114, "logohea.png", 816, 300),        one(115, "logoter.png", 816, 300),
    one(116, "logogol.png", 816, 300),        one(117, "logodre.png", 816, 300),
    one(118, "logoros.png", 816, 300),        one(119, "logoeme.png", 816, 300),
  }};
}();
// clang-format on

// The amplifier and pedal skin lists: menu names, in image order from 69.
constexpr const char* kAmpSkinNames[kAmpSkinCount] = {
    "Amp:Gold", "Amp:Panel", "Amp:Blue", "Amp:Tough", "Amp:BigC", "Amp:Rust", "Amp:Shop",
    "Amp:LowW", "Amp:Tex",  "Amp:Rack",  "Amp:Can",  "Amp:Deco",  "Amp:Vine", "Amp:Emerald"};
constexpr const char* kPedalSkinNames[kPedalSkinCount] = {
    "Ped:Orange", "Ped2", "Ped3", "Ped4", "Ped5", "Ped6", "Ped7", "Ped8", "Ped9", "Ped10", "Ped11"};

// The knob and button profiles: how a control is drawn (an image of the list)
// and the colour of its caption. The index is the profile number a preset's
// "knobprof" selects; 14 and up are the button profiles.
struct qvknobprofiledef {
  const char* name;
  int image;                 // index into kSkinFiles
  int extra1, extra2;        // label layout figures
  unsigned char text[4];     // caption colour: red, green, blue, alpha
};
constexpr int kFirstButtonProfile = 14;
constexpr qvknobprofiledef kKnobProfiles[] = {
    {"", 0, 0, 0, {0, 0, 0, 255}},
    {"knob-chick-black", 61, 8, 18, {0, 0, 0, 255}},
    {"knob-chick-white", 61, 8, 18, {200, 200, 200, 255}},
    {"knob-panel-white", 60, 4, 18, {200, 200, 200, 255}},
    {"knob-point-black", 62, 4, 18, {0, 0, 0, 255}},
    {"knob-metal-white", 63, 4, 18, {200, 200, 200, 255}},
    {"knob-skirt-black", 64, 4, 18, {0, 0, 0, 255}},
    {"knob-skirt-white", 64, 4, 18, {200, 200, 200, 255}},
    {"knob-chick-w-black", 68, 8, 18, {40, 40, 40, 255}},
    {"knob-chick-w-white", 65, 8, 18, {200, 200, 200, 255}},
    {"knob-box-black", 66, 4, 18, {0, 0, 0, 255}},
    {"knob-box-white", 66, 4, 18, {200, 200, 200, 255}},
    {"knob-box-emerald", 67, 4, 18, {200, 200, 200, 255}},
    {"knob-point-white", 62, 4, 18, {200, 200, 200, 255}},
    {"btn-blue", 20, 4, 18, {200, 200, 200, 255}},
    {"btn-green", 20, 4, 18, {220, 220, 220, 255}},
    {"btn-toggle", 2, 4, 18, {220, 220, 220, 255}},
    {"slider1", 30, 0, 18, {0, 0, 0, 255}},
    {"footbutton", 32, 4, 18, {0, 0, 0, 255}},
    {"btn-pre", 28, 0, 0, {200, 200, 200, 255}},
    {"btn-cat", 29, 0, 0, {200, 200, 200, 255}},
};

// The resource name of a file: its name in upper case ("AMPGUIBG1.PNG").
template <size_t N>
constexpr bool skinResourceName(std::string_view file, char (&out)[N]) {
  if (file.size() + 1 > N) return false;
  for (size_t i = 0; i < file.size(); ++i) {
    char c = file[i];
    out[i] = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
  }
  out[file.size()] = '\0';
  return true;
}

static_assert([] {
  for (int i = 0; i < kSkinImageCount; ++i)
    if (kSkinFiles[size_t(i)].index != i) return false;
  return true;
}(), "the image list is in index order");
