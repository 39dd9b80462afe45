#include "editor/qvguimodel.hpp"

#include "editor/qvscrollbardrawer.hpp"
#include "editor/skincache.hpp"
#include "toolkit/cbitmap.hpp"

namespace {

const char* const kBlockTypeNames[] = {"Buffer", "Filter", "Equalizer", "Clipping", "Compression",
                                       "Gate", "Tone", "Tube Gain", "Graphic EQ", "Presence",
                                       "Auto Wah", "Delay"};

qvnamedlist idList(std::initializer_list<qvnamedentry> entries) { return qvnamedlist(entries); }

}  // namespace

qvguimodel::qvguimodel() : images_(kSkinImageCount, nullptr) {
  resetPanelState();
  logos.push_back({"Off", 0});
  for (int k = 0; k < kAmpSkinCount; ++k) ampSkins.push_back({kAmpSkinNames[k], firstSkinImage + k});
  for (int k = 0; k < kPedalSkinCount; ++k)
    pedalSkins.push_back({kPedalSkinNames[k], firstSkinImage + kAmpSkinCount + k});
  for (int k = 0; k < kLogoCount; ++k) {
    const qvskinfile& f = kSkinFiles[size_t(firstLogoImage + k)];
    qvstring name(f.file);
    logos.push_back({name.substr(0, name.size() - 4), f.index});  // without ".png"
  }
  for (const qvknobprofiledef& d : kKnobProfiles) {
    qvknobprofile p;
    p.image = d.image;
    p.extra1 = d.extra1;
    p.extra2 = d.extra2;
    for (int c = 0; c < 4; ++c) p.text[c] = d.text[c];
    p.name = d.name;
    knobProfiles.push_back(p);
  }
  for (int k = 0; k < 12; ++k) blockTypes.push_back({kBlockTypeNames[k], k});
  cabActions = idList({{"New Sim", 1}, {"Open IR File", 2}, {"Open IR Folder", 3}});
  editActions = idList({{"Save", 1}, {"Save As New", 2}, {"Revert", 3}, {"Clear", 4}});
  antiAliasing = idList({{"Antialias:Off", 1}, {"Antialias:2x", 2}, {"Antialias:3x", 3},
                         {"Antialias:4x", 4}, {"Antialias:5x", 5}, {"Antialias:6x", 6},
                         {"Antialias:8x", 8}});
  routing = idList({{"Rout:Pre", 1}, {"Rout:Post", 2}});
  for (int32_t k = 1; k < firstButtonProfile; ++k) knobProfileNames.push_back({knobProfiles[size_t(k)].name, k});
  scrollBarDrawers.push_back(
      std::make_unique<qvscrollbardrawer>(CColor{140, 140, 140, 255}, image(18), image(17)));
}

qvguimodel::~qvguimodel() {
  scrollBarDrawers.clear();  // they hold references to the pictures
  for (CBitmap* b : images_)
    if (b) b->forget();
}

qvguimodel& qvguimodel::of(qvengine& engine) {
  if (!engine.guiModel) engine.guiModel = std::make_unique<qvguimodel>();
  return static_cast<qvguimodel&>(*engine.guiModel);
}

CBitmap* qvguimodel::image(int32_t index) {
  if (index < 0 || index >= kSkinImageCount) return nullptr;
  CBitmap*& slot = images_[size_t(index)];
  if (!slot) {
    CairoSurfacePtr surface = decodedSkin(kSkinFiles[size_t(index)].file);
    if (surface) slot = new CBitmap(std::move(surface));
  }
  return slot;
}

const qvknobprofile& qvguimodel::profile(int32_t number) const {
  const bool known = number >= 0 && static_cast<size_t>(number) < knobProfiles.size();
  return knobProfiles[known ? size_t(number) : 0];
}

void qvguimodel::refillDefinitions(const qvdatamodel& data) {
  ampDefinitions.clear();
  pedalDefinitions.clear();
  for (uint32_t k = 0; k < data.ampData.count(); ++k)
    ampDefinitions.push_back({data.ampData[k]->name, static_cast<int32_t>(k)});
  for (uint32_t k = 0; k < data.pedalData.count(); ++k)
    pedalDefinitions.push_back({data.pedalData[k]->name, static_cast<int32_t>(k)});
}

void qvguimodel::resetPanelState() {
  hint = qvoverlay{};
  message = qvoverlay{};
  ampPanelOffset = 0.0f;
  for (int32_t& p : classProfiles) p = 0;
}
