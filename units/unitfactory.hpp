// Creates units by block type number and names the block types for menus.
#pragma once
#include <memory>

#include "units/qvutil.hpp"

struct qvblockinfo {
  int sblock;               // block type number
  const char* className;    // class behind the number
  const char* displayName;  // menu name
};

// Block types 0..11 in menu order (index == block type number).
extern const qvblockinfo kBlockTypes[12];

// [between blocks] A new unit of type 0..11, or null for any other number. With
// withTable the default parameter table is built; with bringUpToDate update(-1)
// runs as well. Without the table the lists stay empty for a loader to fill.
std::unique_ptr<qvutil> createUnit(int blocktype, const qvprocstate& state, bool withTable,
                                   bool bringUpToDate);

// [any] Display name of block type 0..11, or "" for any other number.
const char* blockDisplayName(int blocktype);
