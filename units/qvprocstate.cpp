#include "units/qvprocstate.hpp"

namespace {
struct SettingSpec {
  int type;
  float defa, xscale, xlow, uscale, ulow;
};

constexpr SettingSpec kSettings[kSettingCount] = {
    {3, 1, 5, 0, 10, 0},       // 0 output level, engine 0..5
    {3, 1, 20, 0, 10, 0},      // 1 input level, engine 0..20
    {4, 0, 1, 0, 1, 0},        // 2 "Show Value"
    {5, 1, 16, 1, 16, 1},      // 3 oversampling factor 1..16
    {4, 0, 1, 0, 1, 0},        // 4 editor layout switch
    {4, 1, 1, 0, 1, 0},        // 5 "Show Tips"
    {4, 0, 1, 0, 1, 0},        // 6 user document in the project subfolder
    {5, 0, 3, 0, 3, 1},        // 7 "Input Source": Left, Right, Mix
    {4, 0, 1, 0, 1, 0},        // 8 "Disable Cab Sims"
    {5, 0, 3, 0, 3, 1},        // 9 "Bypass or Mute": Active, Bypass, Mute
    {4, 1, 1, 0, 1, 0},        // 10 "Global Gate Settings"
    {4, 1, 1, 0, 1, 0},        // 11 "Limit Items"
    {4, 1, 1, 0, 1, 0},        // 12 "Limit Impulse Files"
    {4, 1, 1, 0, 1, 0},        // 13 kept as stored
    {4, 1, 1, 0, 1, 0},        // 14 kept as stored
    {1, 0.1f, 10, 0, 10, 0},   // 15 "Volume Scale"
    {1, 0.1f, 10, 0, 10, 0},   // 16 "Input Scale"
    {1, 0.5f, 1, 0, 1, 0},     // 17 output balance, 0.5 = centre
};
}  // namespace

void createGlobalSettings(qvlist<qvparam>& settings) {
  for (const SettingSpec& s : kSettings)
    settings.append(createParam(s.type, s.defa, s.xscale, s.xlow, s.uscale, s.ulow));
}

qvprocstate::qvprocstate() { createGlobalSettings(settings); }
