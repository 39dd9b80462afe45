// The sound designer's description of one factory cabinet response: which cabinet
// and speaker, which microphone, where it stands and the tone tweaks on top. Read
// from the editable catalogue resources/impulses/cabinets.json.
#pragma once
#include <string>
#include <vector>

enum class CabKind { kOpen1x12, kClosed1x12, kClosed4x12 };
enum class ConeVoice { kChime, kVintage, kModern, kHeavy };
enum class MicKind { kDynamic, kRibbon, kCondenser, kBlend };
// Where on (or around) the speaker the microphone points.
enum class MicSpot { kCentre, kCapEdge, kCone, kEdge, kBack };

struct CabinetDesc {
  int res = 0;              // resource id and catalogue uid, 2 to 30
  std::string name;         // display name in the factory catalogue
  int category = 0;         // 1 "Preset 1x12", 2 "Preset 4x12"
  CabKind cab = CabKind::kClosed4x12;
  ConeVoice cone = ConeVoice::kModern;
  MicKind mic = MicKind::kDynamic;
  MicSpot spot = MicSpot::kCapEdge;
  double distance_cm = 2.5; // grille to capsule
  double angle_deg = 0;     // 0 on axis, 90 side-on
  double room = 0;          // 0 dry to 1 live room: level and length of the diffuse tail
  double bright_db = 0;     // bell around 4 kHz
  double tight_hz = 0;      // extra low cut (0 none)
  double boost_db = 0;      // mid push around 900 Hz
  double body_db = 0;       // low shelf below about 160 Hz
  int length = 0;           // samples at 96000 Hz, 4506 to 32514
  unsigned seed = 0;        // picks this speaker's own break-up detail
};

inline constexpr int kImpulseRate = 96000;
inline constexpr int kMinImpulseLength = 4506;
inline constexpr int kMaxImpulseLength = 32514;
inline constexpr int kFirstImpulseRes = 2;
inline constexpr int kLastImpulseRes = 30;

enum class DescResult { kOk = 0, kUnreadable = -1, kBadJson = -2, kBadField = -3, kBadCatalogue = -4 };

// [any] Parses a catalogue text (JSON, "//" and "/* */" comments allowed). On
// failure, error names the entry and field. The catalogue must hold res 2 to 30
// exactly once each, in order.
DescResult parseCabinets(const std::string& text, std::vector<CabinetDesc>& out, std::string& error);
DescResult loadCabinets(const std::string& path, std::vector<CabinetDesc>& out, std::string& error);

const char* cabKindName(CabKind kind);
const char* coneVoiceName(ConeVoice voice);
const char* micKindName(MicKind kind);
const char* micSpotName(MicSpot spot);
