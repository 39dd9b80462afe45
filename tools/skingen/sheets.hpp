// The contact sheets: skins.png (every image with its index and name, big ones
// scaled down) and skins-amps.png (each amplifier face with a logo and a row of
// knob frames over it, captions in the knob profile's text colour).
#pragma once

// Reads the drawn images from `imagedir` and writes both sheets into `docdir`.
bool writeContactSheets(const char* imagedir, const char* docdir);
