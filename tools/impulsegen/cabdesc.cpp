// Catalogue reading: every field is checked against its range so a typo in the
// sound designer's file stops the build with a message instead of a strange sound.
#include "tools/impulsegen/cabdesc.hpp"

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

namespace {

using json = nlohmann::json;

template <typename E, size_t N>
bool lookupName(const std::string& text, const char* const (&names)[N], E& out) {
  for (size_t i = 0; i < N; ++i) {
    if (text == names[i]) {
      out = static_cast<E>(i);
      return true;
    }
  }
  return false;
}

const char* const kCabNames[] = {"1x12 open back", "1x12 closed back", "4x12 closed"};
const char* const kConeNames[] = {"chime", "vintage", "modern", "heavy"};
const char* const kMicNames[] = {"dynamic", "ribbon", "condenser", "blend"};
const char* const kSpotNames[] = {"centre", "cap edge", "cone", "edge", "back"};

struct Reader {
  const json& entry;
  std::string where;
  std::string& error;

  bool number(const char* key, double lo, double hi, double& out, bool required) {
    auto it = entry.find(key);
    if (it == entry.end()) {
      if (!required) return true;
      error = where + ": missing \"" + key + "\"";
      return false;
    }
    if (!it->is_number()) {
      error = where + ": \"" + key + "\" is not a number";
      return false;
    }
    const double v = it->get<double>();
    if (!(v >= lo && v <= hi)) {
      error = where + ": \"" + key + "\" = " + std::to_string(v) + " outside " + std::to_string(lo) +
              " to " + std::to_string(hi);
      return false;
    }
    out = v;
    return true;
  }

  bool integer(const char* key, long long lo, long long hi, long long& out) {
    auto it = entry.find(key);
    if (it == entry.end() || !it->is_number_integer()) {
      error = where + ": \"" + key + "\" missing or not an integer";
      return false;
    }
    const long long v = it->get<long long>();
    if (v < lo || v > hi) {
      error = where + ": \"" + key + "\" = " + std::to_string(v) + " outside " + std::to_string(lo) +
              " to " + std::to_string(hi);
      return false;
    }
    out = v;
    return true;
  }

  template <typename E, size_t N>
  bool choice(const char* key, const char* const (&names)[N], E& out) {
    auto it = entry.find(key);
    if (it == entry.end() || !it->is_string()) {
      error = where + ": \"" + key + "\" missing or not a string";
      return false;
    }
    if (!lookupName(it->get<std::string>(), names, out)) {
      std::string all;
      for (const char* n : names) all += std::string(all.empty() ? "" : ", ") + "\"" + n + "\"";
      error = where + ": \"" + key + "\" must be one of " + all;
      return false;
    }
    return true;
  }
};

bool readEntry(const json& entry, size_t index, CabinetDesc& d, std::string& error) {
  if (!entry.is_object()) {
    error = "cabinet " + std::to_string(index) + ": not an object";
    return false;
  }
  Reader r{entry, "cabinet " + std::to_string(index), error};
  long long res = 0, category = 0, length = 0, seed = 0;
  if (!r.integer("res", kFirstImpulseRes, kLastImpulseRes, res)) return false;
  r.where = "res " + std::to_string(res);
  auto name = entry.find("name");
  if (name == entry.end() || !name->is_string() || name->get<std::string>().empty()) {
    error = r.where + ": \"name\" missing or empty";
    return false;
  }
  d.res = static_cast<int>(res);
  d.name = name->get<std::string>();
  if (!r.integer("category", 1, 2, category) ||
      !r.integer("length", kMinImpulseLength, kMaxImpulseLength, length) ||
      !r.integer("seed", 0, 0xffffffffLL, seed) || !r.choice("cabinet", kCabNames, d.cab) ||
      !r.choice("cone", kConeNames, d.cone) || !r.choice("mic", kMicNames, d.mic) ||
      !r.choice("spot", kSpotNames, d.spot) || !r.number("distance_cm", 0.2, 500, d.distance_cm, true) ||
      !r.number("angle_deg", 0, 90, d.angle_deg, false) || !r.number("room", 0, 1, d.room, false) ||
      !r.number("bright_db", -12, 12, d.bright_db, false) ||
      !r.number("tight_hz", 0, 400, d.tight_hz, false) ||
      !r.number("boost_db", -12, 12, d.boost_db, false) ||
      !r.number("body_db", -12, 12, d.body_db, false))
    return false;
  d.category = static_cast<int>(category);
  d.length = static_cast<int>(length);
  d.seed = static_cast<unsigned>(seed);
  const bool is1x12 = d.cab != CabKind::kClosed4x12;
  if ((d.category == 1) != is1x12) {
    error = r.where + ": category " + std::to_string(d.category) + " does not match cabinet \"" +
            cabKindName(d.cab) + "\"";
    return false;
  }
  return true;
}

}  // namespace

DescResult parseCabinets(const std::string& text, std::vector<CabinetDesc>& out, std::string& error) {
  out.clear();
  json doc = json::parse(text, nullptr, false, true);
  if (doc.is_discarded()) {
    error = "catalogue is not valid JSON";
    return DescResult::kBadJson;
  }
  auto list = doc.is_object() ? doc.find("cabinets") : doc.end();
  if (list == doc.end() || !list->is_array()) {
    error = "catalogue has no \"cabinets\" array";
    return DescResult::kBadJson;
  }
  for (size_t i = 0; i < list->size(); ++i) {
    CabinetDesc d;
    if (!readEntry((*list)[i], i, d, error)) {
      out.clear();
      return DescResult::kBadField;
    }
    out.push_back(d);
  }
  const size_t expected = kLastImpulseRes - kFirstImpulseRes + 1;
  bool ordered = out.size() == expected;
  for (size_t i = 0; ordered && i < out.size(); ++i)
    ordered = out[i].res == kFirstImpulseRes + static_cast<int>(i);
  if (!ordered) {
    error = "catalogue must list res " + std::to_string(kFirstImpulseRes) + " to " +
            std::to_string(kLastImpulseRes) + " once each, in order";
    out.clear();
    return DescResult::kBadCatalogue;
  }
  return DescResult::kOk;
}

DescResult loadCabinets(const std::string& path, std::vector<CabinetDesc>& out, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return DescResult::kUnreadable;
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return parseCabinets(text, out, error);
}

const char* cabKindName(CabKind kind) { return kCabNames[static_cast<int>(kind)]; }
const char* coneVoiceName(ConeVoice voice) { return kConeNames[static_cast<int>(voice)]; }
const char* micKindName(MicKind kind) { return kMicNames[static_cast<int>(kind)]; }
const char* micSpotName(MicSpot spot) { return kSpotNames[static_cast<int>(spot)]; }
