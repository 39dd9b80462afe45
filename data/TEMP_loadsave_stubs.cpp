// !!! TEMPORARY — DROP THIS FILE WHEN MERGING THE LOAD/SAVE BRANCH !!!
// Stand-ins for saveDocument and showMessage so this branch links on its own;
// the real ones live in data/loadsave.cpp. They record nothing and write nothing.
#include "plugin/qvengine.hpp"

void qvengine::saveDocument() {}
void qvengine::showMessage(const qvstring&, int32_t) {}
