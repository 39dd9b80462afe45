// One entry of an option menu: its title, a tag for the program's use, and flags.
// A title entry heads the menu (the closed menu shows it while the value is its
// index) and, like a disabled entry or a separator, cannot be chosen.
#pragma once
#include <string>

#include "toolkit/cbaseobject.hpp"

class CMenuItem : public CBaseObject {
public:
  enum Flags : int32_t { kNoFlags = 0, kDisabled = 1 << 0, kTitle = 1 << 1, kSeparator = 1 << 2 };

  explicit CMenuItem(const std::string& title, int32_t tag = -1, int32_t flags = kNoFlags)
      : title_(title), tag_(tag), flags_(flags) {}

  const std::string& getTitle() const { return title_; }
  void setTitle(const std::string& title) { title_ = title; }
  int32_t getTag() const { return tag_; }
  void setTag(int32_t tag) { tag_ = tag; }
  int32_t getFlags() const { return flags_; }
  void setFlags(int32_t flags) { flags_ = flags; }
  bool isTitle() const { return (flags_ & kTitle) != 0; }
  bool isSeparator() const { return (flags_ & kSeparator) != 0; }
  bool isChoosable() const { return (flags_ & (kDisabled | kTitle | kSeparator)) == 0; }

private:
  std::string title_;  // bytes
  int32_t tag_;
  int32_t flags_;      // Flags bits
};
