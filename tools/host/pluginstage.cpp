#include "tools/host/pluginstage.hpp"

#include <cstdlib>
#include <filesystem>

#include "data/jsontext.hpp"
#include "platform/files.hpp"
#include "plugin/qvengine.hpp"
#include "resources/resources.hpp"

namespace fs = std::filesystem;

pluginstage::~pluginstage() {
  if (folder_.empty()) return;
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

bool pluginstage::create(const std::string& pluginPath, std::string& error) {
  std::string pattern = (fs::temp_directory_path() / "corvina-render-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) {
    error = "cannot make a temporary folder in " + fs::temp_directory_path().string();
    return false;
  }
  folder_ = pattern + "/";
  plugin_ = folder_ + "corvina.so";
  // A copy, not a link: the plug-in resolves links to find its folder.
  std::error_code ec;
  if (!fs::copy_file(pluginPath, plugin_, ec)) {
    error = "cannot copy the plug-in " + pluginPath + ": " + ec.message();
    return false;
  }
  return true;
}

bool pluginstage::writeDocument(const qvstring& text, std::string& error) {
  if (!writeFileAtomic(folder_ + "corvina-save.fxda", text)) {
    error = "cannot write the document into " + folder_;
    return false;
  }
  hasDocument_ = true;
  return true;
}

void presetbook::load(const pluginstage& stage) {
  qvengine engine(stage.folder(), "./corvina-save.fxda");
  qvresource factory;
  if (loadDataResource("corvina-init.fxda", factory))
    engine.data.factoryText.assign(reinterpret_cast<const char*>(factory.bytes), factory.size);
  engine.loadSystem();
  names.clear();
  chunks.clear();
  for (uint32_t i = 0; i < engine.data.presets.count(); ++i) {
    names.push_back(engine.data.presets[i]->name);
    chunks.push_back(engine.data.presets[i]->node.text());
  }
}

int presetbook::find(const std::string& name) const {
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return int(i);
  return -1;
}

bool documentWithOversampling(const qvstring& base, int factor, qvstring& out,
                              std::string& error) {
  qvjsonnode doc;
  if (base.empty()) {
    // Only the settings: the factory's presets, categories and impulses stay
    // (empty lists in a user document keep what the factory loaded).
    doc = qvjsonnode::object();
    doc["settings"] = qvjsonnode::array(
        {qvjsonnode{{"currentpreset", kStartPreset}, {"currentcategory", -1}},
         qvjsonnode::array()});
    for (const char* list : {"categories", "presets", "impdatcategories", "impulses"})
      doc[list] = qvjsonnode::array();
  } else if (!parseJsonText(base, doc) || !doc.is_object()) {
    error = "the document does not parse";
    return false;
  }
  qvjsonnode& settings = doc["settings"];
  if (!settings.is_array()) settings = qvjsonnode::array();
  while (settings.size() < 2) settings.push_back(qvjsonnode::array());
  qvjsonnode& pairs = settings[1];
  if (!pairs.is_array()) pairs = qvjsonnode::array();
  // Setting 3's position p gives the factor 16 p + 1.
  const double position = (factor - 1) / 16.0;
  bool found = false;
  for (qvjsonnode& pair : pairs)
    if (pair.is_array() && pair.size() == 2 && pair[0].is_number() && pair[0].get<double>() == 3) {
      pair[1] = position;
      found = true;
    }
  if (!found) pairs.push_back(qvjsonnode::array({3, position}));
  out = writeJsonText(doc);
  return true;
}

std::unique_ptr<qvhostinstance> openStagedPlugin(const pluginstage& stage, float rate, int block,
                                                 std::string& error) {
  auto module = std::make_shared<qvhostmodule>();
  qvhostresult result = module->open(stage.pluginPath());
  if (result != qvhostresult::ok) {
    error = "cannot load the plug-in: " + module->error();
    return nullptr;
  }
  qvhostoptions hostOptions;
  hostOptions.sampleRate = rate;
  hostOptions.blockSize = block;
  auto host = qvhostinstance::create(module, hostOptions, result);
  if (!host) {
    error = "the plug-in gave no effect (code " + std::to_string(int(result)) + ")";
    return nullptr;
  }
  host->open();
  return host;
}

void giveChunk(qvhostinstance& host, const qvstring& chunk) {
  // The chunk is the text and its NUL.
  host.setChunk(chunk.c_str(), chunk.size() + 1);
}
