// The editor's model, owned by the engine for the engine's life: the skin
// catalogue (the image list, known everywhere by index), the named lists the
// menus show, the knob profiles, the scroll-bar drawer, the two fading overlays
// and the panel state that survives rebuilds and closed windows.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "data/qvstring.hpp"
#include "editor/qvoverlays.hpp"
#include "editor/skinfiles.hpp"
#include "plugin/qvengine.hpp"

class CBitmap;
class qvscrollbardrawer;

// One entry of a named list: menus show the names in order and report the id.
struct qvnamedentry {
  qvstring name;
  int32_t id = 0;
};
using qvnamedlist = std::vector<qvnamedentry>;

// How a control is drawn: an image of the list and the colour of its caption.
struct qvknobprofile {
  int32_t image = 0;     // index into the image list
  int32_t width = -1;    // -1: the control takes its size from the image
  int32_t height = -1;
  int32_t extra1 = 0;    // space between a control and its caption, pixels
  int32_t extra2 = 0;    // height of the caption line, pixels
  uint8_t text[4] = {0, 0, 0, 255};  // caption colour: red, green, blue, alpha
  qvstring name;
};

class qvguimodel final : public qvguimodelbase {
public:
  // [ui] The lists, profiles and drawer; pictures are decoded when first drawn.
  qvguimodel();
  ~qvguimodel() override;
  qvguimodel(const qvguimodel&) = delete;
  qvguimodel& operator=(const qvguimodel&) = delete;

  // [ui] The editor's model of `engine`, made on first use.
  static qvguimodel& of(qvengine& engine);

  // [ui] Picture `index` of the image list (decoded on first use, shared by the
  // process); null for an index outside the list or a picture that did not load.
  CBitmap* image(int32_t index);
  // [ui] The profile `number`, or profile 0 for a number outside the list.
  const qvknobprofile& profile(int32_t number) const;
  // [ui] The amplifier and pedal definition menus, refilled from the engine's data.
  void refillDefinitions(const qvdatamodel& data);
  // [ui] The panel state at its start (after construction and on reset).
  void resetPanelState();

  // Base indices into the image list and the profile list.
  int32_t firstKnobImage = kFirstKnobImage;
  int32_t firstSkinImage = kFirstSkinImage;
  int32_t firstLogoImage = kFirstLogoImage;
  int32_t firstButtonProfile = kFirstButtonProfile;

  qvnamedlist ampSkins, pedalSkins, logos;
  qvnamedlist blockTypes, pedalDefinitions, ampDefinitions, cabActions, editActions;
  qvnamedlist antiAliasing, routing, knobProfileNames;
  std::vector<qvknobprofile> knobProfiles;
  int32_t classProfiles[8] = {};  // the profile each control class is drawn with
  std::vector<int32_t> sevenInts{0, 4, 4, 4, 4, 4, 4};
  int32_t fourInts[4] = {200, 250, 220, 150};
  std::vector<std::unique_ptr<qvscrollbardrawer>> scrollBarDrawers;

  // Panel state.
  qvoverlay hint;                 // the hint of the control under the mouse
  qvoverlay message;              // the message line
  float ampPanelOffset = 0.0f;    // 0, or -70 with option 4
  int32_t page = 0;               // 0 amplifier, 1 pedal floor, 2 options

private:
  std::vector<CBitmap*> images_;  // one reference each, null until first used
};
