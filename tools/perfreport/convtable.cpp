#include "tools/perfreport/convtable.hpp"

#include <cctype>
#include <map>
#include <sstream>
#include <utility>

#include "data/jsontext.hpp"
#include "platform/files.hpp"
#include "tools/perfreport/mdtable.hpp"

namespace {

// "BM_Engine/4096/2/manual_time" -> kind "BM_Engine", taps 4096, slots 2 (1 when absent;
// "BM_DirectFir/4096/manual_time_median" has none).
bool splitName(const std::string& name, std::string& kind, long& taps, long& slots) {
  std::stringstream parts(name);
  std::string piece;
  std::vector<std::string> pieces;
  while (std::getline(parts, piece, '/')) pieces.push_back(piece);
  if (pieces.size() < 2) return false;
  kind = pieces[0];
  taps = std::strtol(pieces[1].c_str(), nullptr, 10);
  const bool hasSlots = pieces.size() > 2 && !pieces[2].empty() &&
                        std::isdigit(static_cast<unsigned char>(pieces[2][0]));
  slots = hasSlots ? std::strtol(pieces[2].c_str(), nullptr, 10) : 1;
  return taps > 0 && slots > 0;
}

// Milliseconds of one iteration (one second of audio).
double iterationMs(const qvjsonnode& b) {
  double t = b.value("real_time", 0.0);
  const std::string unit = b.value("time_unit", std::string("ns"));
  if (unit == "ns") t *= 1e-6;
  else if (unit == "us") t *= 1e-3;
  else if (unit == "s") t *= 1e3;
  return t;
}

}  // namespace

bool convolutionTable(const std::string& jsonPath, std::string& markdown, int& repetitions,
                      double& ratio16384, std::string& error) {
  ratio16384 = -1.0;
  qvstring text;
  qvjsonnode doc;
  if (!readWholeFile(jsonPath, text)) {
    error = "cannot read " + jsonPath;
    return false;
  }
  if (!parseJsonText(text, doc) || !doc.is_object() || !doc.contains("benchmarks") ||
      !doc["benchmarks"].is_array()) {
    error = jsonPath + " is not Google Benchmark JSON output";
    return false;
  }
  // (taps, slots) -> ms per second of audio, per kind. With repetitions the
  // medians are used; otherwise the single runs.
  using table_t = std::map<std::pair<long, long>, std::map<std::string, double>>;
  table_t runs, medians;
  for (const qvjsonnode& b : doc["benchmarks"]) {
    if (!b.is_object() || !b.contains("name") || !b["name"].is_string()) continue;
    const bool aggregate = b.value("run_type", std::string("iteration")) == "aggregate";
    if (aggregate && b.value("aggregate_name", std::string()) != "median") continue;
    std::string kind;
    long taps = 0, slots = 0;
    if (!splitName(b["name"].get<std::string>(), kind, taps, slots)) continue;
    (aggregate ? medians : runs)[{taps, slots}][kind] = iterationMs(b);
  }
  const table_t& rows = medians.empty() ? runs : medians;
  repetitions = medians.empty() ? 1 : doc["benchmarks"][0].value("repetitions", 0);
  if (rows.empty()) {
    error = jsonPath + " holds no convolution benchmark";
    return false;
  }
  mdtable table({"impulse taps", "slots", "Corvina engine (ms CPU / s audio)",
                 "zita-convolver (ms CPU / s audio)", "engine / zita", "direct FIR (ms CPU / s audio)"},
                {true, true, true, true, true, true});
  auto cell = [](const std::map<std::string, double>& m, const char* kind) {
    auto it = m.find(kind);
    return it == m.end() ? std::string("–") : fmt("%.1f", it->second);
  };
  for (const auto& [key, kinds] : rows) {
    std::string ratio = "–";
    auto e = kinds.find("BM_Engine"), z = kinds.find("BM_Zita");
    if (e != kinds.end() && z != kinds.end() && z->second > 0.0) {
      ratio = fmt("%.2f", e->second / z->second);
      if (key == std::pair<long, long>{16384, 1}) ratio16384 = e->second / z->second;
    }
    table.add({fmt("%ld", key.first), fmt("%ld", key.second), cell(kinds, "BM_Engine"),
               cell(kinds, "BM_Zita"), ratio, cell(kinds, "BM_DirectFir")});
  }
  markdown = table.text();
  return true;
}
