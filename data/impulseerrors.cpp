#include "data/impulseerrors.hpp"

#include <string>

#include "data/wavread.hpp"

qvstring impulseTooLargeText(int32_t limit) {
  qvstring text = "File was larger than max set in options: ";
  text += std::to_string(limit);  // appended: GCC 12 misreads "literal" + string as overlapping
  return text;
}

const char* probeReasonText(qvprobeerror error) {
  switch (error) {
    case qvprobeerror::notFound:
      return "File or path not found. ";
    case qvprobeerror::permissionDenied:
      return "Permission denied. ";
    case qvprobeerror::noFileHandle:
      return "No file handle available. ";
    default:
      return "Unknown error. ";
  }
}

qvstring impulseFileErrorText(const qvstring& path, const qvfileprobe& probe, int headerType) {
  qvstring text = path + "\n";
  // A file the probe cannot open has no size and no header to speak of, so its
  // reason comes first.
  if (!probe.ok) return text + " - Could not open file: " + probeReasonText(probe.error);
  if (headerType == kHeaderRiff)
    return text + " - File was opened but an unknown error occured. Size: " +
           std::to_string(probe.size);
  return text + " - File appears to be an unsupported format. Size: " +
         std::to_string(probe.size) + "  Type: " + std::to_string(headerType);
}
