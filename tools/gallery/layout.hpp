// Where the gallery puts things (frame coordinates), shared by the gallery, its
// end-to-end test and the benchmark.
#pragma once
#include "toolkit/geometry.hpp"

namespace gallery {
inline constexpr int kWidth = 840;
inline constexpr int kHeight = 480;

// Panels of the background: knobs, slider and buttons, menus and text, scroll view, labels.
inline constexpr CRect kPanels[] = {
    {20, 50, 320, 232}, {330, 50, 520, 232}, {530, 50, 820, 232}, {20, 242, 320, 462}, {330, 242, 820, 462}};

inline constexpr int kKnobFrames = 91;
inline constexpr int kKnobSide = 60;
inline constexpr CRect kKnobs[] = {{45, 82, 105, 142}, {135, 82, 195, 142}, {225, 82, 285, 142}};
inline constexpr CRect kSlider{350, 78, 366, 222};
inline constexpr CRect kBypassButton{405, 82, 505, 102};
inline constexpr CRect kMuteButton{405, 110, 505, 130};
inline constexpr CRect kResetButton{405, 138, 505, 158};
inline constexpr CRect kModeMenu{615, 78, 805, 98};
inline constexpr CRect kPresetMenu{615, 106, 805, 126};
inline constexpr CRect kNameField{615, 140, 805, 160};
inline constexpr CRect kNoteField{615, 168, 805, 188};
inline constexpr CRect kScrollView{30, 272, 310, 452};
inline constexpr CRect kHoverLine{345, 404, 805, 424};
inline constexpr CRect kStatusLine{345, 430, 805, 450};
inline constexpr int kPresetCount = 80;  // entries of the long menu, after its title
}  // namespace gallery
