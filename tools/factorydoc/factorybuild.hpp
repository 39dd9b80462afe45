// Builds the factory data document from the source records through the
// plug-in's own units and document writer: every block is a real unit created
// from its default table, set with setValue and written by its own serialise, so
// the text is exactly what the plug-in reads and writes.
#pragma once
#include <string>
#include <vector>

#include "tools/factorydoc/factorysource.hpp"

// [any] The whole document as compact text. Returns "" or the first error.
std::string buildFactoryDocument(const fdSource& src, std::string& text);

// [any] Reads the source files in order, checks them and builds the document.
std::string buildFactoryDocumentFromFiles(const std::vector<std::string>& paths, std::string& text,
                                          fdSource* parsed = nullptr);
