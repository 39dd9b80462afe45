// Byte strings of the data model: length-counted, any byte value allowed,
// nothing converts encodings. std::string already is exactly that.
#pragma once
#include <string>

using qvstring = std::string;
