// The texts the impulse loader leaves in the engine's error text when an impulse
// cannot be loaded. The editor shows them as they are, so every space counts.
#pragma once
#include <cstdint>

#include "data/qvstring.hpp"
#include "platform/files.hpp"

// A factory impulse whose resource is missing or decodes to nothing.
inline constexpr const char* kResourceNotLoadedText = "Resource not loaded.";

// Largest converted impulse accepted when the size limit option is on.
inline constexpr int32_t kImpulseSizeLimit = 100000;

// "File was larger than max set in options: " and the limit in decimal.
qvstring impulseTooLargeText(int32_t limit = kImpulseSizeLimit);

// The reason after " - Could not open file: ", e.g. "Permission denied. ".
const char* probeReasonText(qvprobeerror error);

// The whole text for a user file that did not load: the path, a line feed, then
//  - " - Could not open file: " and the reason, when the probe could not open it;
//  - " - File was opened but an unknown error occured. Size: " and the size, when it
//    is a RIFF WAVE file (header type 3) whose samples could not be read;
//  - " - File appears to be an unsupported format. Size: ", the size, "  Type: " and
//    the header type, for anything else.
qvstring impulseFileErrorText(const qvstring& path, const qvfileprobe& probe, int headerType);
