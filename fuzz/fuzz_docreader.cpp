// Any bytes as a data document: reading must never crash, and a document that
// reads is written, read again and written again to exactly the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "data/jsoncursor.hpp"
#include "data/jsontext.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  qvjsonnode root;
  if (!parseJsonText(text, root)) return 0;
  const qvstring first = writeJsonText(root);
  qvjsonnode again;
  if (!parseJsonText(first, again)) std::abort();  // our own text must read
  if (writeJsonText(again) != first) std::abort();

  // The cursor sees the same tree: walk the first level with every reader call.
  qvjsoncursor cursor;
  cursor.setRoot(std::move(again));
  for (uint32_t k = 0; k < cursor.count(); ++k) {
    int32_t i = 0;
    float f = 0;
    bool b = false;
    qvstring s;
    cursor.getIntAt(k, i);
    cursor.getNumberAt(k, f);
    cursor.getBoolAt(k, b);
    cursor.getStringAt(k, s);
    if (cursor.enterAt(k)) cursor.close();
  }
  if (cursor.text() != first) std::abort();
  return 0;
}
