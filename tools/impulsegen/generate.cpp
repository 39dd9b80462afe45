#include "tools/impulsegen/generate.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/impulsegen/cabdesc.hpp"
#include "tools/impulsegen/cabdesign.hpp"
#include "tools/impulsegen/wavio.hpp"

std::string impulseFileName(int res) {
  char name[16];
  std::snprintf(name, sizeof name, "imp%02d.wav", res);
  return name;
}

int generateImpulses(const std::string& catalogue_path, const std::string& out_dir, std::string& error) {
  std::vector<CabinetDesc> cabinets;
  if (loadCabinets(catalogue_path, cabinets, error) != DescResult::kOk) return -1;
  std::error_code ec;
  std::filesystem::create_directories(out_dir, ec);
  if (ec) {
    error = out_dir + ": " + ec.message();
    return -2;
  }
  const std::filesystem::path dir(out_dir);
  SpectrumWork work(kDesignFftSize);
  std::string manifest;
  for (const CabinetDesc& d : cabinets) {
    const std::string file = impulseFileName(d.res);
    if (writeImpulseWav((dir / file).string(), designCabinet(d, work), error) != 0) return -3;
    manifest += std::to_string(d.res) + "\t" + std::to_string(d.category) + "\t" + file + "\t" + d.name + "\n";
  }
  std::ofstream out(dir / kImpulseManifest, std::ios::binary | std::ios::trunc);
  out << manifest;
  if (!out.flush()) {
    error = (dir / kImpulseManifest).string() + ": cannot write";
    return -3;
  }
  return 0;
}
