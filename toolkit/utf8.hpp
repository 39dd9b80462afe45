// Byte-string text for cairo. Strings in the kit are bytes; whatever is valid
// UTF-8 is shown as such, and any other byte as the Latin-1 character of the same
// value, so a name from an old document never puts a cairo context into its
// error state (cairo refuses invalid UTF-8 for good).
#pragma once
#include <cstddef>
#include <string>

// The text as valid UTF-8.
std::string displayableUtf8(const std::string& bytes);

// Start of the character after the one at `pos` (a lone invalid byte counts as one
// character); the text's size at its end.
size_t nextCharBoundary(const std::string& bytes, size_t pos);
// Start of the character before `pos`; 0 at the start.
size_t prevCharBoundary(const std::string& bytes, size_t pos);

// The code point of the character at `pos` (a lone invalid byte: its own value).
char32_t codePointAt(const std::string& bytes, size_t pos);

// Appends the UTF-8 form of the code point `c` (nothing for invalid code points).
void appendUtf8(std::string& out, char32_t c);
